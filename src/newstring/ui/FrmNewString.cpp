#include "newstring/ui/FrmNewString.h"

#include "common/FileHelpers.h"
#include "common/Settings.h"
#include "common/ui/Commands.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/WaitCursor.h"
#include "entries/ui/ListSaveDialog.h"
#include "entries/ui/MainWindowPort.h"
#include "newstring/EditorText.h"
#include "newstring/StringTransfer.h"
#include "printing/ui/FrmPrint.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

namespace kuji {
namespace {

// The smallest the window may be, in twips.
constexpr int kMinWidthTwips = 5415;
constexpr int kMinHeightTwips = 4065;

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
// What the main window's path box shows after a transfer: a label, never taken for a path.
const QString kTransferSource = QStringLiteral("文字列作成");

// The document keeps each line as a block; its raw text separates blocks with U+2029. The
// raw text is taken rather than the plain one, which would turn no-break spaces into spaces.
// One pass turns it into UTF-8 with CR LF between the lines through a small buffer: Qt's own
// conversion and a second pass for the separators would each write the whole text again.
std::string documentText(const QTextDocument& document)
{
    const QString raw = document.toRawText();
    const auto* units = raw.utf16();
    const std::size_t count = static_cast<std::size_t>(raw.size());
    std::string text;
    // Most of a list is ASCII and kana or kanji: room for about two bytes a unit, grown
    // only when the text needs more.
    text.reserve(count * 2);
    // Fresh memory is dear to touch page by page; large pages make the first write cheap.
    adviseHugePages(text.data(), text.capacity());
    char buffer[16384];
    char* o = buffer;
    const auto flushIfFull = [&] {
        if (o > buffer + sizeof buffer - 4) {
            text.append(buffer, static_cast<std::size_t>(o - buffer));
            o = buffer;
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        flushIfFull();
        char32_t cp = units[i];
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
            continue;
        }
        if (cp == 0x2029) {
            *o++ = '\r';
            *o++ = '\n';
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            const bool paired = cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
            cp = paired ? 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00) : 0xFFFD;
        }
        if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (cp >> 12));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    text.append(buffer, static_cast<std::size_t>(o - buffer));
    return text;
}

// One transfer, from its first slice to its end.
struct Transfer {
    std::unique_ptr<StringTransfer> run;
    RuntimeError error;
};

} // namespace

FrmNewString::FrmNewString(
    MainWindowPort& main, Platform& platform, HelpService& help, const Settings& settings, QWidget* parent)
    : QDialog(parent)
    , m_main(main)
    , m_platform(platform)
    , m_help(help)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("frmNewString"));
    setWindowTitle(QStringLiteral("文字列作成"));
    setAccessibleName(windowTitle());
    // A sizeable window of its own that can be minimised, though shown modally.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
        | Qt::WindowCloseButtonHint);
    QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));

    createActions();
    createMenus();
    createToolbar();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(tlbMain);
    // An etched line across the window just below the toolbar.
    auto* etched = new QFrame(this);
    etched->setObjectName(QStringLiteral("linToolbar"));
    etched->setFrameShape(QFrame::HLine);
    etched->setFrameShadow(QFrame::Sunken);
    layout->addWidget(etched);

    rtbNewString = new QPlainTextEdit(this);
    rtbNewString->setObjectName(QStringLiteral("rtbNewString"));
    rtbNewString->setAccessibleName(QStringLiteral("文字列"));
    // Lines never wrap at the window's edge: each line the user sees is one entry.
    rtbNewString->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont gothic(kGothic);
    gothic.setPointSize(9);
    rtbNewString->setFont(gothic);
    // The editor lays every line out again whenever its width changes: a scroll bar that came
    // with a long text would cost a second pass over a million lines at each opening.
    rtbNewString->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editorViewport = rtbNewString->viewport();
    m_editorViewport->installEventFilter(this);
    layout->addWidget(rtbNewString, 1);

    updateMinimumSize();
    loadPosition();
    setCommandState(true);
    rtbNewString->setFocus();
}

FrmNewString::~FrmNewString() = default;

