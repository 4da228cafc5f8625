#include "records/ui/FrmRecords.h"
#include "app/ui/DrawRecording.h"
#include "common/SafeFileWriter.h"
#include "common/TextCodec.h"
#include "entries/ui/ResultListModel.h"
#include "records/DrawVerifier.h"
#include "records/RecordStore.h"
#include "records/ui/DrawRecordListModel.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

#include <filesystem>
#include <fstream>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmRecordsTest : public MainWindowFixture {
protected:
    std::vector<std::string> records() const { return RecordStore(recordsFolder()).list(); }

    std::string newestText() const
    {
        std::string bytes;
        ErrorInfo err;
        EXPECT_TRUE(readFileBytes(records().front(), bytes, err));
        return bytes;
    }

    FrmRecords* openRecords()
    {
        trigger("mnuToolRecords");
        FrmRecords* w = window->drawRecording().recordsWindow();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        return w;
    }

    template <typename T> T* in(FrmRecords* w, const char* name)
    {
        T* found = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void draw(const QString& min, const QString& max, const QString& count)
    {
        for (const char* box : { "txtSaisyo", "txtSaidai", "txtTyusen" })
            child<QLineEdit>(box)->clear();
        typeSettings(min, max, count);
        trigger("mnuRunStart");
    }

    // The values of the results as numbers, without their padding.
    std::vector<std::string> drawnValues() const
    {
        std::vector<std::string> values;
        const ResultList& results = window->resultModel()->results();
        for (std::size_t i = 0; i < results.size(); ++i)
            values.push_back(std::to_string(std::stoll(results.text(i))));
        return values;
    }

    // 公開抽選の予告 as a user makes it: the description typed, then 予告を作る.
    void makeCommitment(FrmRecords* w, const QString& description)
    {
        platform.modalAnswers.push_back([description](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), "frmCommitment");
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("txtDescription"));
            auto* make = dialog.findChild<QPushButton*>(QStringLiteral("cmdMake"));
            EXPECT_FALSE(make->isEnabled()) << "a commitment names its public value";
            text->insert(description);
            QTest::mouseClick(make, Qt::LeftButton);
            auto* shown = dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtCommitment"));
            EXPECT_TRUE(shown->isVisible());
            EXPECT_TRUE(shown->toPlainText().startsWith("くじ丸 公開抽選の予告\n"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdCopy")), Qt::LeftButton);
            // Printed through the shared print dialog, and saved as any list is.
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdPrint")), Qt::LeftButton);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdSaveText")), Qt::LeftButton);
            return int(QDialog::Accepted);
        });
        const QString saved = QString::fromStdString(pathOf("予告.txt"));
        platform.fileAnswers.push_back(saved);
        QTest::mouseClick(in<QPushButton>(w, "cmdCommit"), Qt::LeftButton);
        waitIdle();
        EXPECT_TRUE(platform.clipboard.contains("予告番号: "));
        EXPECT_TRUE(platform.modalWindows.contains("frmPrint")) << platform.modalWindows.join(",").toStdString();
        std::string bytes;
        ErrorInfo err;
        EXPECT_TRUE(readFileBytes(saved.toStdString(), bytes, err));
        // Saved as every list is: CP932 with CR LF.
        EXPECT_NE(text::decode(bytes).utf8.find("\r\n予告番号: "), std::string::npos);
        EXPECT_EQ(text::decode(bytes).encoding, text::Encoding::Cp932);
    }
};

} // namespace

TEST_F(FrmRecordsTest, EveryCompletedDrawLeavesOneRecordAndAStoppedOneNone)
{
    draw("1", "100", "3-2");
    draw("001", "999", "5");
    ASSERT_EQ(records().size(), 2u);
    const std::string text = newestText();
    EXPECT_NE(text.find("最小値: 001\n最大値: 999\n抽選数: 5\n"), std::string::npos) << text;
    // The record holds the results as drawn, whatever the list shows afterwards.
    const ResultList& shown = window->resultModel()->results();
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_NE(text.find(formatSequenceKey(static_cast<std::uint32_t>(i)) + " " + shown.text(i) + "\n"),
            std::string::npos);

    for (const char* box : { "txtSaisyo", "txtSaidai", "txtTyusen" })
        child<QLineEdit>(box)->clear();
    typeSettings("1", "999999999", "10000000");
    action("mnuRunStart")->trigger();
    action("mnuRunStop")->trigger();
    waitIdle();
    EXPECT_TRUE(window->resultModel()->isEmpty());
    EXPECT_EQ(records().size(), 2u);
    EXPECT_TRUE(platform.messages.empty());

    // They are still there after a restart, newest first, and each checks out.
    openWindow();
    FrmRecords* w = openRecords();
    auto* list = in<QTreeView>(w, "lvwRecords");
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(0, DrawRecordListModel::CountColumn).data().toString(), "5");
    EXPECT_EQ(list->model()->index(1, DrawRecordListModel::CountColumn).data().toString(), "3-2");
    EXPECT_EQ(list->model()->index(0, DrawRecordListModel::SequenceColumn).data().toString(), "2");
    EXPECT_TRUE(in<QPlainTextEdit>(w, "txtRecord")->toPlainText().contains("抽選数: 5"));
    list->setCurrentIndex(list->model()->index(1, 0));
    EXPECT_TRUE(in<QPlainTextEdit>(w, "txtRecord")->toPlainText().contains("抽選数: 3-2"));
    QTest::mouseClick(in<QPushButton>(w, "cmdVerify"), Qt::LeftButton);
    waitIdle();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.title, "再現確認");
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("一致\n"))
        << platform.messages[0].request.text.toStdString();
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Information);
    EXPECT_EQ(w->selectedPath().toStdString(), records()[1]);
}

