#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/TextCodec.h"
#include "common/ui/EntryListModel.h"
#include "entries/ui/ResultListModel.h"
#include "pickup/ui/ConditionFrame.h"
#include "pickup/ui/PickupProgressFrame.h"
#include "pickup/ui/PickupResultModel.h"
#include "pickup/ui/PickupWindowFixture.h"
#include "pickup/ui/RecordListModel.h"

#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>

using namespace kuji;
using kuji::test::PickupWindowFixture;

namespace {

const QByteArray kPeople = "1,山田太郎,34,東京都\r\n"
                           "2,佐藤花子,28,大阪府\r\n"
                           "3,鈴木一郎,45,東京都\r\n"
                           "4,田中次郎,52,東京都\r\n"
                           "5,高橋三郎,19,東京都\r\n";

const QString kOpenQuestion = QStringLiteral("「くじ丸」で開いているファイルを「Pickup Record」で開きますか？");

class FrmPickupRecordTest : public PickupWindowFixture {
protected:
    QStringList resultTexts() const
    {
        QStringList texts;
        const PickupResult& result = tool()->resultModel()->result();
        for (std::size_t i = 0; i < result.size(); ++i)
            texts << QString::fromStdString(std::string(result.text(i)));
        return texts;
    }

    QStringList workTexts() const
    {
        QStringList texts;
        for (const auto& entry : window->workModel()->entries())
            texts << QString::fromStdString(std::string(entry.text));
        return texts;
    }

    // The last message box shown, or an empty one.
    MessageRequest lastMessage() const
    {
        return platform.messages.empty() ? MessageRequest {} : platform.messages.back().request;
    }
};

} // namespace

