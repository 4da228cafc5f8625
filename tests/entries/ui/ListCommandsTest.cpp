#include "common/SafeFileWriter.h"
#include "common/ui/CommandWork.h"
#include "common/ui/EntryListModel.h"
#include "entries/ui/ResultListModel.h"
#include "support/MainWindowFixture.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class ListCommandsTest : public MainWindowFixture {
protected:
    // A completed draw, then its rows replaced by entries with the given texts in this draw
    // order (keys 0, 1, 2 …): the result commands are on, as after any draw.
    void results(const std::vector<std::string>& texts)
    {
        typeSettings("1", "1", QString::number(texts.size()));
        trigger("mnuRunStart");
        auto entries = std::make_shared<EntryList>();
        for (const std::string& t : texts)
            entries->append(t);
        window->resultModel()->change([&](ResultList& list) {
            list.reset(0, 0, entries);
            for (std::uint32_t i = 0; i < texts.size(); ++i)
                list.appendEntry(i);
        });
    }

    QTableView* list() const { return child<QTableView>("lvwKekka"); }

    std::vector<std::string> shown() const
    {
        std::vector<std::string> texts;
        const ResultList& rows = window->resultModel()->results();
        for (std::size_t i = 0; i < rows.size(); ++i)
            texts.push_back(rows.text(i));
        return texts;
    }

    void selectRows(std::initializer_list<int> rows)
    {
        list()->clearSelection();
        for (int row : rows)
            list()->selectionModel()->select(
                list()->model()->index(row, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
};

} // namespace

TEST_F(ListCommandsTest, CtrlAThenCtrlCInTheListCopiesEveryRowInListOrder)
{
    typeSettings("1", "1000", "50");
    trigger("mnuRunStart");
    ASSERT_TRUE(list()->hasFocus());
    QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    QStringList expected;
    for (const std::string& text : shown())
        expected << QString::fromStdString(text);
    ASSERT_EQ(expected.size(), 50);
    EXPECT_EQ(platform.clipboard, expected.join("\r\n"));

    // Ctrl+Insert is a copy key too, and Ctrl+Shift+A still selects everything.
    list()->clearSelection();
    QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 50);
    platform.clipboard.clear();
    QTest::keyClick(list(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, expected.join("\r\n"));
}

TEST_F(ListCommandsTest, ALetterAloneDoesNotSelectEverything)
{
    results({ "5", "1", "3" });
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_A);
    EXPECT_LE(list()->selectionModel()->selectedRows().size(), 1);
}

TEST_F(ListCommandsTest, SortsDeleteAndCopyKeepKeysAndTheChosenRows)
{
    results({ "5", "1", "3" });
    trigger("mnuHensyuSortAsc2");
    EXPECT_EQ(shown(), (std::vector<std::string> { "1", "3", "5" }));
    trigger("mnuHensyuSortDesc");
    EXPECT_EQ(shown(), (std::vector<std::string> { "5", "3", "1" }));
    trigger("mnuHensyuSortAsc1");
    EXPECT_EQ(shown(), (std::vector<std::string> { "5", "1", "3" }));

    // Copy of the first and third rows after a descending sort.
    trigger("mnuHensyuSortDesc");
    selectRows({ 0, 2 });
    trigger("mnuHensyuCopy");
    EXPECT_EQ(platform.clipboard, "5\r\n1");

    // The selection follows its rows through a sort: 5 and 1 stay chosen.
    trigger("mnuHensyuSortAsc2");
    EXPECT_EQ(shown(), (std::vector<std::string> { "1", "3", "5" }));
    trigger("mnuHensyuCopy");
    EXPECT_EQ(platform.clipboard, "1\r\n5");

    // Deleting the middle row of the draw keeps the other keys.
    trigger("mnuHensyuSortAsc1");
    selectRows({ 1 });
    trigger("mnuHensyuDelete");
    trigger("mnuHensyuSortAsc1");
    EXPECT_EQ(shown(), (std::vector<std::string> { "5", "3" }));
    const ResultList& rows = window->resultModel()->results();
    EXPECT_EQ(formatSequenceKey(rows.key(0)), "000000000");
    EXPECT_EQ(formatSequenceKey(rows.key(1)), "000000002");

    // Nothing selected: Copy empties the clipboard.
    list()->clearSelection();
    trigger("mnuHensyuCopy");
    EXPECT_EQ(platform.clipboard, "");
}

