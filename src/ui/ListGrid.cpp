#include "ui/ListGrid.h"

#include <QHeaderView>
#include <QTableView>

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

void showReloadedGrid(QTableView& grid, int column) {
    const bool rows = grid.model()->rowCount() > 0;
    grid.horizontalHeader()->setVisible(rows);
    if (rows) {
        grid.setCurrentIndex(grid.model()->index(0, column));
    }
}

} // namespace velmora
