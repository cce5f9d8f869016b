#include "ui/ListGrid.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace velmora {

QTableView* makeListGrid(QWidget* parent, QAbstractItemModel* model, const char* name) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    // Tab leaves the grid for the next control instead of walking its cells.
    grid->setTabKeyNavigation(false);
    grid->setCornerButtonEnabled(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}

void setColumnWidthToFit(QTableView& grid, int column, int minimum, const QList<int>& rows) {
    int cells = 0;
    for (int row : rows) {
        cells = std::max(cells, grid.sizeHintForIndex(grid.model()->index(row, column)).width());
    }
    // A cell is drawn one grid line narrower than its column.
    const int gridLine = grid.showGrid() ? 1 : 0;
    grid.setColumnWidth(column, std::max({minimum, grid.horizontalHeader()->sectionSizeHint(column),
                                          cells + gridLine}));
}

QList<int> allRows(const QTableView& grid) {
    QList<int> rows;
    const int count = grid.model()->rowCount();
    rows.reserve(count);
    for (int row = 0; row < count; ++row) {
        rows.append(row);
    }
    return rows;
}

void showReloadedGrid(QTableView& grid, int column) {
    const bool rows = grid.model()->rowCount() > 0;
    grid.horizontalHeader()->setVisible(rows);
    if (rows) {
        grid.setCurrentIndex(grid.model()->index(0, column));
    }
}

} // namespace velmora
