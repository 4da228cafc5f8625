#include "printing/ui/QtPrinterAccess.h"

#include "common/SafeFileWriter.h"
#include "common/ui/Platform.h"
#include "printing/PrintChoices.h"

#include <QBuffer>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace kuji {
namespace {

const QString kPdfPrinter = QString::fromUtf8(kPdfPrinterName.data(), static_cast<qsizetype>(kPdfPrinterName.size()));
const QString kDocumentName = QStringLiteral("くじ丸");

// A job on an installed printer: the printer sends it when the painter ends.
class PrinterTarget final : public PrintTarget {
public:
    explicit PrinterTarget(std::unique_ptr<QPrinter> printer)
        : m_printer(std::move(printer))
    {
    }

    QPagedPaintDevice& device() override { return *m_printer; }
    int resolution() const override { return m_printer->resolution(); }
    bool finish(QString& error) override
    {
        if (m_printer->printerState() != QPrinter::Error)
            return true;
        error = QStringLiteral("プリンター \"%1\" に送れませんでした。").arg(m_printer->printerName());
        return false;
    }

private:
    std::unique_ptr<QPrinter> m_printer;
};

// A PDF made in memory and written to its file only once it is complete.
class PdfTarget final : public PrintTarget {
public:
    PdfTarget(const QString& path, const QPageLayout& page)
        : m_path(path)
        , m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(&m_buffer);
        m_writer->setPageLayout(page);
        m_writer->setCreator(kDocumentName);
        m_writer->setTitle(kDocumentName);
    }

    QPagedPaintDevice& device() override { return *m_writer; }
    int resolution() const override { return m_writer->resolution(); }
    bool finish(QString& error) override
    {
        m_writer.reset();
        m_buffer.close();
        ErrorInfo err;
        if (writeFileSafely(m_path.toStdString(), std::string_view(m_bytes.constData(), m_bytes.size()), err))
            return true;
        error = QStringLiteral("%1\r\n%2").arg(m_path, QString::fromStdString(err.description));
        return false;
    }

private:
    QString m_path;
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
};

} // namespace

PrinterGeometry pageGeometry(const QPageLayout& layout)
{
    QPageLayout printable = layout;
    printable.setMode(QPageLayout::StandardMode);
    printable.setMargins(printable.minimumMargins());
    const QRectF paper = printable.fullRect(QPageLayout::Millimeter);
    const QRectF area = printable.paintRect(QPageLayout::Millimeter);
    return { paper.width(), paper.height(), area.left(), area.top(), area.width(), area.height() };
}

QPageLayout pdfPage(const std::optional<QPageLayout>& chosen)
{
    if (!chosen)
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    return QPageLayout(chosen->pageSize(), chosen->orientation(), QMarginsF(), QPageLayout::Millimeter);
}

std::unique_ptr<PrintTarget> makePdfTarget(const QString& path, const QPageLayout& page)
{
    return std::make_unique<PdfTarget>(path, page);
}

QStringList QtPrinterAccess::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterAccess::defaultPrinter()
{
    return QPrinterInfo::defaultPrinterName();
}

std::optional<QPageLayout> QtPrinterAccess::chosenPage(const QString& name) const
{
    const auto it = m_pages.constFind(name);
    if (it == m_pages.cend())
        return std::nullopt;
    return *it;
}

std::unique_ptr<QPrinter> QtPrinterAccess::makePrinter(const QString& name) const
{
    std::unique_ptr<QPrinter> printer;
    if (name == kPdfPrinter) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageLayout(pdfPage(chosenPage(name)));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull())
            return nullptr;
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (const auto page = chosenPage(name)) {
            printer->setPageSize(page->pageSize());
            printer->setPageOrientation(page->orientation());
        }
    }
    // Lines are placed from the paper's corner, not from the printable area's.
    printer->setFullPage(true);
    printer->setDocName(kDocumentName);
    return printer;
}

std::optional<PrinterGeometry> QtPrinterAccess::geometry(const QString& name)
{
    if (name == kPdfPrinter)
        return chosenPage(name) ? pageGeometry(pdfPage(chosenPage(name))) : pdfPrinterGeometry();
    const std::unique_ptr<QPrinter> printer = makePrinter(name);
    if (!printer)
        return std::nullopt;
    return pageGeometry(printer->pageLayout());
}

void QtPrinterAccess::choosePage(const QString& name, Platform& platform, QWidget* parent)
{
    const std::unique_ptr<QPrinter> printer = makePrinter(name);
    if (!printer)
        return;
    QPageSetupDialog dialog(printer.get(), parent);
    dialog.setObjectName(QStringLiteral("dlgPageSetup"));
    if (platform.execModal(dialog) == QDialog::Accepted)
        m_pages.insert(name, printer->pageLayout());
}

std::unique_ptr<PrintTarget> QtPrinterAccess::open(const QString& name, const QString& pdfPath, QString& error)
{
    if (name == kPdfPrinter)
        return makePdfTarget(pdfPath, pdfPage(chosenPage(name)));
    std::unique_ptr<QPrinter> printer = makePrinter(name);
    if (!printer) {
        error = QStringLiteral("プリンター \"%1\" が見つかりません。").arg(name);
        return nullptr;
    }
    return std::make_unique<PrinterTarget>(std::move(printer));
}

} // namespace kuji
