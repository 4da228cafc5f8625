// 発表 from the main window: the command, the settings dialog and the big screen over real
// draws, and that revealing changes no result, no record and no later draw.
#include "announce/ui/FittedText.h"
#include "announce/ui/FrmAnnounce.h"
#include "announce/ui/MotionPreference.h"
#include "app/ui/AnnounceLink.h"
#include "common/Settings.h"
#include "entries/ui/ResultListModel.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>

#include <filesystem>
#include <fstream>
#include <map>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

// What one reveal showed.
struct Revealed {
    QString title;
    QString winner;
    bool operator==(const Revealed&) const = default;
};

void PrintTo(const Revealed& shown, std::ostream* out)
{
    *out << shown.title.toStdString() << ": " << shown.winner.toStdString();
}

class FrmMainAnnounce : public MainWindowFixture {
protected:
    // Answers the settings dialog: sets what change says, then OK (or Cancel).
    void answerSettings(std::function<void(QDialog&)> change, bool ok = true)
    {
        platform.modalAnswers.push_back([change, ok](QDialog& dialog) {
            change(dialog);
            if (ok)
                dialog.accept();
            return dialog.result();
        });
    }

    // Opens 発表 with these prize names and roll time and runs body on the big screen.
    void announce(const QString& names, double rollSeconds, const std::function<void(FrmAnnounce&)>& body)
    {
        answerSettings([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("txtPrizeNames")->setText(names);
            dialog.findChild<QDoubleSpinBox*>("spnRoll")->setValue(rollSeconds);
        });
        platform.modalAnswers.push_back([body](QDialog& dialog) {
            auto& big = dynamic_cast<FrmAnnounce&>(dialog);
            QApplication::setActiveWindow(&big);
            body(big);
            return int(QDialog::Accepted);
        });
        trigger("mnuToolAnnounce");
    }

    // Reveals the next winner and waits for any rolling to end by itself.
    static Revealed revealNext(FrmAnnounce& big)
    {
        QTest::keyClick(&big, Qt::Key_Space);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !big.isRolling(); }, 10000));
        return shown(big);
    }

    static Revealed shown(const FrmAnnounce& big)
    {
        return { big.findChild<FittedText*>("lblTitle")->accessibleName(),
            big.findChild<FittedText*>("lblWinner")->accessibleName() };
    }

    QStringList resultTexts() const
    {
        QStringList texts;
        const ResultList& results = window->resultModel()->results();
        for (std::size_t row = 0; row < results.size(); ++row)
            texts << QString::fromStdString(results.text(row));
        return texts;
    }

    std::map<std::string, std::string> recordFiles() const
    {
        std::map<std::string, std::string> files;
        for (const auto& file : std::filesystem::directory_iterator(recordsFolder())) {
            std::ifstream in(file.path(), std::ios::binary);
            files[file.path().filename()] = { std::istreambuf_iterator<char>(in), {} };
        }
        return files;
    }

    MotionPreference& motion() const { return window->findChild<AnnounceLink*>()->motion(); }
};

} // namespace

TEST_F(FrmMainAnnounce, TwoRoundsRevealFourWinnersUnderTheirPrizesAndChangeNothing)
{
    typeSettings("1", "100", "1-3");
    trigger("mnuRunStart");
    const QStringList results = resultTexts();
    ASSERT_EQ(results.size(), 7); // header, winner, empty row, header, three winners
    const auto records = recordFiles();
    ASSERT_FALSE(records.empty());

    announce("1等,2等", 0, [&](FrmAnnounce& big) {
        std::vector<Revealed> forward;
        for (int i = 0; i < 4; ++i)
            forward.push_back(revealNext(big));
        EXPECT_EQ(forward[0], (Revealed { "1等", results[1] }));
        for (int i = 1; i < 4; ++i)
            EXPECT_EQ(forward[static_cast<std::size_t>(i)], (Revealed { "2等", results[i + 3] })) << i;
        // Back to the start and forward again: the same winners.
        for (int i = 3; i > 0; --i) {
            QTest::keyClick(&big, Qt::Key_Left);
            EXPECT_EQ(shown(big), forward[static_cast<std::size_t>(i - 1)]);
        }
        QTest::keyClick(&big, Qt::Key_Left);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(revealNext(big), forward[static_cast<std::size_t>(i)]);
    });
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmAnnounceSettings", "frmAnnounce" }));
    EXPECT_EQ(resultTexts(), results);
    EXPECT_EQ(recordFiles(), records);
    EXPECT_EQ(Settings(settingsPath()).readAnnounce().prizeNames, "1等,2等");
    EXPECT_TRUE(platform.messages.empty());

    // The next draw's record names the prizes it will be announced under.
    trigger("mnuRunStart");
    int named = 0;
    for (const auto& [name, text] : recordFiles())
        if (!records.contains(name) && name.ends_with(".txt"))
            named += text.find("\n賞の名前: 1等,2等\n") != std::string::npos;
    EXPECT_EQ(named, 1);
}

