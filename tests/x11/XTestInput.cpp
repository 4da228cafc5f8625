#include "x11/XTestInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>

// Xlib's macros (KeyPress, None, Bool, …) collide with Qt's names: it is included last and
// only here.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace kuji::test {

static_assert(xkey::BackSpace == XK_BackSpace && xkey::Return == XK_Return && xkey::Delete == XK_Delete);
static_assert(xkey::Home == XK_Home && xkey::End == XK_End && xkey::Shift == XK_Shift_L && xkey::Alt == XK_Alt_L);
static_assert(xkey::Control == XK_Control_L && xkey::Escape == XK_Escape && xkey::F5 == XK_F5 && xkey::Tab == XK_Tab);
static_assert(xkey::Left == XK_Left && xkey::Right == XK_Right && xkey::Up == XK_Up && xkey::Down == XK_Down);

struct XTestInput::Connection {
    Display* display = nullptr;
};

XTestInput::XTestInput()
    : m_x(std::make_unique<Connection>())
{
    m_x->display = XOpenDisplay(nullptr);
    if (!m_x->display) {
        m_why = QStringLiteral("no X server at DISPLAY=\"%1\"").arg(qEnvironmentVariable("DISPLAY"));
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_x->display, &event, &error, &major, &minor)) {
        m_why = QStringLiteral("the X server has no XTest extension");
        XCloseDisplay(m_x->display);
        m_x->display = nullptr;
    }
}

XTestInput::~XTestInput()
{
    if (m_x->display)
        XCloseDisplay(m_x->display);
}

bool XTestInput::ready() const
{
    return m_x->display != nullptr;
}

QString XTestInput::why() const
{
    return m_why;
}

namespace {

void sendKey(Display* display, KeySym sym, bool down)
{
    const KeyCode code = XKeysymToKeycode(display, sym);
    if (code != 0)
        XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

} // namespace

void XTestInput::tap(unsigned long key, std::initializer_list<unsigned long> modifiers)
{
    Display* d = m_x->display;
    for (const unsigned long modifier : modifiers)
        sendKey(d, modifier, true);
    sendKey(d, key, true);
    sendKey(d, key, false);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        sendKey(d, *it, false);
    settle();
}

void XTestInput::type(std::string_view ascii)
{
    Display* d = m_x->display;
    for (const char c : ascii) {
        const KeySym sym = static_cast<unsigned char>(c);
        const KeyCode code = XKeysymToKeycode(d, sym);
        // A character on the second level of its key needs Shift.
        const bool shifted = code != 0 && XkbKeycodeToKeysym(d, code, 0, 0) != sym;
        if (shifted)
            sendKey(d, XK_Shift_L, true);
        sendKey(d, sym, true);
        sendKey(d, sym, false);
        if (shifted)
            sendKey(d, XK_Shift_L, false);
    }
    settle();
}

void XTestInput::click(QPoint global)
{
    Display* d = m_x->display;
    XTestFakeMotionEvent(d, -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    settle();
}

// The server has handled the fake events once the round trip returns, and has sent the
// program their key events before it answers the program's own round trip in sync().
void XTestInput::settle()
{
    XSync(m_x->display, False);
    QGuiApplication::sync();
    QElapsedTimer clock;
    clock.start();
    // Posted work the events caused (a queued change, a deferred delete) runs too.
    while (clock.elapsed() < 30)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace kuji::test
