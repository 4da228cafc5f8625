#pragma once

namespace kuji {

// The commands of the string window.
enum class NewStringCommand { Open, Save, Print, Send, End, Help };

// The string window's two states. Idle: every command, and the text can be edited. Busy (a
// transfer runs): only help; the text, the file commands, the transfer and exit wait, and the
// window cannot be closed, so nothing changes the text or the work list while it is filled.
class NewStringCommandState {
public:
    void setBusy() { m_busy = true; }
    void setIdle() { m_busy = false; }
    bool busy() const { return m_busy; }

    // Help is always offered; everything else only when idle.
    bool enabled(NewStringCommand command) const { return command == NewStringCommand::Help || !m_busy; }
    bool editorEnabled() const { return !m_busy; }
    bool closeAllowed() const { return !m_busy; }

private:
    bool m_busy = false;
};

} // namespace kuji
