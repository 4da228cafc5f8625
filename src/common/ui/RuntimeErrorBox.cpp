#include "common/ui/RuntimeErrorBox.h"

#include "common/RuntimeError.h"
#include "common/ui/Platform.h"

namespace kuji {

void myShowRuntimeError(Platform& platform, QWidget* parent, RuntimeError& pending)
{
    if (!pending.isPending())
        return;
    const std::string text = formatRuntimeErrorText(pending.number(), pending.description());
    // Cleared before the box opens: the box runs an event loop, and a handler that runs
    // meanwhile must not see the old error as its own.
    pending.clear();
    platform.showMessage(parent,
        { QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QStringLiteral("エラー"),
            QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok });
}

} // namespace kuji
