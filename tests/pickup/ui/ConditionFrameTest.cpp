#include "pickup/ui/ConditionFrame.h"
#include "common/TextCodec.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <fstream>
#include <sstream>

using namespace kuji;

namespace {

struct ListNames {
    ConditionListId id;
    const char* name; // as in the object names: lvwInAND, txtOutORGoku, …
    const char* shortName;
};

constexpr ListNames kLists[] = {
    { ConditionListId::InAnd, "InAND", "AND" },
    { ConditionListId::InOr, "InOR", "OR" },
    { ConditionListId::OutAnd, "OutAND", "NOT AND" },
    { ConditionListId::OutOr, "OutOR", "NOT OR" },
};

class ConditionFrameTest : public test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        frame = std::make_unique<ConditionFrame>(platform);
        QObject::connect(frame.get(), &ConditionFrame::conditionsChanged, [this] { ++changes; });
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    template <typename T> T* get(const char* prefix, const char* list, const char* suffix = "") const
    {
        const QString name = QLatin1String(prefix) + QLatin1String(list) + QLatin1String(suffix);
        T* found = frame->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* columnBox(const char* list) const { return get<QLineEdit>("txt", list, "No"); }
    QLineEdit* phraseBox(const char* list) const { return get<QLineEdit>("txt", list, "Goku"); }
    QPushButton* button(const char* list, const char* suffix) const { return get<QPushButton>("cmd", list, suffix); }
    QTreeView* view(const char* list) const { return get<QTreeView>("lvw", list); }

    void type(const char* list, const QString& column, const QString& phrase)
    {
        columnBox(list)->clear();
        QTest::keyClicks(columnBox(list), column);
        phraseBox(list)->clear();
        QTest::keyClicks(phraseBox(list), phrase);
    }
    void add(const char* list, const QString& column, const QString& phrase)
    {
        type(list, column, phrase);
        QTest::mouseClick(button(list, "Tuika"), Qt::LeftButton);
    }
    QStringList rows(const char* list) const
    {
        QStringList texts;
        QAbstractItemModel* model = view(list)->model();
        for (int r = 0; r < model->rowCount(); ++r)
            texts << model->index(r, 0).data().toString() + "|" + model->index(r, 1).data().toString();
        return texts;
    }
    QRect rowRect(const char* list, int row) const
    {
        return view(list)->visualRect(view(list)->model()->index(row, 1));
    }
    void clickRow(const char* list, int row)
    {
        QTest::mouseClick(view(list)->viewport(), Qt::LeftButton, {}, rowRect(list, row).center());
    }
    void doubleClickAt(const char* list, QPoint at)
    {
        QTest::mouseDClick(view(list)->viewport(), Qt::LeftButton, {}, at);
    }
    std::string fileBytes(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    test::ScriptedPlatform platform;
    std::unique_ptr<ConditionFrame> frame;
    int changes = 0;
};

} // namespace

TEST_F(ConditionFrameTest, ControlsCarryTheirNamesTooltipsAndLimits)
{
    for (const ListNames& list : kLists) {
        const QString s = QString::fromLatin1(list.shortName);
        EXPECT_EQ(view(list.name)->accessibleName(), s);
        EXPECT_EQ(columnBox(list.name)->accessibleName(), s + " 列");
        EXPECT_EQ(phraseBox(list.name)->accessibleName(), s + " 語句");
        const std::pair<const char*, const char*> buttons[] = { { "Tuika", "追加" }, { "Sakujo", "削除" },
            { "AllSakujo", "全削除" }, { "Open", "読込" }, { "Save", "保存" } };
        for (const auto& [suffix, caption] : buttons)
            EXPECT_EQ(button(list.name, suffix)->accessibleName(), s + " " + QString::fromUtf8(caption));
        EXPECT_EQ(columnBox(list.name)->toolTip(), "対象となる列の番号を入力して下さい");
        EXPECT_EQ(phraseBox(list.name)->toolTip(), "リストに登録する語句を入力して下さい。");
        EXPECT_EQ(columnBox(list.name)->maxLength(), 2);
        EXPECT_EQ(view(list.name)->model()->headerData(0, Qt::Horizontal).toString(), "列");
        EXPECT_EQ(view(list.name)->model()->headerData(1, Qt::Horizontal).toString(), "語句");
        // A fresh window offers no Add, Delete or Save.
        for (const char* suffix : { "Tuika", "Sakujo", "Save" })
            EXPECT_FALSE(button(list.name, suffix)->isEnabled()) << list.name << suffix;
    }
}

TEST_F(ConditionFrameTest, AddChecksTheColumnAgainstTheLoadedFile)
{
    // Empty column box: "0", inserted at the top.
    add("InAND", "", "abc");
    EXPECT_EQ(rows("InAND"), QStringList({ "0|abc" }));
    EXPECT_TRUE(columnBox("InAND")->text().isEmpty());
    EXPECT_TRUE(phraseBox("InAND")->text().isEmpty());
    EXPECT_TRUE(button("InAND", "Save")->isEnabled());
    EXPECT_GT(changes, 0);

    // Before any file the bound is 1.
    add("InAND", "1", "x");
    add("InAND", "2", "y");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text, "Error:列指定に入力できる値は0-1の範囲です｡");
    EXPECT_EQ(platform.messages[0].request.title, "エラー");
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Critical);
    EXPECT_EQ(columnBox("InAND")->text(), "2");
    EXPECT_EQ(phraseBox("InAND")->text(), "y");
    EXPECT_EQ(rows("InAND"), QStringList({ "1|x", "0|abc" }));

    frame->setFieldCount(5);
    QTest::mouseClick(button("InAND", "Tuika"), Qt::LeftButton);
    EXPECT_EQ(rows("InAND"), QStringList({ "2|y", "1|x", "0|abc" }));

    // A column set without typing (pasted, dropped) is not lost when the phrase follows.
    columnBox("InOR")->setText("3");
    phraseBox("InOR")->insert("w");
    QTest::mouseClick(button("InOR", "Tuika"), Qt::LeftButton);
    EXPECT_EQ(rows("InOR"), QStringList({ "3|w" }));

    // Pasted text that is not digits reaches Add, which refuses it.
    type("InOR", "", "z");
    columnBox("InOR")->setText("1a");
    QTest::mouseClick(button("InOR", "Tuika"), Qt::LeftButton);
    EXPECT_EQ(platform.messages.back().request.text, "Error:列指定に入力できるのは、数字のみです｡");
    EXPECT_EQ(rows("InOR"), QStringList({ "3|w" }));
}

