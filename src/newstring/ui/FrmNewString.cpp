#include "newstring/ui/FrmNewString.h"

#include "common/FilePaths.h"
#include "common/Settings.h"
#include "common/ui/FileDrop.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/ScreenPlacement.h"
#include "common/ui/TextEditor.h"
#include "common/ui/ToolWindowShell.h"
#include "entries/ui/ListSaveDialog.h"
#include "newstring/EditorText.h"
#include "newstring/StringTransfer.h"
#include "newstring/TextFileLoad.h"
#include "newstring/ui/DocumentLines.h"
#include "newstring/ui/DocumentReplacement.h"
#include "newstring/ui/LongTextInsert.h"
#include "newstring/ui/NewStringEditor.h"
#include "newstring/ui/NewStringProgress.h"
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
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
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

// How much of a file's text goes into the editor at a time: a few hundred lines, a
// millisecond or two of the document's work.
constexpr std::size_t kOpenPieceBytes = 32768;
// Lines the transfer gathers from the editor at a time.
constexpr int kTransferLinesPerPiece = 256;

// An open, from its first slice to its end.
struct Open {
    Open(const QString& path, QPlainTextEdit& editor)
        : file(path.toStdString())
        , replacement(editor)
    {
    }
    TextFileLoad file;
    DocumentReplacement replacement;
    RuntimeError error;
};

// One transfer, from its first slice to its end.
struct Transfer {
    std::unique_ptr<StringTransfer> run;
    bool split = false;
    RuntimeError error;
};

} // namespace

FrmNewString::FrmNewString(
    MainWindowPort& main, Platform& platform, HelpService& help, const Settings& settings, QWidget* parent)
    : QDialog(parent)
    , m_main(main)
    , m_platform(platform)
    , m_settings(settings)
    , m_commands(this)
{
    setObjectName(QStringLiteral("frmNewString"));
    setWindowTitle(QStringLiteral("文字列作成"));
    setAccessibleName(windowTitle());
    // A sizeable window of its own that can be minimised, though shown modally.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
        | Qt::WindowCloseButtonHint);
    QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));

    m_commands.add({
        { "mnuFileOpen", QStringLiteral("開く(&O)"), { QKeySequence(Qt::CTRL | Qt::Key_O) }, "open",
            QStringLiteral("開く"), [this] { openFile(); } },
        { "mnuFileSave", QStringLiteral("保存(&S)"), { QKeySequence(Qt::CTRL | Qt::Key_S) }, "save",
            QStringLiteral("保存"), [this] { save(); } },
        { "mnuFilePrint", QStringLiteral("印刷(&P)"), {}, "print", QStringLiteral("印刷"), [this] { print(); } },
        { "mnuFileEnd", QStringLiteral("終了(&X)"), {}, nullptr, {}, [this] { close(); } },
    });
    m_shell = new ToolWindowShell(this, m_commands, main, platform, help, kHelpTopicNewString, [this] { transfer(); });
    QVBoxLayout* layout
        = m_shell->build({ { "mnuFile", QStringLiteral("ファイル(&F)"),
                             { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "-mnuFileLine", "mnuFileEnd" } } },
            { { "M_Open", "mnuFileOpen" }, { "M_Save", "mnuFileSave" }, { "M_Print", "mnuFilePrint" } });

    rtbNewString = new NewStringEditor(this);
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
    rtbNewString->setLongInsert([this](QString text) { insertLongText(std::move(text)); });
    layout->addWidget(rtbNewString, 1);

    fraWork = new NewStringProgress(this);
    connect(fraWork, &NewStringProgress::stopClicked, &m_work, &LongWork::requestStop);
    layout->addWidget(fraWork);

    updateMinimumSize();
    restoreWindowRect(this, m_settings.readNewStringRect());
    setCommandState(true);
    rtbNewString->setFocus();
}

FrmNewString::~FrmNewString() = default;

QToolButton* FrmNewString::toolbarButton(const QString& key) const
{
    return m_commands.button(key);
}

// --- Command state ---------------------------------------------------------------------

void FrmNewString::setCommandState(bool idle, bool stoppable)
{
    if (idle)
        m_state.setIdle();
    else
        m_state.setBusy(stoppable);
    m_shell->setBusy(m_state.busy());
    applyCommandState();
}

void FrmNewString::beginWork(const QString& status, qint64 maximum)
{
    setCommandState(false, m_workStoppable);
    fraWork->begin(status, maximum, m_state.enabled(NewStringCommand::Stop));
    // The editor is out of reach meanwhile; the keyboard goes to Stop.
    if (m_state.enabled(NewStringCommand::Stop))
        fraWork->stopButton()->setFocus();
}

