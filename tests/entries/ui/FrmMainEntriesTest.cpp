#include "common/IniFile.h"
#include "common/TextCodec.h"
#include "common/ui/EntryListModel.h"
#include "entries/ui/FileModeCommands.h"
#include "entries/ui/ResultListModel.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <unistd.h>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainEntries : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    }

    QStringList entryTexts() const
    {
        QStringList texts;
        for (const auto& entry : window->workModel()->entries())
            texts << QString::fromStdString(std::string(entry.text));
        return texts;
    }

    // Returns what the window made of the drop: the action it took, or IgnoreAction.
    Qt::DropAction drop(const QStringList& paths, Qt::DropActions offered = Qt::CopyAction,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        auto* box = child<QLineEdit>("txtSaisyo");
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(box, &enter);
        QDropEvent dropEvent(QPointF(5, 5), offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(box, &dropEvent);
        waitIdle();
        return dropEvent.isAccepted() ? dropEvent.dropAction() : Qt::IgnoreAction;
    }

    QStringList recentCaptions() const
    {
        QStringList paths;
        for (int i = 1; i <= 10; ++i) {
            QAction* item = action(("mnuFileUseItem" + std::to_string(i)).c_str());
            if (item->isVisible())
                paths << item->text();
        }
        return paths;
    }
};

} // namespace

TEST_F(FrmMainEntries, SwitchingModesRelabelsAndEmptiesTheBoxes)
{
    EXPECT_EQ(child<QLabel>("lblSaisyo")->text(), "ファイル");
    EXPECT_EQ(child<QLabel>("lblSaidai")->text(), "登録数");
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->isReadOnly());
    EXPECT_TRUE(child<QToolButton>("cmdFile")->isEnabled());
    EXPECT_TRUE(action("mnuFileOpen")->isEnabled());
    EXPECT_TRUE(action("mnuToolNewString")->isEnabled());
    EXPECT_TRUE(child<QTableView>("lvwSagyo")->isVisible());

    readEntryFile(writeFile("a.txt", "x\r\ny\r\n"));
    EXPECT_EQ(entryTexts(), QStringList({ "x", "y" }));
    QTest::mouseClick(child<QRadioButton>("optSuji"), Qt::LeftButton);
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_EQ(child<QLabel>("lblSaisyo")->text(), "最小値(&M)");
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
    // Back to nine digits at most.
    QTest::keyClicks(child<QLineEdit>("txtSaisyo"), "1234567890");
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), "123456789");
    child<QLineEdit>("txtSaisyo")->clear();
    EXPECT_FALSE(action("mnuFileOpen")->isEnabled());
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtSaidai")->text().isEmpty());
}

TEST_F(FrmMainEntries, OpenReadsTheChosenFile)
{
    const QString path = writeFile("names.txt", "one\r\n\r\nthree\r\n");
    platform.fileAnswers.push_back(path);
    trigger("mnuFileOpen");
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_EQ(platform.dialogs[0].request.filter, "*.csv;*.txt (*.csv *.txt);;全ファイル (*)");
    EXPECT_EQ(entryTexts(), QStringList({ "one", "", "three" }));
    EXPECT_EQ(window->workModel()->entries()[2].key, 3u);
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), path);
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->toolTip(), path);
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "3");
    EXPECT_FALSE(window->isBusy());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "ファイル読み込み中...");

    // The next open starts where the file is.
    trigger("mnuFileOpen");
    EXPECT_EQ(platform.dialogs[1].request.folder, folderPath() + "/");
    EXPECT_EQ(platform.dialogs[1].request.fileName, "names.txt");
    EXPECT_EQ(entryTexts().size(), 3); // cancelled: nothing changed
}

TEST_F(FrmMainEntries, CsvRecordsContinueAcrossLinesOnlyInCsvFiles)
{
    const QByteArray twoQuotes = "a\"b\r\nc\"d\r\n";
    readEntryFile(writeFile("q.CSV", twoQuotes));
    EXPECT_EQ(entryTexts(), QStringList({ "a\"b\r\nc\"d" }));
    readEntryFile(writeFile("q.txt", twoQuotes));
    EXPECT_EQ(entryTexts(), QStringList({ "a\"b", "c\"d" }));
}

