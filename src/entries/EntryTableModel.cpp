#include "entries/EntryTableModel.h"

#include "store/Amount.h"
#include "store/Formats.h"

namespace velmora {

QVariant entryCell(const EntryList& list, const EntryRow& row, EntryField field, int role) {
    const EntryMovement& movement = list.movement(row);
    switch (role) {
    case Qt::DisplayRole:
        switch (field) {
        case EntryField::Date:
            return row.day == EntryRow::kNoDay ? QString() : formatDate(row.date());
        case EntryField::Description:
            return list.description(row);
        case EntryField::GoesInto:
            return list.text(movement.goesInto);
        case EntryField::ComesOutOf:
            return list.text(movement.comesOutOf);
        case EntryField::Amount:
            return formatAmount(row.amount);
        }
        return {};
    case Qt::ForegroundRole:
        if (field == EntryField::Amount && movement.isExpense) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((field == EntryField::Amount ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    default:
        return {};
    }
}

EntryTableModel::EntryTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void EntryTableModel::setList(EntryList list) {
    replaceRows([&] { list_ = std::move(list); });
}

QVariant EntryTableModel::cell(int line, int column, int role) const {
    const EntryRow& row = list_[static_cast<size_t>(line)];
    if (column >= DateColumn) {
        if (role == Qt::BackgroundRole) {
            return palette().band(line);
        }
        return entryCell(list_, row, EntryField(column - DateColumn), role);
    }
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case IdColumn:
            return row.id;
        case ClassColumn:
            return list_.text(list_.movement(row).movementClass);
        case LineColumn:
            return line + 1;
        default:
            return {};
        }
    case Qt::BackgroundRole:
        return Palette::fixedCells();
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
