#include "receipts/ReceiptTableModel.h"

#include "store/Amount.h"
#include "store/Formats.h"

#include <QStringList>

namespace velmora {

QString frequencyText(int everyMonths) {
    if (everyMonths == 1) {
        return QStringLiteral("Cada mes");
    }
    if (everyMonths == 12) {
        return QStringLiteral("Cada año");
    }
    return QStringLiteral("Cada %1 meses").arg(everyMonths);
}

QString receiptAmountText(const Receipt& receipt) {
    return receipt.cents ? formatCents(*receipt.cents) : QStringLiteral("varía");
}

ReceiptTableModel::ReceiptTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void ReceiptTableModel::setReceipts(std::vector<Receipt> receipts) {
    replaceRows([&] { receipts_ = std::move(receipts); });
}

QVariant ReceiptTableModel::cell(int row, int column, int role) const {
    const Receipt& receipt = receipts_[size_t(row)];
    if (role == Qt::TextAlignmentRole && (column == AmountColumn || column == DayColumn)) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    // The description may be cut to the column's width.
    if (role == Qt::ToolTipRole && column == DescriptionColumn) {
        return receipt.description;
    }
    if (role != Qt::DisplayRole) {
        return numberedListLook(row, column, role);
    }
    switch (column) {
    case LineColumn:
        return QString::number(row + 1);
    case DescriptionColumn:
        return receipt.description;
    case GoesIntoColumn:
        return receipt.goesInto;
    case ComesOutOfColumn:
        return receipt.comesOutOf;
    case AmountColumn:
        return receiptAmountText(receipt);
    case FrequencyColumn:
        return frequencyText(receipt.schedule.everyMonths);
    case DayColumn:
        return QString::number(receipt.schedule.day);
    case FirstColumn:
        return formatDate(receipt.schedule.first);
    case LastColumn:
        return receipt.schedule.last.isValid() ? formatDate(receipt.schedule.last) : QString();
    default:
        return {};
    }
}

QVariant ReceiptTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList titles = {
        QStringLiteral("Nº"),      QStringLiteral("Descripción"), QStringLiteral("Entra en"),
        QStringLiteral("Sale de"), QStringLiteral("Importe"),     QStringLiteral("Frecuencia"),
        QStringLiteral("Día"),     QStringLiteral("Desde"),       QStringLiteral("Hasta")};
    return listHeader(titles, section, orientation, role);
}

} // namespace velmora
