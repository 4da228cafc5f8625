#include "x11/ClipboardOwner.h"

#include <atomic>
#include <string>
#include <thread>

#include <poll.h>
#include <unistd.h>

// Xlib last: its macros collide with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kuji::test {

struct ClipboardOwner::State {
    Display* display = nullptr;
    Window window = 0;
    std::string text;
    bool owns = false;
    std::atomic<bool> stop { false };
    std::atomic<int> textRequests { 0 };
    int wake[2] = { -1, -1 };
    std::thread serving;

    void answer(const XSelectionRequestEvent& request)
    {
        const Atom targets = XInternAtom(display, "TARGETS", False);
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        const Atom plainUtf8 = XInternAtom(display, "text/plain;charset=utf-8", False);
        XSelectionEvent reply {};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = request.property == None ? request.target : request.property;
        if (request.target == targets) {
            const Atom offered[] = { targets, utf8, plainUtf8 };
            XChangeProperty(display, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(offered), 3);
        } else if (request.target == utf8 || request.target == plainUtf8) {
            ++textRequests;
            XChangeProperty(display, request.requestor, reply.property, request.target, 8, PropModeReplace,
                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
        } else {
            reply.property = None;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
        XFlush(display);
    }

    void serve()
    {
        pollfd fds[2] = { { ConnectionNumber(display), POLLIN, 0 }, { wake[0], POLLIN, 0 } };
        while (!stop) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == SelectionRequest)
                    answer(event.xselectionrequest);
            }
            ::poll(fds, 2, 1000);
        }
    }
};

ClipboardOwner::ClipboardOwner(const QString& text)
    : m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.text = text.toStdString();
    s.display = XOpenDisplay(nullptr);
    if (!s.display || ::pipe(s.wake) != 0)
        return;
    s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(s.display, "CLIPBOARD", False);
    XSetSelectionOwner(s.display, clipboard, s.window, CurrentTime);
    s.owns = XGetSelectionOwner(s.display, clipboard) == s.window;
    XSync(s.display, False);
    s.serving = std::thread([&s] { s.serve(); });
}

ClipboardOwner::~ClipboardOwner()
{
    State& s = *m_state;
    if (s.serving.joinable()) {
        s.stop = true;
        const char byte = 0;
        if (::write(s.wake[1], &byte, 1) != 1) {
            // The thread sees the flag within a second anyway.
        }
        s.serving.join();
    }
    for (const int fd : s.wake)
        if (fd >= 0)
            ::close(fd);
    if (s.display) {
        if (s.window)
            XDestroyWindow(s.display, s.window);
        XCloseDisplay(s.display);
    }
}

bool ClipboardOwner::owns() const
{
    return m_state->owns;
}

int ClipboardOwner::textRequests() const
{
    return m_state->textRequests;
}

} // namespace kuji::test