// The rolling pictures come from a generator of their own: the winners shown, and the next
// draw, are the same with rolling as without.
TEST_F(FrmMainAnnounce, RollingChangesNoWinnerAndNoLaterDraw)
{
    const auto run = [&](double rollSeconds) {
        seeds = test::CountingSeeds();
        openWindow();
        motion().assume(false);
        typeSettings("1", "1000", "2-2");
        trigger("mnuRunStart");
        std::vector<Revealed> winners;
        announce("1等,2等", rollSeconds, [&](FrmAnnounce& big) {
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(&big, Qt::Key_Space);
                EXPECT_EQ(big.isRolling(), rollSeconds > 0) << i;
                EXPECT_TRUE(QTest::qWaitFor([&] { return !big.isRolling(); }, 10000));
                winners.push_back(shown(big));
            }
        });
        trigger("mnuRunStart");
        return std::pair { winners, resultTexts() };
    };
    const auto still = run(0);
    const auto rolling = run(0.5);
    EXPECT_EQ(rolling.first, still.first);
    EXPECT_EQ(rolling.second, still.second);
    EXPECT_EQ(still.first.size(), 4u);
}

TEST_F(FrmMainAnnounce, TheCommandComesWithResultsAndItsWindowsAreNamed)
{
    QMenu* tools = window->findChild<QMenu*>(QStringLiteral("mnuTool"));
    ASSERT_NE(tools, nullptr);
    const QList<QAction*> items = tools->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items.last()->objectName(), "mnuToolAnnounce");
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items[items.size() - 3]->objectName(), "mnuToolRecords");

    EXPECT_FALSE(action("mnuToolAnnounce")->isEnabled());
    typeSettings("1", "10", "2");
    trigger("mnuRunStart");
    EXPECT_TRUE(action("mnuToolAnnounce")->isEnabled());
    EXPECT_EQ(action("mnuToolAnnounce")->isEnabled(), action("mnuFileSave")->isEnabled());

    // F11 opens it; both windows keep the rules of every window's commands.
    answerSettings([](QDialog& dialog) {
        EXPECT_EQ(commandTableFaults(dialog), QStringList());
        // Number mode has no columns to choose.
        EXPECT_FALSE(dialog.findChild<QLineEdit*>("txtColumns")->isVisible());
    });
    platform.modalAnswers.push_back([](QDialog& big) {
        EXPECT_EQ(commandTableFaults(big), QStringList());
        return int(QDialog::Accepted);
    });
    QTest::keyClick(window.get(), Qt::Key_F11);
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmAnnounceSettings", "frmAnnounce" }));

    // A cancelled dialog shows nothing and keeps nothing.
    Settings(settingsPath()).writeAnnounce({ "特賞", "", false, 3, "" });
    answerSettings([](QDialog& dialog) { dialog.findChild<QLineEdit*>("txtPrizeNames")->setText("1等"); }, false);
    trigger("mnuToolAnnounce");
    EXPECT_EQ(platform.modalWindows.size(), 3);
    EXPECT_EQ(Settings(settingsPath()).readAnnounce().prizeNames, "特賞");

    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    EXPECT_FALSE(action("mnuToolAnnounce")->isEnabled()) << "a mode switch discards the results";
}

