#include "common/ui/TypedKey.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using kuji::typedCharacter;

namespace {

std::optional<char32_t> typed(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return typedCharacter(QKeyEvent(QEvent::KeyPress, key, modifiers, text));
}

} // namespace

// The texts are those X11 gives each key; QTest gives the editing keys none at all.
TEST(TypedKey, EditingKeysAndShortcutsTypeNothing)
{
    EXPECT_EQ(typed(Qt::Key_Delete, QString(QChar(0x7F))), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_Backspace, QStringLiteral("\b")), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_Return, QStringLiteral("\r"), Qt::ShiftModifier), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_Tab, QStringLiteral("\t")), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_Escape, QString(QChar(0x1B))), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_Home, QString()), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier), std::nullopt);
    // Some keyboards give a shortcut its letter.
    EXPECT_EQ(typed(Qt::Key_A, QStringLiteral("a"), Qt::ControlModifier), std::nullopt);
    EXPECT_EQ(typed(Qt::Key_unknown, QString(QChar(0x85))), std::nullopt);
}

TEST(TypedKey, TypedCharactersAreJudgedAsTyped)
{
    EXPECT_EQ(typed(Qt::Key_5, QStringLiteral("5")), U'5');
    EXPECT_EQ(typed(Qt::Key_Space, QStringLiteral(" ")), U' ');
    EXPECT_EQ(typed(Qt::Key_Minus, QStringLiteral("-"), Qt::KeypadModifier), U'-');
    EXPECT_EQ(typed(Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier), U'A');
    EXPECT_EQ(typed(Qt::Key_unknown, QString::fromUtf8("５")), U'５');
    // A character beyond the 16-bit range arrives as a surrogate pair.
    EXPECT_EQ(typed(Qt::Key_unknown, QString::fromUtf8("𠮷")), U'𠮷');
}
