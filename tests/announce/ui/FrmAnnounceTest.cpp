// The big screen of 発表 on a host of the test's own: keys, what the hall sees and what
// screen readers are told, text that fits, rolling, the grid, 再抽選 and the winners list.
#include "announce/ui/FrmAnnounce.h"

#include "announce/ui/AnnounceHost.h"
#include "announce/ui/FittedText.h"
#include "announce/ui/WinnerGrid.h"
#include "common/TextCodec.h"
#include "support/ResultRounds.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace kuji;
using kuji::test::ScriptedPlatform;

namespace {

// A main window reduced to what 発表 asks: its results, entries and range, and a replacement
// draw that appends the next of a list of numbers or entries under 【再抽選：1件】.
class TestHost final : public AnnounceHost {
public:
    const ResultList& results() const override { return list; }
    bool isAbsent(std::uint32_t key) const override { return absent.count(key) > 0; }
    bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const override
    {
        const auto it = replaces.find(replacementKey);
        if (it == replaces.end())
            return false;
        absentKey = it->second;
        return true;
    }
    std::shared_ptr<const EntryList> workList() const override { return entries; }
    bool isFileMode() const override { return entries != nullptr; }
    std::optional<NumberRange> numberRange() const override { return NumberRange { 1, 100, 1 }; }
    bool drawReplacements(const std::vector<std::uint32_t>& keys, QWidget*) override
    {
        asked.push_back(keys);
        for (std::uint32_t key : keys) {
            absent.insert(key);
            list.appendEmpty();
            list.appendHeader("【再抽選：1件】");
            list.appendNumber(nextReplacement++);
            replaces[list.key(list.size() - 1)] = key;
        }
        return true;
    }

    // A number draw with rounds as the draw writes them; numbers 101, 102, ... in draw order.
    void drawNumbers(const std::vector<int>& counts) { test::fillRounds(list, counts); }

    // A file draw of one round that drew every entry in order.
    void drawEntries(const std::vector<std::string>& texts)
    {
        auto made = std::make_shared<EntryList>();
        for (const std::string& text : texts)
            made->append(text);
        entries = made;
        list.reset(0, 0, entries);
        for (std::uint32_t i = 0; i < texts.size(); ++i)
            list.appendEntry(i);
    }

    ResultList list;
    std::shared_ptr<EntryList> entries;
    std::set<std::uint32_t> absent;
    std::map<std::uint32_t, std::uint32_t> replaces;
    std::vector<std::vector<std::uint32_t>> asked;
    std::uint32_t nextReplacement = 101; // 201 with the minimum 100
};

class FrmAnnounceTest : public test::TempFolderTest {
protected:
    // Opens the window at 800 x 600, the keyboard in it.
    FrmAnnounce& open(AnnounceOptions options = {}, bool rollingAllowed = true)
    {
        window = std::make_unique<FrmAnnounce>(platform, host, std::move(options), rollingAllowed);
        window->setRollingSeed(1);
        window->resize(800, 600);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    static AnnounceOptions noRolling(std::vector<std::string> names = {})
    {
        AnnounceOptions options;
        options.prizeNames = std::move(names);
        options.rollHalfSeconds = 0;
        return options;
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), key, modifiers);
    }

    FittedText* text(const char* name) const { return window->findChild<FittedText*>(QLatin1String(name)); }
    QString winner() const { return text("lblWinner")->accessibleName(); }
    QString title() const { return text("lblTitle")->accessibleName(); }
    QString place() const { return text("lblPosition")->accessibleName(); }

    // Everything the hall can read on the screen now, as screen readers are told it.
    QStringList screenTexts() const
    {
        QStringList texts { window->accessibleDescription() };
        for (const FittedText* shown : window->findChildren<FittedText*>())
            if (shown->isVisible())
                texts << shown->accessibleName() << shown->text();
        return texts;
    }

    ScriptedPlatform platform;
    TestHost host;
    std::unique_ptr<FrmAnnounce> window;
};

} // namespace

