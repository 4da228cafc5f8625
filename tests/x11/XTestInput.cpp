#include "x11/XTestInput.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

// Xlib's macros (KeyPress, None, Bool, …) collide with Qt's names: it is included last and
// only here.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace kuji::test {

static_assert(xkey::BackSpace == XK_BackSpace && xkey::Return == XK_Return && xkey::Delete == XK_Delete);
static_assert(xkey::Home == XK_Home && xkey::End == XK_End && xkey::Shift == XK_Shift_L && xkey::Alt == XK_Alt_L);
static_assert(xkey::Control == XK_Control_L && xkey::Escape == XK_Escape && xkey::F5 == XK_F5 && xkey::F11 == XK_F11
    && xkey::Tab == XK_Tab);
static_assert(xkey::Left == XK_Left && xkey::Right == XK_Right && xkey::Up == XK_Up && xkey::Down == XK_Down);

namespace {

// Sees the marks settle() sends through the server as the program takes its events in order.
class MarkFilter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
            return false;
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type != atom)
            return false;
        seen = client->data.data32[0];
        return true;
    }

    unsigned long atom = 0;
    unsigned long seen = 0;
};

} // namespace

struct XTestInput::Connection {
    Display* display = nullptr;
    MarkFilter filter;
    // A window of the program's own, never shown, that the marks are sent to.
    QWidget markTarget;
    unsigned long lastMark = 0;
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
        return;
    }
    m_x->filter.atom = XInternAtom(m_x->display, "_KUJIMARU_TEST_MARK", False);
    m_x->markTarget.winId();
    QCoreApplication::instance()->installNativeEventFilter(&m_x->filter);
}

XTestInput::~XTestInput()
{
    QCoreApplication::instance()->removeNativeEventFilter(&m_x->filter);
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

// The server handles one connection's requests in order, so the program gets the events of
// the fake input before a mark sent after it; once the program has taken the mark, it has
// taken them all. Then what they set going (a queued key event, a posted change) runs too.
void XTestInput::settle()
{
    const unsigned long mark = ++m_x->lastMark;
    XClientMessageEvent message {};
    message.type = ClientMessage;
    message.window = static_cast<Window>(m_x->markTarget.winId());
    message.message_type = m_x->filter.atom;
    message.format = 32;
    message.data.l[0] = static_cast<long>(mark);
    XSendEvent(m_x->display, message.window, False, NoEventMask, reinterpret_cast<XEvent*>(&message));
    XSync(m_x->display, False);
    QElapsedTimer clock;
    clock.start();
    while (m_x->filter.seen < mark && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

} // namespace kuji::test