void FrmNewString::setWorkProgress(qint64 value)
{
    fraWork->setProgress(value);
}

void FrmNewString::endWork()
{
    fraWork->end();
    setCommandState(true);
    rtbNewString->setFocus();
}

bool FrmNewString::runWork(const QString& status, bool stoppable, LongWork::Task task)
{
    m_workStoppable = stoppable;
    return runCommandWork(this, status, 1000, std::move(task));
}

// A button and its menu item share one action, so they never disagree; 転送's menu item,
// an action of its own, copies its button.
void FrmNewString::applyCommandState()
{
    const auto enable = [this](const char* command, NewStringCommand which) {
        m_commands[command]->setEnabled(m_state.enabled(which));
    };
    enable("mnuFileOpen", NewStringCommand::Open);
    enable("mnuFileSave", NewStringCommand::Save);
    enable("mnuFilePrint", NewStringCommand::Print);
    enable("mnuFileEnd", NewStringCommand::End);
    m_shell->setSendEnabled(m_state.enabled(NewStringCommand::Send));
    fraWork->stopButton()->setEnabled(m_state.enabled(NewStringCommand::Stop));
    rtbNewString->setEnabled(m_state.editorEnabled());
}

// A close while a transfer runs is refused; otherwise the window stores where it was.
void FrmNewString::done(int result)
{
    if (!m_shell->closing(!m_state.closeAllowed()))
        return;
    m_settings.writeNewStringRect(windowRectToStore(this));
    QDialog::done(result);
}

void FrmNewString::keyPressEvent(QKeyEvent* event)
{
    // Escape is no way out of an editor: the window closes only by 終了 or its Close. While
    // an open or a save runs, it stops the work.
    if (event->matches(QKeySequence::Cancel)) {
        if (m_state.enabled(NewStringCommand::Stop))
            m_work.requestStop();
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
    const int width = std::max({ twipsToPixels(kMinWidthTwips, dpi), m_shell->menuBar()->sizeHint().width(),
        m_shell->toolbar()->sizeHint().width() });
    const int height = std::max(twipsToPixels(kMinHeightTwips, dpi),
        m_shell->menuBar()->sizeHint().height() + m_shell->toolbar()->sizeHint().height()
            + rtbNewString->minimumSizeHint().height());
    setMinimumSize(width, height);
}

void FrmNewString::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (rtbNewString && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        updateMinimumSize();
}

// --- Text and files --------------------------------------------------------------------

std::string FrmNewString::editorText() const
{
    std::string text;
    DocumentLines lines(*rtbNewString->document());
    lines.appendTo(text, rtbNewString->document()->blockCount());
    return text;
}

std::vector<std::string> FrmNewString::printLines() const
{
    PrintLineGathering gathering(*rtbNewString->document());
    gathering.step(LongWork::Clock::time_point::max());
    return gathering.takeLines();
}

void FrmNewString::openFile()
{
    const QString path = m_platform.getOpenFileName(
        this, FileDialogRequest::startingAt(QStringLiteral("開く"), m_path, kTextFileFilter));
    if (!path.isEmpty())
        readFile(path);
}

// The file is read, decoded and checked whole before anything changes: a file that cannot
// be read, or whose lines the editor could not take, leaves the user's text and the current
// path as they were. Its text then goes into a document of its own, which takes the editor's
// place only once it is complete: a Stop lets it go, and the user's text never left.
void FrmNewString::readFile(const QString& path)
{
    if (path.isEmpty() || m_state.busy() || m_work.isRunning())
        return;
    auto open = std::make_shared<Open>(path, *rtbNewString);
    LongWork::Task task;
    task.step = [open](LongWork::Clock::time_point deadline) {
        try {
            if (!open->file.step(deadline))
                return false;
            if (!open->file.ready())
                return true;
            for (;;) {
                const std::string_view piece = open->file.nextPiece(kOpenPieceBytes);
                if (piece.empty())
                    return true;
                // A line separator in the file starts a line of its own, as the editor shows it.
                open->replacement.append(
                    TextEditor::withLineBreaks(QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size()))));
                if (LongWork::Clock::now() >= deadline)
                    return false;
            }
        } catch (const std::exception& error) {
            open->error.setFromException(error);
            return true;
        }
    };
    task.progress = [this, open] { setWorkProgress(open->file.progress()); };
    task.finished = [this, open, path](bool stopped) {
        const bool read = !stopped && !open->error.isPending() && open->file.ready();
        if (read) {
            open->replacement.commit();
            m_path = path;
        } else {
            open->replacement.rollBack();
        }
        if (open->file.failed())
            open->error.set(open->file.error().number, open->file.error().description);
        if (open->file.tooLong())
            m_platform.showError(this, QStringLiteral("Error:行が長過ぎるため開けません。"));
        if (open->error.isPending())
            myShowRuntimeError(m_platform, this, open->error);
    };
    runWork(QStringLiteral("読込中..."), true, std::move(task));
}