TEST_F(FrmAnnounceTest, EveryRevealKeyMovesOnAndEveryBackKeyComesBackToTheSameWinners)
{
    host.drawNumbers({ 1, 3 });
    open(noRolling({ "1等", "2等" }));
    EXPECT_EQ(window->current(), -1);
    EXPECT_EQ(winner(), "1等"); // the first prize waits on the opening screen
    std::vector<QStringList> forward;
    for (Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Right, Qt::Key_PageDown }) {
        press(key);
        forward.push_back({ title(), winner(), place() });
    }
    EXPECT_EQ(forward,
        (std::vector<QStringList> { { "1等", "101", "1等 1人中 1人目" }, { "2等", "102", "2等 3人中 1人目" },
            { "2等", "103", "2等 3人中 2人目" }, { "2等", "104", "2等 3人中 3人目" } }));
    press(Qt::Key_Space); // past the last winner: it stays
    EXPECT_EQ(window->current(), 3);

    for (Qt::Key key : { Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Backspace }) {
        press(key);
        EXPECT_EQ((QStringList { title(), winner(), place() }), forward[static_cast<std::size_t>(window->current())]);
    }
    press(Qt::Key_Left);
    EXPECT_EQ(window->current(), -1);
    press(Qt::Key_End);
    EXPECT_EQ(winner(), "104");
    press(Qt::Key_Home);
    EXPECT_EQ(winner(), "101");
    press(Qt::Key_Enter);
    EXPECT_EQ(winner(), "102");
    // A click anywhere but on a button reveals too.
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(400, 200));
    EXPECT_EQ(winner(), "103");
    EXPECT_TRUE(window->accessibleDescription().contains("2等 3人中 2人目"));

    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    open(noRolling());
    press(Qt::Key_F11);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FrmAnnounceTest, ALongEntryWrapsAndShrinksButIsNeverCut)
{
    QString entry;
    while (entry.size() < 200)
        entry += QStringLiteral("株式会社くじ丸商事 営業部 第二課 ");
    entry.truncate(200);
    host.drawEntries({ entry.toStdString(), "山田太郎" });
    open(noRolling());
    press(Qt::Key_Space);
    const FittedText* shown = text("lblWinner");
    ASSERT_EQ(shown->text(), entry);
    EXPECT_GT(shown->lineCount(), 1);
    EXPECT_EQ(shown->laidOutCharacters(), entry.size());
    const QRectF bounds = shown->textBounds();
    EXPECT_TRUE(QRectF(shown->rect()).contains(bounds)) << bounds.width() << "x" << bounds.height();
    EXPECT_TRUE(window->rect().contains(QRect(shown->mapTo(window.get(), QPoint()), shown->size())));

    // A short name on a 1920 x 1080 screen stands at least a tenth of the screen high.
    press(Qt::Key_Space);
    window->resize(1920, 1080);
    EXPECT_EQ(shown->text(), "山田太郎");
    EXPECT_GE(shown->pixelSize(), 108);
    EXPECT_GE(shown->textBounds().height(), 108);
    EXPECT_TRUE(QRectF(shown->rect()).contains(shown->textBounds()));
}

TEST_F(FrmAnnounceTest, WithColumnOneOnlyTheHallNeverSeesTheOtherColumns)
{
    host.drawEntries({ "山田太郎,営業部,090-1111", "佐藤花子,総務部,090-2222", "\"鈴木,一郎\",経理部,090-3333" });
    AnnounceOptions options;
    options.prizeNames = { "特賞" };
    options.columns = { 1 };
    options.rollHalfSeconds = 10;
    open(options);
    const auto hallSeesNoOtherColumn = [&](const char* when) {
        for (const QString& seen : screenTexts())
            for (const char* hidden : { "部", "090", "一郎" })
                EXPECT_FALSE(seen.contains(QString::fromUtf8(hidden))) << when << ": " << seen.toStdString();
    };
    QStringList names;
    for (int step = 0; step < 3; ++step) {
        press(Qt::Key_Space);
        ASSERT_TRUE(window->isRolling());
        EXPECT_EQ(winner(), "抽選中");
        // The rolling pictures are entries too, cut the same way.
        for (int frame = 0; frame < 5; ++frame) {
            QTest::qWait(70);
            hallSeesNoOtherColumn("rolling");
        }
        press(Qt::Key_Space);
        ASSERT_FALSE(window->isRolling());
        hallSeesNoOtherColumn("revealed");
        names << winner();
        press(Qt::Key_Tab);
        ASSERT_TRUE(window->isGridShown());
        hallSeesNoOtherColumn("grid");
        press(Qt::Key_Tab);
    }
    EXPECT_EQ(names, (QStringList { "山田太郎", "佐藤花子", "\"鈴木" }));
}

