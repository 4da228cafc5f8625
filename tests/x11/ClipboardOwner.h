#pragma once

#include <QString>

#include <memory>

namespace kuji::test {

// Another program that has copied text: it owns the X clipboard on a connection of its own
// and hands the text over, as UTF-8, to whoever pastes, from a thread of its own (the program
// waits for the answer inside its paste). It gives the clipboard up when it goes.
class ClipboardOwner {
public:
    explicit ClipboardOwner(const QString& text);
    ~ClipboardOwner();
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;

    // True once the server has made this the clipboard's owner.
    bool owns() const;
    // How many times a paste asked for the text itself.
    int textRequests() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace kuji::test
