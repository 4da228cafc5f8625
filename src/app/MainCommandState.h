#pragma once

#include <array>
#include <cstddef>

namespace kuji {

// Toolbar buttons of the main window, in toolbar order. Each button is the master of its
// command's enabled state; menu items copy it.
enum class MainButton : std::size_t {
    Open,
    Save,
    Print,
    AllSelect,
    Copy,
    Sort,
    PickupRecord,
    Start,
    Stop,
    Reset,
    Help,
    Count
};

// The enabled state of every command of the main window, and the rules that move it between
// the idle and the busy state.
class MainCommandState {
public:
    bool enabled(MainButton button) const { return m_buttons[static_cast<std::size_t>(button)]; }
    bool fileEndEnabled() const { return m_fileEnd; }
    bool newStringEnabled() const { return m_newString; }
    bool framesEnabled() const { return m_frames; }
    bool busy() const { return m_busy; }

    // Idle: settings and mode editable, Stop off, Reset and exit on; entry sources (Open,
    // Pickup Record, string creation) come on in file mode only. The result commands and
    // Start keep what they had.
    void setIdle(bool fileMode);
    // Busy: only Stop and Help; the window cannot be closed.
    void setBusy();
    // Start is available exactly when all three settings boxes hold text.
    void refreshStart(bool allBoxesFilled);
    // A completed draw offers the result commands and Start again.
    void drawCompleted();
    // Results that are gone (a new work list, a mode switch) can no longer be saved, printed
    // or edited.
    void resultsDiscarded();
    // Stop lets Start be chosen again at once.
    void stopRequested() { set(MainButton::Start, true); }

private:
    void set(MainButton button, bool on) { m_buttons[static_cast<std::size_t>(button)] = on; }

    std::array<bool, static_cast<std::size_t>(MainButton::Count)> m_buttons {};
    bool m_fileEnd = true;
    bool m_newString = false;
    bool m_frames = true;
    bool m_busy = false;
};

} // namespace kuji
