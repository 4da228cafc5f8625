#include "printing/ui/FrmPrint.h"

#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/TypedKey.h"
#include "printing/PrintChoices.h"
#include "printing/PrintLayout.h"
#include "printing/ui/PageTextBatch.h"
#include "printing/ui/PrinterAccess.h"
#include "printing/ui/UscUpDown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace kuji {
namespace {

const QString kPdfPrinter = fromStd(kPdfPrinterName);

// A caption as a screen reader says it: without the mnemonic's "&".
QString plainCaption(const QString& caption)
{
    return QString(caption).remove(QLatin1Char('&'));
}

QLabel* makeLabel(const QString& caption, const char* name, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

QComboBox* makeList(const char* name, const QString& accessibleName, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setAccessibleName(accessibleName);
    combo->setEditable(false);
    // Only a click or Tab gives it the focus: the wheel changes no list here.
    combo->setFocusPolicy(Qt::StrongFocus);
    return combo;
}

} // namespace

// One print run: the layout of the texts and the job it draws on, kept together until the
// run ends.
struct FrmPrint::Run {
    Run(std::vector<std::string> texts, const PrintPageInfo& info)
        : layout(std::move(texts), info)
    {
    }

    PrintLayout layout;
    std::unique_ptr<PrintTarget> target;
    QPainter painter; // ends before the target goes
    std::unique_ptr<PageTextBatch> batch; // the lines of the page being drawn
    double pixelsPerMm = 0;
    double ascent = 0; // from a line's top to its baseline, in pixels
    std::int32_t page = 1;
    QString error; // why the printer refused a page; the run ends there
};

FrmPrint::FrmPrint(Platform& platform, QWidget* caller)
    : FrmPrint(platform, caller, PrinterAccess::system())
{
}

FrmPrint::FrmPrint(Platform& platform, QWidget* caller, PrinterAccess& printers)
    : QDialog(caller)
    , m_platform(platform)
    , m_printers(printers)
    , m_caller(caller)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("印刷"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The printing faces stand in for the names the font list shows.
    for (const PrintFont& font : kPrintFonts)
        QFont::insertSubstitution(fromStd(font.name), fromStd(font.face));

    createControls();
    fillLists();
    // The size is known before the window is shown, so the caller can centre it; the style
    // changes sizes as it polishes the controls.
    ensurePolished();
    adjustSize();
}

FrmPrint::~FrmPrint() = default;

void FrmPrint::createControls()
{
    fraPrinter = new QGroupBox(QStringLiteral("プリンター"), this);
    fraPrinter->setObjectName(QStringLiteral("fraPrinter"));
    cboPrinter = makeList("cboPrinter", plainCaption(fraPrinter->title()), fraPrinter);
    cboPrinter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboPrinter->setMinimumContentsLength(16);
    cmdProperty = new QPushButton(QStringLiteral("プロパティ"), fraPrinter);
    cmdProperty->setObjectName(QStringLiteral("cmdProperty"));
    cmdProperty->setAccessibleName(cmdProperty->text());
    cmdProperty->setAutoDefault(false);
    auto* printerLayout = new QHBoxLayout(fraPrinter);
    printerLayout->addWidget(cboPrinter, 1);
    printerLayout->addWidget(cmdProperty);

    fraFont = new QGroupBox(QStringLiteral("フォント設定"), this);
    fraFont->setObjectName(QStringLiteral("fraFont"));
    cboFont = makeList("cboFont", QString(), fraFont);
    lblFontName = makeLabel(QStringLiteral("フォント名(&F)"), "lblFontName", cboFont, fraFont);
    cboFont->setAccessibleName(plainCaption(lblFontName->text()));
    cboFontSize = makeList("cboFontSize", QString(), fraFont);
    lblFontSize = makeLabel(QStringLiteral("サイズ(&S)"), "lblFontSize", cboFontSize, fraFont);
    cboFontSize->setAccessibleName(plainCaption(lblFontSize->text()));
    auto* fontLayout = new QHBoxLayout(fraFont);
    fontLayout->addWidget(lblFontName);
    fontLayout->addWidget(cboFont, 1);
    fontLayout->addSpacing(fontLayout->spacing() * 2);
    fontLayout->addWidget(lblFontSize);
    fontLayout->addWidget(cboFontSize);

    fraYohaku = new QGroupBox(QStringLiteral("余白設定(単位：mm)"), this);
    fraYohaku->setObjectName(QStringLiteral("fraYohaku"));
    const auto makeMargin
        = [this](const char* labelName, const QString& caption, const char* boxName, QLabel*& label, UscUpDown*& box) {
              box = new UscUpDown(m_platform, fraYohaku);
              box->setObjectName(QLatin1String(boxName));
              box->setCaption(caption);
              // The label's access key gives the focus to its buddy only when the buddy takes
              // focus itself: the text box does, the control around it does not.
              label = makeLabel(caption, labelName, box->textBox(), fraYohaku);
          };
    makeMargin("lblTopMargin", QStringLiteral("上(&T)"), "uscTopMargin", lblTopMargin, uscTopMargin);
    makeMargin("lblLeftMargin", QStringLiteral("左(&L)"), "uscLeftMargin", lblLeftMargin, uscLeftMargin);
    makeMargin("lblRightMargin", QStringLiteral("右(&R)"), "uscRightMargin", lblRightMargin, uscRightMargin);
    makeMargin("lblBottomMargin", QStringLiteral("下(&B)"), "uscBottomMargin", lblBottomMargin, uscBottomMargin);
    // The boxes sit where their edges are: top above, left and right beside, bottom below.
    auto* marginLayout = new QGridLayout(fraYohaku);
    marginLayout->addWidget(lblTopMargin, 0, 3, Qt::AlignRight);
    marginLayout->addWidget(uscTopMargin, 0, 4);
    marginLayout->addWidget(lblLeftMargin, 1, 1, Qt::AlignRight);
    marginLayout->addWidget(uscLeftMargin, 1, 2);
    marginLayout->addWidget(lblRightMargin, 1, 5, Qt::AlignRight);
    marginLayout->addWidget(uscRightMargin, 1, 6);
    marginLayout->addWidget(lblBottomMargin, 2, 3, Qt::AlignRight);
    marginLayout->addWidget(uscBottomMargin, 2, 4);
    marginLayout->setColumnStretch(0, 1);
    marginLayout->setColumnStretch(7, 1);

    cmdPrintStart = new QPushButton(QStringLiteral("印刷"), this);
    cmdPrintStart->setObjectName(QStringLiteral("cmdPrintStart"));
    cmdPrintStart->setAccessibleName(cmdPrintStart->text());
    cmdPrintStart->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(cmdCancel->text());
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrintStart);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraPrinter);
    layout->addWidget(fraFont);
    layout->addWidget(fraYohaku);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cboPrinter, cmdProperty);
    setTabOrder(cmdProperty, cboFont);
    setTabOrder(cboFont, cboFontSize);
    setTabOrder(cboFontSize, uscTopMargin->textBox());
    setTabOrder(uscTopMargin->textBox(), uscLeftMargin->textBox());
    setTabOrder(uscLeftMargin->textBox(), uscRightMargin->textBox());
    setTabOrder(uscRightMargin->textBox(), uscBottomMargin->textBox());
    setTabOrder(uscBottomMargin->textBox(), cmdPrintStart);
    setTabOrder(cmdPrintStart, cmdCancel);

    for (QComboBox* combo : { cboPrinter, cboFont, cboFontSize })
        combo->installEventFilter(this);
    connect(cboPrinter, &QComboBox::activated, this, &FrmPrint::selectPrinter);
    connect(cmdProperty, &QPushButton::clicked, this, &FrmPrint::showProperties);
    connect(cmdPrintStart, &QPushButton::clicked, this, &FrmPrint::startPrinting);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmPrint::reject);
    cboPrinter->setFocus();
}

