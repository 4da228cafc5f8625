#pragma once

#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kuji::test {

// A shown main window with a scripted platform and a seeded random source.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<FrmMain>(platform, random);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override { window.reset(); }

    template <typename T>
    T* child(const char* name) const
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

    ScriptedPlatform platform;
    RandomSource random{12345};
    std::unique_ptr<FrmMain> window;
};

}  // namespace kuji::test