TEST_F(ListCommandsTest, TextOrderIsCaseAndWidthBlindAndTiesKeepDrawOrder)
{
    results({ "9", "b", "１０", "A", "10", "a" });
    trigger("mnuHensyuSortAsc2");
    EXPECT_EQ(shown(), (std::vector<std::string> { "１０", "10", "9", "A", "a", "b" }));
    trigger("mnuHensyuSortDesc");
    EXPECT_EQ(shown(), (std::vector<std::string> { "b", "A", "a", "9", "１０", "10" }));
}

TEST_F(ListCommandsTest, PopupOpensOnlyOverAListWithRows)
{
    auto* popup = child<QMenu>("mnuPopup");
    QContextMenuEvent empty(QContextMenuEvent::Mouse, QPoint(5, 5), list()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list()->viewport(), &empty);
    EXPECT_FALSE(popup->isVisible());

    results({ "5" });
    QContextMenuEvent over(QContextMenuEvent::Mouse, QPoint(5, 5), list()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list()->viewport(), &over);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
}

TEST_F(ListCommandsTest, SaveWritesTheRowsAsShownOneALine)
{
    results({ "b", "a", "x\r\ny" });
    trigger("mnuHensyuSortAsc2");
    const QString csv = folderPath() + "/out.csv";
    const QString xls = folderPath() + "/out.xls";
    platform.fileAnswers = { csv, xls };
    trigger("mnuFileSave");
    trigger("mnuFileSave");
    ASSERT_EQ(platform.dialogs.size(), 2u);
    EXPECT_TRUE(platform.dialogs[0].save);
    EXPECT_EQ(platform.dialogs[0].request.filter, "*.csv (*.csv);;*.txt (*.txt);;*.xls (*.xls)");
    EXPECT_TRUE(platform.dialogs[0].request.confirmOverwrite);
    EXPECT_EQ(bytesOf(csv), "a\r\nb\r\nx\r\ny\r\n");
    EXPECT_EQ(bytesOf(xls), bytesOf(csv));
    EXPECT_TRUE(platform.messages.empty());

    // Number mode proposes the minimum as the name, in the program's folder; cancel writes nothing.
    const auto filesBefore = QDir(folderPath()).entryList(QDir::Files);
    trigger("mnuFileSave");
    EXPECT_EQ(platform.dialogs[2].request.fileName, "1");
    EXPECT_EQ(QDir(platform.dialogs[2].request.folder), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(QDir(folderPath()).entryList(QDir::Files), filesBefore);
}

TEST_F(ListCommandsTest, AFailedSaveSaysWhyAndLeavesThePreviousFile)
{
    results({ "new" });
    const QString target = writeFile("kept.csv", "old\r\n");
    setWriteFault(WriteFault { 2, ENOSPC });
    platform.fileAnswers = { target };
    trigger("mnuFileSave");
    setWriteFault(std::nullopt);
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.messages[0].request;
    EXPECT_TRUE(m.text.startsWith("エラー番号 = 28\r")) << m.text.toStdString();
    EXPECT_EQ(m.title, "くじ丸");
    EXPECT_EQ(m.icon, QMessageBox::Warning);
    EXPECT_EQ(bytesOf(target), "old\r\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(temporaryPathFor(target.toStdString()))));

    // A folder that is not there.
    platform.fileAnswers = { folderPath() + "/gone/out.csv" };
    trigger("mnuFileSave");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].request.text.startsWith("エラー番号 = 2\r"));
}

