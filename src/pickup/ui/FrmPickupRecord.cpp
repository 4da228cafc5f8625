#include "pickup/ui/FrmPickupRecord.h"

#include "common/FileHelpers.h"
#include "common/MemoryRelease.h"
#include "common/RuntimeError.h"
#include "common/Settings.h"
#include "common/ui/Commands.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/WaitCursor.h"
#include "entries/EntryReader.h"
#include "entries/ui/ListCommands.h"
#include "entries/ui/ListSaveDialog.h"
#include "entries/ui/MainWindowPort.h"
#include "pickup/PickupTransfer.h"
#include "pickup/RecordLoader.h"
#include "pickup/ui/ConditionFrame.h"
#include "pickup/ui/FrmPickupRecordError.h"
#include "pickup/ui/PickupProgressFrame.h"
#include "pickup/ui/PickupResultModel.h"
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
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
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

// A status-bar panel whose text is cut in the middle with "…" when the panel is too narrow,
// so that a long path never widens the window.
class StatusPanel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override
    {
        return { fontMetrics().horizontalAdvance(QChar(0x2026)) * 4, QLabel::minimumSizeHint().height() };
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        painter.drawText(
            area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

QTableView* makeListView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTextElideMode(Qt::ElideNone);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 2);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setSectionsMovable(false);
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
    , m_help(help)
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

    createActions();
    createMenus();
    createToolbar();
    createCentralArea();
    createStatusBar();

    // The size the layout needs at the fonts in use is the window's size for good.
    setFixedSize(sizeHint());
    placeWindow();

    setCommandState(false);
    setCommandState(true);
}

FrmPickupRecord::~FrmPickupRecord() = default;

