#include "common/ui/EntryListModel.h"
#include "newstring/ui/FrmNewString.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "pickup/ui/RecordListModel.h"
#include "x11/ClipboardOwner.h"
#include "x11/X11Fixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>

using namespace kuji;
using namespace kuji::test;

namespace {

// Each tool window on the real display, opened from the main window as a user opens it.
class X11ToolWindow : public X11Fixture {
protected:
    void switchToFileMode()
    {
        input.tap('y', { xkey::Alt });
        ASSERT_TRUE(QTest::qWaitFor([this] { return child<QRadioButton>("optYomikomi")->isChecked(); }));
    }

    QStringList entryTexts() const
    {
        QStringList texts;
        for (const auto& entry : window->workModel()->entries())
            texts << QString::fromStdString(std::string(entry.text));
        return texts;
    }

    // A widget of a window, by name; the test fails when there is none.
    template <typename T> static T* part(QWidget* w, const char* name)
    {
        T* found = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void clickInto(QWidget* w)
    {
        input.click(w->mapToGlobal(w->rect().center()));
        ASSERT_TRUE(w->hasFocus()) << w->objectName().toStdString();
    }
};

class X11PrintDialog : public X11ToolWindow { };
class X11Pickup : public X11ToolWindow { };
class X11NewString : public X11ToolWindow { };

} // namespace

// The margin boxes keep their number from 0 to 100 and filter what is typed; the lists take
// only Up and Down. Neither may take X11's Delete for a typed character.
TEST_F(X11PrintDialog, MarginBoxesAndListsTakeTheEditingKeys)
{
    input.tap('m', { xkey::Alt });
    input.type("1");
    input.tap('b', { xkey::Alt });
    input.type("3");
    input.tap('v', { xkey::Alt });
    input.type("1");
    input.tap(xkey::F5);
    waitIdle();
    bool answered = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) -> int {
        answered = true;
        focusWindow(&dialog);
        // Each label's access key leads to its box and selects its number.
        for (const auto& [accessKey, name] : { std::pair { 't', "uscTopMargin" }, std::pair { 'l', "uscLeftMargin" },
                 std::pair { 'r', "uscRightMargin" }, std::pair { 'b', "uscBottomMargin" } }) {
            auto* box = part<QWidget>(&dialog, name)->findChild<QLineEdit*>(QStringLiteral("txtValue"));
            input.tap(static_cast<unsigned long>(accessKey), { xkey::Alt });
            EXPECT_TRUE(box->hasFocus()) << name;
            input.type("25");
            EXPECT_EQ(box->text(), "25") << name;
            input.tap(xkey::Home);
            input.tap(xkey::Delete);
            EXPECT_EQ(box->text(), "5") << name;
            input.tap(xkey::End);
            input.tap(xkey::BackSpace);
            // Empty is no number: the box shows 10 at once.
            EXPECT_EQ(box->text(), "10") << name;
            EXPECT_EQ(platform.beeps, 0) << name;
            input.type("a");
            // Shift+Enter neither types nor prints.
            input.tap(xkey::Return, { xkey::Shift });
            EXPECT_EQ(box->text(), "10") << name;
            EXPECT_EQ(platform.beeps, 1) << name;
            EXPECT_TRUE(dialog.isVisible());
            input.tap(xkey::Up);
            EXPECT_EQ(box->text(), "11") << name;
            platform.beeps = 0;
        }
        auto* font = part<QComboBox>(&dialog, "cboFont");
        input.tap('f', { xkey::Alt });
        EXPECT_TRUE(font->hasFocus());
        const QString chosen = font->currentText();
        input.tap(xkey::Delete);
        input.tap(xkey::BackSpace);
        EXPECT_EQ(platform.beeps, 0);
        input.type("x");
        EXPECT_EQ(platform.beeps, 1);
        EXPECT_EQ(font->currentText(), chosen);
        input.tap(xkey::Escape);
        return dialog.result();
    });
    input.tap('p', { xkey::Control });
    EXPECT_TRUE(answered);
}

TEST_F(X11Pickup, ColumnBoxesTakeTheEditingKeysAndMenusTheirAccessKeys)
{
    switchToFileMode();
    input.tap('t', { xkey::Alt });
    input.tap('p');
    FrmPickupRecord* tool = window->findChild<PickupRecordTool*>()->window();
    ASSERT_NE(tool, nullptr);
    focusWindow(tool);
    for (const char* list : { "InAND", "InOR", "OutAND", "OutOR" }) {
        const QByteArray name = QByteArray("txt") + list + "No";
        auto* column = part<QLineEdit>(tool, name.constData());
        clickInto(column);
        input.type("12");
        ASSERT_EQ(column->text(), "12") << list;
        input.tap(xkey::Home);
        input.tap(xkey::Delete);
        EXPECT_EQ(column->text(), "2") << list;
        input.tap(xkey::End);
        input.tap(xkey::BackSpace);
        EXPECT_EQ(column->text(), "") << list;
        EXPECT_EQ(platform.beeps, 0) << list;
        input.type("a");
        input.tap(xkey::Return, { xkey::Shift });
        EXPECT_EQ(column->text(), "") << list;
        EXPECT_EQ(platform.beeps, 1) << list;
        platform.beeps = 0;
    }
    expectMenusOpenByAltKeys(input, tool->menuBar());
}

