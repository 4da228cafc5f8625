#pragma once

#include "printing/PrintChoices.h"
#include "printing/ui/QtPrinterAccess.h"

#include <QPageSize>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>

#include <map>
#include <ostream>
#include <set>

// Failed comparisons show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace kuji::test {

inline const QString kPdfPrinter = QString::fromUtf8(kPdfPrinterName.data(), kPdfPrinterName.size());

// The text of each page of a PDF as pdftotext reads it: its non-empty lines, with 〜 read back
// as the ～ that was printed.
inline std::vector<QStringList> pdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, "-" });
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    text.replace(QChar(0x301C), QChar(0xFF5E));
    QStringList pages = text.split(QLatin1Char('\f'));
    pages.removeLast(); // after the last page's form feed
    std::vector<QStringList> result;
    for (const QString& page : pages)
        result.push_back(page.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    return result;
}

// The box of every word of a PDF, page by page, in millimetres from the paper's top-left
// corner (pdftotext -bbox gives points).
inline std::vector<std::vector<QRectF>> pdfWordBoxes(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), path, "-" });
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)")re"));
    constexpr double mmPerPoint = 25.4 / 72;
    std::vector<std::vector<QRectF>> pages;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).isEmpty()) {
            pages.emplace_back();
            continue;
        }
        const auto mm = [&](int i) { return m.captured(i).toDouble() * mmPerPoint; };
        pages.back().push_back(QRectF(QPointF(mm(1), mm(2)), QPointF(mm(3), mm(4))));
    }
    return pages;
}

// Installed printers made up by a test, on top of the real PDF printer. A printer writes a
// PDF of its paper to outputPath, so what it printed can be read back.
class FakePrinters final : public QtPrinterAccess {
public:
    struct Printer {
        QString name;
        PrinterGeometry geometry;
        int refusesPage = 0; // the page it refuses to start (0: none)
        bool failsToStart = false;
    };

    QStringList installedPrinters() override
    {
        QStringList names;
        for (const Printer& printer : printers)
            names << printer.name;
        return names;
    }
    QString defaultPrinter() override { return systemDefault; }

    std::optional<PrinterGeometry> geometry(const QString& name) override
    {
        if (name == kPdfPrinter)
            return QtPrinterAccess::geometry(name);
        const Printer* printer = find(name);
        if (!printer)
            return std::nullopt;
        return printer->geometry;
    }

    std::unique_ptr<PrintTarget> open(const QString& name, const QString& pdfPath, QString& error) override
    {
        ++jobs;
        if (name == kPdfPrinter)
            return QtPrinterAccess::open(name, pdfPath, error);
        const Printer* printer = find(name);
        if (!printer || printer->failsToStart) {
            error = QStringLiteral("offline");
            return nullptr;
        }
        const QPageSize paper(QSizeF(printer->geometry.paperWidth, printer->geometry.paperHeight),
            QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        auto target = makePdfTarget(outputPath, QPageLayout(paper, QPageLayout::Portrait, QMarginsF()));
        return std::make_unique<Refusing>(std::move(target), printer->refusesPage);
    }

    std::vector<Printer> printers;
    std::set<QString> vanished; // listed, but gone when asked for
    QString systemDefault;
    QString outputPath;
    int jobs = 0;

private:
    class Refusing final : public PrintTarget {
    public:
        Refusing(std::unique_ptr<PrintTarget> target, int refusedPage)
            : m_target(std::move(target))
            , m_refusedPage(refusedPage)
        {
        }
        QPagedPaintDevice& device() override { return m_target->device(); }
        int resolution() const override { return m_target->resolution(); }
        bool newPage() override { return ++m_page != m_refusedPage && m_target->newPage(); }
        bool finish(QString& error) override { return m_target->finish(error); }

    private:
        std::unique_ptr<PrintTarget> m_target;
        int m_refusedPage = 0;
        int m_page = 1;
    };

    const Printer* find(const QString& name) const
    {
        if (vanished.count(name))
            return nullptr;
        for (const Printer& printer : printers)
            if (printer.name == name)
                return &printer;
        return nullptr;
    }
};

// Paper of width × height mm whose printable area leaves the given strips.
inline PrinterGeometry paperWithStrips(
    double width, double height, double left, double top, double right, double bottom)
{
    return { width, height, left, top, width - left - right, height - top - bottom };
}

} // namespace kuji::test
