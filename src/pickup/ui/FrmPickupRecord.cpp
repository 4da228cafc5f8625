#include "pickup/ui/FrmPickupRecord.h"

#include "common/MemoryRelease.h"
#include "common/RuntimeError.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/ToolWindowShell.h"
#include "common/ui/WindowParts.h"
#include "entries/EntryReader.h"
#include "entries/ui/ListCommands.h"
#include "entries/ui/ListSaveDialog.h"
#include "pickup/PickupTransfer.h"
#include "pickup/RecordLoader.h"
#include "pickup/ui/ConditionFrame.h"
#include "pickup/ui/FrmPickupRecordError.h"
#include "pickup/ui/PickupProgressFrame.h"
#include "pickup/ui/PickupResultModel.h"
#include "pickup/ui/PickupStatusBar.h"
#include "pickup/ui/RecordListModel.h"
#include "printing/ui/FrmPrint.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kuji {

// One load of a record file, from its first slice to its end.
struct RecordLoad {
    QString path;
    RecordLoader loader;
    bool started = false;
    bool counted = false;
};

namespace {

constexpr int kMargin = 8; // 120 twips
// Rows the record and result lists show at once.
constexpr int kListRows = 8;

QTableView* makeListView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    QTableView* view = makeRowList(name, model, parent);
    view->horizontalHeader()->setMinimumSectionSize(0);
    // A click in either list ends the selections of the condition lists.
    view->viewport()->installEventFilter(parent->window());
    return view;
}

} // namespace

