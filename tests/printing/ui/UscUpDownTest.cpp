#include "printing/ui/UscUpDown.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using kuji::UscUpDown;
using kuji::test::ScriptedPlatform;

namespace {

class UpDownBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.show();
        box.textBox()->setFocus();
    }

    QString shown() const { return box.textBox()->text(); }
    void retype(const QString& keys)
    {
        box.textBox()->selectAll();
        QTest::keyClicks(box.textBox(), keys);
    }

    ScriptedPlatform platform;
    UscUpDown box { platform };
};

} // namespace

TEST_F(UpDownBox, TypingKeepsTheBoxInRange)
{
    EXPECT_EQ(shown(), "10");
    box.textBox()->selectAll();
    QTest::keyClick(box.textBox(), Qt::Key_Backspace);
    EXPECT_EQ(shown(), "10"); // cleared: back at once
    retype("25");
    QTest::keyClicks(box.textBox(), "0");
    EXPECT_EQ(shown(), "100"); // the third digit made 250
    retype("05");
    EXPECT_EQ(shown(), "05"); // kept as typed, read as a number
    EXPECT_EQ(box.value(), "5");
    EXPECT_EQ(platform.beeps, 0);

    for (const char* refused : { "a", "-", " ", ".", "/", ":" })
        QTest::keyClicks(box.textBox(), refused);
    EXPECT_EQ(shown(), "05");
    EXPECT_EQ(platform.beeps, 6);
}

TEST_F(UpDownBox, PastedAndWrittenTextGoThroughTheRule)
{
    const struct {
        const char* text;
        const char* pasted;
        const char* written;
    } cases[] = { { "1a", "10", "10" }, { "abc", "10", "10" }, { "-5", "10", "10" }, { "40000", "10", "10" },
        { "150", "100", "100" }, { "007", "007", "7" } };
    for (const auto& c : cases) {
        QApplication::clipboard()->setText(QString::fromLatin1(c.text));
        box.textBox()->selectAll();
        box.textBox()->paste();
        EXPECT_EQ(shown(), QLatin1String(c.pasted)) << c.text;
        box.setProperty("Value", QString::fromLatin1(c.text));
        EXPECT_EQ(shown(), QLatin1String(c.written)) << c.text;
    }
}

TEST_F(UpDownBox, ArrowsStepWithinTheRangeAndFollowTheEnabledState)
{
    auto* up = box.findChild<QToolButton*>(QStringLiteral("cmdUp"));
    ASSERT_NE(up, nullptr);
    box.setValue("99");
    up->click();
    up->click();
    EXPECT_EQ(shown(), "100");
    box.setValue("1");
    QTest::keyClick(box.textBox(), Qt::Key_Down);
    QTest::keyClick(box.textBox(), Qt::Key_Down);
    EXPECT_EQ(shown(), "0");

    box.LSSetEnabled(false);
    EXPECT_FALSE(box.textBox()->isEnabled());
    EXPECT_FALSE(up->isEnabled());
    box.LSSetEnabled(true);
    EXPECT_TRUE(box.textBox()->isEnabled() && up->isEnabled());
}
