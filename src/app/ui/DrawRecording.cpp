#include "app/ui/DrawRecording.h"

#include "announce/AnnounceOptions.h"
#include "announce/PrizeNames.h"

#include "common/RuntimeError.h"
#include "common/Settings.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/RuntimeErrorBox.h"
#include "records/ui/FrmRecords.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include <new>

namespace kuji {
namespace {

// The frame shows the start of a long value, so it never widens the window; its tooltip and
// accessible name show all of it.
constexpr int kShownPublicChars = 24;

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
    fraCommitment = new QFrame(window.mainWidget());
    fraCommitment->setObjectName(QStringLiteral("fraCommitment"));
    fraCommitment->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(fraCommitment);
    layout->setContentsMargins(6, 3, 6, 3);
    lblCommitment = new QLabel(fraCommitment);
    lblCommitment->setObjectName(QStringLiteral("lblCommitment"));
    lblCommitment->setTextFormat(Qt::PlainText);
    QFont bold = lblCommitment->font();
    bold.setBold(true);
    lblCommitment->setFont(bold);
    layout->addWidget(lblCommitment);
    // A commitment kept from an earlier run still waits for its draw.
    std::string problem;
    m_commitment = m_store.loadCommitment(problem);
    showCommitment();
}

DrawRecording::~DrawRecording()
{
    // The record is evidence: one still being written is finished, whatever closes the window.
    if (m_record)
        m_record->runToEnd();
}

void DrawRecording::showCommitment()
{
    if (!m_commitment) {
        fraCommitment->hide();
        return;
    }
    const QString number = QString::fromStdString(formatCommitmentNumber(commitmentNumber(*m_commitment)));
    QString value = m_publicValue;
    if (value.size() > kShownPublicChars)
        value = value.left(kShownPublicChars) + QStringLiteral("…");
    // The number in two rows of eight groups, as the commitment dialog shows it.
    const QString text = QStringLiteral("公開抽選の予告  予告番号:\n%1\n%2\n公開値: %3")
                             .arg(number.left(39), number.mid(40),
                                 value.isEmpty() ? QStringLiteral("（まだ入力されていません）") : value);
    lblCommitment->setText(text);
    lblCommitment->setToolTip(m_publicValue);
    lblCommitment->setAccessibleName(
        QStringLiteral("公開抽選の予告 %1 公開値: %2")
            .arg(number, m_publicValue.isEmpty() ? QStringLiteral("まだ入力されていません") : m_publicValue));
    // Shown once its text is in place, so the window makes room for all of it.
    fraCommitment->show();
}

void DrawRecording::setPublicValue(const QString& value)
{
    // Spaces at either end cannot be seen, and a public value belongs to a commitment.
    m_publicValue = m_commitment ? value.trimmed() : QString();
    showCommitment();
}

bool DrawRecording::setCommitment(const Commitment& commitment, ErrorInfo& err)
{
    if (!m_store.saveCommitment(commitment, err))
        return false;
    m_commitment = commitment;
    m_publicValue.clear();
    showCommitment();
    return true;
}

bool DrawRecording::clearCommitment(ErrorInfo& err)
{
    if (!m_store.clearCommitment(err))
        return false;
    m_commitment.reset();
    m_publicValue.clear();
    showCommitment();
    return true;
}

void DrawRecording::setKeepRecords(bool keep)
{
    m_keep = keep;
    m_settings.writeKeepRecords(keep);
}

void DrawRecording::completePlan(DrawPlan& plan, const QString& entryFile)
{
    if (plan.settings.fileMode) {
        plan.sourceIsFile = !entryFile.isEmpty();
        plan.source = plan.sourceIsFile ? entryFile.toStdString() : m_window.drawBoxes().first.toStdString();
    }
    if (m_commitment && !m_publicValue.isEmpty()) {
        plan.publicValue = m_publicValue.toStdString();
        plan.commitment = m_commitment;
    } else {
        plan.seed = m_seeds.nextSeed();
    }
    // A public draw exists to be checked by others: its record is always kept.
    plan.keepRecord = m_keep || plan.publicValue.has_value();
}

void DrawRecording::reportRecordFailure(const ErrorInfo& why)
{
    RuntimeError error;
    error.set(why.number, "抽選記録を書けませんでした（抽選の結果はそのまま使えます）: " + why.description);
    myShowRuntimeError(m_platform, m_window.mainWidget(), error);
}

void DrawRecording::drawCompleted(const RecordedDraw& draw)
{
    const DrawPlan& plan = draw.plan();
    // The commitment and its value are used up by the draw they went into; a value typed
    // during the draw waits for the next.
    if (plan.publicValue && m_commitment && plan.commitment == m_commitment) {
        ErrorInfo ignored;
        m_store.clearCommitment(ignored);
        m_commitment.reset();
        m_publicValue.clear();
        showCommitment();
        if (m_recordsWindow)
            m_recordsWindow->showCommitment();
    }
    if (!plan.keepRecord)
        return;
    try {
        DrawRecord record = draw.record(currentDateTimeText());
        // The prize names 発表 will show the rounds under, as they stood at the draw; they
        // decide nothing.
        const AnnounceOptions announce = AnnounceOptions::fromStored(m_settings.readAnnounce());
        if (!announce.prizeNames.empty())
            record.prizeNames = PrizeNames::join(announce.prizeNames);
        writeRecord(std::move(record), plan.settings.fileMode ? plan.entries : nullptr);
    } catch (const std::bad_alloc&) {
        reportRecordFailure({ kOutOfMemoryError, describeFileError(ENOMEM) });
    }
}

void DrawRecording::writeRecord(DrawRecord record, std::shared_ptr<const EntryList> copyEntries)
{
    // The chain has one end: a record still being written is finished first.
    finishWriting();
    try {
        m_record = std::make_shared<RecordStore::Writing>(m_store, std::move(record), std::move(copyEntries));
    } catch (const std::bad_alloc&) {
        m_record.reset();
        reportRecordFailure({ kOutOfMemoryError, describeFileError(ENOMEM) });
        if (m_written)
            m_written(nullptr, {});
        return;
    }
    if (m_record->step(LongWork::Clock::now() + 2 * LongWork::kSlice)) {
        const std::shared_ptr<RecordStore::Writing> written = std::move(m_record);
        recordWritten(*written);
        return;
    }
    LongWork::Task task;
    auto writing = m_record;
    task.step = [writing](LongWork::Clock::time_point deadline) { return writing->step(deadline); };
    task.finished = [this, writing](bool) {
        // finishWriting has reported it already when it took over.
        if (m_record != writing)
            return;
        m_record.reset();
        recordWritten(*writing);
    };
    m_writing.start(std::move(task));
}

void DrawRecording::finishWriting()
{
    if (!m_record)
        return;
    const std::shared_ptr<RecordStore::Writing> writing = std::move(m_record);
    m_writing.requestStop();
    // The record is evidence: what is left of it is written now, whole.
    writing->runToEnd();
    recordWritten(*writing);
}

void DrawRecording::recordWritten(const RecordStore::Writing& writing)
{
    if (m_recordsWindow)
        m_recordsWindow->refresh(true);
    if (writing.failed()) {
        reportRecordFailure(writing.error());
        if (m_written)
            m_written(nullptr, {});
        return;
    }
    if (m_written)
        m_written(&writing.record(), writing.added().fileDigest);
    if (writing.added().copyTooLarge && !m_toldCopyTooLarge) {
        m_toldCopyTooLarge = true;
        m_platform.showMessage(m_window.mainWidget(),
            { QStringLiteral(
                  "転送したエントリーが 200 MB を超えるため、抽選記録にエントリーの写しを残しませんでした。\n"
                  "この抽選を後で確かめるには、エントリーをファイルに保存しておいてください。"),
                QStringLiteral("くじ丸"), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok });
    }
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

} // namespace kuji
