#include "common/ui/RuntimeErrorBox.h"
#include "common/RuntimeError.h"
#include "support/ScriptedPlatform.h"

#include <QWidget>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using kuji::RuntimeError;
using kuji::test::ScriptedPlatform;

TEST(RuntimeErrorBox, ReportsNumberAndDescriptionThenClears)
{
    ScriptedPlatform platform;
    QWidget owner;
    RuntimeError pending;
    pending.set(53, "ファイルが見つかりません。");

    kuji::myShowRuntimeError(platform, &owner, pending);
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto& message = platform.messages.front();
    EXPECT_EQ(message.request.text, QStringLiteral("実行時エラー '53':\r\nファイルが見つかりません。"));
    EXPECT_EQ(message.request.title, QStringLiteral("エラー"));
    EXPECT_EQ(message.request.icon, QMessageBox::Critical);
    EXPECT_EQ(message.request.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(message.parent, &owner);
    EXPECT_EQ(pending.number(), 0);
    EXPECT_TRUE(pending.description().empty());
}

TEST(RuntimeErrorBox, ReportsSystemErrorsAndStaysQuietWithNothingPending)
{
    ScriptedPlatform platform;
    RuntimeError pending;
    kuji::myShowRuntimeError(platform, nullptr, pending);
    EXPECT_TRUE(platform.messages.empty());

    pending.setFromErrno(EACCES);
    kuji::myShowRuntimeError(platform, nullptr, pending);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages.front().request.text,
        QStringLiteral("実行時エラー '%1':\r\n%2").arg(EACCES).arg(QString::fromLocal8Bit(std::strerror(EACCES))));

    // Reported once: a second call finds nothing pending.
    kuji::myShowRuntimeError(platform, nullptr, pending);
    EXPECT_EQ(platform.messages.size(), 1u);
}