TEST_F(FrmRecordsTest, APublicDrawIsPromisedFirstAndDrawsOnlyAsPromised)
{
    FrmRecords* w = openRecords();
    auto* field = in<QLineEdit>(w, "txtPublicValue");
    EXPECT_FALSE(field->isEnabled()) << "a public value belongs to a commitment";
    auto* frame = child<QFrame>("fraCommitment");
    EXPECT_FALSE(frame->isVisible());

    // 公開抽選の予告 fixes the settings as they stand and asks what the value will be.
    typeSettings("1", "100", "5");
    makeCommitment(w, "2026年12月24日 年末ジャンボ 1等 組と番号（例: 12組123456）");
    ASSERT_TRUE(window->drawRecording().commitment().has_value());
    const Commitment promised = *window->drawRecording().commitment();
    EXPECT_EQ(promised.settings.counts, std::vector<std::int32_t> { 5 });
    EXPECT_TRUE(frame->isVisible());
    const QString number = QString::fromStdString(formatCommitmentNumber(commitmentNumber(promised)));
    EXPECT_TRUE(child<QLabel>("lblCommitment")->accessibleName().contains(number));
    EXPECT_TRUE(field->isEnabled());
    field->insert(QStringLiteral(" 12組123456 "));
    EXPECT_TRUE(child<QLabel>("lblCommitment")->text().contains("公開値: 12組123456"));
    // The frame has a row of its own: it covers neither the mode frame nor the settings.
    QApplication::processEvents();
    for (const char* name : { "fraMode", "fraSet" }) {
        QWidget* other = child<QWidget>(name);
        EXPECT_FALSE(frame->geometry().intersects(other->geometry())) << name;
        EXPECT_GE(other->height(), other->minimumSizeHint().height()) << name << " is squeezed";
    }
    EXPECT_GE(frame->height(), frame->minimumSizeHint().height());

    // Another count than promised draws nothing and says what differs.
    const std::vector<std::string> before = records();
    for (const char* box : { "txtTyusen" })
        child<QLineEdit>(box)->clear();
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "6");
    trigger("mnuRunStart");
    EXPECT_EQ(records(), before);
    EXPECT_TRUE(window->resultModel()->isEmpty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.title, "エラー");
    EXPECT_TRUE(platform.messages[0].request.text.contains("抽選数が予告と違います（予告: 5、今: 6）"))
        << platform.messages[0].request.text.toStdString();
    EXPECT_TRUE(frame->isVisible()) << "the commitment still waits";

    // As promised, it draws; the zero padding is the writing of the boxes only. Even with
    // records turned off, a public draw keeps its record.
    QTest::mouseClick(in<QCheckBox>(w, "chkKeepRecords"), Qt::LeftButton);
    draw("01", "0100", "05");
    ASSERT_EQ(records().size(), before.size() + 1);
    const std::string first = newestText();
    EXPECT_NE(first.find("\n予告番号: " + number.toStdString() + "\n"), std::string::npos) << first;
    EXPECT_NE(first.find("\n公開値: 12組123456\n"), std::string::npos);
    EXPECT_FALSE(frame->isVisible()) << "the commitment is used up by its draw";
    EXPECT_FALSE(window->drawRecording().commitment().has_value());
    EXPECT_FALSE(field->isEnabled());
    const std::vector<std::string> padded = drawnValues();

    // The same commitment and value with the boxes written plainly: the same values.
    ErrorInfo err;
    ASSERT_TRUE(window->drawRecording().setCommitment(promised, err));
    w->showCommitment();
    field->insert(QStringLiteral("１２組１２３４５６"));
    draw("1", "100", "5");
    EXPECT_EQ(drawnValues(), padded);
    // Without the public value, the system's seed draws something else.
    draw("1", "100", "5");
    EXPECT_NE(drawnValues(), padded);
    EXPECT_EQ(records().size(), before.size() + 2) << "records were off for the plain draw";
}

