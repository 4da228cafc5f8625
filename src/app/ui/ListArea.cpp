#include "app/ui/ListArea.h"

#include "common/ui/EntryListModel.h"
#include "common/ui/ProgressPanel.h"
#include "common/ui/WindowParts.h"
#include "entries/ui/ResultListModel.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QTableView>

namespace kuji {
namespace {

// A list of the main window; the sequence key column exists for ordering only and is never
// seen.
QTableView* makeListView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    QTableView* view = makeRowList(name, model, parent);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setColumnHidden(EntryListModel::KeyColumn, true);
    return view;
}

} // namespace

ListArea::ListArea(
    QWidget* parent, ResultListModel& results, EntryListModel& entries, std::function<bool()> resultsWanted)
    : QObject(parent)
    , m_resultsWanted(std::move(resultsWanted))
{
    lvwKekka = makeListView("lvwKekka", &results, parent);
    lvwSagyo = makeListView("lvwSagyo", &entries, parent);
    lvwSagyo->hide();
    // Screen readers call each list by its column's caption.
    lvwKekka->setAccessibleName(QStringLiteral("抽選結果"));
    lvwSagyo->setAccessibleName(QStringLiteral("ファイルの内容"));
    fraProgressbar = new ProgressPanel(parent);
    connect(fraProgressbar, &ProgressPanel::visibilityChanged, this, [this](bool shown) {
        if (shown) {
            // A table hidden with the keyboard on it keeps the keyboard and loses all but one
            // of its selected rows: the keyboard leaves it first, and comes back afterwards.
            m_hadKeyboard = lvwKekka->hasFocus() ? lvwKekka : lvwSagyo->hasFocus() ? lvwSagyo : nullptr;
            if (m_hadKeyboard)
                m_hadKeyboard->clearFocus();
            lvwSagyo->hide();
            lvwKekka->hide();
        } else {
            showCurrent();
            if (m_hadKeyboard && m_hadKeyboard->isVisible())
                m_hadKeyboard->setFocus();
            m_hadKeyboard = nullptr;
        }
    });
    m_layout = new QGridLayout;
    m_layout->addWidget(lvwKekka, 0, 0);
    m_layout->addWidget(lvwSagyo, 0, 0);
    m_layout->addWidget(fraProgressbar, 0, 0);
}

void ListArea::showCurrent()
{
    const bool results = m_resultsWanted();
    QTableView* shown = results ? lvwKekka : lvwSagyo;
    (results ? lvwSagyo : lvwKekka)->hide();
    shown->resizeColumnToContents(EntryListModel::TextColumn);
    shown->show();
}

void ListArea::fitColumns()
{
    lvwSagyo->resizeColumnToContents(EntryListModel::TextColumn);
    lvwKekka->resizeColumnToContents(EntryListModel::TextColumn);
}

} // namespace kuji
