#include "entries/ui/ResultListModel.h"
#include "support/MainWindowFixture.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTableView>
#include <QToolButton>
#include <set>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainDraw : public MainWindowFixture { };

} // namespace

TEST_F(FrmMainDraw, NumberDrawRoadFromTypingToResults)
{
    typeSettings("1", "100", "10");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    ASSERT_TRUE(child<QCheckBox>("chkDaburi")->isChecked());
    ASSERT_TRUE(action("mnuRunStart")->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_F5);
    waitIdle();

    const ResultList& rows = window->resultModel()->results();
    ASSERT_EQ(rows.size(), 10u);
    std::set<int> values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(formatSequenceKey(rows.key(i)), "00000000" + std::to_string(i));
        values.insert(std::stoi(rows.text(i)));
    }
    EXPECT_EQ(values.size(), 10u);
    EXPECT_GE(*values.begin(), 1);
    EXPECT_LE(*values.rbegin(), 100);

    auto* kekka = child<QTableView>("lvwKekka");
    EXPECT_TRUE(kekka->isVisible());
    EXPECT_TRUE(kekka->hasFocus());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
    for (const char* enabled : { "mnuFileSave", "mnuFilePrint", "mnuHensyuAllSelect", "mnuHensyuCopy",
             "mnuHensyuDelete", "mnuHensyuSortAsc2", "mnuRunStart" })
        EXPECT_TRUE(action(enabled)->isEnabled()) << enabled;
    EXPECT_FALSE(action("mnuRunStop")->isEnabled());
    for (const char* key : { "M_Save", "M_Print", "M_AllSelect", "M_Copy", "M_Sort", "M_Start" })
        EXPECT_TRUE(window->toolbarButton(key)->isEnabled()) << key;
    EXPECT_FALSE(window->toolbarButton("M_Stop")->isEnabled());
    EXPECT_TRUE(platform.messages.empty());

    // The shown list reads the same rows the draw wrote.
    EXPECT_EQ(kekka->model()->index(0, 1).data().toString().toStdString(), rows.text(0));
    QAbstractItemModelTester tester(window->resultModel(), QAbstractItemModelTester::FailureReportingMode::Warning);
}

TEST_F(FrmMainDraw, RoundsAndProgressLabels)
{
    typeSettings("1", "6", "2-2-2");
    trigger("mnuRunStart");
    EXPECT_EQ(window->resultModel()->results().size(), 11u);
    EXPECT_EQ(child<QProgressBar>("prgCount")->maximum(), 6);
    EXPECT_EQ(child<QLabel>("lblProgressbarEnd")->text(), "/ 6");
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "抽選中...");
    EXPECT_EQ(child<QLabel>("lblProgressbar")->text(), "6");
}

TEST_F(FrmMainDraw, PaddingFollowsTheMinimumAsTyped)
{
    typeSettings("001", "120", "50");
    trigger("mnuRunStart");
    const ResultList& rows = window->resultModel()->results();
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows.text(i).size(), 3u) << rows.text(i);
}

TEST_F(FrmMainDraw, InvalidSettingsShowOneErrorBoxAndDrawNothing)
{
    typeSettings("10", "1", "3");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.messages[0].request;
    EXPECT_EQ(
        m.text, "Error:最小値が最大値を超えています。\r\n       抽選数＜＝最大値－最小値＋1の式が成り立っていません。");
    EXPECT_EQ(m.title, "エラー");
    EXPECT_EQ(m.icon, QMessageBox::Critical);
    EXPECT_EQ(m.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(window->resultModel()->isEmpty());
    EXPECT_FALSE(window->isBusy());
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());
    EXPECT_FALSE(action("mnuFileSave")->isEnabled());
    // The boxes keep what the user typed.
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), "10");

    // Text that reached the boxes without typing is caught by validation.
    child<QLineEdit>("txtSaisyo")->setText("1a");
    child<QLineEdit>("txtTyusen")->setText("x");
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].request.text, "Error:最小値と抽選数に数字以外のものが含まれています。");
}

TEST_F(FrmMainDraw, KeyFiltersBeepAndRefuse)
{
    auto* min = child<QLineEdit>("txtSaisyo");
    auto* max = child<QLineEdit>("txtSaidai");
    auto* count = child<QLineEdit>("txtTyusen");
    QTest::keyClicks(min, "1a 2-");
    EXPECT_EQ(min->text(), "12");
    EXPECT_EQ(platform.beeps, 3);
    QTest::keyClicks(max, "x9");
    EXPECT_EQ(max->text(), "9");
    QTest::keyClicks(count, "3-2+");
    EXPECT_EQ(count->text(), "3-2");
    EXPECT_EQ(platform.beeps, 5);
    // Nine characters at most in number mode.
    QTest::keyClicks(min, "345678901");
    EXPECT_EQ(min->text(), "123456789");
}

TEST_F(FrmMainDraw, PastingIntoTheMaximumCleansIt)
{
    auto* max = child<QLineEdit>("txtSaidai");
    max->insert("12a3-4");
    EXPECT_EQ(max->text(), "1234");
    EXPECT_EQ(max->cursorPosition(), 4);
    max->clear();
    max->insert("-12");
    EXPECT_EQ(max->text(), "-12");
    child<QLineEdit>("txtSaisyo")->setText("1");
    child<QLineEdit>("txtTyusen")->setText("1");
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.text, "Error:最大値に数字以外のものが含まれています。");
}

