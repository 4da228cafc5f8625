#pragma once

#include "announce/AnnounceOptions.h"
#include "announce/HallText.h"
#include "announce/RevealSequence.h"
#include "announce/RollingPicker.h"
#include "announce/WinnersList.h"
#include "common/ui/CommandTable.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <optional>
#include <vector>

class QPushButton;
class QStackedWidget;

namespace kuji {

class AnnounceHost;
class FittedText;
class Platform;
class WinnerGrid;

// 発表: the big screen the organiser reveals the winners on, one at a time in draw order,
// each under its prize with its place in the round. It reads the results and never changes
// them; only 再抽選 asks the host to draw a replacement. Every key is a command: Space, Enter,
// → , PageDown and a click reveal the next winner; ←, PageUp and Backspace go back; Home and
// End jump to the first and the last; Tab shows the round as a grid; R draws a replacement;
// Ctrl+S and Ctrl+P save and print the winners list; Esc and F11 close.
class FrmAnnounce final : public QDialog {
    Q_OBJECT
public:
    // rollingAllowed is false when the desktop asks for less motion: the winners then show at
    // once whatever the options say.
    FrmAnnounce(Platform& platform, AnnounceHost& host, AnnounceOptions options, bool rollingAllowed,
        QWidget* parent = nullptr);
    ~FrmAnnounce() override;

    // Full screen on this screen.
    void placeOn(QScreen* screen);

    const RevealSequence& sequence() const { return m_sequence; }
    // The step shown: -1 before the first winner.
    int current() const { return m_current; }
    bool isRolling() const { return m_rollTimer.isActive(); }
    bool isGridShown() const;

    // For tests: the seed of the rolling pictures.
    void setRollingSeed(std::uint64_t seed) { m_picker = RollingPicker(seed); }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void createCommands();
    void createScreen();

    void next();
    void back();
    void jumpTo(int step);
    void toggleGrid();
    void replaceWinner();
    void saveList();
    void printList();

    void rebuild();
    void startRolling();
    void rollTick();
    void finishRolling();
    void stopRolling();
    bool canRoll() const;
    QString rollingPicture();
    bool isRevealed(int step) const;
    void markRevealed(int step);
    void showCurrent();
    void showGrid();

    Platform& m_platform;
    AnnounceHost& m_host;
    AnnounceOptions m_options;
    bool m_rollingAllowed;
    RevealSequence m_sequence;
    WinnersList m_winners;
    int m_current = -1;
    // Winners revealed so far, by result key, so that going back and forward again shows them
    // at once and a replacement added in between is still new.
    std::vector<bool> m_revealed;
    QTimer m_rollTimer;
    QElapsedTimer m_rollClock;
    RollingPicker m_picker;

    QStackedWidget* m_pages = nullptr;
    FittedText* lblTitle = nullptr;
    FittedText* lblWinner = nullptr;
    FittedText* lblMark = nullptr;
    FittedText* lblPosition = nullptr;
    WinnerGrid* m_grid = nullptr;

    CommandTable m_commands { this };
};

} // namespace kuji
