#include "entries/EntryTableModel.h"

#include "store/Amount.h"
#include "ui/Formats.h"

namespace velmora {

EntryTableModel::EntryTableModel(const Palette& palette, QObject* parent)
    : PaintedTableModel(palette, parent) {}

void EntryTableModel::setList(EntryList list) {
    beginResetModel();
    list_ = std::move(list);
    endResetModel();
}

int EntryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int EntryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || list_.empty() ? 0 : ColumnCount;
}

QVariant EntryTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const EntryRow& row = list_[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case IdColumn:
            return row.id;
        case ClassColumn:
            return list_.text(row.movementClass);
        case LineColumn:
            return index.row() + 1;
        case DateColumn:
            return row.date.isValid() ? formatDate(row.date) : QString();
        case DescriptionColumn:
            return list_.description(row);
        case GoesIntoColumn:
            return list_.text(row.goesInto);
        case ComesOutOfColumn:
            return list_.text(row.comesOutOf);
        case AmountColumn:
            return formatAmount(row.amount);
        default:
            return {};
        }
    case Qt::BackgroundRole:
        if (column < DateColumn) {
            return Palette::fixedCells();
        }
        return palette().band(index.row());
    case Qt::ForegroundRole:
        if (column == AmountColumn && row.isExpense) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == AmountColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (column >= DateColumn) {
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant EntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        if (section == AmountColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case DateColumn:
        return QStringLiteral("Fecha");
    case DescriptionColumn:
        return QStringLiteral("Concepto");
    case GoesIntoColumn:
        return QStringLiteral("Entra en  ...");
    case ComesOutOfColumn:
        return QStringLiteral("Sale de ...");
    case AmountColumn:
        return QStringLiteral("Importe");
    default:
        return QString();
    }
}

} // namespace velmora
