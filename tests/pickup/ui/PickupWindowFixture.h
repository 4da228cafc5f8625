#pragma once

#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "support/MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace kuji::test {

// The main window in file mode, from which the Pickup Record window is opened as a user does.
class PickupWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        QTest::mouseClick(MainWindowFixture::child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    }

    PickupRecordTool& pickupTool() const { return *window->findChild<PickupRecordTool*>(); }
    FrmPickupRecord* tool() const { return pickupTool().window(); }

    // Tools ▸ Pickup Record, then waits for any load it starts.
    FrmPickupRecord* openTool()
    {
        trigger("mnuToolPickupRecord");
        if (FrmPickupRecord* opened = tool()) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(opened));
            waitToolIdle();
        }
        return tool();
    }

    void waitToolIdle()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !tool()->longWork().isRunning(); }, 60000));
    }

    template <typename T> T* toolChild(const char* name) const
    {
        T* found = tool()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QAction* toolAction(const char* name) const { return toolChild<QAction>(name); }

    // Triggers a command of the tool window only when it is enabled, and waits for its work.
    void toolTrigger(const char* name)
    {
        QAction* a = toolAction(name);
        ASSERT_TRUE(a->isEnabled()) << name << " is disabled";
        a->trigger();
        waitToolIdle();
    }

    void loadRecords(const QString& path)
    {
        tool()->readRecordFile(path);
        waitToolIdle();
    }

    // Types a condition into a list's boxes and clicks its Add button ("InAND", "OutOR", …).
    void addCondition(const char* list, const QString& column, const QString& phrase)
    {
        const QByteArray name(list);
        auto* columnBox = toolChild<QLineEdit>("txt" + name + "No");
        auto* phraseBox = toolChild<QLineEdit>("txt" + name + "Goku");
        columnBox->clear();
        QTest::keyClicks(columnBox, column);
        phraseBox->clear();
        // As an input method hands text over: key clicks carry ASCII only.
        phraseBox->insert(phrase);
        QTest::mouseClick(toolChild<QPushButton>("cmd" + name + "Tuika"), Qt::LeftButton);
    }

    template <typename T> T* toolChild(const QByteArray& name) const { return toolChild<T>(name.constData()); }

    QString panel(const char* key) const { return toolChild<QLabel>(key)->text(); }

    // Every command that only a completed run offers, by its toolbar key.
    static constexpr const char* kResultButtons[]
        = { "M_Save", "M_Print", "M_AllSelect", "M_Copy", "M_Sort", "M_Send" };
    bool anyResultCommandEnabled() const
    {
        for (const char* key : kResultButtons)
            if (tool()->toolbarButton(QLatin1String(key))->isEnabled())
                return true;
        return false;
    }
    bool allResultCommandsEnabled() const
    {
        for (const char* key : kResultButtons)
            if (!tool()->toolbarButton(QLatin1String(key))->isEnabled())
                return false;
        return true;
    }
};

} // namespace kuji::test
