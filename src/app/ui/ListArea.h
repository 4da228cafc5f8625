#pragma once

#include <QObject>

#include <functional>

class QGridLayout;
class QTableView;
class QWidget;

namespace kuji {

class EntryListModel;
class ProgressPanel;
class ResultListModel;

// The rectangle of the main window that the result list lvwKekka, the work list lvwSagyo and
// the progress frame share: one of them shows at a time. While work runs the progress frame
// takes the place; afterwards the list that belongs to the moment comes back.
class ListArea final : public QObject {
    Q_OBJECT
public:
    // resultsWanted tells whether the results (after a draw, or in number mode) or the work
    // list belong on show.
    ListArea(QWidget* parent, ResultListModel& results, EntryListModel& entries, std::function<bool()> resultsWanted);

    QGridLayout* layout() const { return m_layout; }
    // Shows the list that belongs to the moment, its text column fitted.
    void showCurrent();
    // Fits both lists' text columns to their contents and captions.
    void fitColumns();

    QTableView* lvwKekka = nullptr;
    QTableView* lvwSagyo = nullptr;
    ProgressPanel* fraProgressbar = nullptr;

private:
    std::function<bool()> m_resultsWanted;
    QTableView* m_hadKeyboard = nullptr;
    QGridLayout* m_layout = nullptr;
};

} // namespace kuji
