#pragma once

// What the list windows' grids share: whole-row selection, no editing in place,
// Tab leaving the grid, fixed row heights, and selecting a line again after an
// edit.

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace velmora {

QTableView* makeListGrid(QWidget* parent, QAbstractItemModel* model, const char* name);

// Makes line `line` (1 = first) current at `column` and scrolls it to the top; a
// list that became shorter selects its last line. An empty list is left alone.
void selectLineAtTop(QTableView& grid, int line, int column);

} // namespace velmora