FrmPickupRecord::FrmPickupRecord(
    MainWindowPort& main, Platform& platform, const Settings& settings, HelpService& help, QWidget* parent)
    : QMainWindow(parent)
    , m_main(main)
    , m_platform(platform)
    , m_settings(settings)
    , m_commands(this)
{
    setObjectName(QStringLiteral("frmPickupRecord"));
    setWindowTitle(QStringLiteral("Pickup Record"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pickup.svg")));
    // Moved and minimised, never resized or maximised.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));

    m_records = new RecordListModel(this);
    m_results = new PickupResultModel(this);

    createCommands();
    m_shell
        = new ToolWindowShell(this, m_commands, main, platform, help, kHelpTopicPickupRecord, [this] { transfer(); });
    // The result list's commands, in the same order in the 編集 menu and the popup menu.
    const std::vector<const char*> editCommands
        = { "mnuHensyuAllSelect", "-", "mnuHensyuCopy", "-", "mnuHensyuSortAsc", "mnuHensyuSortDesc" };
    QVBoxLayout* content
        = m_shell->build({ { "mnuFile", QStringLiteral("ファイル(&F)"),
                               { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "-", "mnuFileEnd" } },
                             { "mnuHensyu", QStringLiteral("編集(&E)"), editCommands },
                             { "mnuRun", QStringLiteral("実行(&R)"), { "mnuRunStart", "mnuRunStop" } } },
            { { "M_Open", "mnuFileOpen" }, { "M_Save", "mnuFileSave" }, { "M_Print", "mnuFilePrint" }, { "" },
                { "M_AllSelect", "mnuHensyuAllSelect" }, { "M_Copy", "mnuHensyuCopy" },
                // The button sorts ascending; its drop-down offers both orders.
                { "M_Sort", "mnuHensyuSortAsc",
                    { { "M_SortAsc", QStringLiteral("昇順に並べ替え"), "mnuHensyuSortAsc" },
                        { "M_SortDesc", QStringLiteral("降順に並べ替え"), "mnuHensyuSortDesc" } } },
                { "" }, { "M_Start", "mnuRunStart" }, { "M_Stop", "mnuRunStop" } });
    mnuPopup = m_commands.makePopup({ "mnuPopup", QStringLiteral("ポップアップメニュー"), editCommands });
    createContent(content);
    const PickupStatusPanels panels = addPickupStatusPanels(statusBar());
    S_FilePath = panels.filePath;
    S_Pickup = panels.pickup;
    S_Original = panels.original;

    // The size the layout needs at the fonts in use is the window's size for good.
    setFixedSize(sizeHint());
    const Settings::Point stored = m_settings.readPickupPosition();
    restoreWindowRect(this, { stored.left, stored.top, 0, 0 }, false);

    setCommandState(false);
    setCommandState(true);
}

FrmPickupRecord::~FrmPickupRecord() = default;

void FrmPickupRecord::createCommands()
{
    m_commands.add({
        { "mnuFileOpen", QStringLiteral("開く(&O)"), { QKeySequence(Qt::CTRL | Qt::Key_O) }, "open",
            QStringLiteral("開く"), [this] { openRecordFile(); } },
        // The dialog starts at the record file.
        { "mnuFileSave", QStringLiteral("保存(&S)"), { QKeySequence(Qt::CTRL | Qt::Key_S) }, "save",
            QStringLiteral("保存"),
            [this] {
                ListSaveDialog::start(m_platform, this, this, m_recordFilePath, m_results->rows(),
                    [this](std::size_t row, std::string& scratch) { return m_results->rowTextView(row, scratch); });
            } },
        // Every result line in the order shown; an empty list prints one blank page.
        { "mnuFilePrint", QStringLiteral("印刷(&P)"), { QKeySequence(Qt::CTRL | Qt::Key_P) }, "print",
            QStringLiteral("印刷"),
            [this] {
                FrmPrint::printRows(
                    m_platform, this, m_results->rows(), [this](std::size_t row) { return m_results->rowText(row); });
            } },
        { "mnuFileEnd", QStringLiteral("終了(&X)"), {}, nullptr, {}, [this] { close(); } },
        { "mnuHensyuAllSelect", QStringLiteral("すべて選択(&A)"), {}, "selectall", QStringLiteral("すべて選択") },
        { "mnuHensyuCopy", QStringLiteral("コピー(&C)"), {}, "copy", QStringLiteral("コピー") },
        { "mnuHensyuSortAsc", QStringLiteral("昇順に並び替え"), {}, "sort", QStringLiteral("昇順に並べ替え") },
        { "mnuHensyuSortDesc", QStringLiteral("降順に並び替え") },
        { "mnuRunStart", QStringLiteral("開始(&S)"), {}, "start", QStringLiteral("開始"), [this] { runStart(); } },
        // The load or the run ends before its next slice and leaves nothing behind.
        { "mnuRunStop", QStringLiteral("停止(&E)"), {}, "stop", QStringLiteral("停止"),
            [this] { m_work.requestStop(); } },
    });
}

// The conditions above; below them the record list, the result list and the progress frame
// share one place, one of them showing at a time.
void FrmPickupRecord::createContent(QVBoxLayout* content)
{
    auto* outer = new QVBoxLayout;
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kMargin);
    content->addLayout(outer, 1);

    fraWordSet = new ConditionFrame(m_platform, centralWidget());
    connect(fraWordSet, &ConditionFrame::conditionsChanged, this, &FrmPickupRecord::refreshStart);
    outer->addWidget(fraWordSet);

    auto* area = new QWidget(centralWidget());
    area->setObjectName(QStringLiteral("picDataArea"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    lvwOriginalData = makeListView("lvwOriginalData", m_records, this);
    lvwOriginalData->setAccessibleName(QStringLiteral("読み込んだレコード"));
    lvwOriginalData->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwOriginalData->horizontalHeader()->setDefaultSectionSize(twipsToPixels(1000, logicalDpiX()));
    lvwPickupData = makeListView("lvwPickupData", m_results, this);
    lvwPickupData->setAccessibleName(QStringLiteral("実行結果"));
    lvwPickupData->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwPickupData->horizontalHeader()->resizeSection(0, 0);
    // Select all, copy, the sorts, Ctrl+A, Ctrl+C and the popup menu act on the full lines.
    m_resultCommands = new ListCommands(lvwPickupData, *m_results, m_platform, mnuPopup, this, this);
    connect(m_commands["mnuHensyuAllSelect"], &QAction::triggered, m_resultCommands, &ListCommands::selectAll);
    connect(m_commands["mnuHensyuCopy"], &QAction::triggered, m_resultCommands, &ListCommands::copy);
    connect(m_commands["mnuHensyuSortAsc"], &QAction::triggered, m_resultCommands, &ListCommands::sortAscending);
    connect(m_commands["mnuHensyuSortDesc"], &QAction::triggered, m_resultCommands, &ListCommands::sortDescending);
    lvwPickupData->hide();
    fraProgressbar = new PickupProgressFrame(area);

    grid->addWidget(lvwOriginalData, 0, 0);
    grid->addWidget(lvwPickupData, 0, 0);
    grid->addWidget(fraProgressbar, 0, 0);
    const QFontMetrics metrics(lvwOriginalData->font());
    area->setFixedHeight(lvwOriginalData->horizontalHeader()->sizeHint().height() + (metrics.height() + 2) * kListRows
        + 2 * lvwOriginalData->frameWidth() + lvwOriginalData->horizontalScrollBar()->sizeHint().height());
    outer->addWidget(area);
}

QToolButton* FrmPickupRecord::toolbarButton(const QString& key) const
{
    return m_commands.button(key);
}

// --- Command state ---------------------------------------------------------------------

void FrmPickupRecord::setCommandState(bool idle, bool stoppable)
{
    if (idle)
        m_state.setIdle(fraWordSet->lists().totalConditions(), m_records->recordCount());
    else if (stoppable)
        m_state.setBusy();
    else
        m_state.setBusyForTransfer();
    m_shell->setBusy(m_state.busy());
    applyCommandState();
}

void FrmPickupRecord::beginWork(const QString& status, qint64 maximum)
{
    setCommandState(false);
    fraProgressbar->begin(status, maximum);
}

void FrmPickupRecord::setWorkProgress(qint64 value)
{
    fraProgressbar->setValue(value);
}

void FrmPickupRecord::endWork()
{
    fraProgressbar->end();
    setCommandState(true);
    // The list commands leave the result standing, and its commands with it.
    if (!m_results->isEmpty()) {
        m_state.runCompleted();
        applyCommandState();
    }
}

void FrmPickupRecord::refreshStart()
{
    m_state.refreshStart(fraWordSet->lists().totalConditions(), m_records->recordCount());
    applyCommandState();
}

// Buttons are the masters; every menu item copies its button.
void FrmPickupRecord::applyCommandState()
{
    const auto enable = [this](const char* command, PickupButton button) {
        m_commands[command]->setEnabled(m_state.enabled(button));
    };
    enable("mnuFileOpen", PickupButton::Open);
    enable("mnuFileSave", PickupButton::Save);
    enable("mnuFilePrint", PickupButton::Print);
    enable("mnuHensyuAllSelect", PickupButton::AllSelect);
    enable("mnuHensyuCopy", PickupButton::Copy);
    enable("mnuHensyuSortAsc", PickupButton::Sort);
    enable("mnuHensyuSortDesc", PickupButton::Sort);
    enable("mnuRunStart", PickupButton::Start);
    enable("mnuRunStop", PickupButton::Stop);
    m_shell->setSendEnabled(m_state.enabled(PickupButton::Send));
    m_commands["mnuFileEnd"]->setEnabled(m_state.fileEndEnabled());
    fraWordSet->setEnabled(m_state.conditionsEnabled());
}

void FrmPickupRecord::closeEvent(QCloseEvent* event)
{
    // Work in progress cannot be closed away.
    if (!m_shell->closing(m_state.busy())) {
        event->ignore();
        return;
    }
    const Settings::Rect place = windowRectToStore(this);
    m_settings.writePickupPosition({ place.left, place.top });
    event->accept();
    emit closed();
}

bool FrmPickupRecord::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        && (watched == lvwOriginalData->viewport() || watched == lvwPickupData->viewport()))
        fraWordSet->clearSelections();
    return QMainWindow::eventFilter(watched, event);
}

// --- Loading a record file -------------------------------------------------------------

void FrmPickupRecord::openRecordFile()
{
    const QString path = m_platform.getOpenFileName(
        this, FileDialogRequest::startingAt(QStringLiteral("開く"), m_recordFilePath, kTextFileFilter));
    if (!path.isEmpty())
        readRecordFile(path);
}

void FrmPickupRecord::readRecordFile(const QString& given)
{
    if (given.isEmpty() || m_state.busy() || m_work.isRunning())
        return;
    const QString path = QFileInfo(given).absoluteFilePath();
    m_recordFilePath = path;
    setCommandState(false);
    S_FilePath->setText(path);
    S_Original->setText(QStringLiteral("0"));
    S_Pickup->setText(QStringLiteral("0"));
    fraProgressbar->begin(QStringLiteral("ファイル読み込み中..."), 1);
    lvwOriginalData->hide();
    lvwPickupData->hide();
    m_records->clear();
    m_results->clear();

    auto load = std::make_shared<RecordLoad>();
    load->path = path;
    LongWork::Task task;
    task.step = [this, load](LongWork::Clock::time_point deadline) {
        RecordLoader& loader = load->loader;
        if (!load->started) {
            load->started = true;
            if (loader.start(toStd(load->path)) == RecordLoader::State::Finished)
                return true;
        }
        // The first slices read the bytes and count the lines; the bar gets its maximum as
        // soon as the count is known, before it shows any line, a bad record's included.
        const RecordLoader::State state = loader.step(deadline);
        if (!load->counted && loader.lineCount() > 0) {
            load->counted = true;
            fraProgressbar->begin(QStringLiteral("ファイル読み込み中..."), loader.lineCount());
        }
        if (state == RecordLoader::State::Question)
            askAboutBadRecord(*load);
        return loader.state() == RecordLoader::State::Finished;
    };
    task.progress = [this, load] { fraProgressbar->setValue(load->loader.linesRead()); };
    task.finished = [this, load](bool stopped) { finishLoad(*load, stopped); };
    m_work.start(std::move(task));
}

// The load waits while the user decides about a bad record.
void FrmPickupRecord::askAboutBadRecord(RecordLoad& load)
{
    RecordLoader& loader = load.loader;
    m_work.pause();
    // The bar shows where the bad record stands while the user decides.
    fraProgressbar->setValue(loader.linesRead());
    // The dialog is answered with the normal pointer; the hourglass comes back with the load.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    FrmPickupRecordError dialog(
        loader.question(), [&loader](const QString& text) { return loader.fix(toStd(text)); }, this);
    m_platform.execModal(dialog);
    QApplication::restoreOverrideCursor();
    switch (dialog.answer()) {
    case FrmPickupRecordError::Answer::Fixed:
        break;
    case FrmPickupRecordError::Answer::SkipAll:
        loader.skipAll();
        break;
    case FrmPickupRecordError::Answer::Skip:
        loader.skip();
        break;
    }
    m_work.resume();
}

