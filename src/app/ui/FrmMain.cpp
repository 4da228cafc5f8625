#include "app/ui/FrmMain.h"

#include "app/ui/AnnounceLink.h"
#include "app/ui/DrawCommand.h"
#include "app/ui/DrawRecording.h"
#include "app/ui/ListArea.h"
#include "app/ui/ReplacementCommand.h"
#include "app/ui/ResetCommands.h"
#include "app/ui/SettingsFrames.h"
#include "common/ui/CommandTable.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/FrmAbout.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/WaitCursor.h"
#include "common/ui/WindowParts.h"
#include "draw/DrawPlan.h"
#include "entries/ui/FileModeCommands.h"
#include "entries/ui/ListCommands.h"
#include "entries/ui/ListSaveDialog.h"
#include "entries/ui/ResultListModel.h"
#include "newstring/ui/FrmNewString.h"
#include "pickup/ui/PickupRecordTool.h"
#include "printing/ui/FrmPrint.h"
#include "records/RecordedDraw.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <chrono>

namespace kuji {
namespace {

// Designed sizes, in pixels at 15 twips per pixel.
constexpr int kMargin = 8; // 120 twips
constexpr int kMinInnerWidth = 376; // 5640 twips
constexpr int kMinInnerHeight = 225; // 3375 twips

const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

} // namespace

FrmMain::FrmMain(Platform& platform, SeedSource& seeds, HelpService& help, std::string settingsPath,
    std::string recordsFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_help(help)
    , m_settings(std::move(settingsPath))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("くじ丸"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kujimaru.svg")));

    QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));

    m_kekka = new ResultListModel(this);
    m_sagyo = new EntryListModel(QStringLiteral("ファイルの内容"), this);
    m_fileMode = new FileModeCommands(*this, m_platform, m_settings, this);
    m_resets = new ResetCommands(*this, m_settings, *m_fileMode, this);
    m_pickupRecord = new PickupRecordTool(*this, m_platform, m_settings, m_help, this);
    m_recording = new DrawRecording(*this, m_platform, m_help, m_settings, seeds, std::move(recordsFolder), this);
    // A completed draw's results take the keyboard.
    m_draw = new DrawCommand(
        *this, *m_kekka, *m_recording, m_platform, [this] { lvwKekka->setFocus(); }, this);
    m_replacement = new ReplacementCommand(*this, *m_kekka, *m_recording, m_platform, seeds, this);
    m_draw->setCompletedListener([this](const RecordedDraw& draw) { m_replacement->drawCompleted(draw); });
    connect(m_replacement, &ReplacementCommand::changed, this, &FrmMain::applyCommandState);
    // The column fits the 欠席 marks.
    connect(m_replacement, &ReplacementCommand::replaced, this, [this] { m_lists->fitColumns(); });
    m_announce = new AnnounceLink(*this, *m_kekka, m_platform, m_help, m_settings, *m_replacement, this);

    createCommands();
    createCentralArea();

    updateMinimumSize();
    resize(minimumSize());

    loadSettings();
    setCommandState(false);
    setCommandState(true);
    refreshStartAvailability();
}

// Window position and size, mode, no-duplicates option and recent files, as the last run
// left them. Positions are kept in twips at the screen's logical resolution.
void FrmMain::loadSettings()
{
    const double dpi = screen()->logicalDotsPerInch();
    const QSize screenSize = screen()->geometry().size();
    restoreWindowRect(this,
        m_settings.readMainWindowRect(pixelsToTwips(screenSize.width(), dpi), pixelsToTwips(screenSize.height(), dpi)));

    selectMode(m_settings.readMode() == Settings::Mode::File);
    m_frames->chkDaburi->setChecked(m_settings.readNoDuplicates());
    m_fileMode->restoreRecentFiles();
}

// The window is never narrower than its menu bar, its toolbar and its frames need at the
// fonts in use, nor smaller than its designed minimum, so nothing hides behind an overflow
// button or gets cut.
void FrmMain::updateMinimumSize()
{
    m_frames->fitHeights();
    const int needed = std::max({ kMinInnerWidth, menuBar()->sizeHint().width(), tlbMain->sizeHint().width(),
        centralWidget()->minimumSizeHint().width() });
    const int height = std::max(kMinInnerHeight + menuBar()->sizeHint().height(),
        menuBar()->sizeHint().height() + tlbMain->sizeHint().height() + centralWidget()->minimumSizeHint().height());
    setMinimumSize(needed, height);
}

void FrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateMinimumSize();
}

void FrmMain::saveSettings()
{
    m_settings.writeMainWindowRect(windowRectToStore(this));
    m_settings.writeOption(
        isFileMode() ? Settings::Mode::File : Settings::Mode::Number, m_frames->chkDaburi->isChecked());
    m_fileMode->storeRecentFiles();
}

void FrmMain::showVersion()
{
    FrmAbout about(m_platform, this);
    about.centreOver(this);
    m_platform.execModal(about);
}

FrmMain::~FrmMain() { }

void FrmMain::createCommands()
{
    m_commands.add({
        { "mnuFileOpen", QStringLiteral("開く(&O)"), { QKeySequence(Qt::CTRL | Qt::Key_O) }, "open",
            QStringLiteral("開く") },
        // The results in the order shown; the dialog starts from the first box (a path, or
        // the minimum as the proposed name).
        { "mnuFileSave", QStringLiteral("保存(&S)"), { QKeySequence(Qt::CTRL | Qt::Key_S) }, "save",
            QStringLiteral("保存"),
            [this] {
                ListSaveDialog::start(m_platform, this, this, m_frames->txtSaisyo->text(), m_kekka->rows(),
                    [this](std::size_t row, std::string& scratch) { return m_kekka->rowTextView(row, scratch); });
            } },
        // Every result row in the order shown, round headers and empty rows included.
        { "mnuFilePrint", QStringLiteral("印刷(&P)"), { QKeySequence(Qt::CTRL | Qt::Key_P) }, "print",
            QStringLiteral("印刷"),
            [this] {
                FrmPrint::printRows(
                    m_platform, this, m_kekka->rows(), [this](std::size_t row) { return m_kekka->rowText(row); });
            } },
        { "mnuFileEnd", QStringLiteral("終了(&X)"), {}, nullptr, {}, [this] { close(); } },
        { "mnuHensyuAllSelect", QStringLiteral("すべて選択(&A)"), {}, "selectall", QStringLiteral("すべて選択") },
        { "mnuHensyuCopy", QStringLiteral("コピー(&C)"), {}, "copy", QStringLiteral("コピー") },
        { "mnuHensyuDelete", QStringLiteral("削除(&D)") },
        { "mnuHensyuSortAsc1", QStringLiteral("抽選順に並び替え") },
        { "mnuHensyuSortAsc2", QStringLiteral("昇順に並び替え"), {}, "sort", QStringLiteral("昇順に並べ替え") },
        { "mnuHensyuSortDesc", QStringLiteral("降順に並び替え") },
        // Winners selected in the results are absent: one replacement is drawn for each.
        { "mnuHensyuRedraw", QStringLiteral("再抽選(&R)"), {}, nullptr, {},
            [this] { m_replacement->replaceSelected(*lvwKekka); } },
        { "mnuToolPickupRecord", QStringLiteral("Pickup Record(&P)"), {}, "pickup", QStringLiteral("Pickup Record") },
        // The string window is modal: the main window waits until it closes.
        { "mnuToolNewString", QStringLiteral("文字列作成(&S)"), {}, nullptr, {},
            [this] {
                FrmNewString newString(*this, m_platform, m_help, m_settings, this);
                m_platform.execModal(newString);
            } },
        { "mnuToolRecords", QStringLiteral("抽選記録(&L)") },
        { "mnuToolAnnounce", QStringLiteral("発表(&A)"), { QKeySequence(Qt::Key_F11) }, nullptr, {},
            [this] { m_announce->open(); } },
        { "mnuRunStart", QStringLiteral("開始(&S)"), { QKeySequence(Qt::Key_F5) }, "start", QStringLiteral("開始"),
            [this] { m_draw->start(); } },
        { "mnuRunStop", QStringLiteral("停止(&E)"), {}, "stop", QStringLiteral("停止"), [this] { runStop(); } },
        { "mnuResetStandard", QStringLiteral("標準リセット(&S)"), {}, "reset", QStringLiteral("標準リセット") },
        { "mnuResetCustom", QStringLiteral("カスタムリセット(&C)") },
        { "mnuResetCustomSet", QStringLiteral("現在の状態をカスタムリセットの設定にする(&N)") },
        { "mnuHelpHelp", QStringLiteral("ヘルプ(&H)"), { QKeySequence(Qt::Key_F1) }, nullptr, {},
            [this] { m_help.showContents(); } },
        { "mnuHelpVersion", QStringLiteral("バージョン情報(&V)"), {}, nullptr, {}, [this] { showVersion(); } },
        // The toolbar's help button opens the main window's own topic, not the contents.
        { "actHelpTopic", QStringLiteral("ヘルプ"), {}, "help", QStringLiteral("ヘルプ"),
            [this] { m_help.showTopic(kHelpTopicMainWindow); } },
    });
    connect(m_commands["mnuFileOpen"], &QAction::triggered, m_fileMode, &FileModeCommands::open);
    connect(m_commands["mnuToolPickupRecord"], &QAction::triggered, m_pickupRecord, &PickupRecordTool::open);
    connect(m_commands["mnuToolRecords"], &QAction::triggered, m_recording, &DrawRecording::openWindow);
    connect(m_commands["mnuResetStandard"], &QAction::triggered, m_resets, &ResetCommands::resetStandard);
    connect(m_commands["mnuResetCustom"], &QAction::triggered, m_resets, &ResetCommands::resetCustom);
    connect(m_commands["mnuResetCustomSet"], &QAction::triggered, m_resets, &ResetCommands::storeCustomReset);

    // The result list's commands, in the same order in the 編集 menu and the popup menu.
    const std::vector<const char*> editCommands = { "mnuHensyuAllSelect", "-", "mnuHensyuCopy", "-", "mnuHensyuDelete",
        "-", "mnuHensyuSortAsc1", "mnuHensyuSortAsc2", "mnuHensyuSortDesc" };
    mnuFileUse = m_fileMode->makeRecentFilesMenu(m_commands);
    m_commands.addMenu(menuBar(),
        { "mnuFile", QStringLiteral("ファイル(&F)"),
            { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "-", ">mnuFileUse", "-", "mnuFileEnd" } });
    std::vector<const char*> editMenu = editCommands;
    editMenu.insert(editMenu.end(), { "-", "mnuHensyuRedraw" });
    m_commands.addMenu(menuBar(), { "mnuHensyu", QStringLiteral("編集(&E)"), editMenu });
    m_commands.addMenu(menuBar(),
        { "mnuTool", QStringLiteral("ツール(&T)"),
            { "mnuToolPickupRecord", "-", "mnuToolNewString", "-", "mnuToolRecords", "-", "mnuToolAnnounce" } });
    m_commands.addMenu(menuBar(), { "mnuRun", QStringLiteral("実行(&R)"), { "mnuRunStart", "mnuRunStop" } });
    mnuReset = m_commands.addMenu(menuBar(),
        { "mnuReset", QStringLiteral("リセット(&S)"),
            { "mnuResetStandard", "mnuResetCustom", "-", "mnuResetCustomSet" } });
    m_commands.addMenu(
        menuBar(), { "mnuHelp", QStringLiteral("ヘルプ(&H)"), { "mnuHelpHelp", "-", "mnuHelpVersion" } });
    mnuPopup = m_commands.makePopup({ "mnuPopup", QStringLiteral("ポップアップメニュー"), editCommands });

    tlbMain = m_commands.makeToolbar(this,
        { { "M_Open", "mnuFileOpen" }, { "M_Save", "mnuFileSave" }, { "M_Print", "mnuFilePrint" }, { "" },
            { "M_AllSelect", "mnuHensyuAllSelect" }, { "M_Copy", "mnuHensyuCopy" },
            { "M_Sort", "mnuHensyuSortAsc2",
                { { "M_SortAsc1", QStringLiteral("抽選順に並べ替え"), "mnuHensyuSortAsc1" },
                    { "M_SortAsc2", QStringLiteral("昇順に並べ替え"), "mnuHensyuSortAsc2" },
                    { "M_SortDesc", QStringLiteral("降順に並べ替え"), "mnuHensyuSortDesc" } } },
            { "" }, { "M_PickupRecord", "mnuToolPickupRecord" }, { "" }, { "M_Start", "mnuRunStart" },
            { "M_Stop", "mnuRunStop" }, { "" },
            { "M_Reset", "mnuResetStandard",
                { { "M_ResetStandard", QStringLiteral("標準リセット"), "mnuResetStandard" },
                    { "M_ResetCustom", QStringLiteral("カスタムリセット"), "mnuResetCustom" },
                    { "M_ResetSeparator", {}, nullptr },
                    { "M_ResetCustomSet", QStringLiteral("現在の状態をカスタムリセットの設定にする"),
                        "mnuResetCustomSet" } } },
            { "" }, { "M_Help", "actHelpTopic" } });
    addToolBar(tlbMain);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void FrmMain::createCentralArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    auto* window = new QVBoxLayout(central);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(makeEtchedLine(central));
    auto* outer = new QVBoxLayout;
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin * 3 / 2);
    outer->setSpacing(kMargin);
    window->addLayout(outer, 1);

    auto* top = new QHBoxLayout;
    m_frames = new SettingsFrames(m_platform, central, top);
    connect(m_frames, &SettingsFrames::modeChosen, this, &FrmMain::switchMode);
    connect(m_frames, &SettingsFrames::changed, this, &FrmMain::refreshStartAvailability);
    m_fileMode->acceptDropsOn(m_frames->txtSaisyo);
    connect(m_frames->cmdFile, &QToolButton::clicked, m_fileMode, &FileModeCommands::open);
    outer->addLayout(top);
    // A waiting commitment has a row of its own, between the settings and the lists.
    outer->addWidget(m_recording->commitmentFrame());
    m_recording->commitmentFrame()->installEventFilter(this);
    m_lists = new ListArea(central, *m_kekka, *m_sagyo, [this] { return !m_kekka->isEmpty() || !isFileMode(); });
    lvwKekka = m_lists->lvwKekka;
    fraProgressbar = m_lists->fraProgressbar;
    createListCommands();
    outer->addLayout(m_lists->layout(), 1);
    setCentralWidget(central);
}