TEST_F(FrmMainEntries, EncodingsAndLineEndsLoadToTheSameEntries)
{
    const std::string text = "髙橋～①\nｶﾀｶﾅ,\"x\"\n";
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    const std::string cp932 = *text::toCp932Exact(crlf);
    const QStringList expected { "髙橋～①", "ｶﾀｶﾅ,\"x\"" };
    int n = 0;
    for (const std::string& bytes : { cp932, crlf, std::string(text::kUtf8Bom) + text, text }) {
        readEntryFile(writeFile(QString("e%1.csv").arg(n++), QByteArray::fromStdString(bytes)));
        EXPECT_EQ(entryTexts(), expected) << n;
    }
}

TEST_F(FrmMainEntries, DroppedFilesReadTheFirstOnlyAndOnlyInFileMode)
{
    const QString first = writeFile("first.txt", "1\n2\n");
    const QString second = writeFile("second.txt", "3\n");
    drop({ first, second });
    EXPECT_EQ(entryTexts(), QStringList({ "1", "2" }));
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), first);
    // A file manager proposing a move is answered with a copy, or the file would go; a drag
    // that only moves is refused.
    EXPECT_EQ(drop({ second }, Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier), Qt::CopyAction);
    EXPECT_EQ(entryTexts(), QStringList({ "3" }));
    EXPECT_EQ(drop({ first }, Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(entryTexts(), QStringList({ "3" }));

    QTest::mouseClick(child<QRadioButton>("optSuji"), Qt::LeftButton);
    drop({ second });
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
}

TEST_F(FrmMainEntries, EmptyFileGivesNoEntriesButEntersTheRecentList)
{
    const QString path = writeFile("empty.txt", "");
    readEntryFile(path);
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "0");
    EXPECT_EQ(recentCaptions(), QStringList({ path }));
    EXPECT_FALSE(action("mnuFileUseItem0")->isVisible());
}

TEST_F(FrmMainEntries, UnreadableFilesAreReportedAndLeaveTheWindowIdle)
{
    const QString missing = folderPath() + "/gone.txt";
    for (const QString& path : { missing, folderPath() }) {
        platform.messages.clear();
        platform.fileAnswers.push_back(path);
        trigger("mnuFileOpen");
        ASSERT_EQ(platform.messages.size(), 1u) << path.toStdString();
        const MessageRequest& m = platform.messages[0].request;
        EXPECT_TRUE(m.text.startsWith("実行時エラー '")) << m.text.toStdString();
        EXPECT_TRUE(m.text.contains("':\r\n"));
        EXPECT_EQ(m.title, "エラー");
        EXPECT_EQ(m.icon, QMessageBox::Critical);
        EXPECT_FALSE(window->isBusy());
        EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
        EXPECT_TRUE(window->workModel()->isEmpty());
        EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
        EXPECT_TRUE(action("mnuFileOpen")->isEnabled());
    }
    EXPECT_TRUE(recentCaptions().isEmpty());
}

TEST_F(FrmMainEntries, FileWithoutReadPermissionIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    const QString path = writeFile("secret.txt", "x\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    readEntryFile(path);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("実行時エラー '13':"));
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_FALSE(window->isBusy());
}

TEST_F(FrmMainEntries, FileDrawWithoutDuplicatesDrawsEveryEntryOnce)
{
    readEntryFile(writeFile("abcd.txt", "A\nB\nC\nD\n"));
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "4");
    trigger("mnuRunStart");
    const ResultList& results = window->resultModel()->results();
    ASSERT_EQ(results.size(), 4u);
    QStringList drawn;
    for (std::size_t i = 0; i < results.size(); ++i)
        drawn << QString::fromStdString(results.text(i));
    drawn.sort();
    EXPECT_EQ(drawn, QStringList({ "A", "B", "C", "D" }));
    EXPECT_EQ(entryTexts(), QStringList({ "A", "B", "C", "D" }));
    EXPECT_TRUE(child<QTableView>("lvwKekka")->isVisible());

    // Count above the registered count is refused.
    child<QLineEdit>("txtTyusen")->setText("5");
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text, "Error:抽選数が登録数を超えています。");
}

TEST_F(FrmMainEntries, NothingToDrawFromIsRefusedWhateverTheOption)
{
    readEntryFile(writeFile("empty.txt", ""));
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "3");
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text, "Error:抽選数が登録数を超えています。");
    EXPECT_TRUE(window->resultModel()->isEmpty());
    EXPECT_FALSE(action("mnuFileSave")->isEnabled());

    // With entries, a draw with duplicates allowed may still ask for more than there are.
    readEntryFile(writeFile("two.txt", "a\nb\n"));
    trigger("mnuRunStart");
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(window->resultModel()->results().size(), 3u);
}

