#pragma once

class QLabel;
class QStatusBar;

namespace kuji {

// The three panels of Pickup Record's status bar: the record file's path, cut in the middle
// when too long so it never widens the window, and the kept and loaded record counts.
struct PickupStatusPanels {
    QLabel* filePath = nullptr; // "S_FilePath"
    QLabel* pickup = nullptr; // "S_Pickup"
    QLabel* original = nullptr; // "S_Original"
};

PickupStatusPanels addPickupStatusPanels(QStatusBar* bar);

} // namespace kuji
