#include "receipts/DueReceiptModel.h"

#include "store/Amount.h"
#include "store/Formats.h"

#include <QStringList>

namespace velmora {

DueReceiptModel::DueReceiptModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void DueReceiptModel::setDue(const std::vector<DueReceipt>& due) {
    replaceRows([&] {
        pending_.clear();
        for (const DueReceipt& receipt : due) {
            pending_.push_back(
                {receipt, receipt.due, receipt.receipt.cents, receipt.receipt.cents.has_value()});
        }
    });
}

void DueReceiptModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void DueReceiptModel::setTicked(int row, bool ticked) {
    pending_[size_t(row)].ticked = ticked;
    rowChanged(row);
}

void DueReceiptModel::setDate(int row, const QDate& date) {
    pending_[size_t(row)].date = date;
    rowChanged(row);
}

void DueReceiptModel::setCents(int row, std::optional<qint64> cents) {
    pending_[size_t(row)].cents = cents;
    pending_[size_t(row)].ticked = pending_[size_t(row)].ticked || cents.has_value();
    rowChanged(row);
}

std::vector<ReceiptWrite> DueReceiptModel::writes() const {
    std::vector<ReceiptWrite> writes;
    for (const PendingReceipt& receipt : pending_) {
        if (receipt.ticked && receipt.cents) {
            writes.push_back(
                {receipt.due.receipt.id, receipt.due.due, receipt.date, *receipt.cents});
        }
    }
    return writes;
}

std::optional<int> DueReceiptModel::firstWithoutAmount() const {
    for (size_t row = 0; row < pending_.size(); ++row) {
        if (pending_[row].ticked && !pending_[row].cents) {
            return int(row);
        }
    }
    return std::nullopt;
}

Qt::ItemFlags DueReceiptModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = GridTableModel::flags(index);
    if (index.column() == TickColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool DueReceiptModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != TickColumn || index.row() >= rows()) {
        return false;
    }
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant DueReceiptModel::cell(int row, int column, int role) const {
    const PendingReceipt& receipt = pending_[size_t(row)];
    if (role == Qt::CheckStateRole) {
        return column == TickColumn ? (receipt.ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && column == AmountColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    // The description may be cut to the column's width.
    if (role == Qt::ToolTipRole && column == DescriptionColumn) {
        return receipt.due.receipt.description;
    }
    if (role != Qt::DisplayRole) {
        return numberedListLook(row, column, role);
    }
    switch (column) {
    case DueColumn:
        return formatDate(receipt.due.due);
    case DescriptionColumn:
        return receipt.due.receipt.description;
    case GoesIntoColumn:
        return receipt.due.receipt.goesInto;
    case ComesOutOfColumn:
        return receipt.due.receipt.comesOutOf;
    case DateColumn:
        return formatDate(receipt.date);
    case AmountColumn:
        return receipt.cents ? formatCents(*receipt.cents) : QStringLiteral("¿importe?");
    default:
        return {};
    }
}

QVariant DueReceiptModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList titles = {QStringLiteral("Apuntar"),     QStringLiteral("Vence"),
                                       QStringLiteral("Descripción"), QStringLiteral("Entra en"),
                                       QStringLiteral("Sale de"),     QStringLiteral("Fecha"),
                                       QStringLiteral("Importe")};
    return listHeader(titles, section, orientation, role);
}

} // namespace velmora