TEST_F(FrmRecordsTest, ATransferredListTravelsWithItsRecordAndChecksOut)
{
    window->selectMode(true);
    EntryList entries;
    for (const char* name : { "青木\r\n一郎", "井上", "上田" })
        entries.append(name);
    window->replaceWorkList(std::move(entries), QStringLiteral("文字列作成"), false);
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "2");
    EXPECT_TRUE(action("mnuToolRecords")->isEnabled()) << "file mode offers the records too";
    trigger("mnuRunStart");
    ASSERT_EQ(records().size(), 1u);
    const std::string record = records().front();
    const std::string text = newestText();
    EXPECT_NE(text.find("転送元: 文字列作成\n登録数: 3\n"), std::string::npos);
    EXPECT_NE(text.find("エントリーの写し: あり\n"), std::string::npos);
    const std::size_t digestAt = text.find("エントリーのSHA-256: ") + std::string("エントリーのSHA-256: ").size();
    const std::string copy = recordsFolder() + "/" + text.substr(digestAt, 64) + ".entries";
    EXPECT_TRUE(std::filesystem::exists(copy));

    // 保存 offers a copy for publication; the entries go with it only when asked for.
    FrmRecords* w = openRecords();
    const QString target = QString::fromStdString(pathOf("saved.txt"));
    platform.modalAnswers.push_back([](QDialog& options) {
        EXPECT_EQ(options.objectName(), "frmRecordSave");
        auto* withEntries = options.findChild<QCheckBox*>(QStringLiteral("chkWithEntries"));
        EXPECT_FALSE(withEntries->isChecked());
        withEntries->setChecked(true);
        return int(QDialog::Accepted);
    });
    platform.fileAnswers.push_back(target);
    QTest::mouseClick(in<QPushButton>(w, "cmdSave"), Qt::LeftButton);
    std::string saved, original;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(target.toStdString(), saved, err));
    ASSERT_TRUE(readFileBytes(record, original, err));
    EXPECT_EQ(saved, original);
    EXPECT_TRUE(std::filesystem::exists(pathOf("saved.txt.entries")));
    // The saved pair checks out anywhere.
    DrawVerifier elsewhere(target.toStdString());
    elsewhere.runToEnd();
    EXPECT_EQ(elsewhere.report().outcome, VerificationReport::Outcome::Match) << elsewhere.report().text();

    QTest::mouseClick(in<QPushButton>(w, "cmdVerify"), Qt::LeftButton);
    waitIdle();
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(platform.messages.back().request.text.startsWith("一致"))
        << platform.messages.back().request.text.toStdString();
    // The results of the draw stand through the check, and so do their commands.
    for (const char* command : { "mnuFileSave", "mnuHensyuCopy", "mnuHensyuSortAsc2" })
        EXPECT_TRUE(action(command)->isEnabled()) << command;

    // 削除 asks first, and the copy goes with the last record that uses it.
    platform.messageAnswers.push_back(QMessageBox::No);
    QTest::mouseClick(in<QPushButton>(w, "cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(records().size(), 1u);
    platform.messageAnswers.push_back(QMessageBox::Yes);
    QTest::mouseClick(in<QPushButton>(w, "cmdDelete"), Qt::LeftButton);
    EXPECT_TRUE(records().empty());
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_FALSE(in<QPushButton>(w, "cmdVerify")->isEnabled());
}

TEST_F(FrmRecordsTest, APublishedRecordNamesTheEntryFileAloneAndNoCopy)
{
    const QString file = writeFile(QStringLiteral("名簿.txt"), "青木\r\n井上\r\n上田\r\n");
    window->selectMode(true);
    readEntryFile(file);
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "2");
    trigger("mnuRunStart");
    FrmRecords* w = openRecords();
    platform.modalAnswers.push_back([](QDialog& options) {
        EXPECT_TRUE(options.findChild<QCheckBox*>(QStringLiteral("chkNameOnly"))->isChecked());
        EXPECT_FALSE(options.findChild<QCheckBox*>(QStringLiteral("chkWithEntries"))->isEnabled());
        return int(QDialog::Accepted);
    });
    const QString target = QString::fromStdString(pathOf("published.txt"));
    platform.fileAnswers.push_back(target);
    QTest::mouseClick(in<QPushButton>(w, "cmdSave"), Qt::LeftButton);
    std::string saved;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(target.toStdString(), saved, err));
    EXPECT_NE(saved.find("\nファイル: 名簿.txt\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find(m_dir), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pathOf("published.txt.entries")));
    DrawVerifier checker(target.toStdString(), file.toStdString());
    checker.runToEnd();
    EXPECT_EQ(checker.report().outcome, VerificationReport::Outcome::Match) << checker.report().text();
}

TEST_F(FrmRecordsTest, GapsInTheChainAndRecordsThatWouldBeRefusedAreMarked)
{
    for (const char* count : { "1", "2", "3", "4" })
        draw("1", "100", count);
    FrmRecords* w = openRecords();
    auto* list = in<QTreeView>(w, "lvwRecords");
    // The third record (the second newest) is deleted; another is damaged by an ESC.
    list->setCurrentIndex(list->model()->index(1, 0));
    platform.messageAnswers.push_back(QMessageBox::Yes);
    QTest::mouseClick(in<QPushButton>(w, "cmdDelete"), Qt::LeftButton);
    const std::string oldest = records().back();
    std::string text;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(oldest, text, err));
    text.insert(text.find("\n000000000 ") + 11, "\x1B[2K");
    std::ofstream(oldest, std::ios::binary | std::ios::trunc) << text;
    w->refresh();
    QStringList rows;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        rows << list->model()->index(row, 0).data().toString() + "|"
                + list->model()->index(row, DrawRecordListModel::StateColumn).data().toString();
    ASSERT_EQ(rows.size(), 4) << rows.join("\n").toStdString();
    EXPECT_EQ(rows[0], "4|");
    EXPECT_EQ(rows[1], "⚠ 記録 2 と 4 の間の 1 件がありません|");
    EXPECT_EQ(rows[2], "2|");
    EXPECT_TRUE(rows[3].startsWith("|読めない記録（再現確認できません）: ")) << rows[3].toStdString();
    EXPECT_TRUE(rows[3].contains("制御文字 U+001B")) << rows[3].toStdString();
    EXPECT_TRUE(list->isFirstColumnSpanned(1, {}));
    // What the damaged record holds is shown escaped.
    list->setCurrentIndex(list->model()->index(3, 0));
    EXPECT_TRUE(in<QPlainTextEdit>(w, "txtRecord")->toPlainText().contains("\\x1B[2K"));
}