TEST_F(FrmMainAnnounce, TheSettingsWarnOfNamesThatDoNotPairAndRefuseAnEmptyName)
{
    typeSettings("1", "10", "1-1");
    trigger("mnuRunStart");
    answerSettings(
        [&](QDialog& dialog) {
            auto* names = dialog.findChild<QLineEdit*>("txtPrizeNames");
            auto* warning = dialog.findChild<QLabel*>("lblPrizeWarning");
            names->setText("特賞,1等,2等");
            EXPECT_TRUE(warning->isVisible());
            EXPECT_EQ(warning->text(), "賞の名前が3つありますが、抽選は2回です。3つ目からの名前は使いません。");
            names->setText("特賞、1等");
            EXPECT_FALSE(warning->isVisible());
            names->setText("特賞,,1等");
            dialog.accept();
            EXPECT_EQ(dialog.result(), QDialog::Rejected) << "an empty name keeps the dialog open";
        },
        false);
    trigger("mnuToolAnnounce");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.title, "エラー");
    EXPECT_TRUE(platform.messages[0].request.text.startsWith("Error:2つ目の賞の名前が空です。"));
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmAnnounceSettings" }));
}

TEST_F(FrmMainAnnounce, FileModeOffersColumnsAndMaskAndKeepsThem)
{
    // Values the rules refuse come back as the defaults.
    {
        std::ofstream(settingsPath(), std::ios::binary)
            << "[Announce]\r\nColumns=0\r\nRollSeconds=9\r\nPrizeNames=,\r\n";
    }
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkDaburi"), Qt::LeftButton);
    readEntryFile(writeFile("names.csv", "山田太郎,営業部\r\n佐藤花子,総務部\r\n"));
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "2");
    trigger("mnuRunStart");
    answerSettings([](QDialog& dialog) {
        auto* columns = dialog.findChild<QLineEdit*>("txtColumns");
        EXPECT_TRUE(columns->isVisible());
        EXPECT_EQ(columns->text(), "");
        EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("spnRoll")->value(), 1.5);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("txtPrizeNames")->text(), "");
        columns->setText("1");
        dialog.findChild<QCheckBox*>("chkMask")->setChecked(true);
        // The sample is the file's first entry, never a winner.
        EXPECT_EQ(dialog.findChild<QLabel*>("lblSample")->text(), "表示の例（登録の1件目）: 山＊＊＊");
        dialog.findChild<QDoubleSpinBox*>("spnRoll")->setValue(0);
    });
    QStringList seen;
    platform.modalAnswers.push_back([&](QDialog& big) {
        QApplication::setActiveWindow(&big);
        QTest::keyClick(&big, Qt::Key_Space);
        seen << big.findChild<FittedText*>("lblWinner")->text();
        QTest::keyClick(&big, Qt::Key_Space);
        seen << big.findChild<FittedText*>("lblWinner")->text();
        return int(QDialog::Accepted);
    });
    trigger("mnuToolAnnounce");
    seen.sort();
    EXPECT_EQ(seen, (QStringList { "佐＊＊＊", "山＊＊＊" }));
    const Settings::Announce kept = Settings(settingsPath()).readAnnounce();
    EXPECT_EQ(kept.columns, "1");
    EXPECT_TRUE(kept.mask);
    EXPECT_EQ(kept.rollHalfSeconds, 0);
}

TEST_F(FrmMainAnnounce, AnAbsentWinnerIsReplacedByTheMainWindowsDrawAndRevealedNext)
{
    typeSettings("1", "10", "3");
    child<QCheckBox>("chkDaburi")->setChecked(true);
    trigger("mnuRunStart");
    const QStringList drawn = resultTexts();
    Revealed first;
    Revealed replacement;
    announce("", 0, [&](FrmAnnounce& big) {
        first = revealNext(big);
        platform.messageAnswers.push_back(QMessageBox::Yes);
        QTest::keyClick(&big, Qt::Key_R);
        replacement = revealNext(big);
    });
    // 発表 asked once; the main window's draw did not ask again.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Question);
    const QStringList after = resultTexts();
    // A blank line, the header and the replacement follow the draw.
    ASSERT_EQ(after.size(), drawn.size() + 3);
    EXPECT_EQ(after.mid(0, drawn.size()), drawn);
    EXPECT_EQ(after[drawn.size() + 1], QStringLiteral("【再抽選：1件】"));
    EXPECT_EQ(first.winner, drawn[0]);
    EXPECT_EQ(replacement.winner, after.back());
    EXPECT_FALSE(drawn.contains(replacement.winner));
    EXPECT_TRUE(child<QTableView>("lvwKekka")->model()->index(0, 1).data().toString().contains(QStringLiteral("欠席")));
}
