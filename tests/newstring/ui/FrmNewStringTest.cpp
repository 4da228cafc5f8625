#include "newstring/ui/FrmNewString.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/TextCodec.h"
#include "common/ui/CommandWork.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/HelpService.h"
#include "common/ui/HelpViewer.h"
#include "common/ui/LongWork.h"
#include "common/ui/TextEditor.h"
#include "entries/ui/ResultListModel.h"
#include "newstring/EditorText.h"
#include "newstring/ui/NewStringEditor.h"
#include "printing/ui/PrintTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <chrono>
#include <functional>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmNewStringTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    }

    // Opens the string window from the Tools menu; body uses it like a user while it is shown.
    void withNewString(const std::function<void(FrmNewString&)>& body)
    {
        platform.modalAnswers.push_back([body](QDialog& dialog) {
            auto& newString = dynamic_cast<FrmNewString&>(dialog);
            QApplication::setActiveWindow(&newString);
            body(newString);
            return newString.result();
        });
        trigger("mnuToolNewString");
    }

    static QAction* command(FrmNewString& w, const char* name)
    {
        QAction* found = w.findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QPlainTextEdit* editor(FrmNewString& w) { return w.findChild<QPlainTextEdit*>("rtbNewString"); }

    // Triggers the transfer and waits for its end.
    void send(FrmNewString& w)
    {
        ASSERT_TRUE(command(w, "mnuSend")->isEnabled());
        command(w, "mnuSend")->trigger();
        waitIdle();
    }

    QStringList entryTexts() const
    {
        QStringList texts;
        for (const auto& entry : window->workModel()->entries())
            texts << QString::fromStdString(std::string(entry.text));
        return texts;
    }

    // Returns what the window made of the drop: the action it took, or IgnoreAction.
    Qt::DropAction drop(QWidget* target, const QList<QUrl>& urls, Qt::DropActions offered = Qt::CopyAction,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // As file managers drag files: the list of files and their paths as text.
        QMimeData data;
        data.setUrls(urls);
        QStringList paths;
        for (const QUrl& url : urls)
            paths << url.toLocalFile();
        data.setText(paths.join('\n'));
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropEvent(QPointF(5, 5), offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target, &dropEvent);
        return dropEvent.isAccepted() ? dropEvent.dropAction() : Qt::IgnoreAction;
    }

    QByteArray fileBytes(const QString& path) const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    // Waits until the string window's own long work (an open, a save, a paste) has ended.
    static void waitWindowIdle(FrmNewString& w)
    {
        EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.longWork().isRunning(); }, 60000));
    }
    static QPushButton* stopButton(FrmNewString& w) { return w.findChild<QPushButton*>("cmdStop"); }
    static QString workStatus(FrmNewString& w) { return w.findChild<QLabel*>("lblWork")->text(); }

    // Whether only help and Stop (when stoppable) are offered and the window stays open.
    void expectBusy(FrmNewString& w, bool stoppable)
    {
        EXPECT_TRUE(w.isBusy());
        for (const char* name : { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuSend", "mnuFileEnd" })
            EXPECT_FALSE(command(w, name)->isEnabled()) << name;
        EXPECT_TRUE(command(w, "mnuHelp")->isEnabled());
        EXPECT_FALSE(editor(w)->isEnabled());
        EXPECT_TRUE(w.findChild<QWidget*>("fraWork")->isVisible());
        EXPECT_EQ(stopButton(w)->isVisible(), stoppable);
        EXPECT_EQ(stopButton(w)->isEnabled(), stoppable);
        const int beeps = platform.beeps;
        EXPECT_FALSE(w.close());
        EXPECT_EQ(platform.beeps, beeps + 1);
    }
    void expectIdle(FrmNewString& w)
    {
        EXPECT_FALSE(w.isBusy());
        for (const char* name : { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuSend", "mnuFileEnd" })
            EXPECT_TRUE(command(w, name)->isEnabled()) << name;
        EXPECT_TRUE(editor(w)->isEnabled());
        EXPECT_FALSE(w.findChild<QWidget*>("fraWork")->isVisible());
    }

    // Lines "name0" … as CR LF text.
    static QByteArray numberedLines(int count)
    {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += "name" + QByteArray::number(i) + "\r\n";
        return text;
    }
};

// Every command that is not done in its first few lines goes on as long work, so a test can
// press Stop between slices.
class EverythingLong {
public:
    EverythingLong() { setCommandWorkAtOnce(std::chrono::milliseconds(0)); }
    ~EverythingLong() { setCommandWorkAtOnce(2 * LongWork::kSlice); }
};

} // namespace

TEST_F(FrmNewStringTest, TransferSendsTheNonEmptyLinesAsEntries)
{
    struct Case {
        QString text;
        QStringList entries;
    };
    const Case cases[] = {
        { "a\r\n\r\nb\r\n", { "a", "b" } },
        { "x", { "x" } },
        { "first\r\nlast", { "first", "last" } },
        { "   ", { "   " } },
        // A no-break space is a character of its own, not a space.
        { QString::fromUtf8("a\u00A0b\r\n\r\n 佐藤 "), { QString::fromUtf8("a\u00A0b"), " 佐藤 " } },
        { "", {} },
    };
    for (const Case& c : cases) {
        platform.messages.clear();
        withNewString([&](FrmNewString& w) {
            editor(w)->setPlainText(c.text);
            send(w);
            // The window stays open with its text and every command back.
            EXPECT_TRUE(w.isVisible());
            EXPECT_FALSE(w.isBusy());
            EXPECT_EQ(w.editorText(), c.text.toStdString());
            for (const char* name : { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuSend", "mnuFileEnd" })
                EXPECT_TRUE(command(w, name)->isEnabled()) << name;
            EXPECT_TRUE(editor(w)->isEnabled());
        });
        EXPECT_EQ(entryTexts(), c.entries) << c.text.toStdString();
        const EntryList& entries = window->workModel()->entries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(entries[i].key, i + 1);
        EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), "文字列作成");
        EXPECT_EQ(child<QLineEdit>("txtSaisyo")->toolTip(), "文字列作成");
        EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), QString::number(c.entries.size()));
        EXPECT_EQ(child<QLabel>("lblStatus")->text(), "文字列転送中...");
        EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].request.text, "作成した文字列をくじ丸に送りました｡");
        EXPECT_EQ(platform.messages[0].request.title, "完了");
        EXPECT_EQ(platform.messages[0].request.buttons, QMessageBox::Ok);
        EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::NoIcon);
    }
    // The label is never taken for the entry file: the custom reset stores no file.
    trigger("mnuResetCustomSet");
    EXPECT_EQ(myReadIni("Reset", "File", settingsPath()), "");
}

