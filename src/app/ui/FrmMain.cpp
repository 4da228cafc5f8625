#include "app/ui/FrmMain.h"

#include "app/ui/DrawRecording.h"
#include "common/ui/Commands.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/FrmAbout.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/TypedKey.h"
#include "common/ui/WaitCursor.h"
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
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <chrono>

namespace kuji {
namespace {

// Designed sizes, in pixels at 15 twips per pixel.
constexpr int kFrameHeight = 89; // 1335 twips: frames are at least this tall
constexpr int kMargin = 8; // 120 twips
constexpr int kMinInnerWidth = 376; // 5640 twips
constexpr int kMinInnerHeight = 225; // 3375 twips

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

std::u32string toU32(const QString& text)
{
    return text.toStdU32String();
}

// Path boxes of file mode are read-only and look it.
void setPathBoxLook(QLineEdit* box, bool readOnly)
{
    box->setReadOnly(readOnly);
    QPalette palette = box->palette();
    const QPalette standard = QApplication::palette(box);
    palette.setBrush(QPalette::Base, readOnly ? standard.button() : standard.base());
    box->setPalette(palette);
}

QTreeView* makeListView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTextElideMode(Qt::ElideNone);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    // The sequence key column exists for ordering only and is never seen.
    view->setColumnHidden(EntryListModel::KeyColumn, true);
    return view;
}

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

    QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));

    m_kekka = new ResultListModel(this);
    m_sagyo = new EntryListModel(QStringLiteral("ファイルの内容"), this);
    m_fileMode = new FileModeCommands(*this, m_platform, m_settings, this);
    connect(m_fileMode, &FileModeCommands::recentFilesChanged, this, &FrmMain::refreshRecentMenu);
    m_pickupRecord = new PickupRecordTool(*this, m_platform, m_settings, m_help, this);
    m_recording = new DrawRecording(*this, m_platform, m_help, m_settings, seeds, std::move(recordsFolder), this);

    createActions();
    createMenus();
    createToolbar();
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
    QScreen* screen = this->screen();
    const double dpi = screen->logicalDotsPerInch();
    const QSize screenSize = screen->geometry().size();
    const Settings::Rect rect = m_settings.readMainWindowRect(
        pixelsToTwips(screenSize.width(), dpi), pixelsToTwips(screenSize.height(), dpi));
    move(placeOnSomeScreen(QPoint(twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi)), size()));
    // A stored size below the minimum (none on first start) grows to the minimum.
    resize(twipsToPixels(rect.width, dpi), twipsToPixels(rect.height, dpi));

    selectMode(m_settings.readMode() == Settings::Mode::File);
    chkDaburi->setChecked(m_settings.readNoDuplicates());
    m_fileMode->restoreRecentFiles();
}

// The window is never narrower than its menu bar, its toolbar and its frames need at the
// fonts in use, nor smaller than its designed minimum, so nothing hides behind an overflow
// button or gets cut.
void FrmMain::updateMinimumSize()
{
    // The two frames are at least their designed height, and never shorter than their rows.
    for (QFrame* frame : { fraMode, fraSet })
        frame->setMinimumHeight(std::max(kFrameHeight, frame->minimumSizeHint().height()));
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
    const QRect normal = restorableGeometry(this);
    const double dpi = screen()->logicalDotsPerInch();
    m_settings.writeMainWindowRect({ pixelsToTwips(normal.x(), dpi), pixelsToTwips(normal.y(), dpi),
        pixelsToTwips(normal.width(), dpi), pixelsToTwips(normal.height(), dpi) });
    m_settings.writeOption(isFileMode() ? Settings::Mode::File : Settings::Mode::Number, chkDaburi->isChecked());
    m_fileMode->storeRecentFiles();
}

void FrmMain::showVersion()
{
    FrmAbout about(m_platform, this);
    about.centreOver(this);
    m_platform.execModal(about);
}

// Prints every result row in the order shown, round headers and empty rows included; an
// empty list prints one blank page.
void FrmMain::printResults()
{
    std::vector<std::string> texts;
    {
        WaitCursor wait;
        texts.reserve(std::max<std::size_t>(m_kekka->rows(), 1));
        for (std::size_t row = 0; row < m_kekka->rows(); ++row)
            texts.push_back(m_kekka->rowText(row));
        if (texts.empty())
            texts.emplace_back();
    }
    FrmPrint::printTexts(m_platform, this, std::move(texts));
}

