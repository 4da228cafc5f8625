#include "app/ui/ReplacementCommand.h"

#include "app/ui/DrawRecording.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "entries/ui/ResultListModel.h"
#include "records/RecordedDraw.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <system_error>

namespace kuji {

ReplacementCommand::ReplacementCommand(MainWindowPort& window, ResultListModel& results, DrawRecording& recording,
    Platform& platform, SeedSource& seeds, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_results(results)
    , m_recording(recording)
    , m_platform(platform)
    , m_seeds(seeds)
{
    m_recording.setWrittenListener(
        [this](const DrawRecord* record, const Sha256Digest& digest) { recordWritten(record, digest); });
    // Results emptied (a new draw, a reset, another mode or list, every row deleted) end the run.
    connect(&m_results, &QAbstractItemModel::modelReset, this, [this] {
        if (m_run && m_results.isEmpty())
            forget();
    });
}

ReplacementCommand::~ReplacementCommand() = default;

void ReplacementCommand::drawCompleted(const RecordedDraw& draw)
{
    const DrawPlan& plan = draw.plan();
    m_run = std::make_unique<ReplacementRun>(m_results.results(), plan, draw.seed(), plan.publicValue.has_value());
    m_drawSeed = draw.seed();
    m_awaitingDrawRecord = plan.keepRecord;
    m_entries = plan.settings.fileMode && !plan.sourceIsFile ? plan.entries : nullptr;
    m_absent.clear();
    showAbsent();
    emit changed();
}

void ReplacementCommand::forget()
{
    m_run.reset();
    m_awaitingDrawRecord = false;
    m_entries.reset();
    m_absent.clear();
    showAbsent();
    emit changed();
}

void ReplacementCommand::recordWritten(const DrawRecord* record, const Sha256Digest& fileDigest)
{
    if (!m_run)
        return;
    if (record && record->replacement) {
        m_run->recordWritten(fileDigest);
    } else if (!record && !m_awaitingDrawRecord) {
        // A replacement's record failed: the next could not link to it.
        m_run->recordFailed();
    } else if (m_awaitingDrawRecord && (!record || record->seed == m_drawSeed)) {
        m_awaitingDrawRecord = false;
        if (record)
            m_run->setDrawRecord(*record, fileDigest);
    }
}

void ReplacementCommand::showAbsent()
{
    m_results.setMarkedKeys(m_absent, QStringLiteral("　（欠席）"));
}

void ReplacementCommand::replaceSelected(QTableView& view)
{
    if (!m_run)
        return;
    std::vector<std::uint32_t> winners;
    for (const QModelIndex& row : view.selectionModel()->selectedRows()) {
        const std::uint32_t key = m_results.rowKey(static_cast<std::size_t>(row.row()));
        if (m_run->isReplaceable(key))
            winners.push_back(key);
    }
    std::sort(winners.begin(), winners.end());
    QWidget* parent = m_window.mainWidget();
    if (winners.empty()) {
        m_platform.showMessage(parent,
            { QStringLiteral("欠席にする当選者を、抽選結果の一覧で選んでください。\n"
                             "（見出しの行や、欠席にした当選者は選べません）"),
                QStringLiteral("再抽選"), QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok });
        return;
    }
    const QMessageBox::StandardButton answer = m_platform.showMessage(parent,
        { QStringLiteral("選んだ %1 件の当選者を欠席にして、代わりを 1 件ずつ再抽選しますか？")
                .arg(static_cast<qulonglong>(winners.size())),
            QStringLiteral("再抽選"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No });
    const int before = m_results.rowCount();
    if (answer != QMessageBox::Yes || !replace(winners, parent))
        return;
    view.selectionModel()->select(
        QItemSelection(m_results.index(before, 0), m_results.index(m_results.rowCount() - 1, 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.scrollToBottom();
}

bool ReplacementCommand::replace(const std::vector<std::uint32_t>& keys, QWidget* parent)
{
    if (!m_run || m_window.isBusy())
        return false;
    // The draw's record, still being written, is finished first: the replacement links to it.
    m_recording.finishWriting();
    m_awaitingDrawRecord = false;
    DrawSeed seed {};
    try {
        seed = m_seeds.nextSeed();
    } catch (const std::system_error& error) {
        m_platform.showError(parent,
            QStringLiteral("乱数の種を得られないため再抽選できません: %1").arg(QString::fromLocal8Bit(error.what())));
        return false;
    }
    const std::uint64_t wanted
        = std::count_if(keys.begin(), keys.end(), [this](std::uint32_t key) { return m_run->isReplaceable(key); });
    const std::uint64_t left = m_run->positionsLeft();
    if (wanted == 0)
        return false;
    if (m_run->noDuplicates() && left < wanted) {
        const QString what = m_run->fileMode() ? QStringLiteral("エントリー") : QStringLiteral("数");
        const QString text = left == 0 ? QStringLiteral("すべての%1が抽選済みのため、再抽選できません。").arg(what)
                                       : QStringLiteral("まだ抽選していない%1は %2 件で、%3 件の再抽選には足りません。")
                                             .arg(what)
                                             .arg(static_cast<qulonglong>(left))
                                             .arg(static_cast<qulonglong>(wanted));
        m_platform.showMessage(
            parent, { text, QStringLiteral("再抽選"), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok });
        return false;
    }
    ReplacementRun::Outcome outcome;
    m_results.change(
        [&](ResultList& results) { outcome = m_run->replace(results, keys, seed, currentDateTimeText()); });
    if (outcome.refused)
        return false;
    for (const std::uint32_t key : keys)
        if (m_run->isAbsent(key) && !std::binary_search(m_absent.begin(), m_absent.end(), key))
            m_absent.insert(std::lower_bound(m_absent.begin(), m_absent.end(), key), key);
    showAbsent();
    if (outcome.record)
        m_recording.writeRecord(std::move(*outcome.record), m_entries);
    emit changed();
    emit replaced();
    return true;
}

} // namespace kuji