TEST_F(ConditionFrameTest, APairRegisteredAlreadyIsMovedOnlyWhenTheUserSaysYes)
{
    add("OutOR", "1", "abc");
    platform.messageAnswers = { QMessageBox::No };
    add("InAND", "1", "abc");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text,
        "登録しようとした語句は、すでにNOT ORに登録されています。\r\nNOT ORから削除してANDに登録しますか？");
    EXPECT_EQ(platform.messages[0].request.title, "その語句は登録済みです");
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Question);
    EXPECT_EQ(platform.messages[0].request.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(rows("OutOR"), QStringList({ "1|abc" }));
    EXPECT_TRUE(rows("InAND").isEmpty());
    EXPECT_EQ(columnBox("InAND")->text(), "1");
    EXPECT_EQ(phraseBox("InAND")->text(), "abc");

    platform.messageAnswers = { QMessageBox::Yes };
    QTest::keyClick(phraseBox("InAND"), Qt::Key_Return);
    EXPECT_TRUE(rows("OutOR").isEmpty());
    EXPECT_FALSE(button("OutOR", "Save")->isEnabled());
    EXPECT_EQ(rows("InAND"), QStringList({ "1|abc" }));

    // Within one list the question names it twice; 01 and ABC are other conditions.
    add("InOR", "1", "q");
    add("InOR", "01", "q");
    add("InOR", "1", "Q");
    EXPECT_EQ(platform.messages.size(), 2u);
    add("InOR", "1", "q");
    EXPECT_EQ(platform.messages.back().request.text,
        "登録しようとした語句は、すでにORに登録されています。\r\nORから削除してORに登録しますか？");
    EXPECT_EQ(rows("InOR"), QStringList({ "1|q", "1|Q", "01|q" }));
}

