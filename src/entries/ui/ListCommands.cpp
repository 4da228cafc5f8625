#include "entries/ui/ListCommands.h"

#include "common/ui/CommandWork.h"
#include "common/ui/Platform.h"
#include "common/ui/WaitCursor.h"
#include "entries/ListJobs.h"
#include "entries/ui/EditableList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>

namespace kuji {
namespace {

// Ctrl+A with any other modifiers; A alone is the view's type-ahead.
bool isSelectAllKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier);
}

// Ctrl+C with any other modifiers, and every other key the desktop treats as Copy.
bool isCopyKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier)) || key->matches(QKeySequence::Copy);
}

} // namespace

// The view's selection as rows, and back: the view keeps ranges, the commands whole rows.
class ListCommands::Selection {
public:
    static RowSelection read(const QAbstractItemView* view, std::size_t rows)
    {
        RowSelection selected(rows);
        for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
            const int top = std::max(range.top(), 0);
            const int bottom = std::min(range.bottom(), static_cast<int>(rows) - 1);
            if (top <= bottom)
                selected.selectRange(static_cast<std::size_t>(top), static_cast<std::size_t>(bottom));
        }
        return selected;
    }

    static void write(QAbstractItemView* view, const RowSelection& selected)
    {
        QAbstractItemModel* model = view->model();
        const int lastColumn = model->columnCount() - 1;
        QItemSelection ranges;
        for (const auto& [first, last] : selected.ranges())
            ranges.select(model->index(static_cast<int>(first), 0), model->index(static_cast<int>(last), lastColumn));
        view->selectionModel()->select(ranges, QItemSelectionModel::ClearAndSelect);
    }
};

ListCommands::ListCommands(
    QAbstractItemView* view, EditableList& list, Platform& platform, QMenu* popup, WorkHost* host, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_viewport(view->viewport())
    , m_list(list)
    , m_platform(platform)
    , m_popup(popup)
    , m_host(host)
{
    m_view->installEventFilter(this);
    m_viewport->installEventFilter(this);
    m_view->setContextMenuPolicy(Qt::DefaultContextMenu);
}

bool ListCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool selectAllKey = isSelectAllKey(key);
        const bool copyKey = isCopyKey(key);
        if (!selectAllKey && !copyKey)
            return QObject::eventFilter(watched, event);
        // The list's keys win over any shortcut, and over the view's own copy of one row.
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            if (selectAllKey)
                selectAll();
            else
                copy();
        }
        return true;
    }
    if (watched == m_viewport && event->type() == QEvent::ContextMenu) {
        // Over an empty list nothing opens.
        if (m_popup && m_list.rows() > 0)
            m_popup->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ListCommands::selectAll()
{
    WaitCursor wait;
    // One range for the whole list: the tree view's own Select All walks every row.
    QAbstractItemModel* model = m_view->model();
    if (model->rowCount() > 0) {
        m_view->selectionModel()->select(
            QItemSelection(model->index(0, 0), model->index(model->rowCount() - 1, model->columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect);
    }
    m_view->setFocus();
}

void ListCommands::copy()
{
    RowSelection selected;
    {
        WaitCursor wait;
        selected = Selection::read(m_view, m_list.rows());
    }
    auto job = std::make_shared<ListCopyJob>(m_list.rows(), std::move(selected),
        [this](std::size_t row, std::string& scratch) { return m_list.rowTextView(row, scratch); });
    LongWork::Task task;
    task.step = [job](LongWork::Clock::time_point deadline) { return job->step(deadline); };
    task.progress = [this, job] {
        if (m_host)
            m_host->setWorkProgress(job->progress());
    };
    task.finished = [this, job](bool stopped) {
        // Nothing selected: the clipboard is emptied. Stopped: it stays as it was.
        if (!stopped)
            m_platform.setClipboardText(QString::fromStdString(job->takeText()));
    };
    runCommandWork(m_host, QStringLiteral("コピー中..."), 1000, std::move(task));
}

void ListCommands::deleteSelected()
{
    WaitCursor wait;
    const RowSelection selected = Selection::read(m_view, m_list.rows());
    if (selected.count() == 0)
        return;
    m_list.removeRows(selected);
}

void ListCommands::sort(ListOrder order)
{
    if (m_list.rows() == 0)
        return;
    RowSelection selected;
    QModelIndex current;
    {
        WaitCursor wait;
        selected = Selection::read(m_view, m_list.rows());
        current = m_view->currentIndex();
    }
    auto job = std::make_shared<ListSortJob>(
        m_list.rows(), order, [this](std::size_t row) { return m_list.rowKey(row); },
        [this](std::size_t row, std::string& scratch) { return m_list.rowTextView(row, scratch); });
    LongWork::Task task;
    task.step = [job](LongWork::Clock::time_point deadline) { return job->step(deadline); };
    task.progress = [this, job] {
        if (m_host)
            m_host->setWorkProgress(job->progress());
    };
    const int currentRow = current.isValid() ? current.row() : -1;
    const int currentColumn = current.isValid() ? current.column() : 0;
    task.finished = [this, job, selected = std::move(selected), currentRow, currentColumn](bool stopped) {
        // Stopped: the rows keep the order they had.
        if (stopped)
            return;
        WaitCursor wait;
        const RowOrder& applied = job->order();
        m_list.applyOrder(applied);
        // The same rows stay selected and current, wherever the sort put them: a later Copy
        // or Delete acts on what the user chose.
        if (currentRow >= 0 && static_cast<std::size_t>(currentRow) < applied.size()) {
            const RowOrder moved = inverseOrder(applied);
            m_view->selectionModel()->setCurrentIndex(
                m_view->model()->index(static_cast<int>(moved[static_cast<std::size_t>(currentRow)]), currentColumn),
                QItemSelectionModel::NoUpdate);
        }
        Selection::write(m_view, selected.reordered(applied));
    };
    runCommandWork(m_host, QStringLiteral("並べ替え中..."), 1000, std::move(task));
}

void ListCommands::sortDrawOrder()
{
    sort(ListOrder::DrawOrder);
}

void ListCommands::sortAscending()
{
    sort(ListOrder::Ascending);
}

void ListCommands::sortDescending()
{
    sort(ListOrder::Descending);
}

} // namespace kuji
