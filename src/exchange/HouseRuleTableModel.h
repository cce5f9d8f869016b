#pragma once

// The household's import rules as the rules window's grid shows them. Columns:
// 0 the rule's place in the order (fixed), 1 the text the concept must contain,
// 2 the account.

#include "exchange/HouseRules.h"
#include "ui/GridTableModel.h"

namespace velmora {

class HouseRuleTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn = 0, TextColumn, AccountColumn, ColumnCount };

    explicit HouseRuleTableModel(const Palette& palette, QObject* parent = nullptr);

    void setRules(const HouseRules& rules);
    const HouseRules& rules() const { return rules_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return int(rules_.rules.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    HouseRules rules_;
};

} // namespace velmora