TEST_F(FrmPickupRecordTest, OpensOnlyInFileModeAndOffersOnlyAFileTheWorkListCameFrom)
{
    QTest::mouseClick(child<QRadioButton>("optSuji"), Qt::LeftButton);
    pickupTool().open();
    EXPECT_EQ(tool(), nullptr);
    EXPECT_TRUE(window->isVisible());

    // File mode without an entry file: no question, an empty tool, the main window hidden.
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    ASSERT_NE(openTool(), nullptr);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(tool()->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(tool()->windowTitle(), "Pickup Record");
    EXPECT_EQ(tool()->objectName(), "frmPickupRecord");
    EXPECT_EQ(tool()->parentWidget(), nullptr); // a taskbar entry of its own
    EXPECT_FALSE(tool()->menuBar()->isNativeMenuBar());
    EXPECT_EQ(panel("S_FilePath"), "");
    EXPECT_EQ(panel("S_Pickup"), "0");
    EXPECT_EQ(panel("S_Original"), "0");
    ASSERT_TRUE(tool()->close());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(FrmPickupRecordTest, TheQuestionAboutTheEntryFileDecidesWhatOpens)
{
    const QString path = writeFile("people.csv", kPeople);
    readEntryFile(path);

    platform.messageAnswers = { QMessageBox::Cancel };
    trigger("mnuToolPickupRecord");
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest asked = platform.messages[0].request;
    EXPECT_EQ(asked.text, kOpenQuestion);
    EXPECT_EQ(asked.title, "確認");
    EXPECT_EQ(asked.icon, QMessageBox::Information);
    EXPECT_EQ(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(tool(), nullptr);
    EXPECT_TRUE(window->isVisible());

    platform.messageAnswers = { QMessageBox::No };
    ASSERT_NE(openTool(), nullptr);
    EXPECT_EQ(tool()->recordModel()->rowCount(), 0);
    EXPECT_EQ(panel("S_FilePath"), "");
    ASSERT_TRUE(tool()->close());

    platform.messageAnswers = { QMessageBox::Yes };
    ASSERT_NE(openTool(), nullptr);
    EXPECT_EQ(tool()->recordModel()->rowCount(), 5);
    EXPECT_EQ(tool()->recordModel()->columnCount(), 4);
    EXPECT_EQ(tool()->recordModel()->headerData(3, Qt::Horizontal).toString(), "4");
    EXPECT_EQ(panel("S_FilePath"), path);
    EXPECT_EQ(panel("S_Original"), "5");
    EXPECT_TRUE(toolChild<QTableView>("lvwOriginalData")->isVisible());
    EXPECT_FALSE(toolChild<QTableView>("lvwPickupData")->isVisible());
}

// Open from file mode, Yes, conditions, run, 転送, close: the main window draws from the
// transferred entries.
TEST_F(FrmPickupRecordTest, TheRoadFromRecordFileToDraw)
{
    const QString path = writeFile("people.csv", kPeople);
    readEntryFile(path);
    platform.messageAnswers = { QMessageBox::Yes };
    ASSERT_NE(openTool(), nullptr);
    EXPECT_FALSE(toolAction("mnuRunStart")->isEnabled()); // no condition yet

    addCondition("InAND", "4", "東京");
    addCondition("OutOR", "2", "鈴木");
    EXPECT_TRUE(toolAction("mnuRunStart")->isEnabled());
    EXPECT_FALSE(anyResultCommandEnabled());

    toolTrigger("mnuRunStart");
    EXPECT_EQ(resultTexts(), QStringList({ "1,山田太郎,34,東京都", "4,田中次郎,52,東京都", "5,高橋三郎,19,東京都" }));
    EXPECT_EQ(panel("S_Pickup"), "3");
    EXPECT_TRUE(toolChild<QTableView>("lvwPickupData")->isVisible());
    EXPECT_FALSE(toolChild<QTableView>("lvwOriginalData")->isVisible());
    EXPECT_FALSE(toolChild<PickupProgressFrame>("fraProgressbar")->isVisible());
    EXPECT_EQ(toolChild<PickupProgressFrame>("fraProgressbar")->status(), "ピックアップ中...");
    EXPECT_GT(toolChild<QTableView>("lvwPickupData")->columnWidth(0), 0); // fitted after the run
    EXPECT_TRUE(allResultCommandsEnabled());

    toolTrigger("mnuSend");
    EXPECT_EQ(lastMessage().text, "Pickup Recored の実行結果をくじ丸に送りました｡");
    EXPECT_EQ(lastMessage().title, "完了");
    EXPECT_EQ(lastMessage().buttons, QMessageBox::Ok);
    EXPECT_EQ(workTexts(), resultTexts());
    EXPECT_EQ(
        window->workModel()->data(window->workModel()->index(2, EntryListModel::KeyColumn)).toString(), "000000003");
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "3");
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), path);
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->toolTip(), path);
    // The entries came from a transfer, not from reading that file.
    EXPECT_EQ(window->currentEntryFile(), "");
    EXPECT_FALSE(anyResultCommandEnabled());
    EXPECT_FALSE(toolAction("mnuSend")->isEnabled());
    EXPECT_TRUE(toolChild<QTableView>("lvwPickupData")->isVisible());
    EXPECT_FALSE(window->isVisible()); // until the tool closes

    ASSERT_TRUE(tool()->close());
    EXPECT_TRUE(window->isVisible());
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "2");
    trigger("mnuRunStart");
    ASSERT_EQ(window->resultModel()->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const QString drawn
            = window->resultModel()->data(window->resultModel()->index(row, ResultListModel::TextColumn)).toString();
        EXPECT_TRUE(workTexts().contains(drawn)) << drawn.toStdString();
    }

    // After a transfer there is no entry file to offer.
    const std::size_t asked = platform.messages.size();
    ASSERT_NE(openTool(), nullptr);
    EXPECT_EQ(platform.messages.size(), asked);
}

