#pragma once

#include "records/RecordStore.h"
#include "records/RecordedDraw.h"
#include "records/ui/RecordsHost.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <string>

class QLabel;

namespace kuji {

class FrmRecords;
class HelpService;
class MainWindowPort;
class Platform;
class SeedSource;
class Settings;

// The draw records of the main window: the seed and the public value of each draw, the
// record written after every completed draw, the label that shows a public value waiting for
// the next draw, and the 抽選記録 window. The main window owns one and asks it for the plan
// of every draw; the records window reaches the main window through it (RecordsHost).
class DrawRecording final : public QObject, public RecordsHost {
    Q_OBJECT
public:
    DrawRecording(MainWindowPort& window, Platform& platform, HelpService& help, const Settings& settings,
        SeedSource& seeds, std::string recordsFolder, QObject* parent = nullptr);
    ~DrawRecording() override;

    // "公開値: …", shown under the settings while a public value waits for the next draw.
    QLabel* publicValueLabel() const { return m_label; }

    // The plan of the next draw from the validated settings and the boxes as the user left
    // them: a fresh seed (or the public value), and whether a record is kept. Throws
    // std::system_error when the system gives no seed.
    DrawPlan planDraw(const DrawSettings& settings, std::shared_ptr<const EntryList> entries, const QString& entryFile);

    // After a completed draw: writes its record when records are kept, and uses up the public
    // value it was drawn with. False with err when the record could not be written; the draw
    // stands all the same.
    bool drawCompleted(const RecordedDraw& draw, ErrorInfo& err);

    // Tools ▸ 抽選記録: shows the window, made on first use, in front.
    void openWindow();
    // The records window, when it has been opened.
    FrmRecords* recordsWindow() const;

    QString publicValue() const override { return m_publicValue; }
    void setPublicValue(const QString& value) override;
    bool keepRecords() const override { return m_keep; }
    void setKeepRecords(bool keep) override;
    RecordStore& recordStore() override { return m_store; }
    bool verifyRecord(const QString& recordPath, std::function<void(const VerificationReport&)> done) override;

private:
    MainWindowPort& m_window;
    Platform& m_platform;
    HelpService& m_help;
    const Settings& m_settings;
    SeedSource& m_seeds;
    RecordStore m_store;
    bool m_keep = true;
    QString m_publicValue;
    QLabel* m_label = nullptr;
    QPointer<FrmRecords> m_recordsWindow;
};

} // namespace kuji
