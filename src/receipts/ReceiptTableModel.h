#pragma once

// The recurring receipts as the receipts window's grid shows them, in the order
// they were made.

#include "receipts/ReceiptStore.h"
#include "ui/GridTableModel.h"

#include <vector>

namespace velmora {

// "Cada mes", "Cada 3 meses", "Cada año".
QString frequencyText(int everyMonths);
// The amount, or "varía" when it is asked each time.
QString receiptAmountText(const Receipt& receipt);

class ReceiptTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column {
        LineColumn = 0,
        DescriptionColumn,
        GoesIntoColumn,
        ComesOutOfColumn,
        AmountColumn,
        FrequencyColumn,
        DayColumn,
        FirstColumn,
        LastColumn,
        ColumnCount
    };

    explicit ReceiptTableModel(const Palette& palette, QObject* parent = nullptr);

    void setReceipts(std::vector<Receipt> receipts);
    const std::vector<Receipt>& receipts() const { return receipts_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return int(receipts_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    std::vector<Receipt> receipts_;
};

} // namespace velmora