// Select all, copy, sort, save and print are the main window's commands on this window's lines.
TEST_F(FrmPickupRecordTest, ResultCommandsWorkOnTheShownLines)
{
    const QString path = writeFile("people.csv", kPeople);
    readEntryFile(path);
    platform.messageAnswers = { QMessageBox::Yes };
    ASSERT_NE(openTool(), nullptr);
    addCondition("InAND", "4", "東京");
    toolTrigger("mnuRunStart");

    auto* list = toolChild<QTableView>("lvwPickupData");
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, resultTexts().join("\r\n"));

    toolTrigger("mnuHensyuSortDesc");
    EXPECT_EQ(resultTexts().first(), "5,高橋三郎,19,東京都");
    toolTrigger("mnuHensyuAllSelect");
    toolTrigger("mnuHensyuCopy");
    EXPECT_TRUE(platform.clipboard.startsWith("5,高橋三郎"));

    // Saved in the order shown; the dialog starts at the record file.
    const QString saved = folderPath() + "/picked.txt";
    platform.fileAnswers = { saved };
    toolTrigger("mnuFileSave");
    EXPECT_EQ(platform.dialogs.back().request.fileName, "people.csv");
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromStdString(text::decode(file.readAll().toStdString()).utf8), resultTexts().join("\r\n") + "\r\n");

    // 印刷 opens the shared print dialog.
    toolTrigger("mnuFilePrint");
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmPrint" }));

    // A sort before 転送 decides the entries' order and keys.
    toolTrigger("mnuHensyuSortAsc");
    const QStringList ascending = resultTexts();
    toolTrigger("mnuSend");
    EXPECT_EQ(workTexts(), ascending);
}

TEST_F(FrmPickupRecordTest, AnEmptyResultIsARunAndTransfersAsNothing)
{
    readEntryFile(writeFile("people.csv", kPeople));
    platform.messageAnswers = { QMessageBox::Yes };
    ASSERT_NE(openTool(), nullptr);
    addCondition("InAND", "0", "存在しない");
    toolTrigger("mnuRunStart");
    EXPECT_TRUE(resultTexts().isEmpty());
    EXPECT_EQ(panel("S_Pickup"), "0");
    EXPECT_TRUE(allResultCommandsEnabled());
    toolTrigger("mnuSend");
    EXPECT_TRUE(window->workModel()->isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "0");
    EXPECT_EQ(lastMessage().title, "完了");
}

TEST_F(FrmPickupRecordTest, BusyStateLeavesOnlyStopAndHelpAndRefusesToClose)
{
    ASSERT_NE(openTool(), nullptr);
    const QString path = writeFile("bad.csv", "a,b\r\nlonely\r\nc,d\r\n");
    bool checked = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        EXPECT_TRUE(tool()->isBusy());
        EXPECT_TRUE(toolAction("mnuRunStop")->isEnabled());
        EXPECT_TRUE(tool()->toolbarButton("M_Help")->isEnabled());
        for (const char* name : { "mnuFileOpen", "mnuFileEnd", "mnuRunStart", "mnuSend", "mnuFileSave" })
            EXPECT_FALSE(toolAction(name)->isEnabled()) << name;
        EXPECT_FALSE(toolChild<ConditionFrame>("fraWordSet")->isEnabled());
        const int beeps = platform.beeps;
        EXPECT_FALSE(tool()->close());
        EXPECT_EQ(platform.beeps, beeps + 1);
        EXPECT_TRUE(tool()->isVisible());
        checked = true;
        return dialog.result();
    });
    loadRecords(path);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(tool()->isBusy());
    EXPECT_TRUE(toolChild<ConditionFrame>("fraWordSet")->isEnabled());
    EXPECT_FALSE(toolAction("mnuRunStop")->isEnabled());
    EXPECT_EQ(panel("S_Original"), "2");
}