// The result list's editing commands, their keys and the popup menu act on the full rows.
void FrmMain::createListCommands()
{
    m_resultCommands = new ListCommands(lvwKekka, *m_kekka, m_platform, mnuPopup, this, this);
    const std::pair<const char*, void (ListCommands::*)()> editing[] = {
        { "mnuHensyuAllSelect", &ListCommands::selectAll }, { "mnuHensyuCopy", &ListCommands::copy },
        { "mnuHensyuDelete", &ListCommands::deleteSelected }, { "mnuHensyuSortAsc1", &ListCommands::sortDrawOrder },
        { "mnuHensyuSortAsc2", &ListCommands::sortAscending }, { "mnuHensyuSortDesc", &ListCommands::sortDescending }
    };
    for (const auto& [name, command] : editing)
        connect(m_commands[name], &QAction::triggered, m_resultCommands, command);
}

QToolButton* FrmMain::toolbarButton(const QString& key) const
{
    return m_commands.button(key);
}

std::shared_ptr<const EntryList> FrmMain::workList() const
{
    return m_sagyo->sharedEntries();
}

bool FrmMain::isFileMode() const
{
    return m_frames->isFileMode();
}

void FrmMain::setCommandState(bool idle)
{
    if (idle) {
        m_state.setIdle(isFileMode());
        // Work that leaves the results standing (a check of a record, a public draw refused
        // for its commitment) gives their commands back.
        if (!m_kekka->isEmpty())
            m_state.drawCompleted();
    } else {
        m_state.setBusy();
    }
    m_busyCursor.set(m_state.busy());
    applyCommandState();
}

