#pragma once

#include "announce/ui/AnnounceHost.h"

#include <QObject>

namespace kuji {

class HelpService;
class MainWindowPort;
class MotionPreference;
class Platform;
class ReplacementCommand;
class ResultListModel;
class Settings;

// 発表 as the main window offers it: the command opens the settings dialog, keeps what was
// chosen in the settings file and shows the big screen on the screen chosen. As the
// AnnounceHost it hands 発表 the results, the work list and the range, and passes on what the
// main window knows of absent winners and replacements, and its replacement draw.
class AnnounceLink final : public QObject, public AnnounceHost {
    Q_OBJECT
public:
    AnnounceLink(MainWindowPort& main, const ResultListModel& results, Platform& platform, HelpService& help,
        const Settings& settings, ReplacementCommand& replacement, QObject* parent);

    // The 発表 command.
    void open();
    // Whether the desktop asks for less motion, asked when 発表 is first opened.
    MotionPreference& motion() const { return *m_motion; }

    const ResultList& results() const override;
    bool isAbsent(std::uint32_t key) const override;
    bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const override;
    std::shared_ptr<const EntryList> workList() const override;
    bool isFileMode() const override;
    std::optional<NumberRange> numberRange() const override;
    bool drawReplacements(const std::vector<std::uint32_t>& keys, QWidget* dialogParent) override;

private:
    MainWindowPort& m_main;
    const ResultListModel& m_results;
    Platform& m_platform;
    HelpService& m_help;
    const Settings& m_settings;
    ReplacementCommand& m_replacement;
    MotionPreference* m_motion;
};

} // namespace kuji
