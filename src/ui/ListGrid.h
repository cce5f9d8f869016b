#pragma once

// What the list windows' grids share: whole-row selection, no editing in place,
// Tab leaving the grid, fixed row heights, and a header hidden while the list is
// empty.

#include <QList>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace velmora {

QTableView* makeListGrid(QWidget* parent, QAbstractItemModel* model, const char* name);

// After a reload: the header shows only over rows, and the first row becomes
// current at `column`.
void showReloadedGrid(QTableView& grid, int column);

// Sets the width of `column` to `minimum`, or wider where the header or the cell
// of one of `rows` (counted from 0) would otherwise be cut. The grid scrolls
// sideways when the columns pass its width, so no figure is ever elided.
void setColumnWidthToFit(QTableView& grid, int column, int minimum, const QList<int>& rows);

// Every row of the grid, to fit a small table's columns whole.
QList<int> allRows(const QTableView& grid);

} // namespace velmora
