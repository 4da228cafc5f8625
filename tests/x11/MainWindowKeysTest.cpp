#include "x11/X11Fixture.h"

#include <QLineEdit>

using namespace kuji;
using namespace kuji::test;

namespace {

class X11MainWindow : public X11Fixture { };

} // namespace

// X11 sends Delete with the text U+007F: the boxes must take it as the editing key it is.
TEST_F(X11MainWindow, DeleteBackspaceHomeAndEndEditEveryBox)
{
    auto* saidai = child<QLineEdit>("txtSaidai");
    focusOn(saidai);
    input.type("12345");
    ASSERT_EQ(saidai->text(), "12345");
    input.tap(xkey::Home);
    input.tap(xkey::Delete);
    EXPECT_EQ(saidai->text(), "2345");
    input.tap(xkey::End);
    input.tap(xkey::BackSpace);
    EXPECT_EQ(saidai->text(), "234");
    EXPECT_EQ(platform.beeps, 0);
}
