#pragma once

// An account's register as its window's grid shows it: the opening balance on
// the first line, then one line per entry. Columns: 0 date, 1 description, 2 the
// other account, 3 money in, 4 money out, 5 the balance after the line.

#include "analysis/AccountRegister.h"
#include "ui/GridTableModel.h"

#include <optional>

namespace velmora {

class RegisterTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column {
        DateColumn = 0,
        DescriptionColumn,
        OtherAccountColumn,
        InColumn,
        OutColumn,
        BalanceColumn,
        ColumnCount
    };

    explicit RegisterTableModel(const Palette& palette, QObject* parent = nullptr);

    void setRegister(AccountRegister accountRegister);
    const AccountRegister& accountRegister() const { return register_; }
    // The entry on grid row `row`; nothing on the opening balance's line.
    std::optional<qint64> entryAt(int row) const;
    // Grid rows, counted from 0, of the longest figures, to size their columns.
    QList<int> widestRows() const;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override;
    QVariant cell(int row, int column, int role) const override;

private:
    AccountRegister register_;
};

} // namespace velmora