TEST_F(FrmNewStringTest, WhileTransferringOnlyHelpIsOfferedAndTheWindowStaysOpen)
{
    withNewString([&](FrmNewString& w) {
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QString("name%1\n").arg(i);
        editor(w)->setPlainText(text);
        command(w, "mnuSend")->trigger();
        ASSERT_TRUE(w.isBusy());
        for (const char* name : { "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuSend", "mnuFileEnd" })
            EXPECT_FALSE(command(w, name)->isEnabled()) << name;
        EXPECT_FALSE(editor(w)->isEnabled());
        EXPECT_TRUE(command(w, "mnuHelp")->isEnabled());
        EXPECT_FALSE(w.toolbarButton("M_Send")->isEnabled());
        EXPECT_TRUE(w.toolbarButton("M_Help")->isEnabled());
        EXPECT_TRUE(child<QWidget>("fraProgressbar")->isVisible());
        EXPECT_EQ(child<QLabel>("lblProgressbarEnd")->text(), "/ 3001");
        const int beeps = platform.beeps;
        EXPECT_FALSE(w.close());
        EXPECT_EQ(platform.beeps, beeps + 1);
        EXPECT_TRUE(w.isVisible());
        waitIdle();
        EXPECT_EQ(window->workModel()->rowCount(), 3000);
        EXPECT_TRUE(command(w, "mnuFileEnd")->isEnabled());
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible()); // Escape is no way out of the editor
        EXPECT_TRUE(w.close());
    });
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "3000");
}