void FrmPickupRecord::createActions()
{
    const auto withButton = [](QAction* action, const QString& tip, const char* icon) {
        action->setToolTip(tip);
        action->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(icon) + QStringLiteral(".svg")));
    };
    mnuFileOpen = makeCommand(this, "mnuFileOpen", QStringLiteral("開く(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O));
    withButton(mnuFileOpen, QStringLiteral("開く"), "open");
    connect(mnuFileOpen, &QAction::triggered, this, &FrmPickupRecord::openRecordFile);
    mnuFileSave = makeCommand(this, "mnuFileSave", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    withButton(mnuFileSave, QStringLiteral("保存"), "save");
    connect(mnuFileSave, &QAction::triggered, this, &FrmPickupRecord::saveResults);
    mnuFilePrint = makeCommand(this, "mnuFilePrint", QStringLiteral("印刷(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
    withButton(mnuFilePrint, QStringLiteral("印刷"), "print");
    connect(mnuFilePrint, &QAction::triggered, this, &FrmPickupRecord::printResults);
    mnuFileEnd = makeCommand(this, "mnuFileEnd", QStringLiteral("終了(&X)"));
    connect(mnuFileEnd, &QAction::triggered, this, &QWidget::close);

    mnuHensyuAllSelect = makeCommand(this, "mnuHensyuAllSelect", QStringLiteral("すべて選択(&A)"));
    withButton(mnuHensyuAllSelect, QStringLiteral("すべて選択"), "selectall");
    mnuHensyuCopy = makeCommand(this, "mnuHensyuCopy", QStringLiteral("コピー(&C)"));
    withButton(mnuHensyuCopy, QStringLiteral("コピー"), "copy");
    mnuHensyuSortAsc = makeCommand(this, "mnuHensyuSortAsc", QStringLiteral("昇順に並び替え"));
    withButton(mnuHensyuSortAsc, QStringLiteral("昇順に並べ替え"), "sort");
    mnuHensyuSortDesc = makeCommand(this, "mnuHensyuSortDesc", QStringLiteral("降順に並び替え"));

    mnuRunStart = makeCommand(this, "mnuRunStart", QStringLiteral("開始(&S)"));
    withButton(mnuRunStart, QStringLiteral("開始"), "start");
    connect(mnuRunStart, &QAction::triggered, this, &FrmPickupRecord::runStart);
    mnuRunStop = makeCommand(this, "mnuRunStop", QStringLiteral("停止(&E)"));
    withButton(mnuRunStop, QStringLiteral("停止"), "stop");
    connect(mnuRunStop, &QAction::triggered, this, &FrmPickupRecord::runStop);

    mnuSend = makeCommand(this, "mnuSend", QStringLiteral("転送(&S)"));
    connect(mnuSend, &QAction::triggered, this, &FrmPickupRecord::transfer);
    // A command on the menu bar shows its caption there; the toolbar shows the icon, so the
    // button has an action of its own that runs the same command.
    m_sendButtonAction = makeCommand(this, "actSend", QStringLiteral("転送"));
    withButton(m_sendButtonAction, QStringLiteral("転送"), "send");
    connect(m_sendButtonAction, &QAction::triggered, mnuSend, &QAction::trigger);
    mnuHelp = makeCommand(this, "mnuHelp", QStringLiteral("ヘルプ(&H)"));
    connect(mnuHelp, &QAction::triggered, this, [this] { m_help.showContents(); });
    // The toolbar's help button opens this window's own topic, not the contents.
    m_helpTopicAction = makeCommand(this, "actHelpTopic", QStringLiteral("ヘルプ"));
    withButton(m_helpTopicAction, QStringLiteral("ヘルプ"), "help");
    connect(m_helpTopicAction, &QAction::triggered, this, [this] { m_help.showTopic(kHelpTopicPickupRecord); });

    // The popup menu's items are never disabled; they run the same commands as the 編集 menu.
    mnuPopupAllSelect = makeCommand(this, "mnuPopupAllSelect", QStringLiteral("すべて選択"));
    mnuPopupCopy = makeCommand(this, "mnuPopupCopy", QStringLiteral("コピー"));
    mnuPopupSortAsc = makeCommand(this, "mnuPopupSortAsc", QStringLiteral("昇順に並び替え"));
    mnuPopupSortDesc = makeCommand(this, "mnuPopupSortDesc", QStringLiteral("降順に並び替え"));
}

void FrmPickupRecord::createMenus()
{
    // 転送 and ヘルプ are commands on the bar itself, which a desktop-wide menu bar cannot hold.
    menuBar()->setNativeMenuBar(false);
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(mnuFileOpen);
    file->addAction(mnuFileSave);
    file->addAction(mnuFilePrint);
    file->addSeparator();
    file->addAction(mnuFileEnd);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuHensyu"));
    edit->addAction(mnuHensyuAllSelect);
    edit->addSeparator();
    edit->addAction(mnuHensyuCopy);
    edit->addSeparator();
    edit->addAction(mnuHensyuSortAsc);
    edit->addAction(mnuHensyuSortDesc);

    QMenu* run = menuBar()->addMenu(QStringLiteral("実行(&R)"));
    run->setObjectName(QStringLiteral("mnuRun"));
    run->addAction(mnuRunStart);
    run->addAction(mnuRunStop);

    menuBar()->addAction(mnuSend);
    menuBar()->addAction(mnuHelp);

    mnuPopup = new QMenu(QStringLiteral("ポップアップメニュー"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup->addAction(mnuPopupAllSelect);
    mnuPopup->addAction(mnuPopupCopy);
    mnuPopup->addSeparator();
    mnuPopup->addAction(mnuPopupSortAsc);
    mnuPopup->addAction(mnuPopupSortDesc);
}

void FrmPickupRecord::createToolbar()
{
    tlbMain = addToolBar(QStringLiteral("tlbMain"));
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(QSize(24, 24));
    tlbMain->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto addButton = [this](const char* key, QAction* action) {
        QToolButton* button = addKeyedButton(tlbMain, key, action);
        m_buttons.insert(QLatin1String(key), button);
        return button;
    };

    addButton("M_Open", mnuFileOpen);
    addButton("M_Save", mnuFileSave);
    addButton("M_Print", mnuFilePrint);
    tlbMain->addSeparator();
    addButton("M_AllSelect", mnuHensyuAllSelect);
    addButton("M_Copy", mnuHensyuCopy);
    // The button sorts ascending; its drop-down offers both orders with the toolbar's captions.
    QToolButton* sort = addButton("M_Sort", mnuHensyuSortAsc);
    auto* sortMenu = new QMenu(sort);
    QAction* ascending = sortMenu->addAction(QStringLiteral("昇順に並べ替え"));
    ascending->setObjectName(QStringLiteral("M_SortAsc"));
    connect(ascending, &QAction::triggered, mnuHensyuSortAsc, &QAction::trigger);
    QAction* descending = sortMenu->addAction(QStringLiteral("降順に並べ替え"));
    descending->setObjectName(QStringLiteral("M_SortDesc"));
    connect(descending, &QAction::triggered, mnuHensyuSortDesc, &QAction::trigger);
    sort->setMenu(sortMenu);
    sort->setPopupMode(QToolButton::MenuButtonPopup);
    tlbMain->addSeparator();
    addButton("M_Start", mnuRunStart);
    addButton("M_Stop", mnuRunStop);
    tlbMain->addSeparator();
    addButton("M_Send", m_sendButtonAction);
    tlbMain->addSeparator();
    addButton("M_Help", m_helpTopicAction);
}

void FrmPickupRecord::createCentralArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    auto* window = new QVBoxLayout(central);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    // An etched line across the window just below the toolbar.
    auto* etched = new QFrame(central);
    etched->setFrameShape(QFrame::HLine);
    etched->setFrameShadow(QFrame::Sunken);
    window->addWidget(etched);
    auto* outer = new QVBoxLayout;
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kMargin);
    window->addLayout(outer, 1);

    fraWordSet = new ConditionFrame(m_platform, central);
    connect(fraWordSet, &ConditionFrame::conditionsChanged, this, &FrmPickupRecord::refreshStart);
    outer->addWidget(fraWordSet);

    // The record list, the result list and the progress frame share one place; one of them
    // shows at a time.
    auto* area = new QWidget(central);
    area->setObjectName(QStringLiteral("picDataArea"));
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    lvwOriginalData = makeListView("lvwOriginalData", m_records, this);
    lvwOriginalData->setAccessibleName(QStringLiteral("読み込んだレコード"));
    lvwOriginalData->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwOriginalData->horizontalHeader()->setDefaultSectionSize(twipsToPixels(1000, logicalDpiX()));
    lvwOriginalData->horizontalHeader()->setMinimumSectionSize(0);
    lvwPickupData = makeListView("lvwPickupData", m_results, this);
    lvwPickupData->setAccessibleName(QStringLiteral("実行結果"));
    lvwPickupData->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwPickupData->horizontalHeader()->setMinimumSectionSize(0);
    lvwPickupData->horizontalHeader()->resizeSection(0, 0);
    // Select all, copy, the sorts, Ctrl+A, Ctrl+C and the popup menu act on the full lines.
    m_resultCommands = new ListCommands(lvwPickupData, *m_results, m_platform, mnuPopup, this, this);
    for (QAction* action : { mnuHensyuAllSelect, mnuPopupAllSelect })
        connect(action, &QAction::triggered, m_resultCommands, &ListCommands::selectAll);
    for (QAction* action : { mnuHensyuCopy, mnuPopupCopy })
        connect(action, &QAction::triggered, m_resultCommands, &ListCommands::copy);
    for (QAction* action : { mnuHensyuSortAsc, mnuPopupSortAsc })
        connect(action, &QAction::triggered, m_resultCommands, &ListCommands::sortAscending);
    for (QAction* action : { mnuHensyuSortDesc, mnuPopupSortDesc })
        connect(action, &QAction::triggered, m_resultCommands, &ListCommands::sortDescending);
    lvwPickupData->hide();
    fraProgressbar = new PickupProgressFrame(area);

    grid->addWidget(lvwOriginalData, 0, 0);
    grid->addWidget(lvwPickupData, 0, 0);
    grid->addWidget(fraProgressbar, 0, 0);
    const QFontMetrics metrics(lvwOriginalData->font());
    area->setFixedHeight(lvwOriginalData->horizontalHeader()->sizeHint().height() + (metrics.height() + 2) * kListRows
        + 2 * lvwOriginalData->frameWidth() + lvwOriginalData->horizontalScrollBar()->sizeHint().height());
    outer->addWidget(area);
    setCentralWidget(central);
}

void FrmPickupRecord::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbrStatus"));
    bar->setSizeGripEnabled(false);
    const auto panel = [this, bar](QLabel* label, const char* key, const QString& tip, int stretch) {
        label->setObjectName(QLatin1String(key));
        label->setToolTip(tip);
        label->setAccessibleName(tip);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label, stretch);
        return label;
    };
    S_FilePath = panel(new StatusPanel(bar), "S_FilePath", QStringLiteral("Open File"), 1);
    const int countWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 2 * kMargin;
    S_Pickup = panel(new QLabel(QStringLiteral("0"), bar), "S_Pickup", QStringLiteral("Pickup Count"), 0);
    S_Original = panel(new QLabel(QStringLiteral("0"), bar), "S_Original", QStringLiteral("Original Count"), 0);
    for (QLabel* count : { S_Pickup, S_Original }) {
        count->setMinimumWidth(countWidth);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
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
    m_busyCursor.set(m_state.busy());
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
    const auto on = [this](PickupButton b) { return m_state.enabled(b); };
    mnuFileOpen->setEnabled(on(PickupButton::Open));
    mnuFileSave->setEnabled(on(PickupButton::Save));
    mnuFilePrint->setEnabled(on(PickupButton::Print));
    mnuHensyuAllSelect->setEnabled(on(PickupButton::AllSelect));
    mnuHensyuCopy->setEnabled(on(PickupButton::Copy));
    mnuHensyuSortAsc->setEnabled(on(PickupButton::Sort));
    mnuHensyuSortDesc->setEnabled(on(PickupButton::Sort));
    mnuRunStart->setEnabled(on(PickupButton::Start));
    mnuRunStop->setEnabled(on(PickupButton::Stop));
    m_sendButtonAction->setEnabled(on(PickupButton::Send));
    mnuSend->setEnabled(on(PickupButton::Send));
    m_helpTopicAction->setEnabled(true);
    mnuHelp->setEnabled(true);
    mnuFileEnd->setEnabled(m_state.fileEndEnabled());
    fraWordSet->setEnabled(m_state.conditionsEnabled());
}

// --- Window position and closing -------------------------------------------------------

void FrmPickupRecord::placeWindow()
{
    const double dpi = screen()->logicalDotsPerInch();
    const Settings::Point stored = m_settings.readPickupPosition();
    move(placeOnSomeScreen(QPoint(twipsToPixels(stored.left, dpi), twipsToPixels(stored.top, dpi)), size()));
}

void FrmPickupRecord::storePosition()
{
    const QPoint place = restorableGeometry(this).topLeft();
    const double dpi = screen()->logicalDotsPerInch();
    m_settings.writePickupPosition({ pixelsToTwips(place.x(), dpi), pixelsToTwips(place.y(), dpi) });
}

void FrmPickupRecord::closeEvent(QCloseEvent* event)
{
    // Work in progress cannot be closed away.
    if (m_state.busy()) {
        m_platform.beep();
        event->ignore();
        return;
    }
    storePosition();
    // The main window comes back before this one goes, so the program never runs without one.
    m_main.showMainWindow();
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

void FrmPickupRecord::runStop()
{
    // The load or the run ends before its next slice and leaves nothing behind.
    m_work.requestStop();
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

// The result list's commands are the main window's, on this window's list.

void FrmPickupRecord::saveResults()
{
    // The dialog starts at the record file.
    ListSaveDialog::start(m_platform, this, this, m_recordFilePath, m_results->rows(),
        [this](std::size_t row, std::string& scratch) { return m_results->rowTextView(row, scratch); });
}

// Every result line in the order shown; an empty list prints one blank page.
void FrmPickupRecord::printResults()
{
    FrmPrint::printRows(
        m_platform, this, m_results->rows(), [this](std::size_t row) { return m_results->rowText(row); });
}

} // namespace kuji
