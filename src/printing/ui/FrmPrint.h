#pragma once

#include "common/RuntimeError.h"
#include "common/ui/LongWork.h"
#include "common/ui/WaitCursor.h"
#include "printing/PrintPageInfo.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kuji {

class Platform;
class PrinterAccess;
class UscUpDown;

// The print dialog "印刷" that the main window, Pickup Record and the string creation window
// share. The caller hands it the texts; the user picks a printer, a font, a size and four
// margins in millimetres; 印刷 lays the texts out as fixed-pitch lines and pages and prints
// them, in slices from the event loop with the wait cursor, and closes the dialog.
class FrmPrint final : public QDialog {
    Q_OBJECT
public:
    // Fills the printer list and preselects the program's current printer, which sets the
    // margins to that printer's unprintable strips. printers is the program's own unless a
    // test brings its own.
    FrmPrint(Platform& platform, QWidget* caller, PrinterAccess& printers);
    FrmPrint(Platform& platform, QWidget* caller);
    ~FrmPrint() override;

    // The texts to print, in order; one text may hold several lines separated by CR LF.
    // Set before the dialog is shown.
    void MPSetString(std::vector<std::string> pstrData);
    void MPSetString(const QStringList& pstrData);

    // Centres the dialog over its caller and shows it modally through the platform; returns
    // when it has closed.
    int showModal();

    // What a window's 印刷 command does: opens the dialog over caller with the texts.
    static void printTexts(Platform& platform, QWidget* caller, std::vector<std::string> texts);
    // The same for the rows of a list, in the order shown, gathered under the wait cursor; an
    // empty list prints one blank page.
    static void printRows(
        Platform& platform, QWidget* caller, std::size_t rows, const std::function<std::string(std::size_t)>& textOf);

    // Places the dialog over the middle of the caller, never above or left of the screen's
    // origin.
    void centreOver(const QWidget* caller);

    bool isBusy() const { return m_busy; }
    // Pages of the print run that closed the dialog (0 when no run printed a line).
    int pagesPrinted() const { return m_pagesPrinted; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Run;

    void createControls();
    void fillLists();
    // The geometry step for the printer named in the list: with reset the margins become
    // the printer's unprintable strips. Reports a printer that has gone and gives nothing.
    std::optional<PrinterGeometry> geometryStep(bool resetMargins);
    void selectPrinter();
    void showProperties();
    void startPrinting();
    QString askPdfPath();
    void finishRun(Run& run);
    void reportPrinterError(const QString& detail);
    // The one switch between the busy state of a print run and the idle state.
    void setBusy(bool busy);
    void applyPrinterReady(bool ready);
    PrintMargins margins() const;
    bool comboKey(QComboBox* combo, QKeyEvent* key);

    Platform& m_platform;
    PrinterAccess& m_printers;
    QWidget* m_caller = nullptr;
    std::vector<std::string> m_texts;
    RuntimeError m_error;
    LongWork m_work;
    bool m_busy = false;
    BusyCursor m_busyCursor;
    bool m_printerReady = false;
    int m_pagesPrinted = 0;

    // Controls, named as the program names them.
    QGroupBox* fraPrinter = nullptr;
    QComboBox* cboPrinter = nullptr;
    QPushButton* cmdProperty = nullptr;
    QGroupBox* fraFont = nullptr;
    QLabel* lblFontName = nullptr;
    QComboBox* cboFont = nullptr;
    QLabel* lblFontSize = nullptr;
    QComboBox* cboFontSize = nullptr;
    QGroupBox* fraYohaku = nullptr;
    QLabel* lblTopMargin = nullptr;
    UscUpDown* uscTopMargin = nullptr;
    QLabel* lblLeftMargin = nullptr;
    UscUpDown* uscLeftMargin = nullptr;
    QLabel* lblRightMargin = nullptr;
    UscUpDown* uscRightMargin = nullptr;
    QLabel* lblBottomMargin = nullptr;
    UscUpDown* uscBottomMargin = nullptr;
    QPushButton* cmdPrintStart = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace kuji