TEST_F(FrmNewStringTest, OpenReadsTheFileOnlyWhenItCanBeRead)
{
    const QString names = writeFile("names.txt", QByteArray::fromStdString(text::encodeForSave("佐藤\r\n鈴木\r\n")));
    const QString mixed = writeFile("mixed.txt", "a\nb\rc\r\n");
    const QString empty = writeFile("empty.txt", "");
    const QString tooLong
        = writeFile("long.txt", QByteArray("ok\r\n") + QByteArray(EditorText::kMaxLineChars + 1, 'x'));
    withNewString([&](FrmNewString& w) {
        platform.fileAnswers.push_back(names);
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(platform.dialogs.size(), 1u);
        EXPECT_EQ(platform.dialogs[0].request.filter, "*.csv;*.txt (*.csv *.txt);;全ファイル (*)");
        EXPECT_EQ(editor(w)->toPlainText(), "佐藤\n鈴木\n");
        EXPECT_EQ(w.currentPath(), names);

        // The next dialog starts at that file.
        command(w, "mnuFileOpen")->trigger();
        EXPECT_EQ(platform.dialogs[1].request.folder, folderPath() + "/");
        EXPECT_EQ(platform.dialogs[1].request.fileName, "names.txt");
        EXPECT_EQ(editor(w)->toPlainText(), "佐藤\n鈴木\n"); // cancelled

        // A file that cannot be read is reported; text and path stay.
        w.readFile(folderPath() + "/missing.txt");
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_TRUE(platform.messages[0].request.text.startsWith("実行時エラー '2':\r\n"));
        EXPECT_EQ(platform.messages[0].request.title, "エラー");
        EXPECT_EQ(editor(w)->toPlainText(), "佐藤\n鈴木\n");
        EXPECT_EQ(w.currentPath(), names);

        // A line too long for the editor refuses the whole file.
        w.readFile(tooLong);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[1].request.text, "Error:行が長過ぎるため開けません。");
        EXPECT_EQ(platform.messages[1].request.icon, QMessageBox::Critical);
        EXPECT_EQ(editor(w)->toPlainText(), "佐藤\n鈴木\n");
        EXPECT_EQ(w.currentPath(), names);

        // Every line end of a file ends a line in the editor and so an entry.
        w.readFile(mixed);
        EXPECT_EQ(editor(w)->blockCount(), 4);
        send(w);
        EXPECT_EQ(entryTexts(), QStringList({ "a", "b", "c" }));

        // An empty file empties the editor without a word.
        w.readFile(empty);
        EXPECT_TRUE(editor(w)->toPlainText().isEmpty());
        EXPECT_EQ(w.currentPath(), empty);
        EXPECT_EQ(platform.messages.size(), 3u); // the transfer's only
    });
}

// Qt's text edit keeps U+2028 (line separator) inside a line: Shift+Enter puts it there and a
// paste keeps it. It shows as a line break, so it must be one for the transfer, its count, the
// save and the print alike.
TEST_F(FrmNewStringTest, LineSeparatorsBreakLinesWhereverTheTextComesFrom)
{
    const QString separated = writeFile("separated.txt", QString::fromUtf8("x\u2028y\r\nz").toUtf8());
    const QString saved = folderPath() + "/saved.txt";
    withNewString([&](FrmNewString& w) {
        QPlainTextEdit* text = editor(w);
        QTest::keyClicks(text, "alice");
        QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(text, "bob");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "carol");
        EXPECT_EQ(text->blockCount(), 3);
        // Pasted and dropped text alike.
        QApplication::clipboard()->setText(QString::fromUtf8("\u2028dan\u2028eve"));
        text->paste();
        EXPECT_EQ(text->blockCount(), 5);
        command(w, "mnuSend")->trigger();
        EXPECT_EQ(child<QLabel>("lblProgressbarEnd")->text(), "/ 5");
        waitIdle();
        EXPECT_EQ(entryTexts(), QStringList({ "alice", "bob", "carol", "dan", "eve" }));

        w.readFile(separated);
        EXPECT_EQ(text->blockCount(), 3);

        // Text the program sets keeps its separator in the line, and still breaks there: the
        // save writes CR LF, so the file stays Shift-JIS.
        text->setPlainText(QString::fromUtf8("p\u2028q"));
        EXPECT_EQ(w.editorText(), "p\r\nq");
        EXPECT_EQ(w.printLines(), (std::vector<std::string> { "p", "q" }));
        platform.fileAnswers.push_back(saved);
        command(w, "mnuFileSave")->trigger();
        EXPECT_EQ(fileBytes(saved), "p\r\nq\r\n");
    });
}

