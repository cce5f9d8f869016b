#pragma once

// The budget window's grid: 0 account, 1 budget, 2 actual, 3 difference. The
// income accounts under their heading with their total, then the expense accounts
// with theirs, and the result of both last. Negative differences, the ones that
// are bad news, in the negative colour; headings and totals in bold.

#include "budget/BudgetFigures.h"
#include "ui/GridTableModel.h"

#include <optional>
#include <vector>

namespace velmora {

class BudgetTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, BudgetColumn, ActualColumn, DifferenceColumn, ColumnCount };
    enum class RowKind { Heading, Account, Total, Overall };

    struct Row {
        RowKind kind = RowKind::Account;
        BudgetSide side = BudgetSide::Income;
        // The account's place in its side of the year, for an account row.
        std::optional<size_t> account;
        BudgetLine line;
    };

    explicit BudgetTableModel(const Palette& palette, QObject* parent = nullptr);

    void setSheet(const BudgetSheet& sheet);
    const std::vector<Row>& lines() const { return rows_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return static_cast<int>(rows_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    std::vector<Row> rows_;
};

} // namespace velmora