TEST_F(FrmMainEntries, AHugeEntryIsShownCutButKeptWhole)
{
    const std::string huge(10'000'000, 'x');
    readEntryFile(writeFile("one-line.txt", QByteArray::fromStdString(huge + "\r\nshort\r\n")));
    auto* work = child<QTableView>("lvwSagyo")->model();
    const QString shown = work->index(0, 1).data().toString();
    EXPECT_EQ(shown.size(), 1001);
    EXPECT_TRUE(shown.endsWith("…"));
    EXPECT_EQ(work->index(0, 1).data(Qt::EditRole).toString().size(), 10'000'000);
    EXPECT_EQ(work->index(1, 1).data().toString(), "short");
    // The column is as wide as the shown text, not ten million characters.
    EXPECT_LT(child<QTableView>("lvwSagyo")->columnWidth(1), 100000);

    child<QLineEdit>("txtTyusen")->setText("2");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    trigger("mnuRunStart");
    auto* results = child<QTableView>("lvwKekka")->model();
    for (int row = 0; row < 2; ++row) {
        const QString full = results->index(row, 1).data(Qt::EditRole).toString();
        EXPECT_LE(results->index(row, 1).data().toString().size(), 1001);
        EXPECT_TRUE(full == "short" || full.size() == 10'000'000);
    }
}

TEST_F(FrmMainEntries, AStrayQuoteIsReportedWithTheLineItsEntryBegan)
{
    readEntryFile(writeFile("ok.csv", "a\r\n\"b\r\nc\",d\r\ne\r\n"));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(entryTexts(), QStringList({ "a", "\"b\r\nc\",d", "e" }));

    readEntryFile(writeFile("stray.csv", "a\r\n\"b\r\nc\",d\r\ne\"f\r\ng\r\nh\r\n"));
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.messages[0].request;
    EXPECT_EQ(m.text,
        "Error:4行目で始まる項目の「\"」が閉じられていないため、\r\n"
        "       ファイルの終わりまでをひとつの項目として読み込みました。");
    EXPECT_EQ(m.title, "くじ丸");
    EXPECT_EQ(m.icon, QMessageBox::Warning);
    // The entries are what the read made of the file, warning or not.
    EXPECT_EQ(entryTexts(), QStringList({ "a", "\"b\r\nc\",d", "e\"f\r\ng\r\nh" }));
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "3");
}

TEST_F(FrmMainEntries, LongPathsSurviveARestartWhole)
{
    // 300 bytes of path: more than the 255 other values keep.
    const QString folder = folderPath() + "/" + QString(50, QChar(u'長')) + "/" + QString(50, QChar(u'い'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/名簿.txt";
    ASSERT_GT(path.toUtf8().size(), 300);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x\n");
    file.close();
    readEntryFile(path);
    trigger("mnuResetCustomSet");
    ASSERT_TRUE(window->close());
    openWindow();
    EXPECT_EQ(recentCaptions(), QStringList({ path }));
    trigger("mnuResetCustom");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), path);
}

TEST_F(FrmMainEntries, StopDuringAReadLeavesNothing)
{
    // Large enough that the read is still going after its first slices.
    QByteArray big;
    for (int i = 0; i < 1000000; ++i)
        big += "entry number " + QByteArray::number(i) + "\r\n";
    const QString path = writeFile("big.txt", big);
    window->fileModeCommands().readEntryFile(path);
    // The read runs from the event loop: the window is busy, and Stop ends it at the next slice.
    EXPECT_TRUE(window->isBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QProgressBar>("prgCount")->value() > 0; }));
    // The count of lines came first.
    EXPECT_EQ(child<QProgressBar>("prgCount")->maximum(), 1000001);
    ASSERT_TRUE(window->longWork().isRunning());
    action("mnuRunStop")->trigger();
    waitIdle();
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtSaidai")->text().isEmpty());
    // A stopped read still counts as used.
    EXPECT_EQ(recentCaptions(), QStringList({ path }));
    EXPECT_FALSE(window->isBusy());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
    EXPECT_TRUE(child<QTableView>("lvwSagyo")->isVisible());
}

TEST_F(FrmMainEntries, StopWhileTheBytesAreStillReadLeavesNothing)
{
    // Tens of megabytes: the first slices only read the bytes and count the lines.
    QByteArray big;
    for (int i = 0; i < 1000000; ++i)
        big += "entry number " + QByteArray::number(i) + "\r\n";
    const QString path = writeFile("big.txt", big);
    window->fileModeCommands().readEntryFile(path);
    // Stop right after the first slice, before the count is known and any entry is made.
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->longWork().isRunning());
    action("mnuRunStop")->trigger();
    waitIdle();
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
    EXPECT_EQ(recentCaptions(), QStringList({ path }));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(window->isBusy());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());

    // The next read of the same file is whole.
    readEntryFile(path);
    EXPECT_EQ(window->workModel()->rowCount(), 1000000);
}

