#include "app/ui/DrawRecording.h"

#include "common/Settings.h"
#include "common/ui/LongWork.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "entries/ui/MainWindowPort.h"
#include "records/DrawVerifier.h"
#include "records/EntriesCopy.h"
#include "records/ui/FrmRecords.h"

#include <QFileInfo>
#include <QLabel>

namespace kuji {
namespace {

// The label shows the start of a long value; its tooltip shows all of it.
constexpr int kShownPublicChars = 60;

} // namespace

DrawRecording::DrawRecording(MainWindowPort& window, Platform& platform, HelpService& help, const Settings& settings,
    SeedSource& seeds, std::string recordsFolder, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_platform(platform)
    , m_help(help)
    , m_settings(settings)
    , m_seeds(seeds)
    , m_store(std::move(recordsFolder))
    , m_keep(settings.readKeepRecords())
{
    m_label = new QLabel(window.mainWidget());
    m_label->setObjectName(QStringLiteral("lblPublicValue"));
    m_label->setTextFormat(Qt::PlainText);
    // A long value wraps rather than widening the main window.
    m_label->setWordWrap(true);
    QFont bold = m_label->font();
    bold.setBold(true);
    m_label->setFont(bold);
    m_label->hide();
}

DrawRecording::~DrawRecording() = default;

void DrawRecording::setPublicValue(const QString& value)
{
    // Spaces at either end cannot be seen, and an announced value is typed without them.
    m_publicValue = value.trimmed();
    QString shown = m_publicValue;
    if (shown.size() > kShownPublicChars)
        shown = shown.left(kShownPublicChars) + QStringLiteral("…");
    m_label->setText(QStringLiteral("公開値: ") + shown);
    m_label->setToolTip(m_publicValue);
    m_label->setAccessibleName(QStringLiteral("公開値: ") + m_publicValue);
    m_label->setVisible(!m_publicValue.isEmpty());
}

void DrawRecording::setKeepRecords(bool keep)
{
    m_keep = keep;
    m_settings.writeKeepRecords(keep);
}

DrawPlan DrawRecording::planDraw(
    const DrawSettings& settings, std::shared_ptr<const EntryList> entries, const QString& entryFile)
{
    const MainWindowPort::DrawBoxes boxes = m_window.drawBoxes();
    DrawPlan plan;
    plan.settings = settings;
    plan.boxes.fileMode = settings.fileMode;
    plan.boxes.noDuplicates = boxes.noDuplicates;
    plan.boxes.minimum = settings.fileMode ? std::string() : boxes.first.toStdString();
    plan.boxes.maximum = boxes.second.toStdString();
    plan.boxes.count = boxes.count.toStdString();
    if (settings.fileMode) {
        plan.entries = std::move(entries);
        plan.sourceIsFile = !entryFile.isEmpty();
        plan.source = (plan.sourceIsFile ? entryFile : boxes.first).toStdString();
    }
    if (!m_publicValue.isEmpty())
        plan.publicValue = m_publicValue.toStdString();
    else
        plan.seed = m_seeds.nextSeed();
    plan.keepRecord = m_keep;
    return plan;
}

bool DrawRecording::drawCompleted(const RecordedDraw& draw, ErrorInfo& err)
{
    const DrawPlan& plan = draw.plan();
    // The value is used up by the draw it went into; one typed during the draw waits for the next.
    if (plan.publicValue && m_publicValue.toStdString() == *plan.publicValue) {
        setPublicValue(QString());
        if (m_recordsWindow)
            m_recordsWindow->showPublicValue();
    }
    if (!plan.keepRecord)
        return true;
    const std::string text = formatDrawRecord(draw.record(currentDateTimeText()));
    // Entries that came from no file cannot be read again later: a copy goes with the record.
    std::optional<std::string> copy;
    if (plan.settings.fileMode && !plan.sourceIsFile)
        copy = EntriesCopy::format(plan.entries ? *plan.entries : EntryList());
    std::string path;
    const bool written = m_store.add(text, copy ? std::optional<std::string_view>(*copy) : std::nullopt, path, err);
    if (m_recordsWindow)
        m_recordsWindow->refresh(true);
    return written;
}

FrmRecords* DrawRecording::recordsWindow() const
{
    return m_recordsWindow;
}

void DrawRecording::openWindow()
{
    if (!m_recordsWindow)
        m_recordsWindow = new FrmRecords(m_window, *this, m_platform, m_help, m_window.mainWidget());
    else
        m_recordsWindow->refresh();
    m_recordsWindow->show();
    m_recordsWindow->raise();
    m_recordsWindow->activateWindow();
}

bool DrawRecording::verifyRecord(const QString& recordPath, std::function<void(const VerificationReport&)> done)
{
    LongWork& work = m_window.longWork();
    if (work.isRunning())
        return false;
    auto verifier = std::make_shared<DrawVerifier>(recordPath.toStdString());
    if (verifier->entriesMissing()) {
        // Neither a copy nor the file the record names: the user may know where the file went.
        FileDialogRequest request;
        request.caption = QStringLiteral("抽選に使ったファイルを選んでください");
        request.folder = QFileInfo(QString::fromStdString(verifier->entrySource())).absolutePath();
        request.filter = QStringLiteral("すべてのファイル (*)");
        const QString chosen = m_platform.getOpenFileName(m_recordsWindow ? m_recordsWindow.data() : nullptr, request);
        if (chosen.isEmpty())
            return false;
        verifier = std::make_shared<DrawVerifier>(recordPath.toStdString(), chosen.toStdString());
    }

    m_window.setCommandState(false);
    ProgressPanel& progress = m_window.progressPanel();
    progress.begin(QStringLiteral("再現確認中..."), verifier->total(), true);
    LongWork::Task task;
    task.step = [verifier](LongWork::Clock::time_point deadline) { return verifier->step(deadline); };
    task.progress = [&progress, verifier] { progress.setProgress(verifier->drawn()); };
    task.finished = [this, verifier, done = std::move(done)](bool stopped) {
        m_window.progressPanel().end();
        m_window.setCommandState(true);
        m_window.refreshStartAvailability();
        VerificationReport report = verifier->report();
        if (stopped) {
            report = {};
            report.lines.push_back("再現確認を途中で止めました。");
        }
        done(report);
    };
    work.start(std::move(task));
    return true;
}

} // namespace kuji