void FrmPickupRecord::finishLoad(RecordLoad& load, bool stopped)
{
    RecordLoader& loader = load.loader;
    const bool loaded = !stopped && loader.state() == RecordLoader::State::Finished
        && loader.outcome() == RecordLoader::Outcome::Loaded;
    // Only a complete load leaves records, headers and a path: the path never names one
    // file while the list holds another.
    const std::int32_t separators = loaded ? loader.separatorCount() : 0;
    if (loaded) {
        m_records->setRecords(std::make_shared<const EntryList>(loader.takeRows()), separators + 1);
        S_FilePath->setText(load.path);
    } else {
        m_records->clear();
        S_FilePath->clear();
        (void)loader.takeRows();
    }
    // What an earlier list, or a load that did not complete, held goes back to the system once
    // the load is let go of.
    QTimer::singleShot(0, this, [] { returnFreedMemory(); });
    fraWordSet->setFieldCount(static_cast<std::size_t>(separators) + 1);
    S_Original->setText(QString::number(m_records->recordCount()));
    S_Pickup->setText(QStringLiteral("0"));
    fraProgressbar->end();
    showList(lvwOriginalData);
    setCommandState(true);

    if (stopped || loader.state() != RecordLoader::State::Finished)
        return;
    switch (loader.outcome()) {
    case RecordLoader::Outcome::Loaded:
        // The same warning as for an entry file.
        if (loader.unclosedQuoteLine() != 0)
            m_platform.showMessage(this,
                { QString::fromStdString(formatUnclosedQuoteWarning(loader.unclosedQuoteLine())),
                    QStringLiteral("くじ丸"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok });
        break;
    case RecordLoader::Outcome::TooManySeparators:
        m_platform.showError(this, QString::fromStdString(loader.message()));
        break;
    case RecordLoader::Outcome::ReadFailed: {
        RuntimeError failure;
        failure.set(loader.error().number, loader.error().description);
        myShowRuntimeError(m_platform, this, failure);
        break;
    }
    default:
        break;
    }
}

// --- The filter run --------------------------------------------------------------------

void FrmPickupRecord::runStart()
{
    if (m_state.busy() || m_work.isRunning())
        return;
    setCommandState(false);
    const std::shared_ptr<const EntryList> records = m_records->sharedRecords();
    fraProgressbar->begin(QStringLiteral("ピックアップ中..."), static_cast<qint64>(records->size()));
    lvwOriginalData->hide();
    lvwPickupData->hide();
    m_results->clear();
    S_Pickup->setText(QStringLiteral("0"));

    auto run = std::make_shared<PickupRun>(records, PickupFilter(fraWordSet->lists().all()));
    LongWork::Task task;
    task.step = [run](LongWork::Clock::time_point deadline) { return run->step(deadline); };
    task.progress = [this, run] {
        fraProgressbar->setValue(static_cast<qint64>(run->processed()));
        S_Pickup->setText(QString::number(run->keptCount()));
    };
    task.finished = [this, run](bool stopped) {
        fraProgressbar->end();
        if (stopped || run->stopped()) {
            // Nothing of a stopped run is kept.
            S_Pickup->setText(QStringLiteral("0"));
            showList(lvwOriginalData);
        } else {
            m_results->setResult(run->takeResult());
            S_Pickup->setText(QString::number(m_results->rowCount()));
            m_state.runCompleted();
            fitResultColumn();
            showList(lvwPickupData);
            lvwPickupData->setFocus();
        }
        setCommandState(true);
    };
    m_work.start(std::move(task));
}

// --- Transfer to the main window -------------------------------------------------------

void FrmPickupRecord::transfer()
{
    if (m_state.busy() || m_work.isRunning())
        return;
    // A transfer cannot be stopped.
    setCommandState(false, false);
    const qint64 rows = m_results->rowCount();
    fraProgressbar->begin(QStringLiteral("ピックアップデータ転送中..."), rows);
    lvwOriginalData->hide();
    lvwPickupData->hide();

    auto entries = std::make_shared<EntryList>();
    auto shown = std::make_shared<bool>(false);
    LongWork::Task task;
    task.step = [this, entries, shown](LongWork::Clock::time_point) {
        // The progress frame is drawn once before the copy.
        if (!*shown) {
            *shown = true;
            return false;
        }
        const PickupResult& result = m_results->result();
        *entries = makeTransferEntries(result.size(), [&result](std::size_t i) { return result.text(i); });
        return true;
    };
    task.progress = [this, entries] { fraProgressbar->setValue(static_cast<qint64>(entries->size())); };
    task.finished = [this, entries](bool) {
        m_main.replaceWorkList(std::move(*entries), S_FilePath->text(), false);
        fraProgressbar->end();
        showList(lvwPickupData);
        m_platform.showMessage(this,
            { QStringLiteral("Pickup Recored の実行結果をくじ丸に送りました｡"), QStringLiteral("完了"),
                QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok });
        setCommandState(true);
    };
    m_work.start(std::move(task));
}

// --- Lists -----------------------------------------------------------------------------

void FrmPickupRecord::showList(QTableView* shown)
{
    (shown == lvwOriginalData ? lvwPickupData : lvwOriginalData)->hide();
    shown->show();
}

void FrmPickupRecord::fitResultColumn()
{
    lvwPickupData->resizeColumnToContents(0);
}

} // namespace kuji