TEST_F(FrmRecordsTest, RecordsCanBeTurnedOffAndAFailedWriteSpoilsNoDraw)
{
    FrmRecords* w = openRecords();
    auto* keep = in<QCheckBox>(w, "chkKeepRecords");
    EXPECT_TRUE(keep->isChecked());
    QTest::mouseClick(keep, Qt::LeftButton);
    draw("1", "100", "5");
    EXPECT_TRUE(records().empty());
    EXPECT_FALSE(Settings(settingsPath()).readKeepRecords());
    QTest::mouseClick(keep, Qt::LeftButton);
    EXPECT_TRUE(Settings(settingsPath()).readKeepRecords());

    // A read-only folder (even root cannot write to a read-only file system): the results
    // show and the failure is told once.
    setWriteFault(WriteFault { 0, EROFS });
    draw("1", "100", "5");
    setWriteFault(std::nullopt);
    EXPECT_EQ(window->resultModel()->results().size(), 5u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("実行時エラー '30':"))
        << platform.messages[0].request.text.toStdString();
    EXPECT_TRUE(platform.messages[0].request.text.contains("抽選記録を書けませんでした"));
    EXPECT_TRUE(action("mnuFileSave")->isEnabled());
    EXPECT_TRUE(records().empty());

    // A file where the folder should be: the same.
    std::filesystem::remove_all(recordsFolder());
    std::ofstream(recordsFolder()) << "in the way";
    draw("1", "100", "5");
    EXPECT_EQ(window->resultModel()->results().size(), 5u);
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(FrmRecordsTest, TheWindowIsModelessOwnedAndNamedForAssistiveTools)
{
    QMenu* tools = window->findChild<QMenu*>(QStringLiteral("mnuTool"));
    ASSERT_NE(tools, nullptr);
    QList<QAction*> items;
    for (QAction* a : tools->actions())
        if (!a->isSeparator())
            items << a;
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[2]->objectName(), "mnuToolRecords");
    EXPECT_EQ(items[2]->text(), "抽選記録(&L)");

    FrmRecords* w = openRecords();
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->parentWidget(), window.get());
    EXPECT_TRUE(platform.modalWindows.isEmpty());
    for (QWidget* control : w->findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(control) || qobject_cast<QLineEdit*>(control)
            || qobject_cast<QCheckBox*>(control) || qobject_cast<QTreeView*>(control)
            || qobject_cast<QPlainTextEdit*>(control)) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
    // The main window stays usable beside it, and the same window comes back.
    typeSettings("1", "10", "1");
    trigger("mnuRunStart");
    trigger("mnuToolRecords");
    EXPECT_EQ(window->drawRecording().recordsWindow(), w);
    EXPECT_EQ(in<QTreeView>(w, "lvwRecords")->model()->rowCount(), 1);
}