TEST_F(FrmMainEntries, RecentFilesKeepTenNewestFirst)
{
    QStringList paths;
    for (int i = 0; i < 11; ++i) {
        paths.prepend(writeFile(QString("f%1.txt").arg(i), "x\n"));
        readEntryFile(paths.front());
    }
    EXPECT_EQ(recentCaptions(), paths.mid(0, 10));
    // Reading the file of slot 4 moves it to the top.
    trigger("mnuFileUseItem4");
    EXPECT_EQ(recentCaptions().front(), paths[3]);
    EXPECT_EQ(recentCaptions().size(), 10);
    trigger("mnuFileUseClear");
    EXPECT_TRUE(recentCaptions().isEmpty());
    EXPECT_TRUE(action("mnuFileUseItem0")->isVisible());
}

TEST_F(FrmMainEntries, MissingRecentFileAsksBeforeRemoving)
{
    const QString path = writeFile("soon-gone.txt", "x\n");
    readEntryFile(path);
    QFile::remove(path);

    platform.messageAnswers.push_back(QMessageBox::No);
    trigger("mnuFileUseItem1");
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.messages[0].request;
    EXPECT_EQ(m.text,
        "Error:ファイルが存在しません。\r\n\r\n" + path + "\r\n\r\n最近使ったファイルのリストから削除しますか？");
    EXPECT_EQ(m.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(m.defaultButton, QMessageBox::No);
    EXPECT_EQ(m.icon, QMessageBox::Critical);
    EXPECT_EQ(recentCaptions(), QStringList({ path }));

    platform.messageAnswers.push_back(QMessageBox::Yes);
    trigger("mnuFileUseItem1");
    EXPECT_TRUE(recentCaptions().isEmpty());
    EXPECT_TRUE(action("mnuFileUseItem0")->isVisible());
}

TEST_F(FrmMainEntries, RecentFilesSurviveARestart)
{
    const QString a = writeFile("a.txt", "x\n");
    const QString b = writeFile("B.txt", "x\n");
    const QString bLower = writeFile("b.txt", "x\n");
    readEntryFile(a);
    readEntryFile(b);
    readEntryFile(bLower);
    ASSERT_TRUE(window->close());
    EXPECT_EQ(myReadIni("UseFile", "1", settingsPath()), bLower.toStdString());
    openWindow();
    EXPECT_EQ(recentCaptions(), QStringList({ bLower, b, a }));
}

TEST_F(FrmMainEntries, CustomResetRestoresThePreset)
{
    const QString path = writeFile("preset.txt", "p\nq\n");
    readEntryFile(path);
    child<QLineEdit>("txtTyusen")->setText("1-1");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    trigger("mnuResetCustomSet");
    EXPECT_EQ(myReadIni("Reset", "File", settingsPath()), path.toStdString());

    trigger("mnuResetStandard");
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_TRUE(child<QLineEdit>("txtTyusen")->text().isEmpty());

    trigger("mnuResetCustom");
    EXPECT_TRUE(child<QRadioButton>("optYomikomi")->isChecked());
    EXPECT_EQ(entryTexts(), QStringList({ "p", "q" }));
    EXPECT_EQ(child<QLineEdit>("txtTyusen")->text(), "1-1");
    EXPECT_TRUE(child<QCheckBox>("chkDaburi")->isChecked());
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());

    QFile::remove(path);
    trigger("mnuResetCustom");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text, "Error:ファイルが存在しません。\r\n\r\n" + path);
    EXPECT_TRUE(window->workModel()->isEmpty());
}

TEST_F(FrmMainEntries, CustomResetInNumberModeChecksTheStoredValues)
{
    myWriteIni("Reset", "Mode", "Number", settingsPath());
    myWriteIni("Reset", "MinValue", "12a", settingsPath());
    myWriteIni("Reset", "MaxValue", "007", settingsPath());
    myWriteIni("Reset", "TyusenValue", "-3", settingsPath());
    trigger("mnuResetCustom");
    EXPECT_TRUE(child<QRadioButton>("optSuji")->isChecked());
    EXPECT_TRUE(child<QLineEdit>("txtSaisyo")->text().isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "007");
    EXPECT_EQ(child<QLineEdit>("txtTyusen")->text(), "-3");
}
