#pragma once

#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/ui/HelpService.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kuji::test {

// A shown main window with a scripted platform and a seeded random source.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        openWindow();
    }

    void TearDown() override
    {
        window.reset();
        help.closeAll();
    }

    // Opens a new main window on the fixture's settings file (closing any earlier one first).
    void openWindow()
    {
        window.reset();
        window = std::make_unique<FrmMain>(platform, random, help, settingsPath());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::string settingsPath() const { return folder.filePath(QStringLiteral("kujitan.ini")).toStdString(); }
    // Writes a file into the fixture's folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;

    template <typename T> T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QAction* action(const char* name) const { return child<QAction>(name); }

    // Triggers a command the way a user can: only when it is enabled.
    void trigger(const char* name)
    {
        QAction* a = action(name);
        ASSERT_TRUE(a->isEnabled()) << name << " is disabled";
        a->trigger();
    }

    void typeSettings(const QString& min, const QString& max, const QString& count);

    QTemporaryDir folder;
    ScriptedPlatform platform;
    HelpService help { platform };
    RandomSource random { 12345 };
    std::unique_ptr<FrmMain> window;
};

} // namespace kuji::test