// The record is corrected on the real display: Shift+Enter breaks its line like Enter.
TEST_F(X11Pickup, TheDataErrorDialogTakesShiftEnterAsALineBreak)
{
    switchToFileMode();
    input.tap('t', { xkey::Alt });
    input.tap('p');
    FrmPickupRecord* tool = window->findChild<PickupRecordTool*>()->window();
    ASSERT_NE(tool, nullptr);
    focusWindow(tool);
    platform.modalAnswers.push_back([&](QDialog& dialog) -> int {
        focusWindow(&dialog);
        auto* text = part<QPlainTextEdit>(&dialog, "txtData");
        clickInto(text);
        input.tap(xkey::End, { xkey::Control });
        input.type(",w");
        input.tap(xkey::Return, { xkey::Shift });
        input.type("v");
        // 修正(&C)
        input.tap('c', { xkey::Alt });
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.isVisible(); }));
        return dialog.result();
    });
    tool->readRecordFile(writeFile("records.txt", "a,b\r\nx\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([tool] { return !tool->longWork().isRunning(); }));
    auto* records = tool->recordModel();
    ASSERT_EQ(records->rowCount(), 2);
    EXPECT_EQ(records->data(records->index(1, 0), Qt::EditRole).toString(), "x");
    EXPECT_EQ(records->data(records->index(1, 1), Qt::EditRole).toString(), "w\r\nv");
}

// Qt's text edit puts U+2028 into the line for Shift+Enter on a real keyboard; each line the
// user sees must still be one entry.
TEST_F(X11NewString, ShiftEnterPasteAndTheEditingKeysMakeTheLinesTheUserSees)
{
    switchToFileMode();
    bool answered = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) -> int {
        answered = true;
        focusWindow(&dialog);
        auto* text = part<QPlainTextEdit>(&dialog, "rtbNewString");
        EXPECT_TRUE(text->hasFocus());
        input.type("alice");
        input.tap(xkey::Return, { xkey::Shift });
        input.type("bob");
        input.tap(xkey::Return);
        input.type("carol");
        // 転送(&S), on the menu bar itself.
        input.tap('s', { xkey::Alt });
        waitIdle();
        EXPECT_EQ(entryTexts(), QStringList({ "alice", "bob", "carol" }));
        EXPECT_EQ(platform.messages.size(), 1u);

        input.tap(xkey::Home);
        input.tap(xkey::Delete);
        input.tap(xkey::End);
        input.tap(xkey::BackSpace);
        EXPECT_EQ(text->document()->lastBlock().text(), "aro");
        // Another program's text, with its own line separators.
        ClipboardOwner copied(QString::fromUtf8("dan\u2028eve"));
        EXPECT_TRUE(copied.owns());
        input.tap('v', { xkey::Control });
        EXPECT_TRUE(QTest::qWaitFor([text] { return text->blockCount() == 4; }));
        input.tap('s', { xkey::Alt });
        waitIdle();
        EXPECT_EQ(entryTexts(), QStringList({ "alice", "bob", "arodan", "eve" }));

        expectMenusOpenByAltKeys(input, part<QMenuBar>(&dialog, "mnuBar"));
        // ファイル ▸ 終了
        input.tap('f', { xkey::Alt });
        input.tap('x');
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    input.tap('t', { xkey::Alt });
    input.tap('s');
    EXPECT_TRUE(answered);
    EXPECT_EQ(child<QLineEdit>("txtSaidai")->text(), "4");
}

// Another program's long text, pasted with Ctrl+V, goes in a piece at a time while the window
// shows its progress, ends as the lines that were copied with the keyboard back in the
// editor, and goes away again with one Ctrl+Z.
TEST_F(X11NewString, ALongPasteFromAnotherProgramGoesInAPieceAtATime)
{
    switchToFileMode();
    QString copied;
    for (int i = 0; i < 100000; ++i)
        copied += QString("name%1\n").arg(i);
    bool answered = false;
    platform.modalAnswers.push_back([&](QDialog& dialog) -> int {
        answered = true;
        focusWindow(&dialog);
        auto& w = dynamic_cast<FrmNewString&>(dialog);
        auto* text = part<QPlainTextEdit>(&dialog, "rtbNewString");
        ClipboardOwner owner(copied);
        EXPECT_TRUE(owner.owns());
        input.tap('v', { xkey::Control });
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.isBusy(); }));
        EXPECT_TRUE(part<QWidget>(&dialog, "fraWork")->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.longWork().isRunning(); }, 60000));
        EXPECT_EQ(text->blockCount(), 100001);
        EXPECT_EQ(text->document()->findBlockByNumber(99999).text(), "name99999");
        EXPECT_TRUE(text->hasFocus());
        input.tap('z', { xkey::Control });
        EXPECT_TRUE(QTest::qWaitFor([text] { return text->document()->isEmpty(); }));
        input.tap('f', { xkey::Alt });
        input.tap('x');
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    input.tap('t', { xkey::Alt });
    input.tap('s');
    EXPECT_TRUE(answered);
}
