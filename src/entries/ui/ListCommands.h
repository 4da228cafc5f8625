#pragma once

#include <QObject>

class QAbstractItemView;
class QEvent;
class QMenu;

namespace kuji {

class EditableList;
class Platform;
enum class ListOrder;

// The editing commands of a result list: select all, copy, delete and the three sorts, with
// the list's own keys (Ctrl+A and every copy key, whatever other modifiers are held) and its
// popup menu. The window owns one per list and connects its actions to it; each command runs
// with the wait cursor, works on full texts and keeps the user's selection across a sort.
class ListCommands final : public QObject {
    Q_OBJECT
public:
    // popup opens on a right click over the list while it holds rows; may be null.
    ListCommands(
        QAbstractItemView* view, EditableList& list, Platform& platform, QMenu* popup, QObject* parent = nullptr);

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
};

} // namespace kuji
