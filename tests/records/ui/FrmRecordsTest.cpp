#include "records/ui/FrmRecords.h"
#include "app/ui/DrawRecording.h"
#include "entries/ui/ResultListModel.h"
#include "records/RecordStore.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
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
    EXPECT_EQ(list->model()->index(0, 2).data().toString(), "5");
    EXPECT_EQ(list->model()->index(1, 2).data().toString(), "3-2");
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

TEST_F(FrmRecordsTest, APublicValueServesTheNextCompletedDrawOnly)
{
    FrmRecords* w = openRecords();
    auto* field = in<QLineEdit>(w, "txtPublicValue");
    // Typed as pasted: Japanese text, with spaces at the ends.
    field->insert(QStringLiteral(" 2026-03-01 ロト6 01 05 12 "));
    auto* label = child<QLabel>("lblPublicValue");
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "公開値: 2026-03-01 ロト6 01 05 12");

    // A stopped draw leaves it waiting.
    typeSettings("1", "999999999", "10000000");
    action("mnuRunStart")->trigger();
    EXPECT_FALSE(field->isEnabled()) << "the value cannot change under a running draw";
    action("mnuRunStop")->trigger();
    waitIdle();
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(field->isEnabled());

    draw("1", "100", "5");
    EXPECT_FALSE(label->isVisible());
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(window->drawRecording().publicValue().isEmpty());
    const std::string withValue = newestText();
    EXPECT_NE(withValue.find("\n公開値: 2026-03-01 ロト6 01 05 12\n"), std::string::npos);

    // The same value, settings and entries give the same draw again; without it, another.
    field->insert(QStringLiteral("2026-03-01 ロト6 01 05 12"));
    draw("1", "100", "5");
    const auto results = [](const std::string& text) { return text.substr(text.find("結果の件数")); };
    EXPECT_EQ(results(newestText()), results(withValue));
    draw("1", "100", "5");
    EXPECT_EQ(newestText().find("公開値"), std::string::npos);
    EXPECT_NE(results(newestText()), results(withValue));
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
    EXPECT_TRUE(std::filesystem::exists(RecordStore::entriesCopyPath(record)));
    EXPECT_NE(newestText().find("転送元: 文字列作成\n登録数: 3\n"), std::string::npos);

    // 保存 writes the record and its copy side by side, byte for byte.
    FrmRecords* w = openRecords();
    const QString target = QString::fromStdString(pathOf("saved.txt"));
    platform.fileAnswers.push_back(target);
    QTest::mouseClick(in<QPushButton>(w, "cmdSave"), Qt::LeftButton);
    std::string saved, original;
    ErrorInfo err;
    ASSERT_TRUE(readFileBytes(target.toStdString(), saved, err));
    ASSERT_TRUE(readFileBytes(record, original, err));
    EXPECT_EQ(saved, original);
    EXPECT_TRUE(std::filesystem::exists(pathOf("saved.txt.entries")));

    QTest::mouseClick(in<QPushButton>(w, "cmdVerify"), Qt::LeftButton);
    waitIdle();
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_TRUE(platform.messages.back().request.text.startsWith("一致"))
        << platform.messages.back().request.text.toStdString();

    // 削除 asks first and removes both files.
    platform.messageAnswers.push_back(QMessageBox::No);
    QTest::mouseClick(in<QPushButton>(w, "cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(records().size(), 1u);
    platform.messageAnswers.push_back(QMessageBox::Yes);
    QTest::mouseClick(in<QPushButton>(w, "cmdDelete"), Qt::LeftButton);
    EXPECT_TRUE(records().empty());
    EXPECT_FALSE(std::filesystem::exists(RecordStore::entriesCopyPath(record)));
    EXPECT_EQ(in<QTreeView>(w, "lvwRecords")->model()->rowCount(), 0);
    EXPECT_FALSE(in<QPushButton>(w, "cmdVerify")->isEnabled());
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

    // A file where the folder should be: the draw completes and the failure is told once.
    std::ofstream(recordsFolder()) << "in the way";
    draw("1", "100", "5");
    EXPECT_EQ(window->resultModel()->results().size(), 5u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("実行時エラー '"))
        << platform.messages[0].request.text.toStdString();
    EXPECT_TRUE(platform.messages[0].request.text.contains("抽選記録を書けませんでした"));
    EXPECT_TRUE(action("mnuFileSave")->isEnabled());
}

TEST_F(FrmRecordsTest, TheWindowIsModelessOwnedAndNamedForAssistiveTools)
{
    QMenu* tools = window->findChild<QMenu*>(QStringLiteral("mnuTool"));
    ASSERT_NE(tools, nullptr);
    QList<QAction*> items;
    for (QAction* a : tools->actions())
        if (!a->isSeparator())
            items << a;
    ASSERT_EQ(items.size(), 3);
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