void FrmNewString::createActions()
{
    const auto makeAction = [this](const char* name, const QString& text, const char* icon, const QString& tip) {
        QAction* action = makeCommand(this, name, text);
        if (icon)
            action->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(icon)));
        action->setToolTip(tip);
        addAction(action);
        return action;
    };
    mnuFileOpen = makeAction("mnuFileOpen", QStringLiteral("開く(&O)"), "open.svg", QStringLiteral("開く"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mnuFileOpen, &QAction::triggered, this, &FrmNewString::openFile);
    mnuFileSave = makeAction("mnuFileSave", QStringLiteral("保存(&S)"), "save.svg", QStringLiteral("保存"));
    mnuFileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuFileSave, &QAction::triggered, this, &FrmNewString::save);
    mnuFilePrint = makeAction("mnuFilePrint", QStringLiteral("印刷(&P)"), "print.svg", QStringLiteral("印刷"));
    connect(mnuFilePrint, &QAction::triggered, this, &FrmNewString::print);
    mnuFileEnd = makeAction("mnuFileEnd", QStringLiteral("終了(&X)"), nullptr, QString());
    connect(mnuFileEnd, &QAction::triggered, this, &QWidget::close);
    // On the menu bar a command with an icon would show the icon instead of its caption, so
    // the toolbar's 転送 is an action of its own that follows the menu command's state.
    mnuSend = makeAction("mnuSend", QStringLiteral("転送(&S)"), nullptr, QString());
    connect(mnuSend, &QAction::triggered, this, &FrmNewString::transfer);
    m_sendButtonAction = makeAction("actSend", QStringLiteral("転送"), "send.svg", QStringLiteral("転送"));
    connect(m_sendButtonAction, &QAction::triggered, this, &FrmNewString::transfer);
    mnuHelp = makeAction("mnuHelp", QStringLiteral("ヘルプ(&H)"), nullptr, QString());
    connect(mnuHelp, &QAction::triggered, this, [this] { m_help.showContents(); });
    // The toolbar's help button opens this window's own topic, not the contents.
    m_helpTopicAction = makeAction("actHelpTopic", QStringLiteral("ヘルプ"), "help.svg", QStringLiteral("ヘルプ"));
    connect(m_helpTopicAction, &QAction::triggered, this, [this] { m_help.showTopic(kHelpTopicNewString); });
}

void FrmNewString::createMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("mnuBar"));
    m_menuBar->setAccessibleName(QStringLiteral("メニュー バー"));
    // Drawn in the window, so 転送 and ヘルプ stay where the user sees them.
    m_menuBar->setNativeMenuBar(false);
    QMenu* file = m_menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->setAccessibleName(QStringLiteral("ファイル"));
    file->addAction(mnuFileOpen);
    file->addAction(mnuFileSave);
    file->addAction(mnuFilePrint);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileLine"));
    file->addAction(mnuFileEnd);
    // Two commands sit on the menu bar itself, without a menu below them.
    m_menuBar->addAction(mnuSend);
    m_menuBar->addAction(mnuHelp);
}

void FrmNewString::createToolbar()
{
    tlbMain = new QToolBar(QStringLiteral("tlbMain"), this);
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    tlbMain->setAccessibleName(QStringLiteral("ツール バー"));
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(QSize(24, 24));
    const auto addButton = [this](const char* key, QAction* action) {
        m_buttons.insert(QLatin1String(key), addKeyedButton(tlbMain, key, action));
    };
    addButton("M_Open", mnuFileOpen);
    addButton("M_Save", mnuFileSave);
    addButton("M_Print", mnuFilePrint);
    tlbMain->addSeparator();
    addButton("M_Send", m_sendButtonAction);
    tlbMain->addSeparator();
    addButton("M_Help", m_helpTopicAction);
}

QToolButton* FrmNewString::toolbarButton(const QString& key) const
{
    return m_buttons.value(key);
}

// --- Command state ---------------------------------------------------------------------

void FrmNewString::setCommandState(bool idle)
{
    if (idle)
        m_state.setIdle();
    else
        m_state.setBusy();
    m_busyCursor.set(m_state.busy());
    applyCommandState();
}