// A paste too long for a moment goes in a piece at a time. A line the editor could not lay
// out without freezing is refused, as an open refuses it.
void FrmNewString::insertLongText(QString text)
{
    if (m_state.busy() || m_work.isRunning())
        return;
    struct Insert {
        LongTextInsert run;
        RuntimeError error;
    };
    auto insert = std::make_shared<Insert>(Insert { LongTextInsert(*rtbNewString, std::move(text)), {} });
    LongWork::Task task;
    task.step = [insert](LongWork::Clock::time_point deadline) {
        try {
            return insert->run.step(deadline);
        } catch (const std::exception& error) {
            insert->error.setFromException(error);
            return true;
        }
    };
    task.progress = [this, insert] { setWorkProgress(insert->run.progress()); };
    task.finished = [this, insert](bool) {
        if (insert->run.tooLong())
            m_platform.showError(this, QStringLiteral("Error:行が長過ぎるため貼り付けられません。"));
        if (insert->error.isPending())
            myShowRuntimeError(m_platform, this, insert->error);
    };
    // Once begun a paste ends complete, as a short one does at once.
    runWork(QStringLiteral("貼り付け中..."), false, std::move(task));
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
    if (!acceptFileDropAsCopy(*drop))
        return true;
    if (type == QEvent::Drop) {
        const QString path = urls.first().toLocalFile();
        if (myFileExists(path.toStdString()))
            readFile(path);
    }
    return true;
}

// The lines one a row, so the file ends with exactly one line break and the bytes are those
// of the whole text saved as one value (EditorText::saveRows). A long text is written as the
// window's long work; a Stop leaves an existing file as it was.
void FrmNewString::save()
{
    const QTextDocument* document = rtbNewString->document();
    const EditorText::SaveRows rows
        = EditorText::saveRows(static_cast<std::size_t>(document->blockCount()), document->lastBlock().length() <= 1);
    auto blocks = std::make_shared<DocumentBlocks>(*document);
    const auto textOf = [blocks, rows](std::size_t row, std::string& scratch) -> std::string_view {
        return EditorText::saveRowValue(blocks->text(row, scratch), row, rows);
    };
    m_workStoppable = true;
    ListSaveDialog::start(
        m_platform, this, this, m_path, rows.count, textOf, [this](const QString& saved) { m_path = saved; });
}

// The editor's text, split at its line breaks, through the shared print dialog. A million
// lines take a moment to gather, as the window's long work.
void FrmNewString::print()
{
    auto gathering = std::make_shared<PrintLineGathering>(*rtbNewString->document());
    LongWork::Task task;
    task.step = [gathering](LongWork::Clock::time_point deadline) { return gathering->step(deadline); };
    task.progress = [this, gathering] {
        setWorkProgress(static_cast<qint64>(1000.0 * static_cast<double>(gathering->done()) / gathering->total()));
    };
    task.finished = [this, gathering](bool stopped) {
        if (!stopped)
            FrmPrint::printTexts(m_platform, this, gathering->takeLines());
    };
    runWork(QStringLiteral("印刷準備中..."), true, std::move(task));
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
                if (!self) {
                    transfer->run = std::make_unique<StringTransfer>(std::string());
                    return false;
                }
                // The editor's lines are gathered a few hundred at a time as the split goes.
                const QTextDocument& document = *self->rtbNewString->document();
                auto read = std::make_shared<DocumentLines>(document);
                transfer->run = std::make_unique<StringTransfer>(
                    [read](std::string& text) { return read->appendTo(text, kTransferLinesPerPiece); }, lines,
                    static_cast<std::size_t>(document.characterCount()) * 2);
                return false;
            }
            // The end of the transfer fills the main window's list, tens of milliseconds at a
            // million entries: it gets a slice of its own.
            if (transfer->split)
                return true;
            transfer->split = transfer->run->step(deadline);
            return false;
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