TEST_F(FrmNewStringTest, ADropOpensTheFirstFileAndNeverTypesIntoTheText)
{
    const QString first = writeFile("first.txt", "one\r\n");
    const QString second = writeFile("second.txt", "two\r\n");
    withNewString([&](FrmNewString& w) {
        QWidget* target = editor(w)->viewport();
        editor(w)->setPlainText("mine");
        drop(target, { QUrl::fromLocalFile(folderPath()) });
        EXPECT_EQ(editor(w)->toPlainText(), "mine");
        drop(target, { QUrl::fromLocalFile(first), QUrl::fromLocalFile(second) });
        EXPECT_EQ(editor(w)->toPlainText(), "one\n");
        EXPECT_EQ(w.currentPath(), first);
        drop(target, { QUrl::fromLocalFile(folderPath() + "/gone.txt") });
        EXPECT_EQ(editor(w)->toPlainText(), "one\n");

        // A file manager proposing a move is answered with a copy, or the file would go.
        const QList<QUrl> secondOnly { QUrl::fromLocalFile(second) };
        EXPECT_EQ(drop(target, secondOnly, Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier), Qt::CopyAction);
        EXPECT_EQ(editor(w)->toPlainText(), "two\n");
        // A drag that only moves is refused.
        editor(w)->setPlainText("mine");
        EXPECT_EQ(drop(target, secondOnly, Qt::MoveAction), Qt::IgnoreAction);
        EXPECT_EQ(editor(w)->toPlainText(), "mine");
    });
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FrmNewStringTest, SaveEndsTheFileWithOneLineBreakAndBecomesTheCurrentFile)
{
    const QString plain = folderPath() + "/plain.txt";
    const QString ended = folderPath() + "/ended.csv";
    const QString wide = folderPath() + "/wide.txt";
    const QString nothing = folderPath() + "/nothing.txt";
    withNewString([&](FrmNewString& w) {
        editor(w)->setPlainText("p\r\nq");
        platform.fileAnswers.push_back(plain);
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(fileBytes(plain), "p\r\nq\r\n");
        EXPECT_EQ(w.currentPath(), plain);

        // A text already ending with a line break gets no second one, so rounds of open
        // and save never grow it.
        editor(w)->setPlainText("p\r\nq\r\n");
        platform.fileAnswers.push_back(ended);
        command(w, "mnuFileSave")->trigger();
        EXPECT_EQ(platform.dialogs.back().request.fileName, "plain.txt");
        EXPECT_EQ(fileBytes(ended), "p\r\nq\r\n");

        const QString snowman = QString::fromUtf8("雪だるま☃\r\n𠮷野家\r\n");
        editor(w)->setPlainText(snowman);
        platform.fileAnswers.push_back(wide);
        command(w, "mnuFileSave")->trigger();
        EXPECT_TRUE(fileBytes(wide).startsWith("\xEF\xBB\xBF"));
        editor(w)->clear();
        w.readFile(wide);
        EXPECT_EQ(editor(w)->toPlainText(), QString(snowman).replace("\r\n", "\n"));

        editor(w)->clear();
        platform.fileAnswers.push_back(nothing);
        command(w, "mnuFileSave")->trigger();
        EXPECT_EQ(fileBytes(nothing), "");
    });
}

TEST_F(FrmNewStringTest, PrintSendsTheEditorLinesToThePrintDialog)
{
    const QString pdf = folderPath() + "/text.pdf";
    withNewString([&](FrmNewString& w) {
        editor(w)->setPlainText("一行目\n\n三行目");
        platform.fileAnswers.push_back(pdf);
        platform.modalAnswers.push_back([](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), "frmPrint");
            dialog.findChild<QPushButton*>(QStringLiteral("cmdPrintStart"))->click();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000));
            return dialog.result();
        });
        ASSERT_TRUE(command(w, "mnuFilePrint")->isEnabled());
        command(w, "mnuFilePrint")->trigger();
    });
    const auto pages = kuji::test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], QStringList({ "一行目", "三行目" }));
}

