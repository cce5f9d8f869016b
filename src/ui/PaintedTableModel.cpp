#include "ui/PaintedTableModel.h"

namespace velmora {

PaintedTableModel::PaintedTableModel(const Palette& palette, QObject* parent)
    : QAbstractTableModel(parent), palette_(palette) {
    connect(&palette, &Palette::changed, this, [this] {
        const int rows = rowCount();
        const int columns = columnCount();
        if (rows > 0 && columns > 0) {
            emit dataChanged(index(0, 0), index(rows - 1, columns - 1),
                             {Qt::BackgroundRole, Qt::ForegroundRole});
        }
    });
}

} // namespace velmora
