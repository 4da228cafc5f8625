#include "entries/ui/ListCommands.h"

#include "common/ui/Platform.h"
#include "common/ui/WaitCursor.h"
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
    QAbstractItemView* view, EditableList& list, Platform& platform, QMenu* popup, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_viewport(view->viewport())
    , m_list(list)
    , m_platform(platform)
    , m_popup(popup)
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
    m_view->selectAll();
    m_view->setFocus();
}

void ListCommands::copy()
{
    WaitCursor wait;
    const RowSelection selected = Selection::read(m_view, m_list.rows());
    // Nothing selected: the clipboard is emptied.
    m_platform.setClipboardText(QString::fromStdString(m_list.copyText(selected)));
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
    WaitCursor wait;
    const RowSelection selected = Selection::read(m_view, m_list.rows());
    const QModelIndex current = m_view->currentIndex();
    const RowOrder applied = m_list.sortRows(order);
    // The same rows stay selected and current, wherever the sort put them: a later Copy or
    // Delete acts on what the user chose.
    if (current.isValid() && static_cast<std::size_t>(current.row()) < applied.size()) {
        const RowOrder moved = inverseOrder(applied);
        m_view->selectionModel()->setCurrentIndex(
            m_view->model()->index(static_cast<int>(moved[static_cast<std::size_t>(current.row())]), current.column()),
            QItemSelectionModel::NoUpdate);
    }
    Selection::write(m_view, selected.reordered(applied));
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