void FrmPrint::fillLists()
{
    std::vector<std::string> installed;
    for (const QString& name : m_printers.installedPrinters())
        installed.push_back(name.toStdString());
    const std::vector<std::string> choices = printerChoices(installed);
    for (const std::string& name : choices)
        cboPrinter->addItem(fromStd(name));

    for (const PrintFont& font : kPrintFonts)
        cboFont->addItem(fromStd(font.name));
    cboFont->setCurrentIndex(static_cast<int>(kDefaultPrintFont));
    for (std::string_view size : kPrintFontSizes)
        cboFontSize->addItem(fromStd(size));
    cboFontSize->setCurrentIndex(static_cast<int>(kDefaultPrintFontSize));

    // Choosing the preselected printer resets the margins to its strips, as a user's choice does.
    cboPrinter->setCurrentIndex(
        static_cast<int>(preselectedPrinter(choices, m_printers.currentPrinter().toStdString())));
    selectPrinter();
}

void FrmPrint::MPSetString(std::vector<std::string> pstrData)
{
    m_texts = std::move(pstrData);
}

void FrmPrint::MPSetString(const QStringList& pstrData)
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(pstrData.size()));
    for (const QString& text : pstrData)
        texts.push_back(text.toStdString());
    MPSetString(std::move(texts));
}

