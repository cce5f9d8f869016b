#include "analysis/BalanceTableModel.h"

#include "store/AccountStore.h"

namespace velmora {

BalanceTableModel::BalanceTableModel(const Palette& palette, Rows rows, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent), kind_(rows) {}

void BalanceTableModel::setAccounts(std::vector<AccountFigures> accounts) {
    replaceRows([&] {
        accounts_ = std::move(accounts);
        figures_.clear();
        for (const AccountFigures& account : accounts_) {
            figures_.push_back(account.figure());
        }
    });
}

const AmountTotal* BalanceTableModel::figure(int row, int column) const {
    const AccountFigures& account = accounts_[static_cast<size_t>(row)];
    switch (column) {
    case OpeningColumn:
        return kind_ == Rows::Cash ? &account.opening : nullptr;
    case InColumn:
        return &account.moneyIn;
    case OutColumn:
        return &account.moneyOut;
    case FigureColumn:
        return &figures_[static_cast<size_t>(row)];
    default:
        return nullptr;
    }
}

QVariant BalanceTableModel::cell(int row, int column, int role) const {
    const AccountFigures& account = accounts_[static_cast<size_t>(row)];
    const AmountTotal* amount = figure(row, column);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == NameColumn) {
            return account.account;
        }
        return amount != nullptr ? amount->text() : kindWord(account.kind);
    case Qt::BackgroundRole:
        return palette().band(row);
    case Qt::ForegroundRole:
        if (amount != nullptr && amount->cents().value_or(0) < 0) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((amount != nullptr ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags BalanceTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = GridTableModel::flags(index);
    if (kind_ == Rows::Cash && index.column() == OpeningColumn) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool BalanceTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    emit openingTyped(accounts_[static_cast<size_t>(index.row())].account, value.toString());
    return true;
}

QVariant BalanceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    const bool cash = kind_ == Rows::Cash;
    switch (section) {
    case NameColumn:
        return QStringLiteral("Cuenta");
    case OpeningColumn:
        return cash ? QStringLiteral("Saldo inicial") : QStringLiteral("Tipo");
    case InColumn:
        return QStringLiteral("Entradas");
    case OutColumn:
        return QStringLiteral("Salidas");
    case FigureColumn:
        return cash ? QStringLiteral("Saldo") : QStringLiteral("Total");
    default:
        return {};
    }
}

} // namespace velmora