TEST_F(ListCommandsTest, CharactersShiftJisLacksAreSavedAsUtf8AndComeBackWhole)
{
    results({ "髙橋", "𠮷野", "波〜線" });
    const QString path = folderPath() + "/names.txt";
    platform.fileAnswers = { path };
    trigger("mnuFileSave");
    EXPECT_TRUE(bytesOf(path).startsWith("\xEF\xBB\xBF"));
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    readEntryFile(path);
    const EntryList& entries = window->workModel()->entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries.text(1), "𠮷野");
    EXPECT_EQ(entries.text(2), "波〜線");

    // Text Shift-JIS holds is written in Shift-JIS.
    results({ "髙橋" });
    const QString sjis = folderPath() + "/sjis.txt";
    platform.fileAnswers = { sjis };
    trigger("mnuFileSave");
    EXPECT_EQ(bytesOf(sjis), "\xFB\xFC\x8B\xB4\r\n");
}

namespace {

// Long lists: every command that is not done in its first rows goes on as long work, so Stop
// can be pressed while it runs, as on a list of a million rows.
class LongListCommandsTest : public ListCommandsTest {
protected:
    void SetUp() override
    {
        ListCommandsTest::SetUp();
        setCommandWorkAtOnce(std::chrono::milliseconds(0));
        typeSettings("1", "99999", "20000");
        trigger("mnuRunStart");
        ASSERT_EQ(window->resultModel()->rows(), 20000u);
    }
    void TearDown() override
    {
        setCommandWorkAtOnce(2 * LongWork::kSlice);
        ListCommandsTest::TearDown();
    }

    // Starts a command, checks it runs as long work with its progress shown, and stops it.
    void startAndStop(const char* command)
    {
        action(command)->trigger();
        ASSERT_TRUE(window->longWork().isRunning()) << command;
        EXPECT_TRUE(window->isBusy());
        EXPECT_TRUE(action("mnuRunStop")->isEnabled());
        action("mnuRunStop")->trigger();
        waitIdle();
        EXPECT_FALSE(window->isBusy());
    }
};

} // namespace

TEST_F(LongListCommandsTest, AStoppedSortLeavesTheOldOrderAndACompletedOneSortsAll)
{
    const std::vector<std::string> before = shown();
    startAndStop("mnuHensyuSortAsc2");
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(action("mnuHensyuSortAsc2")->isEnabled()) << "the result commands are back";

    action("mnuHensyuSortAsc2")->trigger();
    waitIdle();
    std::vector<std::string> sorted = before;
    std::stable_sort(sorted.begin(), sorted.end()); // text order: "10" before "9"
    EXPECT_EQ(shown(), sorted);
}

TEST_F(LongListCommandsTest, AStoppedCopyLeavesTheClipboardAsItWas)
{
    platform.setClipboardText(QStringLiteral("what the user copied before"));
    trigger("mnuHensyuAllSelect");
    startAndStop("mnuHensyuCopy");
    EXPECT_EQ(list()->selectionModel()->selectedRows().size(), 20000) << "the selection outlives the progress shown";
    EXPECT_EQ(platform.clipboard, "what the user copied before");

    action("mnuHensyuCopy")->trigger();
    waitIdle();
    EXPECT_EQ(platform.clipboard.count(QStringLiteral("\r\n")), 19999);
}

TEST_F(LongListCommandsTest, AStoppedSaveLeavesTheOldFileAndNoTemporaryOne)
{
    const QString path = writeFile(QStringLiteral("results.csv"), "the user's earlier list\r\n");
    platform.fileAnswers.push_back(path);
    startAndStop("mnuFileSave");
    EXPECT_EQ(bytesOf(path), "the user's earlier list\r\n");
    EXPECT_EQ(
        QDir(folderPath()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("kujimaru-tmp")).size(), 0);

    platform.fileAnswers.push_back(path);
    action("mnuFileSave")->trigger();
    waitIdle();
    EXPECT_EQ(bytesOf(path).count("\r\n"), 20000);
    EXPECT_TRUE(platform.messages.empty());
}