void FrmPrint::centreOver(const QWidget* caller)
{
    if (!caller)
        return;
    const QRect callerFrame = caller->frameGeometry();
    // Before it is shown the dialog has no frame yet; it will get one like its caller's.
    const QSize ownFrame
        = isVisible() ? frameGeometry().size() : size() + (callerFrame.size() - caller->geometry().size());
    move(std::max(0, callerFrame.left() + (callerFrame.width() - ownFrame.width()) / 2),
        std::max(0, callerFrame.top() + (callerFrame.height() - ownFrame.height()) / 2));
}

int FrmPrint::showModal()
{
    centreOver(m_caller);
    return m_platform.execModal(*this);
}

void FrmPrint::printTexts(Platform& platform, QWidget* caller, std::vector<std::string> texts)
{
    FrmPrint dialog(platform, caller);
    dialog.MPSetString(std::move(texts));
    dialog.showModal();
}

void FrmPrint::printRows(
    Platform& platform, QWidget* caller, std::size_t rows, const std::function<std::string(std::size_t)>& textOf)
{
    std::vector<std::string> texts;
    {
        WaitCursor wait;
        texts.reserve(std::max<std::size_t>(rows, 1));
        for (std::size_t row = 0; row < rows; ++row)
            texts.push_back(textOf(row));
        if (texts.empty())
            texts.emplace_back();
    }
    printTexts(platform, caller, std::move(texts));
}

std::optional<PrinterGeometry> FrmPrint::geometryStep(bool resetMargins)
{
    const QString name = cboPrinter->currentText();
    if (name.isEmpty())
        return std::nullopt;
    std::optional<PrinterGeometry> geometry = m_printers.geometry(name);
    // A printer removed since the list was filled must not print on the one chosen before.
    if (!geometry) {
        reportPrinterError(QStringLiteral("プリンター \"%1\" が見つかりません。").arg(name));
        return std::nullopt;
    }
    m_printers.setCurrentPrinter(name);
    if (resetMargins) {
        const PrintMargins strips = minimumMargins(*geometry);
        uscLeftMargin->setValue(QString::number(strips.left));
        uscTopMargin->setValue(QString::number(strips.top));
        uscRightMargin->setValue(QString::number(strips.right));
        uscBottomMargin->setValue(QString::number(strips.bottom));
    }
    return geometry;
}

void FrmPrint::selectPrinter()
{
    applyPrinterReady(geometryStep(true).has_value());
}

void FrmPrint::showProperties()
{
    m_printers.choosePage(cboPrinter->currentText(), m_platform, this);
    selectPrinter();
}

PrintMargins FrmPrint::margins() const
{
    return { uscLeftMargin->number(), uscTopMargin->number(), uscRightMargin->number(), uscBottomMargin->number() };
}

void FrmPrint::startPrinting()
{
    if (m_busy || !m_printerReady)
        return;
    setBusy(true);
    const std::optional<PrinterGeometry> geometry = geometryStep(false);
    if (!geometry) {
        m_printerReady = false;
        setBusy(false);
        return;
    }
    const PrintPageInfo info = pageInfo(*geometry, margins(), cboFontSize->currentText().toInt());
    if (!info.fits()) {
        m_platform.showError(this, fromStd(kMarginsTooLargeMessage));
        setBusy(false);
        return;
    }

    const QString printer = cboPrinter->currentText();
    QString pdfPath;
    if (printer == kPdfPrinter) {
        pdfPath = askPdfPath();
        // Cancelling the file prompt ends the run like any print run, without a word.
        if (pdfPath.isEmpty()) {
            setBusy(false);
            done(QDialog::Rejected);
            return;
        }
    }

    auto run = std::make_shared<Run>(std::move(m_texts), info);
    m_texts.clear();
    QString error;
    run->target = m_printers.open(printer, pdfPath, error);
    if (run->target && !run->painter.begin(&run->target->device()))
        error = QStringLiteral("プリンター \"%1\" で印刷を始められませんでした。").arg(printer);
    if (!run->target || !run->painter.isActive()) {
        reportPrinterError(error);
        setBusy(false);
        done(QDialog::Rejected);
        return;
    }

    QFont font(fromStd(printFace(cboFont->currentText().toStdString())));
    font.setPointSize(cboFontSize->currentText().toInt());
    font.setKerning(false);
    run->painter.setFont(font);
    run->painter.setPen(Qt::black);
    run->pixelsPerMm = run->target->resolution() / 25.4;
    run->ascent = QFontMetricsF(font, &run->target->device()).ascent();
    run->batch = std::make_unique<PageTextBatch>(run->painter, font, run->target->device());

    LongWork::Task task;
    task.step = [run](LongWork::Clock::time_point deadline) {
        Run& r = *run;
        const bool done = r.layout.step(deadline, [&r](const PrintedLine& line) {
            if (!r.error.isEmpty())
                return;
            if (line.page != r.page) {
                r.batch->flush();
                if (!r.target->newPage()) {
                    r.error = QStringLiteral("プリンターが %1 ページ目を受け付けませんでした。").arg(line.page);
                    return;
                }
                r.page = line.page;
            }
            if (!line.text.empty())
                r.batch->add(QPointF(line.x * r.pixelsPerMm, line.y * r.pixelsPerMm + r.ascent),
                    QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size())));
        });
        if (r.error.isEmpty())
            r.batch->flush();
        return done || !r.error.isEmpty();
    };
    task.finished = [this, run](bool) { finishRun(*run); };
    m_work.start(std::move(task));
}