void FrmMain::beginWork(const QString& status, qint64 maximum)
{
    setCommandState(false);
    fraProgressbar->begin(status, maximum, false);
}

void FrmMain::setWorkProgress(qint64 value)
{
    fraProgressbar->setProgress(value);
}

void FrmMain::endWork()
{
    fraProgressbar->end();
    setCommandState(true);
    refreshStartAvailability();
}

void FrmMain::refreshStartAvailability()
{
    m_state.refreshStart(m_frames->allFilled());
    applyCommandState();
}

// Buttons are the masters; every menu item that belongs to a button copies its state.
void FrmMain::applyCommandState()
{
    const std::pair<MainButton, std::vector<const char*>> masters[] = {
        { MainButton::Open, { "mnuFileOpen" } },
        { MainButton::Save, { "mnuFileSave" } },
        { MainButton::Print, { "mnuFilePrint" } },
        { MainButton::AllSelect, { "mnuHensyuAllSelect" } },
        // Delete has no button of its own and follows Copy.
        { MainButton::Copy, { "mnuHensyuCopy", "mnuHensyuDelete" } },
        { MainButton::Sort, { "mnuHensyuSortAsc1", "mnuHensyuSortAsc2", "mnuHensyuSortDesc" } },
        { MainButton::PickupRecord, { "mnuToolPickupRecord" } },
        { MainButton::Start, { "mnuRunStart" } },
        { MainButton::Stop, { "mnuRunStop" } },
        { MainButton::Reset, { "mnuResetStandard", "mnuResetCustom", "mnuResetCustomSet" } },
    };
    for (const auto& [button, commands] : masters)
        for (const char* command : commands)
            m_commands[command]->setEnabled(m_state.enabled(button));
    mnuReset->menuAction()->setEnabled(m_state.enabled(MainButton::Reset));
    m_commands["actHelpTopic"]->setEnabled(true);
    m_commands["mnuFileEnd"]->setEnabled(m_state.fileEndEnabled());
    m_commands["mnuToolNewString"]->setEnabled(m_state.newStringEnabled());
    m_commands["mnuToolRecords"]->setEnabled(!m_state.busy());
    m_commands["mnuHensyuRedraw"]->setEnabled(
        !m_state.busy() && m_state.enabled(MainButton::Copy) && m_replacement->available());
    // 発表 shows the results: it comes and goes with the result commands.
    m_commands["mnuToolAnnounce"]->setEnabled(m_state.enabled(MainButton::Save));
    m_frames->setEnabled(m_state.framesEnabled());
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Work in progress cannot be closed away.
    if (m_state.busy()) {
        m_platform.beep();
        event->ignore();
        return;
    }
    // A record still being written is finished before the program ends.
    m_recording->finishWriting();
    saveSettings();
    m_help.closeAll();
    event->accept();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // The commitment's row comes and goes: the window keeps room for every row it shows.
    if (watched == m_recording->commitmentFrame()
        && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)) {
        centralWidget()->layout()->invalidate();
        updateMinimumSize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::setDrawMemoryLimit(std::size_t bytes)
{
    m_draw->setMemoryLimit(bytes);
}

void FrmMain::runStop()
{
    m_work.requestStop();
    m_state.stopRequested();
    applyCommandState();
    m_lists->fitColumns();
}

// The window comes back with the keyboard in the control that had it: hidden, the window
// loses its focus control, and the desktop would give the keyboard to the first one.
void FrmMain::showMainWindow()
{
    show();
    raise();
    activateWindow();
    if (m_focusBeforeHide && m_focusBeforeHide->isVisible() && m_focusBeforeHide->isEnabled())
        m_focusBeforeHide->setFocus(Qt::ActiveWindowFocusReason);
    m_focusBeforeHide = nullptr;
}

void FrmMain::hideMainWindow()
{
    m_focusBeforeHide = focusWidget();
    hide();
}

// Selecting a mode from the program (start-up, resets) always applies it, even when the
// button was already selected.
void FrmMain::selectMode(bool fileMode)
{
    m_frames->selectModeQuietly(fileMode);
    switchMode(fileMode);
}

// The two boxes change meaning with the mode; a switch discards entries and results alike.
void FrmMain::switchMode(bool fileMode)
{
    setCommandState(false);
    setCommandState(true);
    discardListsAndBoxes();
    m_frames->txtSaisyo->clear();
    m_lists->showCurrent();
    m_frames->showMode(fileMode);
    mnuFileUse->setEnabled(fileMode);
}

// Entries, results and what the first two boxes said of them go together.
void FrmMain::discardListsAndBoxes()
{
    m_frames->txtSaisyo->setToolTip(QString());
    m_frames->txtSaidai->clear();
    m_entryFile.clear();
    m_sagyo->clear();
    m_kekka->clear();
    m_state.resultsDiscarded();
    applyCommandState();
}

void FrmMain::beginWorkListRead(const QString& path)
{
    discardListsAndBoxes();
    m_frames->txtSaisyo->setText(path);
}

void FrmMain::replaceWorkList(EntryList entries, const QString& source, bool fromFile)
{
    const bool nothing = source.isEmpty() && entries.empty();
    m_frames->txtSaidai->setText(nothing ? QString() : QString::number(entries.size()));
    m_sagyo->setEntries(std::move(entries));
    m_kekka->clear();
    m_state.resultsDiscarded();
    applyCommandState();
    m_entryFile = fromFile ? source : QString();
    m_frames->txtSaisyo->setText(source);
    m_frames->txtSaisyo->setToolTip(source);
    if (fraProgressbar->isHidden())
        m_lists->showCurrent();
    refreshStartAvailability();
}

MainWindowPort::DrawBoxes FrmMain::drawBoxes() const
{
    return m_frames->boxes();
}

void FrmMain::setDrawBoxes(const DrawBoxes& boxes)
{
    m_frames->setBoxes(boxes, isFileMode());
    refreshStartAvailability();
}

} // namespace kuji
