#pragma once

// The account list as the account window's grid shows it. Columns: 0 row number
// (fixed), 1 name, 2 concept, 3 kind in words.

#include "store/AccountStore.h"
#include "ui/GridTableModel.h"

#include <vector>

namespace velmora {

class AccountTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn = 0, NameColumn, ConceptColumn, KindColumn, ColumnCount };

    explicit AccountTableModel(const Palette& palette, QObject* parent = nullptr);

    void setAccounts(std::vector<Account> accounts);
    const std::vector<Account>& accounts() const { return accounts_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return static_cast<int>(accounts_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    std::vector<Account> accounts_;
};

} // namespace velmora
