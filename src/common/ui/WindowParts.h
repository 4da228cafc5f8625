#pragma once

class QAbstractItemModel;
class QFrame;
class QTableView;
class QWidget;

namespace kuji {

// The etched line every window of the program draws across itself just below its toolbar.
QFrame* makeEtchedLine(QWidget* parent);

// A list of rows as the program's windows show them: whole rows selected, no grid, no
// editing, left-aligned headers that stay in place, and rows of one height that are never
// laid out one by one, so a million of them show at once.
QTableView* makeRowList(const char* name, QAbstractItemModel* model, QWidget* parent);

} // namespace kuji
