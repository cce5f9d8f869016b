#include "ui/GridTableModel.h"

#include "ui/Contrast.h"

#include <QStringList>

namespace velmora {

GridTableModel::GridTableModel(const Palette& palette, int columns, QObject* parent)
    : QAbstractTableModel(parent), palette_(palette), columns_(columns) {
    connect(&palette, &Palette::changed, this, [this] {
        const int rows = rowCount();
        const int columns = columnCount();
        if (rows > 0 && columns > 0) {
            emit dataChanged(index(0, 0), index(rows - 1, columns - 1),
                             {Qt::BackgroundRole, Qt::ForegroundRole});
        }
    });
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows();
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || rows() == 0 ? 0 : columns_;
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::ForegroundRole) {
        return readableCellText(cell(index.row(), index.column(), Qt::BackgroundRole),
                                cell(index.row(), index.column(), role));
    }
    return cell(index.row(), index.column(), role);
}

QVariant GridTableModel::numberedListLook(int row, int column, int role) const {
    switch (role) {
    case Qt::BackgroundRole:
        return column == 0 ? Palette::fixedCells() : palette_.band(row);
    case Qt::TextAlignmentRole:
        if (column != 0) {
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant GridTableModel::listHeader(const QStringList& titles, int section,
                                    Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    return titles.value(section);
}

} // namespace velmora
