#pragma once

#include "printing/ui/PrinterAccess.h"

#include <QHash>
#include <QPageLayout>

class QPrinter;

namespace kuji {

// The printers of the system as Qt sees them (CUPS), followed by the PDF printer.
class QtPrinterAccess : public PrinterAccess {
public:
    QStringList installedPrinters() override;
    QString defaultPrinter() override;
    std::optional<PrinterGeometry> geometry(const QString& name) override;
    void choosePage(const QString& name, Platform& platform, QWidget* parent) override;
    std::unique_ptr<PrintTarget> open(const QString& name, const QString& pdfPath, QString& error) override;

    // The paper chosen for a printer in プロパティ, if any.
    std::optional<QPageLayout> chosenPage(const QString& name) const;

private:
    // A printer set up with the paper chosen for it; nothing when it does not exist.
    std::unique_ptr<QPrinter> makePrinter(const QString& name) const;

    QHash<QString, QPageLayout> m_pages;
};

// Paper and printable area of a page layout in millimetres: the printable area lies inside
// the layout's minimum (hardware) margins; margins set in the layout play no part.
PrinterGeometry pageGeometry(const QPageLayout& layout);

// The PDF printer's page: A4 portrait unless another paper was chosen, printable to the edges.
QPageLayout pdfPage(const std::optional<QPageLayout>& chosen);

// A job that writes a PDF of the given page to path. The document is made in memory and
// written with the program's safe writer, so the file appears only when it is complete.
std::unique_ptr<PrintTarget> makePdfTarget(const QString& path, const QPageLayout& page);

} // namespace kuji
