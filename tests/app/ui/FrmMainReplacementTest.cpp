#include "app/VerifyCommand.h"
#include "entries/ui/ResultListModel.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QTableView>

#include <filesystem>
#include <set>
#include <sstream>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainReplacement : public MainWindowFixture {
protected:
    void selectRows(std::initializer_list<int> rows)
    {
        auto* view = child<QTableView>("lvwKekka");
        view->selectionModel()->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(
                view->model()->index(row, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::vector<std::string> recordFiles() const
    {
        std::vector<std::string> files;
        for (const auto& file : std::filesystem::directory_iterator(recordsFolder()))
            if (file.path().extension() == ".txt" && file.path().filename() != "chain.txt")
                files.push_back(file.path().string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

} // namespace

TEST_F(FrmMainReplacement, AnAbsentWinnerIsMarkedAndReplacedByANewOneWhoseRecordVerifies)
{
    EXPECT_FALSE(action("mnuHensyuRedraw")->isEnabled());
    typeSettings("1", "10", "3");
    child<QCheckBox>("chkDaburi")->setChecked(true);
    trigger("mnuRunStart");
    ASSERT_TRUE(action("mnuHensyuRedraw")->isEnabled());
    const ResultList& rows = window->resultModel()->results();
    std::set<std::string> first = { rows.text(0), rows.text(1), rows.text(2) };

    selectRows({ 1 });
    platform.messageAnswers.push_back(QMessageBox::Yes);
    trigger("mnuHensyuRedraw");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].request.icon, QMessageBox::Question);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows.text(4), "【再抽選：1件】");
    EXPECT_EQ(first.count(rows.text(5)), 0u);
    // The list marks the absent winner; its text stays its own for copying and saving.
    auto* view = child<QTableView>("lvwKekka");
    EXPECT_TRUE(view->model()->index(1, 1).data().toString().endsWith(QStringLiteral("（欠席）")));
    EXPECT_EQ(window->resultModel()->rowText(1), rows.text(1));

    // The replacement's record follows the draw's and verifies with it.
    QApplication::processEvents();
    const std::vector<std::string> files = recordFiles();
    ASSERT_EQ(files.size(), 2u);
    const char* argv[] = { "kujimaru", "--verify", files[1].c_str() };
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runVerifyCommand(3, argv, out, err), 0) << out.str() << err.str();

    // Marking the absent winner again asks for a winner instead.
    selectRows({ 1, 4 });
    trigger("mnuHensyuRedraw");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].request.icon, QMessageBox::Information);
    EXPECT_EQ(rows.size(), 6u);

    // A reset ends the run.
    trigger("mnuResetStandard");
    EXPECT_FALSE(action("mnuHensyuRedraw")->isEnabled());
}

TEST_F(FrmMainReplacement, WithEveryNumberDrawnAReplacementIsRefusedAndTheResultsStay)
{
    typeSettings("1", "3", "3");
    child<QCheckBox>("chkDaburi")->setChecked(true);
    trigger("mnuRunStart");
    selectRows({ 0 });
    platform.messageAnswers.push_back(QMessageBox::Yes);
    trigger("mnuHensyuRedraw");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].request.text, QStringLiteral("すべての数が抽選済みのため、再抽選できません。"));
    EXPECT_EQ(platform.messages[1].request.icon, QMessageBox::Warning);
    EXPECT_EQ(window->resultModel()->results().size(), 3u);
    EXPECT_FALSE(
        child<QTableView>("lvwKekka")->model()->index(0, 1).data().toString().contains(QStringLiteral("欠席")));
}
