#pragma once

// The account list as the account window's grid shows it. Columns: 0 row number
// (fixed), 1 name, 2 concept, 3 kind in words. An empty list has no columns
// either, so not even a header shows.

#include "store/AccountStore.h"
#include "ui/PaintedTableModel.h"

#include <vector>

namespace velmora {

class AccountTableModel : public PaintedTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn = 0, NameColumn, ConceptColumn, KindColumn, ColumnCount };

    explicit AccountTableModel(const Palette& palette, QObject* parent = nullptr);

    void setAccounts(std::vector<Account> accounts);
    const std::vector<Account>& accounts() const { return accounts_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<Account> accounts_;
};

} // namespace velmora
