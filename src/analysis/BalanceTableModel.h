#pragma once

// The accounts of the balances window as its two grids show them. The cash grid:
// 0 name, 1 opening balance (typed in place), 2 money in, 3 money out, 4 balance.
// The income and expense grid: 0 name, 1 kind, 2 money in, 3 money out, 4 total.
// Negative figures in the negative colour.

#include "analysis/AccountBalances.h"
#include "ui/GridTableModel.h"

#include <vector>

namespace velmora {

class BalanceTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum class Rows { Cash, IncomeAndExpense };
    enum Column {
        NameColumn = 0,
        OpeningColumn,
        KindColumn = OpeningColumn,
        InColumn,
        OutColumn,
        FigureColumn,
        ColumnCount
    };

    BalanceTableModel(const Palette& palette, Rows rows, QObject* parent = nullptr);

    void setAccounts(std::vector<AccountFigures> accounts);
    const std::vector<AccountFigures>& accounts() const { return accounts_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands the text typed as an opening balance to the window, which checks and
    // stores it and reloads the grid; nothing changes here.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void openingTyped(const QString& account, const QString& text);

protected:
    int rows() const override { return static_cast<int>(accounts_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    // The amount a cell shows; none for the name and the kind.
    const AmountTotal* figure(int row, int column) const;

    Rows kind_;
    std::vector<AccountFigures> accounts_;
    std::vector<AmountTotal> figures_; // figure() of each account, made once
};

} // namespace velmora
