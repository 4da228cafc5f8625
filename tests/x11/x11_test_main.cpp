#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>

#include <X11/Xlib.h>

// The real-display tests: the windows on the X server named by DISPLAY (a private Xvfb started
// by run-on-xvfb.sh), through Qt's xcb platform, never the offscreen one.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "x11_tests: DISPLAY is unset; run them through run-on-xvfb.sh\n");
        return 2;
    }
    // The clipboard owner of the paste tests talks to the server from a thread of its own.
    XInitThreads();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