TEST_F(FrmPickupRecordTest, TheDataErrorDialogAsksAboutEachBadRecord)
{
    ASSERT_NE(openTool(), nullptr);
    // Line 3 is blank, lines 4 to 6 are one record of a csv file with too many commas.
    const QString path = writeFile("names.CSV", "a,b\r\nc,d\r\n\r\n\"x,\r\ny\r\nz\",w\r\ne,f\r\n");
    QStringList rows;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "frmPickupRecordError");
        EXPECT_EQ(dialog.windowTitle(), "データエラー");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblErrorFile")->text(), "ﾌｧｲﾙ名: names.CSV");
        rows << dialog.findChild<QLabel*>("lblErrorRow")->text();
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        return dialog.result();
    });
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        rows << dialog.findChild<QLabel*>("lblErrorRow")->text();
        auto* text = dialog.findChild<QPlainTextEdit*>("txtData");
        EXPECT_EQ(text->toPlainText(), "\"x,\ny\nz\",w");
        // Wrong number of commas: nothing happens, the dialog stays.
        text->setPlainText("x,y,z");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        text->setPlainText("x\ny,z");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    loadRecords(path);
    EXPECT_EQ(rows, QStringList({ "行 番号: 3", "行 番号: 4-6" }));
    EXPECT_EQ(platform.modalWindows.size(), 2);
    ASSERT_EQ(tool()->recordModel()->rowCount(), 4);
    // The correction sits where its bad record stood, with its line break as CR LF.
    EXPECT_EQ(tool()->recordModel()->data(tool()->recordModel()->index(2, 0), Qt::EditRole).toString(), "x\r\ny");
    EXPECT_EQ(tool()->recordModel()->data(tool()->recordModel()->index(3, 1)).toString(), "f");
}

// The plain text of the editor would turn the no-break space into a space and the line
// separator into a line break: the corrected record must be what the user saw.
TEST_F(FrmPickupRecordTest, ACorrectionKeepsEveryCharacterOfTheRecordAsShown)
{
    ASSERT_NE(openTool(), nullptr);
    const QString bad = QString::fromUtf8("x\u00A0y\u2028z");
    const QString path = writeFile("names.txt", (QStringLiteral("a,b\r\n") + bad + "\r\n").toUtf8());
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        auto* text = dialog.findChild<QPlainTextEdit*>("txtData");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, ",w");
        // Shift+Enter breaks the line as Enter does, into the record's own CR LF.
        QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(text, "v");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    loadRecords(path);
    auto* records = tool()->recordModel();
    ASSERT_EQ(records->rowCount(), 2);
    EXPECT_EQ(records->data(records->index(1, 0), Qt::EditRole).toString(), bad);
    EXPECT_EQ(records->data(records->index(1, 1), Qt::EditRole).toString(), "w\r\nv");
}

TEST_F(FrmPickupRecordTest, SkipAllDropsTheRestSilentlyUntilTheNextLoad)
{
    ASSERT_NE(openTool(), nullptr);
    const QString path = writeFile("bad.txt", "a,b\r\none\r\ntwo\r\nc,d\r\nthree\r\n");
    platform.modalAnswers.push_back([](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancelAll"), Qt::LeftButton);
        return dialog.result();
    });
    loadRecords(path);
    EXPECT_EQ(platform.modalWindows.size(), 1);
    EXPECT_EQ(panel("S_Original"), "2");

    // A new load asks again; closing the dialog by its title bar skips like スキップ.
    platform.modalAnswers.push_back([](QDialog& dialog) {
        dialog.close();
        return dialog.result();
    });
    loadRecords(path);
    EXPECT_EQ(platform.modalWindows.size(), 4); // the unanswered ones were cancelled: skipped
    EXPECT_EQ(panel("S_Original"), "2");
}

TEST_F(FrmPickupRecordTest, ARecordTooLongToEditCanOnlyBeSkipped)
{
    ASSERT_NE(openTool(), nullptr);
    const QString path = writeFile("long.txt", "a,b\r\n" + QByteArray(1'000'001, 'x') + "\r\n");
    bool checked = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        EXPECT_FALSE(dialog.findChild<QPushButton*>("cmdOk")->isEnabled());
        EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("txtData")->isReadOnly());
        EXPECT_LE(dialog.findChild<QPlainTextEdit*>("txtData")->toPlainText().size(), 1001);
        checked = true;
        return dialog.result();
    });
    loadRecords(path);
    EXPECT_TRUE(checked);
    EXPECT_EQ(panel("S_Original"), "1");
}