// A button and its menu item share one action, so they never disagree; 転送's menu item,
// an action of its own, copies its button.
void FrmNewString::applyCommandState()
{
    mnuFileOpen->setEnabled(m_state.enabled(NewStringCommand::Open));
    mnuFileSave->setEnabled(m_state.enabled(NewStringCommand::Save));
    mnuFilePrint->setEnabled(m_state.enabled(NewStringCommand::Print));
    m_sendButtonAction->setEnabled(m_state.enabled(NewStringCommand::Send));
    mnuSend->setEnabled(m_sendButtonAction->isEnabled());
    mnuFileEnd->setEnabled(m_state.enabled(NewStringCommand::End));
    mnuHelp->setEnabled(m_state.enabled(NewStringCommand::Help));
    m_helpTopicAction->setEnabled(m_state.enabled(NewStringCommand::Help));
    rtbNewString->setEnabled(m_state.editorEnabled());
}

// A close while a transfer runs is refused; otherwise the window stores where it was.
void FrmNewString::done(int result)
{
    if (!m_state.closeAllowed()) {
        m_platform.beep();
        return;
    }
    storePosition();
    QDialog::done(result);
}

void FrmNewString::keyPressEvent(QKeyEvent* event)
{
    // Escape is no way out of an editor: the window closes only by 終了 or its Close.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- Size and position -----------------------------------------------------------------

// Never smaller than the designed minimum, nor than the menu bar and toolbar need at the
// fonts in use, so no command hides.
void FrmNewString::updateMinimumSize()
{
    const double dpi = screen()->logicalDotsPerInch();
    const int width
        = std::max({ twipsToPixels(kMinWidthTwips, dpi), m_menuBar->sizeHint().width(), tlbMain->sizeHint().width() });
    const int height = std::max(twipsToPixels(kMinHeightTwips, dpi),
        m_menuBar->sizeHint().height() + tlbMain->sizeHint().height() + rtbNewString->minimumSizeHint().height());
    setMinimumSize(width, height);
}

void FrmNewString::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (rtbNewString && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        updateMinimumSize();
}

// Where the window was last closed, on some screen (the main window's rule), and never
// larger than the screen, so the modal window can never be out of reach while it blocks the
// program.
void FrmNewString::loadPosition()
{
    const QScreen* current = screen();
    const double dpi = current->logicalDotsPerInch();
    const QSize screenSize = current->geometry().size();
    const Settings::Rect stored = m_settings.readNewStringRect();
    const int width = std::min(stored.width, pixelsToTwips(screenSize.width(), dpi));
    const int height = std::min(stored.height, pixelsToTwips(screenSize.height(), dpi));
    // A stored size below the minimum (none at the first opening) grows to the minimum.
    resize(twipsToPixels(width, dpi), twipsToPixels(height, dpi));
    move(placeOnSomeScreen(QPoint(twipsToPixels(stored.left, dpi), twipsToPixels(stored.top, dpi)), size()));
}

void FrmNewString::storePosition()
{
    const QRect normal = restorableGeometry(this);
    const double dpi = screen()->logicalDotsPerInch();
    m_settings.writeNewStringRect({ pixelsToTwips(normal.x(), dpi), pixelsToTwips(normal.y(), dpi),
        pixelsToTwips(normal.width(), dpi), pixelsToTwips(normal.height(), dpi) });
}

// --- Text and files --------------------------------------------------------------------

std::string FrmNewString::editorText() const
{
    return documentText(*rtbNewString->document());
}

std::vector<std::string> FrmNewString::printLines() const
{
    return EditorText::printLines(editorText());
}

void FrmNewString::openFile()
{
    const QString path = m_platform.getOpenFileName(
        this, FileDialogRequest::startingAt(QStringLiteral("開く"), m_path, kTextFileFilter));
    if (!path.isEmpty())
        readFile(path);
}

// The file is read whole before anything changes: a file that cannot be read, or whose
// lines the editor could not take, leaves the user's text and the current path as they were.
void FrmNewString::readFile(const QString& path)
{
    if (path.isEmpty() || m_state.busy())
        return;
    bool tooLong = false;
    {
        WaitCursor wait;
        try {
            text::Decoded decoded;
            ErrorInfo error;
            if (!readTextFile(path.toStdString(), decoded, error)) {
                m_runtimeError.set(error.number, error.description);
            } else if (EditorText::hasLineLongerThan(decoded.utf8)) {
                tooLong = true;
            } else {
                const QString text = QString::fromStdString(decoded.utf8);
                std::string().swap(decoded.utf8);
                rtbNewString->setPlainText(text);
                m_path = path;
            }
        } catch (const std::exception& error) {
            m_runtimeError.setFromException(error);
        }
    }
    if (tooLong)
        m_platform.showError(this, QStringLiteral("Error:行が長過ぎるため開けません。"));
    if (m_runtimeError.isPending())
        myShowRuntimeError(m_platform, this, m_runtimeError);
}

bool FrmNewString::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editorViewport && handleDrop(watched, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

// A dropped list of files opens its first file, if it is a file (a folder is ignored);
// nothing of the drop is typed into the text. Dragged text is edited in as usual.
bool FrmNewString::handleDrop(QObject*, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return false;
    if (m_state.busy()) {
        event->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        const QString path = urls.first().toLocalFile();
        if (myFileExists(path.toStdString()))
            readFile(path);
    }
    return true;
}

// The whole text as one value, its line breaks as CR LF, so the file ends with exactly one
// line break.
void FrmNewString::save()
{
    const std::string text = editorText();
    const std::optional<std::string_view> value = EditorText::saveValue(text);
    const QString saved = ListSaveDialog::save(
        m_platform, this, m_path, value ? 1 : 0, [&value](std::size_t) { return std::string(*value); });
    if (!saved.isEmpty())
        m_path = saved;
}

// The editor's text, split at its line breaks, through the shared print dialog.
void FrmNewString::print()
{
    FrmPrint::printTexts(m_platform, this, printLines());
}

// --- Transfer --------------------------------------------------------------------------

// The lines go to the main window's work list, with the progress in the main window; this
// window stays open with its text. A transfer has no Stop: once begun it ends complete.
void FrmNewString::transfer()
{
    if (m_state.busy() || m_main.longWork().isRunning())
        return;
    setCommandState(false);
    const auto lines = static_cast<std::size_t>(rtbNewString->blockCount());
    m_main.progressPanel().begin(QStringLiteral("文字列転送中..."), static_cast<qint64>(lines), true);
    m_main.beginWorkListRead(kTransferSource);

    auto transfer = std::make_shared<Transfer>();
    // The main window outlives this one; this window is looked at only while it exists.
    MainWindowPort* main = &m_main;
    const QPointer<FrmNewString> self(this);
    // The text is taken in the first slice, once the progress has been drawn, and split in
    // the slices after it.
    const auto work = [transfer, self, lines](LongWork::Clock::time_point deadline) {
        try {
            if (!transfer->run) {
                transfer->run = std::make_unique<StringTransfer>(self ? self->editorText() : std::string(), lines);
                return false;
            }
            return transfer->run->step(deadline);
        } catch (const std::exception& error) {
            transfer->error.setFromException(error);
            transfer->run.reset();
            return true;
        }
    };
    LongWork::Task task;
    task.step = work;
    task.progress = [main, transfer] {
        if (transfer->run)
            main->progressPanel().setProgress(transfer->run->linesDone());
    };
    task.finished = [main, transfer, self, work](bool) {
        // Only the main window's Stop could end the work early, and it is not reachable
        // while this window is open; should it come, the transfer still completes.
        while (!transfer->error.isPending() && !(transfer->run && transfer->run->done()))
            work(LongWork::Clock::time_point::max());
        if (transfer->error.isPending())
            main->replaceWorkList({}, QString(), false);
        else
            main->replaceWorkList(transfer->run->takeEntries(), kTransferSource, false);
        transfer->run.reset();
        main->progressPanel().end();
        if (!self)
            return;
        self->setCommandState(true);
        self->rtbNewString->setFocus();
        if (transfer->error.isPending()) {
            myShowRuntimeError(self->m_platform, self, transfer->error);
            return;
        }
        self->m_platform.showMessage(self,
            { QStringLiteral("作成した文字列をくじ丸に送りました｡"), QStringLiteral("完了"), QMessageBox::NoIcon,
                QMessageBox::Ok, QMessageBox::Ok });
    };
    m_main.longWork().start(std::move(task));
}

} // namespace kuji
