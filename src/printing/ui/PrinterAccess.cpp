#include "printing/ui/PrinterAccess.h"

#include "printing/ui/QtPrinterAccess.h"

#include <QPagedPaintDevice>

namespace kuji {

bool PrintTarget::newPage()
{
    return device().newPage();
}

PrinterAccess& PrinterAccess::system()
{
    static QtPrinterAccess printers;
    return printers;
}

QString PrinterAccess::currentPrinter()
{
    return m_current ? *m_current : defaultPrinter();
}

} // namespace kuji