// The prompt starts in the documents folder, or where the list save starts when there is
// none: a folder that does not exist would come back as a proposed file name. The name is
// settled only once ".pdf" is added, after the dialog, so the question before replacing a
// file is asked here, for every name; No brings the prompt back.
QString FrmPrint::askPdfPath()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    FileDialogRequest request
        = FileDialogRequest::startingAt(kPdfPrinter, documents + QLatin1Char('/'), QStringLiteral("*.pdf (*.pdf)"));
    request.confirmOverwrite = false;
    for (;;) {
        QString path = m_platform.getSaveFileName(this, request);
        if (path.isEmpty())
            return {};
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        const QFileInfo chosen(path);
        if (!chosen.exists() || chosen.isDir() || m_platform.confirmReplace(this, kPdfPrinter, path))
            return path;
        request = FileDialogRequest::startingAt(kPdfPrinter, path, request.filter);
        request.confirmOverwrite = false;
    }
}

// The pages drawn so far go to the printer even after a refused page; then the dialog closes.
void FrmPrint::finishRun(Run& run)
{
    if (run.batch && run.error.isEmpty())
        run.batch->flush();
    run.painter.end();
    QString error = run.error;
    QString sendError;
    if (!run.target->finish(sendError) && error.isEmpty())
        error = sendError;
    m_pagesPrinted = run.layout.lines() > 0 ? run.page : 0;
    if (!error.isEmpty())
        reportPrinterError(error);
    setBusy(false);
    done(error.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
}

void FrmPrint::reportPrinterError(const QString& detail)
{
    std::string description(describeRuntimeErrorNumber(kPrinterError));
    if (!detail.isEmpty())
        description += "\r\n" + detail.toStdString();
    m_error.set(kPrinterError, std::move(description));
    myShowRuntimeError(m_platform, this, m_error);
}

void FrmPrint::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_busyCursor.set(busy);
    for (QWidget* control : { static_cast<QWidget*>(cboPrinter), static_cast<QWidget*>(cboFont),
             static_cast<QWidget*>(cboFontSize), static_cast<QWidget*>(cmdCancel) })
        control->setEnabled(!busy);
    for (UscUpDown* box : { uscTopMargin, uscLeftMargin, uscRightMargin, uscBottomMargin })
        box->LSSetEnabled(!busy);
    applyPrinterReady(m_printerReady);
}

void FrmPrint::applyPrinterReady(bool ready)
{
    m_printerReady = ready;
    cmdPrintStart->setEnabled(ready && !m_busy);
    cmdProperty->setEnabled(ready && !m_busy);
}

void FrmPrint::closeEvent(QCloseEvent* event)
{
    // A print run cannot be closed away.
    if (m_busy) {
        m_platform.beep();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmPrint::reject()
{
    if (m_busy) {
        m_platform.beep();
        return;
    }
    QDialog::reject();
}

bool FrmPrint::eventFilter(QObject* watched, QEvent* event)
{
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (combo && (combo == cboPrinter || combo == cboFont || combo == cboFontSize)) {
        if (event->type() == QEvent::Wheel)
            return true;
        if (event->type() == QEvent::KeyPress)
            return comboKey(combo, static_cast<QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

// The lists change only by Up and Down or by choosing an item from the open list; the keys
// that move between controls, press buttons or open the list keep their meaning. Anything
// else is dropped, with a beep for a typed character. Returns true when the key is dropped.
bool FrmPrint::comboKey(QComboBox*, QKeyEvent* key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        return modifiers != Qt::NoModifier && modifiers != Qt::AltModifier;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F4:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return false;
    default:
        break;
    }
    if (typedCharacter(*key))
        m_platform.beep();
    return true;
}

} // namespace kuji