TEST_F(FrmNewStringTest, PositionAndSizeComeBackWithinTheScreenAndNeverBelowTheMinimum)
{
    QPoint shownAt;
    withNewString([&](FrmNewString& w) {
        const double dpi = w.screen()->logicalDotsPerInch();
        const QSize minimum(twipsToPixels(5415, dpi), twipsToPixels(4065, dpi));
        // The first opening: top left, at the smallest size.
        EXPECT_EQ(w.pos(), QPoint(0, 0));
        EXPECT_EQ(w.size(), minimum);
        w.resize(10, 10);
        EXPECT_EQ(w.size(), minimum);
        w.move(30, 40);
        w.resize(500, 400);
        shownAt = w.pos();
        command(w, "mnuFileEnd")->trigger();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(myReadIni("NewString Position", "Width", settingsPath()), "7500");
    withNewString([&](FrmNewString& w) {
        EXPECT_EQ(w.pos(), shownAt);
        EXPECT_EQ(w.size(), QSize(500, 400));
        EXPECT_TRUE(editor(w)->toPlainText().isEmpty()); // each opening starts empty
        EXPECT_TRUE(w.currentPath().isEmpty());
    });

    // Off every screen and larger than the screen: back on the screen, cut to its size.
    myWriteIni("NewString Position", "Left", "900000", settingsPath());
    myWriteIni("NewString Position", "Width", "900000", settingsPath());
    myWriteIni("NewString Position", "Height", "-5", settingsPath());
    withNewString([&](FrmNewString& w) {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_EQ(w.pos(), available.topLeft());
        EXPECT_EQ(w.width(), w.screen()->geometry().width());
        EXPECT_EQ(w.height(), w.minimumHeight());
    });
}

// The two help commands go to different places; 転送 and ヘルプ sit on the menu bar itself.
TEST_F(FrmNewStringTest, HelpAndPrintCommands)
{
    withNewString([&](FrmNewString& w) {
        w.toolbarButton("M_Help")->click();
        EXPECT_EQ(help.currentSource(), HelpService::topicUrl(kHelpTopicNewString));
        command(w, "mnuHelp")->trigger();
        EXPECT_EQ(help.currentSource(), HelpViewer::contentsUrl());
        EXPECT_TRUE(w.findChild<QMenuBar*>()->actions().contains(command(w, "mnuSend")));

        // Printing goes to the shared print dialog.
        w.toolbarButton("M_Print")->click();
        EXPECT_EQ(platform.modalWindows, QStringList({ "frmNewString", "frmPrint" }));
    });
}

// The whole road from the keyboard: the menu, three typed names, 転送 with Alt+S, OK,
// ファイル ▸ 終了, then a draw of three without duplicates.
TEST_F(FrmNewStringTest, KeyboardRoadFromTypedNamesToADraw)
{
    bool closed = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        QApplication::setActiveWindow(&dialog);
        auto& w = dynamic_cast<FrmNewString&>(dialog);
        QWidget* text = editor(w);
        EXPECT_TRUE(text->hasFocus());
        QTest::keyClicks(text, "alice");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "bob");
        QTest::keyClick(text, Qt::Key_Return);
        // Japanese comes from the input method.
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8("佐藤"));
        QApplication::sendEvent(text, &composed);
        QTest::keyClick(&w, Qt::Key_S, Qt::AltModifier);
        waitIdle(); // the completion box is answered OK
        EXPECT_EQ(platform.messages.size(), 1u);
        QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
        QWidget* fileMenu = QApplication::activePopupWidget();
        EXPECT_NE(fileMenu, nullptr);
        if (fileMenu)
            QTest::keyClick(fileMenu, Qt::Key_X);
        closed = !w.isVisible();
        return w.result();
    });
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    QWidget* tools = QApplication::activePopupWidget();
    ASSERT_NE(tools, nullptr);
    QTest::keyClick(tools, Qt::Key_S);
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmNewString" }));
    EXPECT_TRUE(closed);
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "3");

    // The desktop gives the main window back its activation once the modal window is gone.
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    // A mnemonic clicks its button as the key is let go, a moment later.
    EXPECT_TRUE(QTest::qWaitFor([this] { return child<QCheckBox>("chkDaburi")->isChecked(); }));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), "3");
    EXPECT_EQ(child<QLineEdit>("txtTyusen")->text(), "3");
    QTest::keyClick(window.get(), Qt::Key_F5);
    waitIdle();
    QStringList drawn;
    for (std::size_t row = 0; row < window->resultModel()->rows(); ++row)
        drawn << QString::fromStdString(window->resultModel()->rowText(row));
    drawn.sort();
    EXPECT_EQ(drawn, QStringList({ "alice", "bob", QString::fromUtf8("佐藤") }));
}

