#include "records/ui/DrawRecordListModel.h"

#include "records/DrawRecord.h"

#include <QStringList>

namespace kuji {

DrawRecordListModel::DrawRecordListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int DrawRecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DrawRecordListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DrawRecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const RecordSummary& r = m_rows[static_cast<std::size_t>(index.row())];
    if (!r.readable) {
        if (index.column() == DateColumn)
            return QStringLiteral("（読めない記録）");
        return {};
    }
    switch (index.column()) {
    case DateColumn:
        return QString::fromStdString(r.dateTime);
    case ModeColumn:
        return QString::fromUtf8(modeLabel(r.fileMode).data(), static_cast<qsizetype>(modeLabel(r.fileMode).size()));
    case CountColumn:
        return QString::fromStdString(r.count);
    case ResultCountColumn:
        return QString::number(r.resultCount);
    case FirstResultsColumn: {
        // Values only: round headers and the empty rows between rounds say nothing here.
        QStringList shown;
        for (const std::string& text : r.firstResults)
            if (!text.empty() && text.rfind("【", 0) != 0)
                shown << QString::fromStdString(text);
        QString joined = shown.join(QStringLiteral("、"));
        if (r.resultCount > r.firstResults.size())
            joined += QStringLiteral("、…");
        return joined;
    }
    default:
        return {};
    }
}

QVariant DrawRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
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
    default:
        return {};
    }
}

void DrawRecordListModel::reload(const RecordStore& store)
{
    beginResetModel();
    m_rows.clear();
    for (const std::string& path : store.list())
        m_rows.push_back(RecordStore::summarize(path));
    endResetModel();
}

QString DrawRecordListModel::pathAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return QString::fromStdString(m_rows[static_cast<std::size_t>(row)].path);
}

int DrawRecordListModel::rowOf(const QString& path) const
{
    const std::string wanted = path.toStdString();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].path == wanted)
            return static_cast<int>(i);
    return -1;
}

} // namespace kuji
