#pragma once

// The receipts waiting to be written, as the pending window shows them: each
// ticked or not, with the date and amount it will be written with. Those with an
// amount start ticked; one whose amount varies waits until it is typed.

#include "receipts/ReceiptStore.h"
#include "ui/GridTableModel.h"

#include <optional>
#include <vector>

namespace velmora {

struct PendingReceipt {
    DueReceipt due;
    QDate date;                  // written on; its due date unless corrected
    std::optional<qint64> cents; // nothing until typed when the amount varies
    bool ticked = false;
};

class DueReceiptModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column {
        TickColumn = 0,
        DueColumn,
        DescriptionColumn,
        GoesIntoColumn,
        ComesOutOfColumn,
        DateColumn,
        AmountColumn,
        ColumnCount
    };

    explicit DueReceiptModel(const Palette& palette, QObject* parent = nullptr);

    void setDue(const std::vector<DueReceipt>& due);
    const std::vector<PendingReceipt>& pending() const { return pending_; }

    void setTicked(int row, bool ticked);
    void setDate(int row, const QDate& date);
    // Typing an amount ticks the receipt; nothing is an amount that cannot be used.
    void setCents(int row, std::optional<qint64> cents);

    // The ticked ones as they are to be written.
    std::vector<ReceiptWrite> writes() const;
    // The first ticked one without an amount.
    std::optional<int> firstWithoutAmount() const;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return int(pending_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    void rowChanged(int row);

    std::vector<PendingReceipt> pending_;
};

} // namespace velmora