// After a load that does not complete, nothing of any file is left: no rows, no headers, no path.
TEST_F(FrmPickupRecordTest, LoadsThatDoNotCompleteClearTheWindow)
{
    ASSERT_NE(openTool(), nullptr);
    const QString good = writeFile("good.csv", kPeople);
    const auto expectCleared = [this](const char* what) {
        EXPECT_EQ(tool()->recordModel()->rowCount(), 0) << what;
        EXPECT_EQ(tool()->recordModel()->columnCount(), 1) << what;
        EXPECT_EQ(tool()->recordModel()->headerData(0, Qt::Horizontal).toString(), "") << what;
        EXPECT_EQ(panel("S_FilePath"), "") << what;
        EXPECT_EQ(panel("S_Original"), "0") << what;
        EXPECT_EQ(panel("S_Pickup"), "0") << what;
        EXPECT_FALSE(tool()->isBusy()) << what;
        EXPECT_TRUE(toolChild<QTableView>("lvwOriginalData")->isVisible()) << what;
        EXPECT_FALSE(toolChild<PickupProgressFrame>("fraProgressbar")->isVisible()) << what;
    };

    loadRecords(good);
    loadRecords(writeFile("empty.csv", ""));
    expectCleared("empty file");
    EXPECT_TRUE(platform.messages.empty());

    loadRecords(good);
    loadRecords(folderPath() + "/missing.csv");
    expectCleared("missing file");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().text.startsWith("実行時エラー '2':\r\n")) << lastMessage().text.toStdString();

    loadRecords(good);
    loadRecords(writeFile("wide.csv", QByteArray(32768, ',') + "\r\n"));
    expectCleared("too many commas");
    EXPECT_EQ(lastMessage().title, "エラー");
    EXPECT_TRUE(lastMessage().text.startsWith("Error:"));

    // Stop while the load waits for an answer: what was read is dropped.
    loadRecords(good);
    platform.modalAnswers.push_back([this](QDialog& dialog) {
        // The bar shows where the bad record stands, of the file's lines.
        const auto* bar = toolChild<PickupProgressFrame>("fraProgressbar");
        EXPECT_EQ(bar->maximum(), 5);
        EXPECT_EQ(bar->value(), 3);
        toolAction("mnuRunStop")->trigger();
        return dialog.result();
    });
    loadRecords(writeFile("stopped.csv", "a,b\r\nc,d\r\nbad\r\ne,f\r\n"));
    expectCleared("stopped load");
    // The column bound follows the load: nothing loaded, so 1.
    EXPECT_EQ(toolChild<ConditionFrame>("fraWordSet")->lists().fieldCount(), 1u);
}

TEST_F(FrmPickupRecordTest, AQuoteNeverClosedIsReportedWithItsLine)
{
    ASSERT_NE(openTool(), nullptr);
    loadRecords(writeFile("open.csv", "a,b\r\nc,\"d\r\ne\r\n"));
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(lastMessage().text.startsWith("Error:2行目で始まる項目")) << lastMessage().text.toStdString();
    EXPECT_EQ(lastMessage().icon, QMessageBox::Warning);
    EXPECT_EQ(panel("S_Original"), "2"); // the open record is kept, as the entry reader keeps it
}

