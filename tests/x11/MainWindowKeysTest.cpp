#include "x11/ClipboardOwner.h"
#include "x11/X11Fixture.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>

using namespace kuji;
using namespace kuji::test;

namespace {

class X11MainWindow : public X11Fixture { };

} // namespace

// X11 sends Delete with the text U+007F and Backspace with U+0008: the key filters must take
// them as the editing keys they are, and still refuse what is typed wrongly.
TEST_F(X11MainWindow, DeleteBackspaceHomeAndEndEditEveryBox)
{
    struct Box {
        const char* name;
        unsigned long accessKey;
        const char* typed;
        const char* afterDelete;
        const char* afterBackspace;
    };
    const Box boxes[] = {
        { "txtSaidai", 'b', "12345", "2345", "234" },
        { "txtSaisyo", 'm', "12345", "2345", "234" },
        { "txtTyusen", 'v', "3-2-1", "-2-1", "-2-" },
    };
    for (const Box& b : boxes) {
        auto* box = child<QLineEdit>(b.name);
        // The label's access key leads to its box.
        input.tap(b.accessKey, { xkey::Alt });
        ASSERT_TRUE(box->hasFocus()) << b.name;
        input.type(b.typed);
        ASSERT_EQ(box->text(), b.typed);
        input.tap(xkey::Home);
        input.tap(xkey::Delete);
        EXPECT_EQ(box->text(), b.afterDelete) << b.name;
        input.tap(xkey::End);
        input.tap(xkey::BackSpace);
        EXPECT_EQ(box->text(), b.afterBackspace) << b.name;
        EXPECT_EQ(platform.beeps, 0) << b.name;
        // Typed characters are still judged: a letter beeps and goes nowhere, and
        // Shift+Enter types nothing.
        input.type("x");
        input.tap(xkey::Return, { xkey::Shift });
        EXPECT_EQ(box->text(), b.afterBackspace) << b.name;
        EXPECT_EQ(platform.beeps, 1) << b.name;
        platform.beeps = 0;
    }
}

// Text copied in another program comes through the X clipboard and is cleaned like any paste.
TEST_F(X11MainWindow, PasteFromAnotherProgramIsCleaned)
{
    ClipboardOwner copied(QStringLiteral("12a3-4\r\n"));
    ASSERT_TRUE(copied.owns());
    auto* saidai = child<QLineEdit>("txtSaidai");
    focusOn(saidai);
    input.tap('v', { xkey::Control });
    EXPECT_TRUE(QTest::qWaitFor([saidai] { return !saidai->text().isEmpty(); }));
    EXPECT_EQ(saidai->text(), "1234");
    EXPECT_GE(copied.textRequests(), 1);
}

TEST_F(X11MainWindow, EveryMenuOpensByItsAccessKey)
{
    focusOn(child<QLineEdit>("txtSaisyo"));
    expectMenusOpenByAltKeys(input, window->menuBar());
    // The same in file mode, whose path box holds the keyboard.
    input.tap('y', { xkey::Alt });
    ASSERT_TRUE(QTest::qWaitFor([this] { return child<QRadioButton>("optYomikomi")->isChecked(); }));
    focusOn(child<QLineEdit>("txtTyusen"));
    expectMenusOpenByAltKeys(input, window->menuBar());
}
