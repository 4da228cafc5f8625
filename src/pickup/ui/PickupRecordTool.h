#pragma once

#include <QObject>
#include <QPointer>

namespace kuji {

class FrmPickupRecord;
class HelpService;
class MainWindowPort;
class Platform;
class Settings;

// Opens the Pickup Record window from the main window (Tools ▸ Pickup Record) and owns it
// while it is open. Each opening gets a fresh window; closing it discards its lists.
class PickupRecordTool final : public QObject {
    Q_OBJECT
public:
    PickupRecordTool(MainWindowPort& main, Platform& platform, const Settings& settings, HelpService& help,
        QObject* parent = nullptr);
    ~PickupRecordTool() override;

    // In file mode only: offers the main window's entry file (Yes loads it, No opens an empty
    // window, Cancel opens nothing), shows the tool, hides the main window, then loads.
    void open();

    // The open window, or nullptr.
    FrmPickupRecord* window() const;

private:
    MainWindowPort& m_main;
    Platform& m_platform;
    const Settings& m_settings;
    HelpService& m_help;
    QPointer<FrmPickupRecord> m_window;
};

} // namespace kuji
