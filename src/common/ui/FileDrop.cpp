#include "common/ui/FileDrop.h"

#include <QDropEvent>

namespace kuji {

bool acceptFileDropAsCopy(QDropEvent& drop)
{
    if (!(drop.possibleActions() & Qt::CopyAction)) {
        drop.ignore();
        return false;
    }
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    return true;
}

} // namespace kuji