TEST_F(FrmAnnounceTest, TheGridShowsTheRoundWithoutGivingAwayWhoComesNext)
{
    host.drawNumbers({ 1, 3 });
    open(noRolling({ "1等", "2等" }));
    press(Qt::Key_Space);
    press(Qt::Key_Space);
    press(Qt::Key_Tab);
    const auto* grid = window->findChild<WinnerGrid*>();
    ASSERT_TRUE(grid->isVisible());
    QStringList cells;
    for (const FittedText* cell : grid->cells())
        cells << cell->accessibleName();
    EXPECT_EQ(grid->title()->text(), "2等");
    EXPECT_EQ(cells, (QStringList { "102", "？", "？" }));
    // A reveal key leaves the grid and goes on.
    press(Qt::Key_Space);
    EXPECT_FALSE(window->isGridShown());
    EXPECT_EQ(winner(), "103");

    // A round larger than a screen of cells shows the page of the winner shown.
    host.drawNumbers({ 100 });
    open(noRolling());
    press(Qt::Key_End);
    press(Qt::Key_Tab);
    const auto* large = window->findChild<WinnerGrid*>();
    EXPECT_EQ(large->title()->text(), "抽選結果（3/3）");
    EXPECT_EQ(large->cells().size(), 4);
    EXPECT_EQ(large->cells().last()->text(), "200");
}

TEST_F(FrmAnnounceTest, RollingShowsPicturesUntilItsTimeOrAKeyAndOnlyOncePerWinner)
{
    host.drawNumbers({ 3 });
    AnnounceOptions options;
    options.rollHalfSeconds = 1;
    open(options);
    press(Qt::Key_Space);
    EXPECT_TRUE(window->isRolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isRolling(); }, 5000));
    EXPECT_EQ(winner(), "101");

    press(Qt::Key_Space);
    EXPECT_TRUE(window->isRolling());
    press(Qt::Key_Return); // any reveal key stops the pictures at the winner
    EXPECT_FALSE(window->isRolling());
    EXPECT_EQ(winner(), "102");

    // Back and forward again: the hall has seen these, they show at once.
    press(Qt::Key_Left);
    press(Qt::Key_Right);
    EXPECT_FALSE(window->isRolling());
    EXPECT_EQ(winner(), "102");
    // Back during rolling goes back without revealing.
    press(Qt::Key_Right);
    ASSERT_TRUE(window->isRolling());
    press(Qt::Key_Left);
    EXPECT_FALSE(window->isRolling());
    EXPECT_EQ(winner(), "102");

    // A desktop that asks for less motion gets the winners at once.
    open(options, false);
    press(Qt::Key_Space);
    EXPECT_FALSE(window->isRolling());
    EXPECT_EQ(winner(), "101");
}

TEST_F(FrmAnnounceTest, ReplacementAsksFirstAndTheReplacementIsRevealedNext)
{
    host.drawNumbers({ 1, 3 });
    open(noRolling({ "1等", "2等" }));
    press(Qt::Key_Space);
    press(Qt::Key_Space);
    press(Qt::Key_Space); // 2等, 103

    platform.messageAnswers.push_back(QMessageBox::No);
    press(Qt::Key_R);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.title, "再抽選");
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Question);
    EXPECT_TRUE(platform.messages[0].request.text.contains("「103」（2等 3人中 2人目）"));
    EXPECT_TRUE(host.asked.empty());

    platform.messageAnswers.push_back(QMessageBox::Yes);
    window->findChild<QPushButton*>("cmdReplace")->click();
    ASSERT_EQ(host.asked, (std::vector<std::vector<std::uint32_t>> { { 5 } }));
    EXPECT_EQ(winner(), "103");
    EXPECT_EQ(text("lblMark")->text(), "欠席");
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdReplace")->isEnabled());
    press(Qt::Key_R); // an absent winner is not replaced twice
    EXPECT_EQ(platform.messages.size(), 2u);

    press(Qt::Key_Space);
    EXPECT_EQ((QStringList { title(), winner(), place() }),
        (QStringList { "2等", "201", "2等 再抽選（3人中 2人目の代わり）" }));
    press(Qt::Key_Space);
    EXPECT_EQ(winner(), "104");

    // The winners list keeps the draw order, the absent winner marked, the replacement under
    // the prize it replaces.
    const QString path = QString::fromStdString(pathOf("winners.txt"));
    platform.fileAnswers.push_back(path);
    press(Qt::Key_S, Qt::ControlModifier);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromStdString(text::cp932ToUtf8(saved.readAll().toStdString())),
        "1等: 101\r\n2等: 102\r\n2等: 103（欠席）\r\n2等: 201（再抽選）\r\n2等: 104\r\n");

    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(platform.modalWindows, QStringList { "frmPrint" });
}

TEST_F(FrmAnnounceTest, CommandsAndControlsAreNamedForScreenReaders)
{
    host.drawNumbers({ 2 });
    open(noRolling());
    EXPECT_EQ(commandTableFaults(*window), QStringList());
    // The text the hall sees is what screen readers are given.
    press(Qt::Key_Space);
    EXPECT_EQ(window->accessibleDescription(), "抽選結果、101、抽選結果 2人中 1人目");
    for (const QPushButton* button : window->findChildren<QPushButton*>())
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
}