FrmMain::~FrmMain() { }

void FrmMain::createActions()
{
    mnuFileOpen = makeCommand(this, "mnuFileOpen", QStringLiteral("開く(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileOpen->setToolTip(QStringLiteral("開く"));
    mnuFileOpen->setIcon(QIcon(QStringLiteral(":/icons/open.svg")));
    connect(mnuFileOpen, &QAction::triggered, m_fileMode, &FileModeCommands::open);
    mnuFileSave = makeCommand(this, "mnuFileSave", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    // The results in the order shown; the dialog starts from the first box (a path, or the
    // minimum as the proposed name).
    connect(mnuFileSave, &QAction::triggered, this, [this] {
        ListSaveDialog::start(m_platform, this, this, txtSaisyo->text(), m_kekka->rows(),
            [this](std::size_t row, std::string& scratch) { return m_kekka->rowTextView(row, scratch); });
    });
    mnuFileSave->setToolTip(QStringLiteral("保存"));
    mnuFileSave->setIcon(QIcon(QStringLiteral(":/icons/save.svg")));
    mnuFilePrint = makeCommand(this, "mnuFilePrint", QStringLiteral("印刷(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrint->setToolTip(QStringLiteral("印刷"));
    mnuFilePrint->setIcon(QIcon(QStringLiteral(":/icons/print.svg")));
    connect(mnuFilePrint, &QAction::triggered, this, &FrmMain::printResults);
    for (int i = 0; i <= 10; ++i) {
        mnuFileUseItem[i] = makeCommand(this, ("mnuFileUseItem" + std::to_string(i)).c_str(), QString());
        mnuFileUseItem[i]->setVisible(i == 0);
    }
    mnuFileUseItem[0]->setText(QStringLiteral("なし"));
    mnuFileUseItem[0]->setEnabled(false);
    for (int i = 1; i <= 10; ++i)
        connect(mnuFileUseItem[i], &QAction::triggered, this,
            [this, i] { m_fileMode->openRecentFile(mnuFileUseItem[i]->data().toString()); });
    mnuFileUseClear = makeCommand(this, "mnuFileUseClear", QStringLiteral("クリア"));
    connect(mnuFileUseClear, &QAction::triggered, m_fileMode, &FileModeCommands::clearRecentFiles);
    mnuFileEnd = makeCommand(this, "mnuFileEnd", QStringLiteral("終了(&X)"));
    connect(mnuFileEnd, &QAction::triggered, this, &QWidget::close);

    mnuHensyuAllSelect = makeCommand(this, "mnuHensyuAllSelect", QStringLiteral("すべて選択(&A)"));
    mnuHensyuAllSelect->setToolTip(QStringLiteral("すべて選択"));
    mnuHensyuAllSelect->setIcon(QIcon(QStringLiteral(":/icons/selectall.svg")));
    mnuHensyuCopy = makeCommand(this, "mnuHensyuCopy", QStringLiteral("コピー(&C)"));
    mnuHensyuCopy->setToolTip(QStringLiteral("コピー"));
    mnuHensyuCopy->setIcon(QIcon(QStringLiteral(":/icons/copy.svg")));
    mnuHensyuDelete = makeCommand(this, "mnuHensyuDelete", QStringLiteral("削除(&D)"));
    mnuHensyuSortAsc1 = makeCommand(this, "mnuHensyuSortAsc1", QStringLiteral("抽選順に並び替え"));
    mnuHensyuSortAsc2 = makeCommand(this, "mnuHensyuSortAsc2", QStringLiteral("昇順に並び替え"));
    mnuHensyuSortAsc2->setToolTip(QStringLiteral("昇順に並べ替え"));
    mnuHensyuSortAsc2->setIcon(QIcon(QStringLiteral(":/icons/sort.svg")));
    mnuHensyuSortDesc = makeCommand(this, "mnuHensyuSortDesc", QStringLiteral("降順に並び替え"));

    mnuToolPickupRecord = makeCommand(this, "mnuToolPickupRecord", QStringLiteral("Pickup Record(&P)"));
    mnuToolPickupRecord->setToolTip(QStringLiteral("Pickup Record"));
    mnuToolPickupRecord->setIcon(QIcon(QStringLiteral(":/icons/pickup.svg")));
    connect(mnuToolPickupRecord, &QAction::triggered, m_pickupRecord, &PickupRecordTool::open);
    mnuToolNewString = makeCommand(this, "mnuToolNewString", QStringLiteral("文字列作成(&S)"));
    // The string window is modal: the main window waits until it closes.
    connect(mnuToolNewString, &QAction::triggered, this, [this] {
        FrmNewString newString(*this, m_platform, m_help, m_settings, this);
        m_platform.execModal(newString);
    });
    mnuToolRecords = makeCommand(this, "mnuToolRecords", QStringLiteral("抽選記録(&L)"));
    connect(mnuToolRecords, &QAction::triggered, m_recording, &DrawRecording::openWindow);

    mnuRunStart = makeCommand(this, "mnuRunStart", QStringLiteral("開始(&S)"), QKeySequence(Qt::Key_F5));
    mnuRunStart->setToolTip(QStringLiteral("開始"));
    mnuRunStart->setIcon(QIcon(QStringLiteral(":/icons/start.svg")));
    connect(mnuRunStart, &QAction::triggered, this, &FrmMain::runStart);
    mnuRunStop = makeCommand(this, "mnuRunStop", QStringLiteral("停止(&E)"));
    mnuRunStop->setToolTip(QStringLiteral("停止"));
    mnuRunStop->setIcon(QIcon(QStringLiteral(":/icons/stop.svg")));
    connect(mnuRunStop, &QAction::triggered, this, &FrmMain::runStop);

    mnuResetStandard = makeCommand(this, "mnuResetStandard", QStringLiteral("標準リセット(&S)"));
    mnuResetStandard->setToolTip(QStringLiteral("標準リセット"));
    mnuResetStandard->setIcon(QIcon(QStringLiteral(":/icons/reset.svg")));
    connect(mnuResetStandard, &QAction::triggered, m_fileMode, &FileModeCommands::resetStandard);
    mnuResetCustom = makeCommand(this, "mnuResetCustom", QStringLiteral("カスタムリセット(&C)"));
    connect(mnuResetCustom, &QAction::triggered, m_fileMode, &FileModeCommands::resetCustom);
    mnuResetCustomSet
        = makeCommand(this, "mnuResetCustomSet", QStringLiteral("現在の状態をカスタムリセットの設定にする(&N)"));
    connect(mnuResetCustomSet, &QAction::triggered, m_fileMode, &FileModeCommands::storeCustomReset);

    mnuHelpHelp = makeCommand(this, "mnuHelpHelp", QStringLiteral("ヘルプ(&H)"), QKeySequence(Qt::Key_F1));
    connect(mnuHelpHelp, &QAction::triggered, this, [this] { m_help.showContents(); });
    mnuHelpVersion = makeCommand(this, "mnuHelpVersion", QStringLiteral("バージョン情報(&V)"));
    connect(mnuHelpVersion, &QAction::triggered, this, &FrmMain::showVersion);
    // The toolbar's help button opens the main window's own topic, not the contents.
    m_helpTopicAction = makeCommand(this, "actHelpTopic", QStringLiteral("ヘルプ"));
    m_helpTopicAction->setToolTip(QStringLiteral("ヘルプ"));
    m_helpTopicAction->setIcon(QIcon(QStringLiteral(":/icons/help.svg")));
    connect(m_helpTopicAction, &QAction::triggered, this, [this] { m_help.showTopic(kHelpTopicMainWindow); });
}

// The result list's commands, in the same order in the 編集 menu and the popup menu.
void FrmMain::addEditCommands(QMenu* menu)
{
    menu->addAction(mnuHensyuAllSelect);
    menu->addSeparator();
    menu->addAction(mnuHensyuCopy);
    menu->addSeparator();
    menu->addAction(mnuHensyuDelete);
    menu->addSeparator();
    menu->addAction(mnuHensyuSortAsc1);
    menu->addAction(mnuHensyuSortAsc2);
    menu->addAction(mnuHensyuSortDesc);
}

void FrmMain::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(mnuFileOpen);
    file->addAction(mnuFileSave);
    file->addAction(mnuFilePrint);
    file->addSeparator();
    mnuFileUse = file->addMenu(QStringLiteral("最近使ったファイル"));
    mnuFileUse->setObjectName(QStringLiteral("mnuFileUse"));
    for (QAction* item : mnuFileUseItem)
        mnuFileUse->addAction(item);
    mnuFileUse->addSeparator()->setObjectName(QStringLiteral("mnuFileUseLine"));
    mnuFileUse->addAction(mnuFileUseClear);
    file->addSeparator();
    file->addAction(mnuFileEnd);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuHensyu"));
    addEditCommands(edit);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    tools->setObjectName(QStringLiteral("mnuTool"));
    tools->addAction(mnuToolPickupRecord);
    tools->addSeparator();
    tools->addAction(mnuToolNewString);
    tools->addSeparator();
    tools->addAction(mnuToolRecords);

    QMenu* run = menuBar()->addMenu(QStringLiteral("実行(&R)"));
    run->setObjectName(QStringLiteral("mnuRun"));
    run->addAction(mnuRunStart);
    run->addAction(mnuRunStop);

    mnuReset = menuBar()->addMenu(QStringLiteral("リセット(&S)"));
    mnuReset->setObjectName(QStringLiteral("mnuReset"));
    mnuReset->addAction(mnuResetStandard);
    mnuReset->addAction(mnuResetCustom);
    mnuReset->addSeparator();
    mnuReset->addAction(mnuResetCustomSet);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(mnuHelpHelp);
    help->addSeparator();
    help->addAction(mnuHelpVersion);

    // The result list's popup menu runs the same commands as the 編集 menu.
    mnuPopup = new QMenu(QStringLiteral("ポップアップメニュー"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    addEditCommands(mnuPopup);
}

void FrmMain::createToolbar()
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
    // Drop-down items carry the toolbar's captions and run the menu's commands.
    auto dropDown = [this](QToolButton* button, std::initializer_list<std::pair<const char*, QAction*>> items,
                        std::initializer_list<const char*> captions) {
        auto* menu = new QMenu(button);
        auto caption = captions.begin();
        for (const auto& [key, target] : items) {
            if (!target) {
                menu->addSeparator()->setObjectName(QLatin1String(key));
            } else {
                QAction* item = menu->addAction(QString::fromUtf8(*caption));
                item->setObjectName(QLatin1String(key));
                connect(item, &QAction::triggered, target, &QAction::trigger);
            }
            ++caption;
        }
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    };

    addButton("M_Open", mnuFileOpen);
    addButton("M_Save", mnuFileSave);
    addButton("M_Print", mnuFilePrint);
    tlbMain->addSeparator();
    addButton("M_AllSelect", mnuHensyuAllSelect);
    addButton("M_Copy", mnuHensyuCopy);
    QToolButton* sort = addButton("M_Sort", mnuHensyuSortAsc2);
    dropDown(sort,
        { { "M_SortAsc1", mnuHensyuSortAsc1 }, { "M_SortAsc2", mnuHensyuSortAsc2 },
            { "M_SortDesc", mnuHensyuSortDesc } },
        { "抽選順に並べ替え", "昇順に並べ替え", "降順に並べ替え" });
    tlbMain->addSeparator();
    addButton("M_PickupRecord", mnuToolPickupRecord);
    tlbMain->addSeparator();
    addButton("M_Start", mnuRunStart);
    addButton("M_Stop", mnuRunStop);
    tlbMain->addSeparator();
    QToolButton* reset = addButton("M_Reset", mnuResetStandard);
    dropDown(reset,
        { { "M_ResetStandard", mnuResetStandard }, { "M_ResetCustom", mnuResetCustom }, { "M_ResetSeparator", nullptr },
            { "M_ResetCustomSet", mnuResetCustomSet } },
        { "標準リセット", "カスタムリセット", "", "現在の状態をカスタムリセットの設定にする" });
    tlbMain->addSeparator();
    addButton("M_Help", m_helpTopicAction);
}

void FrmMain::createCentralArea()
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
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin * 3 / 2);
    outer->setSpacing(kMargin);
    window->addLayout(outer, 1);

    QFont gothic(kGothic);
    gothic.setPointSize(9);

    // Mode frame: the two modes and the no-duplicates option.
    fraMode = new QFrame(central);
    fraMode->setObjectName(QStringLiteral("fraMode"));
    fraMode->setFrameShape(QFrame::StyledPanel);
    // The frames take the size their captions need at the fonts in use.
    fraMode->setMinimumHeight(kFrameHeight);
    fraMode->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* modeLayout = new QVBoxLayout(fraMode);
    modeLayout->setContentsMargins(kMargin, 4, 4, 4);
    modeLayout->setSpacing(2);
    optSuji = new QRadioButton(QStringLiteral("数字抽選モード(&N)"), fraMode);
    optSuji->setObjectName(QStringLiteral("optSuji"));
    optYomikomi = new QRadioButton(QStringLiteral("読込抽選モード(&Y)"), fraMode);
    optYomikomi->setObjectName(QStringLiteral("optYomikomi"));
    chkDaburi = new QCheckBox(QStringLiteral("ダブり無し(&D)"), fraMode);
    chkDaburi->setObjectName(QStringLiteral("chkDaburi"));
    for (QWidget* w :
        { static_cast<QWidget*>(optSuji), static_cast<QWidget*>(optYomikomi), static_cast<QWidget*>(chkDaburi) }) {
        w->setFont(gothic);
        modeLayout->addWidget(w);
    }
    optSuji->setChecked(true);
    // Only a change of mode switches: clicking the mode already chosen keeps what was typed.
    connect(optSuji, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchMode(false);
    });
    connect(optYomikomi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            switchMode(true);
    });

    // Settings frame: stretches to the right edge.
    fraSet = new QFrame(central);
    fraSet->setObjectName(QStringLiteral("fraSet"));
    fraSet->setFrameShape(QFrame::StyledPanel);
    fraSet->setMinimumHeight(kFrameHeight);
    fraSet->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* setLayout = new QGridLayout(fraSet);
    setLayout->setVerticalSpacing(2);
    auto makeBox
        = [&](const char* labelName, const QString& caption, const char* boxName, QLabel*& label, QLineEdit*& box) {
              label = new QLabel(caption, fraSet);
              label->setObjectName(QLatin1String(labelName));
              label->setFont(gothic);
              box = new QLineEdit(fraSet);
              box->setObjectName(QLatin1String(boxName));
              box->setFont(gothic);
              label->setBuddy(box);
              box->installEventFilter(this);
          };
    makeBox("lblSaisyo", QStringLiteral("最小値(&M)"), "txtSaisyo", lblSaisyo, txtSaisyo);
    makeBox("lblSaidai", QStringLiteral("最大値(&B)"), "txtSaidai", lblSaidai, txtSaidai);
    makeBox("lblTyusen", QStringLiteral("抽選数(&V)"), "txtTyusen", lblTyusen, txtTyusen);
    m_fileMode->acceptDropsOn(txtSaisyo);
    cmdFile = new QToolButton(fraSet);
    cmdFile->setObjectName(QStringLiteral("cmdFile"));
    cmdFile->setIcon(QIcon(QStringLiteral(":/icons/file.svg")));
    cmdFile->setAutoRaise(true);
    cmdFile->setAccessibleName(QStringLiteral("ファイルを開く"));
    cmdFile->setEnabled(false);
    connect(cmdFile, &QToolButton::clicked, m_fileMode, &FileModeCommands::open);
    setLayout->addWidget(lblSaisyo, 0, 0);
    setLayout->addWidget(txtSaisyo, 0, 1);
    setLayout->addWidget(cmdFile, 0, 2);
    setLayout->addWidget(lblSaidai, 1, 0);
    setLayout->addWidget(txtSaidai, 1, 1, 1, 2);
    setLayout->addWidget(lblTyusen, 2, 0);
    setLayout->addWidget(txtTyusen, 2, 1, 1, 2);
    setLayout->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(kMargin);
    top->addWidget(fraMode);
    top->addWidget(fraSet, 1);
    outer->addLayout(top);
    // A waiting commitment has a row of its own, between the settings and the lists.
    outer->addWidget(m_recording->commitmentFrame());
    m_recording->commitmentFrame()->installEventFilter(this);

    // The two lists and the progress frame share one rectangle; one of them shows at a time.
    auto* area = new QGridLayout;
    lvwKekka = makeListView("lvwKekka", m_kekka, central);
    // The editing commands, their keys and the popup menu act on the full rows.
    m_resultCommands = new ListCommands(lvwKekka, *m_kekka, m_platform, mnuPopup, this, this);
    connect(mnuHensyuAllSelect, &QAction::triggered, m_resultCommands, &ListCommands::selectAll);
    connect(mnuHensyuCopy, &QAction::triggered, m_resultCommands, &ListCommands::copy);
    connect(mnuHensyuDelete, &QAction::triggered, m_resultCommands, &ListCommands::deleteSelected);
    connect(mnuHensyuSortAsc1, &QAction::triggered, m_resultCommands, &ListCommands::sortDrawOrder);
    connect(mnuHensyuSortAsc2, &QAction::triggered, m_resultCommands, &ListCommands::sortAscending);
    connect(mnuHensyuSortDesc, &QAction::triggered, m_resultCommands, &ListCommands::sortDescending);
    lvwSagyo = makeListView("lvwSagyo", m_sagyo, central);
    lvwSagyo->hide();

    fraProgressbar = new ProgressPanel(central);
    connect(fraProgressbar, &ProgressPanel::visibilityChanged, this, [this](bool shown) {
        if (shown) {
            lvwSagyo->hide();
            lvwKekka->hide();
        } else {
            showCurrentList();
        }
    });

    area->addWidget(lvwKekka, 0, 0);
    area->addWidget(lvwSagyo, 0, 0);
    area->addWidget(fraProgressbar, 0, 0);
    outer->addLayout(area, 1);
    setCentralWidget(central);

    connect(txtSaisyo, &QLineEdit::textChanged, this, [this] { cleanBox(txtSaisyo); });
    connect(txtSaidai, &QLineEdit::textChanged, this, [this] { cleanBox(txtSaidai); });
    connect(txtTyusen, &QLineEdit::textChanged, this, [this] { cleanBox(txtTyusen); });
    connect(chkDaburi, &QCheckBox::clicked, this, &FrmMain::refreshStartAvailability);
}

QToolButton* FrmMain::toolbarButton(const QString& key) const
{
    return m_buttons.value(key);
}

std::shared_ptr<const EntryList> FrmMain::workList() const
{
    return m_sagyo->sharedEntries();
}

bool FrmMain::isFileMode() const
{
    return optYomikomi->isChecked();
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
    m_state.refreshStart(!txtSaisyo->text().isEmpty() && !txtSaidai->text().isEmpty() && !txtTyusen->text().isEmpty());
    applyCommandState();
}

// Buttons are the masters; every menu item that belongs to a button copies its state.
void FrmMain::applyCommandState()
{
    const auto on = [this](MainButton b) { return m_state.enabled(b); };
    mnuFileOpen->setEnabled(on(MainButton::Open));
    mnuFileSave->setEnabled(on(MainButton::Save));
    mnuFilePrint->setEnabled(on(MainButton::Print));
    mnuHensyuAllSelect->setEnabled(on(MainButton::AllSelect));
    mnuHensyuCopy->setEnabled(on(MainButton::Copy));
    mnuHensyuDelete->setEnabled(on(MainButton::Copy));
    for (QAction* sort : { mnuHensyuSortAsc1, mnuHensyuSortAsc2, mnuHensyuSortDesc })
        sort->setEnabled(on(MainButton::Sort));
    mnuToolPickupRecord->setEnabled(on(MainButton::PickupRecord));
    mnuRunStart->setEnabled(on(MainButton::Start));
    mnuRunStop->setEnabled(on(MainButton::Stop));
    mnuReset->menuAction()->setEnabled(on(MainButton::Reset));
    for (QAction* reset : { mnuResetStandard, mnuResetCustom, mnuResetCustomSet })
        reset->setEnabled(on(MainButton::Reset));
    m_helpTopicAction->setEnabled(true);
    mnuFileEnd->setEnabled(m_state.fileEndEnabled());
    mnuToolNewString->setEnabled(m_state.newStringEnabled());
    mnuToolRecords->setEnabled(!m_state.busy());
    fraSet->setEnabled(m_state.framesEnabled());
    fraMode->setEnabled(m_state.framesEnabled());
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
    if (event->type() == QEvent::KeyPress && (watched == txtSaisyo || watched == txtSaidai || watched == txtTyusen)) {
        if (const std::optional<char32_t> typed = typedCharacter(*static_cast<QKeyEvent*>(event))) {
            auto* box = static_cast<QLineEdit*>(watched);
            const BoxKey key = filterBoxKey(boxOf(box), *typed);
            if (!key.accepted) {
                m_platform.beep();
                return true;
            }
            if (key.insert != 0) {
                // A full-width digit goes in as the digit itself.
                box->insert(QString::fromStdU32String(std::u32string(1, key.insert)));
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

SettingsBox FrmMain::boxOf(const QLineEdit* box) const
{
    return box == txtSaisyo ? SettingsBox::Saisyo : box == txtSaidai ? SettingsBox::Saidai : SettingsBox::Tyusen;
}

// Every change of a box, typed, pasted or set by the program, is cleaned the same way: a
// paste is cleaned first and measured after, so "10,000,000" becomes 10000000 instead of
// being cut to nine characters and then cleaned into another number.
void FrmMain::cleanBox(QLineEdit* box)
{
    if (m_cleaningBox)
        return;
    const QString proposed = box->text();
    const std::u32string text = toU32(proposed);
    const std::size_t caret = toU32(proposed.left(box->cursorPosition())).size();
    QString& previous = m_acceptedBoxText[boxOf(box)];
    const BoxEdit edit = cleanBoxText(boxOf(box), !isFileMode(), toU32(previous), text, caret);
    if (!edit.accepted)
        m_platform.beep();
    const QString cleaned = QString::fromStdU32String(edit.text);
    if (cleaned != proposed) {
        m_cleaningBox = true;
        box->setText(cleaned);
        box->setCursorPosition(static_cast<int>(QString::fromStdU32String(edit.text.substr(0, edit.caret)).size()));
        m_cleaningBox = false;
        if (edit.accepted && box == txtSaidai)
            box->setFocus();
    }
    previous = cleaned;
    refreshStartAvailability();
}

void FrmMain::fitTextColumn(QTreeView* view)
{
    view->resizeColumnToContents(EntryListModel::TextColumn);
}

void FrmMain::showCurrentList()
{
    const bool results = !m_kekka->isEmpty() || !isFileMode();
    QTreeView* shown = results ? lvwKekka : lvwSagyo;
    (results ? lvwSagyo : lvwKekka)->hide();
    fitTextColumn(shown);
    shown->show();
}

// One draw: the run and the list it fills, kept together until the run ends.
struct FrmMain::Draw {
    ResultList results;
    std::unique_ptr<RecordedDraw> run;
};

void FrmMain::runStart()
{
    if (m_work.isRunning())
        return;
    PlannedDraw planned = planFromBoxes({ isFileMode(), chkDaburi->isChecked(), txtSaisyo->text().toStdString(),
                                            txtSaidai->text().toStdString(), txtTyusen->text().toStdString() },
        m_sagyo->sharedEntries());
    if (planned.validation.code != 0) {
        m_platform.showError(this, QString::fromStdString(planned.validation.message));
        setCommandState(true);
        return;
    }
    try {
        m_recording->completePlan(planned.plan, m_entryFile);
    } catch (const std::exception& error) {
        // The system gave no seed: no draw at all rather than a predictable one.
        m_runtimeError.setFromException(error);
        setCommandState(true);
        myShowRuntimeError(m_platform, this, m_runtimeError);
        return;
    }

    setCommandState(false);
    auto draw = std::make_shared<Draw>();
    draw->run = std::make_unique<RecordedDraw>(std::move(planned.plan), draw->results, m_drawMemoryLimit);
    fraProgressbar->begin(QStringLiteral("抽選中..."), draw->run->total(), true);

    LongWork::Task task;
    task.step = [draw](LongWork::Clock::time_point deadline) { return draw->run->step(deadline); };
    task.progress = [this, draw] { fraProgressbar->setProgress(draw->run->drawn()); };
    task.finished = [this, draw](bool stopped) { finishDraw(*draw, stopped); };
    m_work.start(std::move(task));
}

void FrmMain::finishDraw(Draw& draw, bool stopped)
{
    const bool refused = draw.run->refused();
    // A stopped run, or one that ran out of memory, leaves no results and no record; each run
    // replaces all earlier results. A public draw refused for its commitment draws nothing and
    // changes nothing.
    const bool failed = draw.run->failed();
    if (failed)
        m_runtimeError.set(draw.run->error().number, draw.run->error().description);
    const bool completed = !stopped && !failed && !refused;
    if (completed) {
        m_kekka->change([&draw](ResultList& list) { list = std::move(draw.results); });
        m_state.drawCompleted();
    } else if (!refused) {
        m_kekka->clear();
    }
    fraProgressbar->end();
    if (completed)
        lvwKekka->setFocus();
    setCommandState(true);
    refreshStartAvailability();
    if (m_runtimeError.isPending())
        myShowRuntimeError(m_platform, this, m_runtimeError);
    if (refused) {
        QString text = QStringLiteral("Error:予告と違う設定やエントリーでは、公開値を使う抽選はできません｡");
        for (const std::string& difference : draw.run->refusal())
            text += QStringLiteral("\r\n       ") + QString::fromStdString(difference);
        m_platform.showError(this, text);
    }
    // The record is written once the results are shown, so nothing about it can cost the draw.
    if (completed)
        m_recording->drawCompleted(*draw.run);
    draw.run.reset();
}

void FrmMain::runStop()
{
    m_work.requestStop();
    m_state.stopRequested();
    applyCommandState();
    fitTextColumn(lvwSagyo);
    fitTextColumn(lvwKekka);
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
    QRadioButton* button = fileMode ? optYomikomi : optSuji;
    {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
    switchMode(fileMode);
}

// The two boxes change meaning with the mode; a switch discards entries and results alike.
void FrmMain::switchMode(bool fileMode)
{
    setCommandState(false);
    setCommandState(true);
    discardListsAndBoxes();
    txtSaisyo->clear();
    txtSaisyo->setAcceptDrops(fileMode);
    showCurrentList();
    lblSaisyo->setText(fileMode ? QStringLiteral("ファイル") : QStringLiteral("最小値(&M)"));
    setPathBoxLook(txtSaisyo, fileMode);
    cmdFile->setEnabled(fileMode);
    lblSaidai->setText(fileMode ? QStringLiteral("登録数") : QStringLiteral("最大値(&B)"));
    setPathBoxLook(txtSaidai, fileMode);
    mnuFileUse->setEnabled(fileMode);
}

// Entries, results and what the first two boxes said of them go together.
void FrmMain::discardListsAndBoxes()
{
    txtSaisyo->setToolTip(QString());
    txtSaidai->clear();
    m_entryFile.clear();
    m_sagyo->clear();
    m_kekka->clear();
    m_state.resultsDiscarded();
    applyCommandState();
}

void FrmMain::beginWorkListRead(const QString& path)
{
    discardListsAndBoxes();
    txtSaisyo->setText(path);
}

void FrmMain::replaceWorkList(EntryList entries, const QString& source, bool fromFile)
{
    const bool nothing = source.isEmpty() && entries.empty();
    txtSaidai->setText(nothing ? QString() : QString::number(entries.size()));
    m_sagyo->setEntries(std::move(entries));
    m_kekka->clear();
    m_state.resultsDiscarded();
    applyCommandState();
    m_entryFile = fromFile ? source : QString();
    txtSaisyo->setText(source);
    txtSaisyo->setToolTip(source);
    if (fraProgressbar->isHidden())
        showCurrentList();
    refreshStartAvailability();
}

MainWindowPort::DrawBoxes FrmMain::drawBoxes() const
{
    return { txtSaisyo->text(), txtSaidai->text(), txtTyusen->text(), chkDaburi->isChecked() };
}

void FrmMain::setDrawBoxes(const DrawBoxes& boxes)
{
    if (!isFileMode()) {
        txtSaisyo->setText(boxes.first);
        txtSaidai->setText(boxes.second);
    }
    txtTyusen->setText(boxes.count);
    chkDaburi->setChecked(boxes.noDuplicates);
    refreshStartAvailability();
}

void FrmMain::refreshRecentMenu()
{
    const auto& paths = m_fileMode->recentFiles().paths();
    for (int slot = 1; slot <= 10; ++slot) {
        QAction* item = mnuFileUseItem[slot];
        const bool used = static_cast<std::size_t>(slot) <= paths.size();
        const QString path = used ? QString::fromStdString(paths[static_cast<std::size_t>(slot - 1)]) : QString();
        // A path is shown as it is: "&" in it is no mnemonic.
        item->setText(QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(path);
        item->setVisible(used);
        item->setEnabled(used);
    }
    mnuFileUseItem[0]->setVisible(m_fileMode->recentFiles().placeholderVisible());
}

} // namespace kuji