TEST_F(FrmNewStringTest, AStoppedOpenKeepsThePreviousTextAndAFinishedOneReplacesIt)
{
    const QByteArray lines = numberedLines(100000);
    const QString big = writeFile("big.txt", lines);
    withNewString([&](FrmNewString& w) {
        EverythingLong slices;
        QPlainTextEdit* text = editor(w);
        QTest::keyClicks(text, "mine");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "two");
        QTextCursor at = text->textCursor();
        at.setPosition(2);
        text->setTextCursor(at);
        QTextDocument* typed = text->document();

        const auto openAndStop = [&](const std::function<void()>& stop) {
            w.readFile(big);
            expectBusy(w, true);
            EXPECT_EQ(workStatus(w), "読込中...");
            // Some of the file is in the new document when Stop comes; the editor still shows
            // the old one.
            auto* bar = w.findChild<QProgressBar*>("prgWork");
            EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() > 300 || !w.longWork().isRunning(); }));
            ASSERT_TRUE(w.longWork().isRunning());
            EXPECT_EQ(text->document(), typed);
            stop();
            waitWindowIdle(w);
            expectIdle(w);
            // The very document that was there, with its cursor and its history.
            EXPECT_EQ(text->document(), typed);
            EXPECT_EQ(text->toPlainText(), "mine\ntwo");
            EXPECT_EQ(text->textCursor().position(), 2);
            EXPECT_TRUE(text->document()->isUndoAvailable());
            EXPECT_TRUE(w.currentPath().isEmpty());
        };
        openAndStop([&] { stopButton(w)->click(); });
        openAndStop([&] { QTest::keyClick(&w, Qt::Key_Escape); });
        EXPECT_TRUE(platform.messages.empty());

        // Left to run, the file's text replaces the old one as setPlainText would: the
        // cursor at the start, no history, the window's font.
        w.readFile(big);
        waitWindowIdle(w);
        expectIdle(w);
        EXPECT_EQ(text->blockCount(), 100001);
        EXPECT_EQ(QByteArray::fromStdString(w.editorText()), lines);
        EXPECT_EQ(text->textCursor().position(), 0);
        EXPECT_FALSE(text->document()->isUndoAvailable());
        EXPECT_EQ(text->document()->defaultFont(), text->font());
        EXPECT_EQ(w.currentPath(), big);
        QTest::keyClicks(text, "x");
        EXPECT_EQ(text->document()->firstBlock().text(), "xname0");
        text->undo();
        EXPECT_EQ(text->document()->firstBlock().text(), "name0");
    });
}

TEST_F(FrmNewStringTest, AStoppedSaveLeavesTheOldFileByteForByte)
{
    const QString target = writeFile("target.txt", "old bytes\r\n");
    withNewString([&](FrmNewString& w) {
        EverythingLong slices;
        editor(w)->setPlainText(QString::fromLatin1(numberedLines(20000)) + QString::fromUtf8("雪だるま☃"));
        platform.fileAnswers.push_back(target);
        command(w, "mnuFileSave")->trigger();
        expectBusy(w, true);
        EXPECT_EQ(workStatus(w), "保存中...");
        stopButton(w)->click();
        waitWindowIdle(w);
        expectIdle(w);
        EXPECT_EQ(fileBytes(target), "old bytes\r\n");
        EXPECT_TRUE(w.currentPath().isEmpty());
        EXPECT_TRUE(platform.messages.empty());

        platform.fileAnswers.push_back(target);
        command(w, "mnuFileSave")->trigger();
        waitWindowIdle(w);
        // One value a line, and UTF-8 with its mark for the snowman.
        EXPECT_EQ(fileBytes(target),
            QByteArray("\xEF\xBB\xBF") + numberedLines(20000) + QString::fromUtf8("雪だるま☃\r\n").toUtf8());
        EXPECT_EQ(w.currentPath(), target);
    });
}