TEST_F(FrmMainDraw, PastesAreCleanedBeforeTheyAreMeasured)
{
    auto* max = child<QLineEdit>("txtSaidai");
    max->insert("10,000,000");
    EXPECT_EQ(max->text(), "10000000");

    // Still too long once cleaned: refused with a beep, the old text stays.
    const int beeps = platform.beeps;
    max->selectAll();
    max->insert("1000000000");
    EXPECT_EQ(max->text(), "10000000");
    EXPECT_EQ(platform.beeps, beeps + 1);

    // A spreadsheet cell in full-width digits with its line break.
    max->selectAll();
    max->insert("５０００\n");
    EXPECT_EQ(max->text(), "5000");
    child<QLineEdit>("txtSaisyo")->insert("１");
    child<QLineEdit>("txtTyusen")->insert(" ３－２\t");
    EXPECT_EQ(child<QLineEdit>("txtSaisyo")->text(), "1");
    EXPECT_EQ(child<QLineEdit>("txtTyusen")->text(), "3-2");
    trigger("mnuRunStart");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(window->resultModel()->results().size(), 8u); // two headers, a separator, five values

    // Full-width digits typed on the keyboard go in as digits.
    auto* count = child<QLineEdit>("txtTyusen");
    count->clear();
    for (const QString& typed : { QStringLiteral("１"), QStringLiteral("２") }) {
        // An input method delivers them as text with no key code of their own.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(count, &press);
    }
    EXPECT_EQ(count->text(), "12");
}

TEST_F(FrmMainDraw, RunningOutOfMemoryIsReportedAndLeavesTheWindowIdle)
{
    typeSettings("1", "999999999", "1000000");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    window->setDrawMemoryLimit(1 << 20);
    trigger("mnuRunStart");
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& m = platform.messages[0].request;
    EXPECT_EQ(m.text, "実行時エラー '12':\r\nメモリが不足しています。");
    EXPECT_EQ(m.title, "エラー");
    EXPECT_EQ(m.icon, QMessageBox::Critical);
    EXPECT_TRUE(window->resultModel()->isEmpty());
    EXPECT_FALSE(window->isBusy());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
    EXPECT_FALSE(action("mnuFileSave")->isEnabled());
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());
}

TEST_F(FrmMainDraw, StopEndsTheDrawAtItsNextSliceAndLeavesNoResults)
{
    // The largest draw there is, so it is still running after its first slice on any machine.
    typeSettings("1", "999999999", "10000000");
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    action("mnuRunStart")->trigger();
    ASSERT_TRUE(window->longWork().isRunning());
    EXPECT_TRUE(window->isBusy());
    EXPECT_FALSE(action("mnuFileEnd")->isEnabled());
    EXPECT_FALSE(action("mnuHensyuDelete")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QProgressBar>("prgCount")->value() > 0; }));
    EXPECT_TRUE(child<QWidget>("fraProgressbar")->isVisible());

    // Closing is refused with a beep while the draw runs.
    const int beeps = platform.beeps;
    EXPECT_FALSE(window->close());
    EXPECT_EQ(platform.beeps, beeps + 1);
    EXPECT_TRUE(window->isVisible());

    action("mnuRunStop")->trigger();
    const int drawnAtStop = child<QProgressBar>("prgCount")->value();
    // The work ends without drawing any further.
    waitIdle();
    EXPECT_EQ(child<QProgressBar>("prgCount")->value(), drawnAtStop);
    EXPECT_LT(drawnAtStop, 10000000);

    EXPECT_TRUE(window->resultModel()->isEmpty());
    EXPECT_FALSE(window->isBusy());
    EXPECT_FALSE(child<QWidget>("fraProgressbar")->isVisible());
    EXPECT_TRUE(child<QTableView>("lvwKekka")->isVisible());
    EXPECT_FALSE(action("mnuRunStop")->isEnabled());
    EXPECT_TRUE(action("mnuRunStart")->isEnabled());
    EXPECT_FALSE(action("mnuFileSave")->isEnabled());
    EXPECT_TRUE(action("mnuFileEnd")->isEnabled());
}

TEST_F(FrmMainDraw, AModalWindowOpenedDuringADrawDoesNotHoldItUp)
{
    typeSettings("1", "999999999", "10000000");
    std::vector<int> progressSeen;
    bool completedWhileOpen = false;
    platform.modalAnswers.push_back([&](QDialog&) {
        // The version window stays open, its own event loop running, until the draw is over.
        completedWhileOpen = QTest::qWaitFor(
            [&] {
                progressSeen.push_back(child<QProgressBar>("prgCount")->value());
                return !window->longWork().isRunning();
            },
            60000);
        return int(QDialog::Accepted);
    });
    action("mnuRunStart")->trigger();
    ASSERT_TRUE(window->longWork().isRunning());
    ASSERT_TRUE(action("mnuHelpVersion")->isEnabled());
    action("mnuHelpVersion")->trigger();

    EXPECT_EQ(platform.modalWindows, QStringList({ "frmAbout" }));
    EXPECT_TRUE(completedWhileOpen);
    ASSERT_GE(progressSeen.size(), 2u);
    EXPECT_LT(progressSeen.front(), progressSeen.back());
    EXPECT_EQ(window->resultModel()->results().size(), 10000000u);
    EXPECT_FALSE(window->isBusy());
}
