#include "app/ui/ListArea.h"

#include "common/ui/EntryListModel.h"
#include "common/ui/ProgressPanel.h"
#include "entries/ui/ResultListModel.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QTreeView>

namespace kuji {
namespace {

QTreeView* makeListView(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTextElideMode(Qt::ElideNone);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    // The sequence key column exists for ordering only and is never seen.
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
            lvwSagyo->hide();
            lvwKekka->hide();
        } else {
            showCurrent();
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
    QTreeView* shown = results ? lvwKekka : lvwSagyo;
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
