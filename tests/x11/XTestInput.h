#pragma once

#include <QPoint>
#include <QString>

#include <initializer_list>
#include <memory>
#include <string_view>

namespace kuji::test {

// Keys as the X server names them (keysyms), for the keys the tests press. Letters, digits
// and ASCII punctuation are their own character codes.
namespace xkey {
inline constexpr unsigned long BackSpace = 0xff08;
inline constexpr unsigned long Tab = 0xff09;
inline constexpr unsigned long Return = 0xff0d;
inline constexpr unsigned long Escape = 0xff1b;
inline constexpr unsigned long Home = 0xff50;
inline constexpr unsigned long Left = 0xff51;
inline constexpr unsigned long Up = 0xff52;
inline constexpr unsigned long Right = 0xff53;
inline constexpr unsigned long Down = 0xff54;
inline constexpr unsigned long End = 0xff57;
inline constexpr unsigned long F5 = 0xffc2;
inline constexpr unsigned long F11 = 0xffc8;
inline constexpr unsigned long Space = 0x20;
inline constexpr unsigned long Shift = 0xffe1;
inline constexpr unsigned long Control = 0xffe3;
inline constexpr unsigned long Alt = 0xffe9;
inline constexpr unsigned long Delete = 0xffff;
} // namespace xkey

// Input sent through the X server itself with the XTest extension, on a connection of its
// own: the program receives exactly what a keyboard and a mouse on that display would give
// it (Delete with the text U+007F, Shift+Enter as the text edit's line separator, …). Every
// call waits until the program has handled what it caused.
class XTestInput {
public:
    XTestInput();
    ~XTestInput();
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    // False when DISPLAY names no X server or the server lacks XTest; why() says which.
    bool ready() const;
    QString why() const;

    // Presses and releases a key while the modifiers are held.
    void tap(unsigned long key, std::initializer_list<unsigned long> modifiers = {});
    // Types ASCII text key by key, with Shift where the keyboard needs it.
    void type(std::string_view ascii);
    // A left click at a point of the screen.
    void click(QPoint global);

    // Waits until the X server has handled everything sent so far and the program has taken
    // the events it caused.
    void settle();

private:
    struct Connection;
    std::unique_ptr<Connection> m_x;
    QString m_why;
};

} // namespace kuji::test
