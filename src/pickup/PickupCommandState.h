#pragma once

#include <array>
#include <cstddef>

namespace kuji {

// Toolbar buttons of the Pickup Record window, in toolbar order. Each button is the master of
// its command's enabled state; menu items copy it (both sort items copy Sort). Help and the
// result list's popup items are never disabled.
enum class PickupButton : std::size_t { Open, Save, Print, AllSelect, Copy, Sort, Start, Stop, Send, Help, Count };

// The enabled state of every command of the Pickup Record window, and the rules that move it
// between the idle and the busy state.
class PickupCommandState {
public:
    bool enabled(PickupButton button) const { return m_buttons[static_cast<std::size_t>(button)]; }
    // 終了 (File menu).
    bool fileEndEnabled() const { return m_fileEnd; }
    // The condition frame: the four lists with their boxes and buttons.
    bool conditionsEnabled() const { return m_conditions; }
    // Busy: hourglass, and the window's Close command greyed.
    bool busy() const { return m_busy; }

    // Busy (a load, a run or a transfer): only Stop and Help; the result commands go off
    // and come back only with the next completed run.
    void setBusy();
    // Busy for a transfer, which cannot be stopped: not even Stop.
    void setBusyForTransfer();
    // Idle: Open, exit and the conditions on, Stop off, Start by refreshStart; the result
    // commands keep what they had.
    void setIdle(std::size_t conditionCount, std::size_t recordCount);
    // Start is available when the four lists hold a condition in all and records are loaded.
    // While busy nothing changes: the command that ends the work decides.
    void refreshStart(std::size_t conditionCount, std::size_t recordCount);
    // A completed run offers its result to save, print, select, copy, sort and transfer,
    // even when no record was kept.
    void runCompleted();

private:
    void set(PickupButton button, bool on) { m_buttons[static_cast<std::size_t>(button)] = on; }

    std::array<bool, static_cast<std::size_t>(PickupButton::Count)> m_buttons = helpOnly();
    bool m_fileEnd = true;
    bool m_conditions = true;
    bool m_busy = false;

    static constexpr std::array<bool, static_cast<std::size_t>(PickupButton::Count)> helpOnly()
    {
        std::array<bool, static_cast<std::size_t>(PickupButton::Count)> buttons {};
        buttons[static_cast<std::size_t>(PickupButton::Help)] = true;
        return buttons;
    }
};

} // namespace kuji
