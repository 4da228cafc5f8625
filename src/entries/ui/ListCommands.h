#pragma once

#include <QObject>

class QAbstractItemView;
class QEvent;
class QMenu;

namespace kuji {

class EditableList;
class Platform;
class WorkHost;
enum class ListOrder;

// The editing commands of a result list: select all, copy, delete and the three sorts, with
// the list's own keys (Ctrl+A and every copy key, whatever other modifiers are held) and its
// popup menu. The window owns one per list and connects its actions to it; each command runs
// with the wait cursor, works on full texts and keeps the user's selection across a sort.
// Sorting and copying a long list run as the window's long work (WorkHost), with progress
// and Stop: a stopped sort leaves the old order, a stopped copy the clipboard as it was.
class ListCommands final : public QObject {
    Q_OBJECT
public:
    // popup opens on a right click over the list while it holds rows; may be null. host runs
    // the long commands; without one they run to their end at once.
    ListCommands(QAbstractItemView* view, EditableList& list, Platform& platform, QMenu* popup, WorkHost* host,
        QObject* parent = nullptr);

    void selectAll();
    void copy();
    void deleteSelected();
    void sort(ListOrder order);
    void sortDrawOrder();
    void sortAscending();
    void sortDescending();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Selection;

    QAbstractItemView* m_view;
    // Kept apart from the view: the viewport's last events arrive while the view is being
    // destroyed, when asking the view for it is no longer allowed.
    QWidget* m_viewport;
    EditableList& m_list;
    Platform& m_platform;
    QMenu* m_popup;
    WorkHost* m_host;
};

} // namespace kuji
