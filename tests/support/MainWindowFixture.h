#pragma once

#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "support/CountingSeeds.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kuji::test {

// A shown main window with a scripted platform and seeds that repeat from run to run, on a
// settings file and a records folder in the test's own folder.
class MainWindowFixture : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        openWindow();
    }

    void TearDown() override
    {
        window.reset();
        help.closeAll();
        TempFolderTest::TearDown();
    }

    // Opens a new main window on the fixture's settings file (closing any earlier one first).
    void openWindow()
    {
        window.reset();
        window = std::make_unique<FrmMain>(platform, seeds, help, settingsPath(), recordsFolder());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::string settingsPath() const { return pathOf("kujitan.ini"); }
    std::string recordsFolder() const { return pathOf("records"); }
    QString folderPath() const { return QString::fromStdString(m_dir); }
    // Writes a file into the fixture's folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;

    template <typename T> T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QAction* action(const char* name) const { return child<QAction>(name); }

    // Triggers a command the way a user can, only when it is enabled, and waits for any long
    // work it starts to end.
    void trigger(const char* name)
    {
        QAction* a = action(name);
        ASSERT_TRUE(a->isEnabled()) << name << " is disabled";
        a->trigger();
        waitIdle();
    }

    void typeSettings(const QString& min, const QString& max, const QString& count);

    // Long work runs from the event loop: these wait until the window is idle again.
    void waitIdle();
    void readEntryFile(const QString& path);

    ScriptedPlatform platform;
    HelpService help { platform };
    CountingSeeds seeds;
    std::unique_ptr<FrmMain> window;
};

} // namespace kuji::test
