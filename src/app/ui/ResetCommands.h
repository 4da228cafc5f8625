#pragma once

#include <QObject>

namespace kuji {

class FileModeCommands;
class MainWindowPort;
class Settings;

// The reset presets of the main window: the standard reset (the mode and ダブり無し the
// settings file keeps, the boxes emptied), the custom reset (the boxes, the mode and in file
// mode the entry file as stored), and storing the window's settings as the custom preset.
class ResetCommands final : public QObject {
    Q_OBJECT
public:
    ResetCommands(MainWindowPort& window, const Settings& settings, FileModeCommands& files, QObject* parent = nullptr);

    void resetStandard();
    void resetCustom();
    void storeCustomReset();

private:
    MainWindowPort& m_window;
    const Settings& m_settings;
    FileModeCommands& m_files;
};

} // namespace kuji
