#pragma once

#include "printing/PrintPageInfo.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class QWidget;

namespace kuji {

class Platform;

// One print job: a paint device whose coordinates start at the paper's top-left corner,
// its resolution, and the end of the job.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;

    // What the painter draws on; a painter begun on it starts the job.
    virtual QPagedPaintDevice& device() = 0;
    // Device pixels per inch.
    virtual int resolution() const = 0;
    // Starts the next page; false when the printer refused it.
    virtual bool newPage();
    // After the painter has ended: the job goes to the printer, or the finished PDF takes its
    // place. On failure error says why.
    virtual bool finish(QString& error) = 0;
};

// The printers the print dialog offers and what it needs of them. The program has one
// instance for the whole run, which also keeps the current printer and the paper chosen for
// each printer in プロパティ; tests give the dialog printers of their own.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;

    // The program's own printers.
    static PrinterAccess& system();

    // The installed printers in the system's order (the PDF printer is not among them).
    virtual QStringList installedPrinters() = 0;
    // The system's default printer; empty when there is none.
    virtual QString defaultPrinter() = 0;
    // Paper and printable area of a printer of the list, with the paper chosen for it, in
    // millimetres; nothing when no such printer exists (any more).
    virtual std::optional<PrinterGeometry> geometry(const QString& name) = 0;
    // The page-setup dialog (paper size, orientation) of a printer, shown through the
    // platform; the choice lasts for that printer for the rest of the run.
    virtual void choosePage(const QString& name, Platform& platform, QWidget* parent) = 0;
    // Opens a job on a printer; the PDF printer writes to pdfPath. Nothing, with error set,
    // when the job cannot start.
    virtual std::unique_ptr<PrintTarget> open(const QString& name, const QString& pdfPath, QString& error) = 0;

    // The printer the dialog preselects: the system's default until one is chosen in the
    // dialog, then the last one chosen.
    QString currentPrinter();
    void setCurrentPrinter(const QString& name) { m_current = name; }

private:
    std::optional<QString> m_current;
};

} // namespace kuji