TEST_F(ConditionFrameTest, ColumnBoxesTakeDigitsOnlyAndEnterAddsOnlyWithAPhrase)
{
    QTest::keyClicks(columnBox("OutAND"), "1a");
    EXPECT_EQ(columnBox("OutAND")->text(), "1");
    EXPECT_EQ(platform.beeps, 1);
    QTest::keyClick(columnBox("OutAND"), Qt::Key_Backspace);
    EXPECT_EQ(columnBox("OutAND")->text(), "");
    EXPECT_EQ(platform.beeps, 1);

    QTest::keyClicks(columnBox("OutAND"), "1");
    QTest::keyClick(columnBox("OutAND"), Qt::Key_Return);
    EXPECT_TRUE(rows("OutAND").isEmpty());
    EXPECT_TRUE(platform.messages.empty());

    QTest::keyClicks(phraseBox("OutAND"), "p");
    EXPECT_TRUE(button("OutAND", "Tuika")->isEnabled());
    QTest::keyClick(columnBox("OutAND"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(rows("OutAND"), QStringList({ "1|p" }));
    EXPECT_FALSE(button("OutAND", "Tuika")->isEnabled());
}

TEST_F(ConditionFrameTest, ClicksDecideWhichDeleteButtonIsOffered)
{
    add("InOR", "0", "a");
    add("InAND", "0", "b");
    add("InAND", "1", "c");
    clickRow("InOR", 0);
    EXPECT_TRUE(button("InOR", "Sakujo")->isEnabled());
    clickRow("InAND", 1);
    EXPECT_TRUE(button("InAND", "Sakujo")->isEnabled());
    EXPECT_FALSE(button("InOR", "Sakujo")->isEnabled());

    // Delete removes the row clicked, and its button goes off.
    QTest::mouseClick(button("InAND", "Sakujo"), Qt::LeftButton);
    EXPECT_EQ(rows("InAND"), QStringList({ "1|c" }));
    EXPECT_FALSE(button("InAND", "Sakujo")->isEnabled());

    // A click on any box, or on the record list (the window passes it on), takes the choice away.
    clickRow("InAND", 0);
    QTest::mouseClick(phraseBox("OutOR"), Qt::LeftButton);
    EXPECT_FALSE(button("InAND", "Sakujo")->isEnabled());
    clickRow("InAND", 0);
    frame->clearSelections();
    EXPECT_FALSE(button("InAND", "Sakujo")->isEnabled());
    EXPECT_TRUE(view("InAND")->selectionModel()->selectedRows().isEmpty());

    // Delete all keeps no row and no Save.
    QTest::mouseClick(button("InAND", "AllSakujo"), Qt::LeftButton);
    EXPECT_TRUE(rows("InAND").isEmpty());
    EXPECT_FALSE(button("InAND", "Save")->isEnabled());
}

TEST_F(ConditionFrameTest, DoubleClickTakesBackOnlyTheRowUnderThePointer)
{
    add("OutOR", "0", "one");
    add("OutOR", "1", "two");
    const int before = changes;
    // Empty space below the rows: nothing happens.
    doubleClickAt("OutOR", QPoint(5, view("OutOR")->viewport()->height() - 3));
    EXPECT_EQ(rows("OutOR").size(), 2);

    doubleClickAt("OutOR", rowRect("OutOR", 1).center());
    EXPECT_EQ(rows("OutOR"), QStringList({ "1|two" }));
    EXPECT_EQ(columnBox("OutOR")->text(), "0");
    EXPECT_EQ(phraseBox("OutOR")->text(), "one");
    EXPECT_TRUE(button("OutOR", "Tuika")->isEnabled());
    doubleClickAt("OutOR", rowRect("OutOR", 0).center());
    EXPECT_TRUE(rows("OutOR").isEmpty());
    EXPECT_EQ(phraseBox("OutOR")->text(), "two");
    EXPECT_FALSE(button("OutOR", "Save")->isEnabled());
    EXPECT_GT(changes, before); // Start follows
}

TEST_F(ConditionFrameTest, ConditionFilesRoundTripThroughTheButtons)
{
    frame->setFieldCount(3);
    add("InAND", "0", "x,y");
    add("InAND", "1", "a\"b");
    const std::string path = pathOf("cond.csv");
    platform.fileAnswers = { QString::fromStdString(path) };
    QTest::mouseClick(button("InAND", "Save"), Qt::LeftButton);
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_TRUE(platform.dialogs[0].save);
    EXPECT_TRUE(platform.dialogs[0].request.confirmOverwrite);
    EXPECT_EQ(platform.dialogs[0].request.filter, "*.csv (*.csv)");
    EXPECT_EQ(fileBytes(path), "\"1\",\"a\"\"b\"\r\n\"0\",\"x,y\"\r\n");
    EXPECT_EQ(frame->filePath(ConditionListId::InAnd), QString::fromStdString(path));

    // Loaded twice into another list: appended each time, and the next dialog starts there.
    platform.fileAnswers = { QString::fromStdString(path), QString::fromStdString(path) };
    QTest::mouseClick(button("OutOR", "Open"), Qt::LeftButton);
    QTest::mouseClick(button("OutOR", "Open"), Qt::LeftButton);
    EXPECT_EQ(rows("OutOR"), QStringList({ "1|a\"b", "0|x,y", "1|a\"b", "0|x,y" }));
    EXPECT_EQ(platform.dialogs.back().request.fileName, "cond.csv");
    EXPECT_TRUE(button("OutOR", "Save")->isEnabled());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ConditionFrameTest, FileProblemsAreReportedAndKeepWhatWasRead)
{
    platform.fileAnswers = { QString::fromStdString(write("lone.csv", "\"1\",\"a\"\r\n\"2\"")) };
    QTest::mouseClick(button("InOR", "Open"), Qt::LeftButton);
    EXPECT_EQ(rows("InOR"), QStringList({ "1|a" }));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("Error:"));

    platform.fileAnswers = { QString::fromStdString(pathOf("missing.csv")) };
    QTest::mouseClick(button("InOR", "Open"), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].request.text.startsWith("実行時エラー '2':"));

    // A save that cannot write says so, and keeps the list's file as it was.
    platform.fileAnswers = { QString::fromStdString(pathOf("no/such/folder.csv")) };
    QTest::mouseClick(button("InOR", "Save"), Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_TRUE(platform.messages[2].request.text.startsWith("エラー番号 = 2\r"));
    EXPECT_EQ(platform.messages[2].request.icon, QMessageBox::Warning);
    EXPECT_NE(frame->filePath(ConditionListId::InOr), QString::fromStdString(pathOf("no/such/folder.csv")));
}
