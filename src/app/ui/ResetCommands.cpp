#include "app/ui/ResetCommands.h"

#include "common/FilePaths.h"
#include "common/Settings.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/QtText.h"
#include "common/ui/WaitCursor.h"
#include "entries/ui/FileModeCommands.h"

namespace kuji {
ResetCommands::ResetCommands(MainWindowPort& window, const Settings& settings, FileModeCommands& files, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_settings(settings)
    , m_files(files)
{
}

void ResetCommands::resetStandard()
{
    WaitCursor wait;
    // Selecting the mode empties the first two boxes and both lists.
    m_window.selectMode(m_settings.readMode() == Settings::Mode::File);
    MainWindowPort::DrawBoxes boxes = m_window.drawBoxes();
    boxes.count.clear();
    boxes.noDuplicates = m_settings.readNoDuplicates();
    m_window.setDrawBoxes(boxes);
    m_window.refreshStartAvailability();
}

void ResetCommands::resetCustom()
{
    const Settings::ResetPreset preset = m_settings.readResetPreset();
    const bool fileMode = preset.mode == Settings::Mode::File;
    {
        WaitCursor wait;
        m_window.selectMode(fileMode);
        MainWindowPort::DrawBoxes boxes;
        if (!fileMode) {
            boxes.first = fromStd(preset.minValue);
            boxes.second = fromStd(preset.maxValue);
        }
        boxes.count = fromStd(preset.countValue);
        boxes.noDuplicates = preset.noDuplicates;
        m_window.setDrawBoxes(boxes);
        m_window.refreshStartAvailability();
    }
    if (fileMode) {
        if (myFileExists(preset.file))
            m_files.readEntryFile(fromStd(preset.file));
        else if (!preset.file.empty())
            m_files.reportMissingFile(fromStd(preset.file));
    }
}

void ResetCommands::storeCustomReset()
{
    WaitCursor wait;
    const MainWindowPort::DrawBoxes boxes = m_window.drawBoxes();
    Settings::ResetPreset preset;
    preset.mode = m_window.isFileMode() ? Settings::Mode::File : Settings::Mode::Number;
    if (m_window.isFileMode()) {
        // Only a file the list was read from can be read again; a transfer's label is no path.
        preset.file = toStd(m_window.currentEntryFile());
    } else {
        preset.minValue = toStd(boxes.first);
        preset.maxValue = toStd(boxes.second);
    }
    preset.countValue = toStd(boxes.count);
    preset.noDuplicates = boxes.noDuplicates;
    m_settings.writeResetPreset(preset);
}

} // namespace kuji
