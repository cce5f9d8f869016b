#include "accounts/AccountTableModel.h"

#include <QStringList>

namespace velmora {

AccountTableModel::AccountTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void AccountTableModel::setAccounts(std::vector<Account> accounts) {
    replaceRows([&] { accounts_ = std::move(accounts); });
}

QVariant AccountTableModel::cell(int row, int column, int role) const {
    if (role != Qt::DisplayRole) {
        return numberedListLook(row, column, role);
    }
    const Account& account = accounts_[static_cast<size_t>(row)];
    switch (column) {
    case LineColumn:
        return QString::number(row + 1);
    case NameColumn:
        return account.name;
    case ConceptColumn:
        return account.description;
    case KindColumn:
        return kindWord(account.kind);
    default:
        return {};
    }
}

QVariant AccountTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList titles = {QString(), QStringLiteral("Nombre"),
                                       QStringLiteral("Concepto"), QStringLiteral("TIPO")};
    return listHeader(titles, section, orientation, role);
}

} // namespace velmora
