#pragma once

#include "common/ui/LongWork.h"
#include "records/RecordStore.h"
#include "records/RecordedDraw.h"
#include "records/ui/RecordsHost.h"

#include <QObject>
#include <QPointer>

#include <functional>

#include <memory>
#include <optional>
#include <string>

class QFrame;
class QLabel;

namespace kuji {

class FrmRecords;
class HelpService;
class MainWindowPort;
class Platform;
class SeedSource;
class Settings;

// The draw records of the main window: the seed of each draw, the commitment and public value
// of a public draw, the record written after every completed draw, the frame that shows a
// commitment waiting for its draw, and the 抽選記録 window. The main window owns one and has it
// complete the plan of every draw; the records window reaches the main window through it
// (RecordsHost).
class DrawRecording final : public QObject, public RecordsHost {
    Q_OBJECT
public:
    DrawRecording(MainWindowPort& window, Platform& platform, HelpService& help, const Settings& settings,
        SeedSource& seeds, std::string recordsFolder, QObject* parent = nullptr);
    ~DrawRecording() override;

    // The frame that shows the commitment waiting for its draw: its number and the public
    // value once typed. Hidden while none waits. The main window gives it a row of its own.
    QFrame* commitmentFrame() const { return fraCommitment; }

    // Completes the plan of the next draw: its source, a fresh seed, or the commitment and the
    // public value of a public draw, and whether a record is kept. Throws std::system_error
    // when the system gives no seed.
    void completePlan(DrawPlan& plan, const QString& entryFile);

    // After a completed draw whose results are shown: uses up the commitment and public value
    // it was drawn with and writes its record when one is kept. Never throws; a record that
    // cannot be written (running out of memory included) is reported once, and the draw
    // stands all the same. A record with a long entries copy to write goes on in slices while
    // the window is already idle; a draw that completes meanwhile first finishes it.
    void drawCompleted(const RecordedDraw& draw);
    // Writes a record as a draw's is written (a replacement's), a slice at a time when long.
    void writeRecord(DrawRecord record, std::shared_ptr<const EntryList> copyEntries);
    // Told of every record written (with the digest of its file), or of one that could not be
    // (null).
    using WrittenListener = std::function<void(const DrawRecord* record, const Sha256Digest& fileDigest)>;
    void setWrittenListener(WrittenListener listener) { m_written = std::move(listener); }
    // True while a record is still being written.
    bool isWriting() const { return m_writing.isRunning(); }
    // Writes the record in progress to its end at once (the program is closing).
    void finishWriting();

    // Tools ▸ 抽選記録: shows the window, made on first use, in front.
    void openWindow();
    // The records window, when it has been opened.
    FrmRecords* recordsWindow() const;

    QString publicValue() const override { return m_publicValue; }
    void setPublicValue(const QString& value) override;
    bool keepRecords() const override { return m_keep; }
    void setKeepRecords(bool keep) override;
    RecordStore& recordStore() override { return m_store; }
    const std::optional<Commitment>& commitment() const override { return m_commitment; }
    bool setCommitment(const Commitment& commitment, ErrorInfo& err) override;
    bool clearCommitment(ErrorInfo& err) override;

private:
    void showCommitment();
    void reportRecordFailure(const ErrorInfo& why);
    void recordWritten(const RecordStore::Writing& writing);

    MainWindowPort& m_window;
    Platform& m_platform;
    HelpService& m_help;
    const Settings& m_settings;
    SeedSource& m_seeds;
    RecordStore m_store;
    bool m_keep = true;
    std::optional<Commitment> m_commitment;
    QString m_publicValue;
    // The user hears once a run that a transferred list was too large to keep a copy of.
    bool m_toldCopyTooLarge = false;
    QFrame* fraCommitment = nullptr;
    QLabel* lblCommitment = nullptr;
    QPointer<FrmRecords> m_recordsWindow;
    // The record being written, and the runner of its slices (of its own: the window's runner
    // is free for the next command meanwhile).
    std::shared_ptr<RecordStore::Writing> m_record;
    LongWork m_writing;
    WrittenListener m_written;
};

} // namespace kuji