TEST_F(FrmPickupRecordTest, StoppingARunKeepsNothing)
{
    readEntryFile(writeFile("people.csv", kPeople));
    platform.messageAnswers = { QMessageBox::Yes };
    ASSERT_NE(openTool(), nullptr);
    addCondition("InAND", "0", "東京");
    toolTrigger("mnuRunStart");
    ASSERT_TRUE(allResultCommandsEnabled());

    // Stop before the first slice of the next run.
    toolAction("mnuRunStart")->trigger();
    ASSERT_TRUE(tool()->longWork().isRunning());
    toolAction("mnuRunStop")->trigger();
    waitToolIdle();
    EXPECT_TRUE(resultTexts().isEmpty());
    EXPECT_EQ(panel("S_Pickup"), "0");
    EXPECT_TRUE(toolChild<QTableView>("lvwOriginalData")->isVisible());
    EXPECT_FALSE(toolChild<QTableView>("lvwPickupData")->isVisible());
    EXPECT_FALSE(anyResultCommandEnabled());
    EXPECT_EQ(tool()->recordModel()->rowCount(), 5);
}

TEST_F(FrmPickupRecordTest, TheWindowKeepsItsSizeAndComesBackWhereItWas)
{
    myWriteIni("Pickupr Position", "Left", "-120", settingsPath());
    myWriteIni("Pickupr Position", "Top", "-120", settingsPath());
    ASSERT_NE(openTool(), nullptr);
    EXPECT_EQ(tool()->pos(), QPoint(0, 0));
    const QSize size = tool()->size();
    EXPECT_EQ(tool()->minimumSize(), size);
    EXPECT_EQ(tool()->maximumSize(), size);
    tool()->resize(size + QSize(100, 80));
    EXPECT_EQ(tool()->size(), size);
    // Nothing of the layout is squeezed below what it needs.
    EXPECT_GE(size.width(), tool()->minimumSizeHint().width());
    EXPECT_GE(size.height(), tool()->minimumSizeHint().height());

    tool()->move(60, 45);
    tool()->showMinimized();
    ASSERT_TRUE(tool()->close());
    EXPECT_TRUE(window->isVisible());
    const double dpi = window->screen()->logicalDotsPerInch();
    EXPECT_EQ(myReadIni("Pickupr Position", "Left", settingsPath()), std::to_string(pixelsToTwips(60, dpi)));
    EXPECT_EQ(myReadIni("Pickupr Position", "Top", settingsPath()), std::to_string(pixelsToTwips(45, dpi)));

    // A position beyond every screen opens at the top-left of the primary screen.
    myWriteIni("Pickupr Position", "Left", "9000000", settingsPath());
    ASSERT_NE(openTool(), nullptr);
    EXPECT_EQ(tool()->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

TEST_F(FrmPickupRecordTest, HelpOpensTheWindowsOwnTopic)
{
    ASSERT_NE(openTool(), nullptr);
    QTest::mouseClick(tool()->toolbarButton("M_Help"), Qt::LeftButton);
    EXPECT_EQ(help.currentSource(), HelpService::topicUrl(kHelpTopicPickupRecord));
    toolTrigger("mnuHelp");
    EXPECT_EQ(help.currentSource(), HelpService::topicUrl(0));
}

// A screen reader names every control: its caption, its label's caption or its tooltip.
TEST_F(FrmPickupRecordTest, EveryControlHasAnAccessibleName)
{
    ASSERT_NE(openTool(), nullptr);
    for (QWidget* widget : tool()->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget)
            || qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        if (!control || qobject_cast<QHeaderView*>(widget) || !widget->isVisibleTo(tool()))
            continue;
        QString name = widget->accessibleName();
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && name.isEmpty())
            name = button->text();
        EXPECT_FALSE(name.isEmpty()) << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
    for (const char* key : { "S_FilePath", "S_Pickup", "S_Original" })
        EXPECT_FALSE(toolChild<QLabel>(key)->accessibleName().isEmpty()) << key;
    EXPECT_EQ(toolChild<QLabel>("S_FilePath")->toolTip(), "Open File");
    EXPECT_EQ(toolChild<QLabel>("S_Pickup")->toolTip(), "Pickup Count");
    EXPECT_EQ(toolChild<QLabel>("S_Original")->toolTip(), "Original Count");
}
