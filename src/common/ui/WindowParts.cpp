#include "common/ui/WindowParts.h"

#include <QFrame>

namespace kuji {

QFrame* makeEtchedLine(QWidget* parent)
{
    auto* etched = new QFrame(parent);
    etched->setObjectName(QStringLiteral("linToolbar"));
    etched->setFrameShape(QFrame::HLine);
    etched->setFrameShadow(QFrame::Sunken);
    return etched;
}

} // namespace kuji
