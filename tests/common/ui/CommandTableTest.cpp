// The rules every window's commands keep, checked over each window as a user meets it, in
// both modes where the window has them: in place of restating each table caption by caption.
#include "common/ui/CommandTable.h"
#include "app/ui/DrawRecording.h"
#include "newstring/ui/FrmNewString.h"
#include "pickup/ui/PickupWindowFixture.h"
#include "records/ui/FrmRecords.h"

#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolButton>

using namespace kuji;
using kuji::test::PickupWindowFixture;

namespace {

class CommandTables : public PickupWindowFixture {
protected:
    static void expectSound(const QWidget& window)
    {
        const QStringList faults = commandTableFaults(window);
        EXPECT_TRUE(faults.isEmpty()) << window.objectName().toStdString() << ":\n"
                                      << faults.join(QLatin1Char('\n')).toStdString();
    }
};

} // namespace

TEST_F(CommandTables, EveryWindowsCommandsAreNamedKeyedAndReachable)
{
    expectSound(*window);
    child<QRadioButton>("optYomikomi")->click();
    expectSound(*window);
    // Every keyed toolbar button runs a command whose tooltip names it.
    for (const QToolButton* button : window->findChildren<QToolButton*>()) {
        if (!button->property("key").toString().isEmpty()) {
            EXPECT_EQ(button->accessibleName(), button->defaultAction()->toolTip())
                << button->objectName().toStdString();
        }
    }

    trigger("mnuToolRecords");
    expectSound(*window->drawRecording().recordsWindow());

    expectSound(*openTool());
    tool()->close();

    platform.modalAnswers.push_back([](QDialog& dialog) {
        expectSound(dialog);
        return int(QDialog::Rejected);
    });
    trigger("mnuToolNewString");
    EXPECT_EQ(platform.modalWindows.size(), 1);
}

TEST(CommandTableRules, FaultsAreFoundWhereTheyAre)
{
    QMainWindow window;
    CommandTable commands(&window);
    commands.add({ { "mnuOne", QStringLiteral("一(&O)") }, { "mnuTwo", QStringLiteral("二(&O)") },
        { "mnuThree", QStringLiteral("三") } });
    commands.addMenu(window.menuBar(), { "mnuMenu", QStringLiteral("メニュー(&M)"), { "mnuOne", "-", "mnuTwo" } });
    window.addToolBar(commands.makeToolbar(&window, { { "M_Three", "mnuThree" } }));
    auto* unnamed = new QLineEdit(&window);
    unnamed->setObjectName(QStringLiteral("txtNothing"));
    auto* extra = new QAction(&window);
    extra->setObjectName(QStringLiteral("mnuOne"));
    const QStringList faults = commandTableFaults(window);
    EXPECT_TRUE(faults.contains("two commands are named mnuOne")) << faults.join('\n').toStdString();
    EXPECT_TRUE(faults.contains("mnuMenu: 一(&O) and 二(&O) share the access key O"))
        << faults.join('\n').toStdString();
    EXPECT_TRUE(faults.contains("txtNothing has no accessible name")) << faults.join('\n').toStdString();
    EXPECT_EQ(faults.size(), 3);
    EXPECT_THROW(commands["mnuNone"], std::logic_error);
}
