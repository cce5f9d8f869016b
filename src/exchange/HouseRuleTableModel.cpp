#include "exchange/HouseRuleTableModel.h"

#include <QStringList>

namespace velmora {

HouseRuleTableModel::HouseRuleTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void HouseRuleTableModel::setRules(const HouseRules& rules) {
    replaceRows([&] { rules_ = rules; });
}

QVariant HouseRuleTableModel::cell(int row, int column, int role) const {
    if (role != Qt::DisplayRole) {
        return numberedListLook(row, column, role);
    }
    const HouseRule& rule = rules_.rules[row];
    switch (column) {
    case LineColumn:
        return QString::number(row + 1);
    case TextColumn:
        return rule.contains;
    case AccountColumn:
        return rule.account;
    default:
        return {};
    }
}

QVariant HouseRuleTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList titles = {QStringLiteral("Nº"), QStringLiteral("El concepto contiene"),
                                       QStringLiteral("Cuenta")};
    return listHeader(titles, section, orientation, role);
}

} // namespace velmora
