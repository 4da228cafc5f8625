#pragma once

#include "records/ReplacementRun.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class QTableView;
class QWidget;

namespace kuji {

class DrawRecording;
class MainWindowPort;
class Platform;
class RecordedDraw;
class ResultListModel;
class SeedSource;

// 編集 ▸ 再抽選 and the replacement draws behind it: after a completed draw, winners the user
// picks are marked absent (欠席) and one replacement is drawn for each from what the run has
// not drawn yet, appended to the results under 【再抽選：n件】 and recorded with a link to the
// draw's record. The results the window shows are the run's; emptied or replaced, the run ends.
class ReplacementCommand final : public QObject {
    Q_OBJECT
public:
    ReplacementCommand(MainWindowPort& window, ResultListModel& results, DrawRecording& recording, Platform& platform,
        SeedSource& seeds, QObject* parent = nullptr);
    ~ReplacementCommand() override;

    // A draw has completed and its results are shown: a new run begins.
    void drawCompleted(const RecordedDraw& draw);
    // Whether winners of the shown results may be replaced.
    bool available() const { return m_run != nullptr; }

    // The menu command on the rows selected in the results view: asks first, then replaces;
    // the replacements take the selection and come into view.
    void replaceSelected(QTableView& view);
    // Replaces the winners of these keys without asking (the 発表 window asks itself). False
    // when nothing was drawn; the user has been told why.
    bool replace(const std::vector<std::uint32_t>& keys, QWidget* parent);

    bool isAbsent(std::uint32_t key) const { return m_run && m_run->isAbsent(key); }
    bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const
    {
        return m_run && m_run->replacedWinner(replacementKey, absentKey);
    }

signals:
    // The run began or ended, or winners were replaced.
    void changed();
    // Winners were replaced: the list shows new marks and rows.
    void replaced();

private:
    void forget();
    void recordWritten(const DrawRecord* record, const Sha256Digest& fileDigest);
    void showAbsent();

    MainWindowPort& m_window;
    ResultListModel& m_results;
    DrawRecording& m_recording;
    Platform& m_platform;
    SeedSource& m_seeds;
    std::unique_ptr<ReplacementRun> m_run;
    // The draw's seed and results digest, to know its record when it has been written.
    DrawSeed m_drawSeed {};
    Sha256Digest m_drawResults {};
    bool m_awaitingDrawRecord = false;
    std::shared_ptr<const EntryList> m_entries; // a transfer's: its copy goes with each record
    std::vector<std::uint32_t> m_absent;
};

} // namespace kuji
