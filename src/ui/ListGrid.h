#pragma once

// What the list windows' grids share: whole-row selection, no editing in place,
// Tab leaving the grid, fixed row heights, and a header hidden while the list is
// empty.

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace velmora {

QTableView* makeListGrid(QWidget* parent, QAbstractItemModel* model, const char* name);

// After a reload: the header shows only over rows, and the first row becomes
// current at `column`.
void showReloadedGrid(QTableView& grid, int column);

} // namespace velmora
