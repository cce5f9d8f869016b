#include "accounts/AccountTableModel.h"

namespace velmora {

AccountTableModel::AccountTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void AccountTableModel::setAccounts(std::vector<Account> accounts) {
    replaceRows([&] { accounts_ = std::move(accounts); });
}

QVariant AccountTableModel::cell(int row, int column, int role) const {
    const Account& account = accounts_[static_cast<size_t>(row)];
    switch (role) {
    case Qt::DisplayRole:
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
    case Qt::BackgroundRole:
        if (column == LineColumn) {
            return Palette::fixedCells();
        }
        return palette().band(row);
    case Qt::TextAlignmentRole:
        if (column != LineColumn) {
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant AccountTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case NameColumn:
        return QStringLiteral("Nombre");
    case ConceptColumn:
        return QStringLiteral("Concepto");
    case KindColumn:
        return QStringLiteral("TIPO");
    default:
        return QString();
    }
}

} // namespace velmora
