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

void selectLineAtTop(QTableView& grid, int line, int column) {
    const int rows = grid.model()->rowCount();
    if (rows < 1) {
        return;
    }
    const QModelIndex index = grid.model()->index(std::clamp(line, 1, rows) - 1, column);
    grid.setCurrentIndex(index);
    grid.scrollTo(index, QAbstractItemView::PositionAtTop);
}

} // namespace velmora