// A long save writes its lines one a row; the bytes must be those of the whole text saved
// as one value, whatever line breaks the text ends with.
TEST_F(FrmNewStringTest, ASaveWritesTheBytesOfTheWholeTextAsOneValue)
{
    const QString path = folderPath() + "/saved.txt";
    const QString texts[] = { "", "\n", "\n\n", "a", "a\n", "a\n\n", QString::fromUtf8("a\u2028"),
        QString::fromUtf8("\u2028"), QString::fromUtf8("a\u2028\n"), QString::fromUtf8("x\u2028\u2028"),
        QString::fromUtf8("\n佐藤\n\u00A0\n"), QString::fromUtf8("〜\n") };
    withNewString([&](FrmNewString& w) {
        EverythingLong slices;
        for (const QString& text : texts) {
            editor(w)->setPlainText(text);
            const std::string current = w.editorText(); // the value below points into it
            const std::optional<std::string_view> value = EditorText::saveValue(current);
            const std::string expected = value ? text::encodeForSave(std::string(*value) + "\r\n") : std::string();
            platform.fileAnswers.push_back(path);
            command(w, "mnuFileSave")->trigger();
            waitWindowIdle(w);
            EXPECT_EQ(fileBytes(path), QByteArray::fromStdString(expected)) << text.toStdString();
        }
    });
}

TEST_F(FrmNewStringTest, ALongPasteGoesInAPieceAtATimeAsOneStepOfUndo)
{
    QString pasted;
    for (int i = 0; i < 3000; ++i)
        pasted += QString::fromUtf8("佐藤%1\r\n").arg(i);
    pasted += QString::fromUtf8("a\u2028b\rc\nlast");
    ASSERT_GT(pasted.size(), NewStringEditor::kLongInsertUnits);
    withNewString([&](FrmNewString& w) {
        EverythingLong slices;
        QPlainTextEdit* text = editor(w);
        text->setPlainText("head\nSELECTED\ntail");
        QTest::keyClicks(text, "typed");
        QTextCursor selection = text->textCursor();
        selection.setPosition(10);
        selection.setPosition(18, QTextCursor::KeepAnchor);
        text->setTextCursor(selection);
        EXPECT_EQ(text->textCursor().selectedText(), "SELECTED");

        // What Qt's own paste makes of the same text at the same place.
        TextEditor reference;
        reference.setPlainText(text->toPlainText());
        reference.setTextCursor(QTextCursor(reference.document()));
        QTextCursor same = reference.textCursor();
        same.setPosition(10);
        same.setPosition(18, QTextCursor::KeepAnchor);
        reference.setTextCursor(same);
        QApplication::clipboard()->setText(pasted);
        reference.paste();

        text->paste();
        expectBusy(w, false);
        EXPECT_EQ(workStatus(w), "貼り付け中...");
        waitWindowIdle(w);
        expectIdle(w);
        EXPECT_EQ(text->toPlainText(), reference.toPlainText());
        EXPECT_EQ(text->blockCount(), 3000 + 6);
        EXPECT_EQ(text->textCursor().position(), reference.textCursor().position());
        // One undo takes all of it away and gives the selection back; the typing before it
        // is a step of its own.
        text->undo();
        EXPECT_EQ(text->toPlainText(), "typedhead\nSELECTED\ntail");
        text->undo();
        EXPECT_EQ(text->toPlainText(), "head\nSELECTED\ntail");

        // A short paste goes in at once, as Qt's own.
        QApplication::clipboard()->setText("short\r\npaste");
        text->paste();
        EXPECT_FALSE(w.isBusy());
        EXPECT_TRUE(text->toPlainText().startsWith("short\npaste"));

        // A line the editor could not lay out refuses the whole paste, as an open.
        const QString before = text->toPlainText();
        QApplication::clipboard()->setText("ok\r\n" + QString(EditorText::kMaxLineChars + 1, 'x'));
        text->paste();
        EXPECT_FALSE(w.isBusy());
        EXPECT_EQ(text->toPlainText(), before);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].request.text, "Error:行が長過ぎるため貼り付けられません。");
        EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Critical);
    });
}
