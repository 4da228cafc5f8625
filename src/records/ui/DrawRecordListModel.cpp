#include "records/ui/DrawRecordListModel.h"

#include "common/TextSafety.h"
#include "records/DrawRecord.h"

#include <QStringList>

#include <sys/stat.h>

namespace kuji {

DrawRecordListModel::DrawRecordListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int DrawRecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

int DrawRecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const RecordSummary* DrawRecordListModel::summaryAt(int row) const
{
    if (row < 0 || row >= rowCount() || !m_items[static_cast<std::size_t>(row)].record)
        return nullptr;
    return &m_summaries[*m_items[static_cast<std::size_t>(row)].record];
}

bool DrawRecordListModel::isNote(int row) const
{
    return row >= 0 && row < rowCount() && !m_items[static_cast<std::size_t>(row)].record;
}

QVariant DrawRecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()
        || (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole))
        return {};
    const RecordListItem& item = m_items[static_cast<std::size_t>(index.row())];
    if (!item.record) {
        // The note spans the row; its text stands in the first column.
        return index.column() == SequenceColumn ? QStringLiteral("⚠ ") + QString::fromStdString(item.note) : QVariant();
    }
    const RecordSummary& r = m_summaries[*item.record];
    if (!r.readable) {
        if (index.column() == StateColumn)
            return QStringLiteral("読めない記録（再現確認できません）: ")
                + QString::fromStdString(printableText(r.problem));
        if (index.column() == DateColumn)
            return QStringLiteral("（読めない記録）");
        return {};
    }
    switch (index.column()) {
    case SequenceColumn:
        return r.format >= 2 ? QString::number(r.sequence) : QString();
    case DateColumn:
        return QString::fromStdString(printableText(r.dateTime));
    case ModeColumn: {
        const std::string_view mode = modeLabel(r.fileMode);
        return QString::fromUtf8(mode.data(), static_cast<qsizetype>(mode.size()))
            + (r.isPublic ? QStringLiteral("（公開値）") : QString())
            + (r.replacement ? QStringLiteral("（再抽選 %1回目）").arg(r.replacement) : QString());
    }
    case CountColumn:
        return QString::fromStdString(printableText(r.count));
    case ResultCountColumn:
        return QString::number(r.resultCount);
    case FirstResultsColumn: {
        // Values only: round headers and the empty rows between rounds say nothing here.
        QStringList shown;
        for (const std::string& text : r.firstResults)
            if (!text.empty() && text.rfind("【", 0) != 0)
                shown << QString::fromStdString(printableText(text, 100));
        QString joined = shown.join(QStringLiteral("、"));
        if (r.resultCount > r.firstResults.size())
            joined += QStringLiteral("、…");
        return joined;
    }
    case StateColumn:
        return r.format < 2 ? QStringLiteral("通し番号のない古い形式") : QString();
    default:
        return {};
    }
}

QVariant DrawRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case SequenceColumn:
        return QStringLiteral("通し番号");
    case DateColumn:
        return QStringLiteral("日時");
    case ModeColumn:
        return QStringLiteral("モード");
    case CountColumn:
        return QStringLiteral("抽選数");
    case ResultCountColumn:
        return QStringLiteral("結果の件数");
    case FirstResultsColumn:
        return QStringLiteral("最初の結果");
    case StateColumn:
        return QStringLiteral("状態");
    default:
        return {};
    }
}

void DrawRecordListModel::reload(const RecordStore& store)
{
    beginResetModel();
    m_summaries.clear();
    std::map<std::string, Cached> cache;
    std::vector<std::string> paths = store.list();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        struct stat st { };
        Cached entry;
        if (::stat(it->c_str(), &st) == 0) {
            entry.size = st.st_size;
            entry.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
        const auto known = m_cache.find(*it);
        if (known != m_cache.end() && known->second.size == entry.size && known->second.modified == entry.modified)
            entry.summary = known->second.summary;
        else
            entry.summary = RecordStore::summarize(*it);
        m_summaries.push_back(entry.summary);
        cache.emplace(*it, std::move(entry));
    }
    m_cache = std::move(cache);
    m_items = recordListWithChain(m_summaries, store.keptChainEnd());
    endResetModel();
}

QString DrawRecordListModel::pathAt(int row) const
{
    const RecordSummary* summary = summaryAt(row);
    return summary ? QString::fromStdString(summary->path) : QString();
}

int DrawRecordListModel::rowOf(const QString& path) const
{
    const std::string wanted = path.toStdString();
    for (int row = 0; row < rowCount(); ++row)
        if (const RecordSummary* summary = summaryAt(row); summary && summary->path == wanted)
            return row;
    return -1;
}

} // namespace kuji
