#include "entries/EntryTableModel.h"

#include "store/Amount.h"
#include "store/Formats.h"

namespace velmora {

EntryTableModel::EntryTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void EntryTableModel::setList(EntryList list) {
    replaceRows([&] { list_ = std::move(list); });
}

QVariant EntryTableModel::cell(int line, int column, int role) const {
    const EntryRow& row = list_[static_cast<size_t>(line)];
    const EntryMovement& movement = list_.movement(row);
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case IdColumn:
            return row.id;
        case ClassColumn:
            return list_.text(movement.movementClass);
        case LineColumn:
            return line + 1;
        case DateColumn:
            return row.day == EntryRow::kNoDay ? QString() : formatDate(row.date());
        case DescriptionColumn:
            return list_.description(row);
        case GoesIntoColumn:
            return list_.text(movement.goesInto);
        case ComesOutOfColumn:
            return list_.text(movement.comesOutOf);
        case AmountColumn:
            return formatAmount(row.amount);
        default:
            return {};
        }
    case Qt::BackgroundRole:
        if (column < DateColumn) {
            return Palette::fixedCells();
        }
        return palette().band(line);
    case Qt::ForegroundRole:
        if (column == AmountColumn && movement.isExpense) {
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
