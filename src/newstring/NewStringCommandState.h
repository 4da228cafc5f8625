#pragma once

namespace kuji {

// The commands of the string window.
enum class NewStringCommand { Open, Save, Print, Send, End, Help, Stop };

// The string window's two states. Idle: every command but Stop, and the text can be edited.
// Busy (a transfer, or an open, save, print or paste of a long text runs): only help, and
// Stop for work that can end early (all but the transfer and the paste); the text, the file
// commands, the transfer and exit wait, and the window cannot be closed, so nothing changes
// the text or the work list while it is read or filled.
class NewStringCommandState {
public:
    void setBusy(bool stoppable = false)
    {
        m_busy = true;
        m_stoppable = stoppable;
    }
    void setIdle()
    {
        m_busy = false;
        m_stoppable = false;
    }
    bool busy() const { return m_busy; }

    // Help is always offered; Stop only while work that can be stopped runs; everything else
    // only when idle.
    bool enabled(NewStringCommand command) const
    {
        if (command == NewStringCommand::Help)
            return true;
        if (command == NewStringCommand::Stop)
            return m_busy && m_stoppable;
        return !m_busy;
    }
    bool editorEnabled() const { return !m_busy; }
    bool closeAllowed() const { return !m_busy; }

private:
    bool m_busy = false;
    bool m_stoppable = false;
};

} // namespace kuji
