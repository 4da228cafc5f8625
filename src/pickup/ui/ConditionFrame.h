#pragma once

#include "pickup/ConditionLists.h"

#include <QFrame>
#include <QString>

#include <array>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace kuji {

class ConditionListModel;
class Platform;
struct AddResult;

// The condition frame fraWordSet of the Pickup Record window: the four condition lists with
// their column and phrase boxes and their Add, Delete, Delete-all, Load and Save buttons.
// Every rule lives in ConditionLists; the frame passes the user's edits, clicks and keys to
// it and shows its state again after each one.
class ConditionFrame final : public QFrame {
    Q_OBJECT
public:
    ConditionFrame(Platform& platform, QWidget* parent = nullptr);
    ~ConditionFrame() override;

    const ConditionLists& lists() const { return m_lists; }
    // Fields of the record file loaded last: the largest column number Add takes.
    void setFieldCount(std::size_t fields) { m_lists.setFieldCount(fields); }
    // A click on the record or result list: no condition stays selected for Delete.
    void clearSelections();
    // The condition file a list was loaded from or saved to last; empty before that.
    QString filePath(ConditionListId list) const { return m_controls[index(list)].filePath; }

    // The controls of one list, for tests and for the window's layout.
    QTreeView* listView(ConditionListId list) const { return m_controls[index(list)].view; }

signals:
    // A list gained or lost conditions: Start may have become available or not.
    void conditionsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Controls {
        QLabel* label = nullptr;
        QTreeView* view = nullptr;
        // The view's viewport, kept apart: its last events arrive while the view is being
        // destroyed, when asking the view for it is no longer allowed.
        QWidget* viewport = nullptr;
        ConditionListModel* model = nullptr;
        QLineEdit* column = nullptr;
        QLineEdit* phrase = nullptr;
        QPushButton* add = nullptr;
        QPushButton* remove = nullptr;
        QPushButton* removeAll = nullptr;
        QPushButton* load = nullptr;
        QPushButton* save = nullptr;
        QString filePath;
    };

    static std::size_t index(ConditionListId list) { return static_cast<std::size_t>(list); }
    QGroupBox* makeGroup(const char* name, const QString& caption, ConditionListId left, ConditionListId right);
    QWidget* makeList(ConditionListId list, QWidget* parent);

    void add(ConditionListId list);
    void enterPressed(ConditionListId list);
    void report(const AddResult& result);
    bool askMove(const std::string& question);
    void deleteSelected(ConditionListId list);
    void deleteAll(ConditionListId list);
    void conditionClicked(ConditionListId list, int row);
    void conditionDoubleClicked(ConditionListId list, int row);
    void loadFile(ConditionListId list);
    void saveFile(ConditionListId list);

    // Shows the lists' state again: the rows of every list whose rows may have changed, the
    // box texts, the enabled buttons and the highlighted row.
    void refresh();
    void refreshRows(ConditionListId list);

    Platform& m_platform;
    ConditionLists m_lists;
    std::array<Controls, kConditionListCount> m_controls;
    bool m_refreshing = false;
};

} // namespace kuji
