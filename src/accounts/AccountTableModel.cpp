#include "accounts/AccountTableModel.h"

namespace velmora {

AccountTableModel::AccountTableModel(const Palette& palette, QObject* parent)
    : PaintedTableModel(palette, parent) {}

void AccountTableModel::setAccounts(std::vector<Account> accounts) {
    beginResetModel();
    accounts_ = std::move(accounts);
    endResetModel();
}

int AccountTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(accounts_.size());
}

int AccountTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || accounts_.empty() ? 0 : ColumnCount;
}

QVariant AccountTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Account& account = accounts_[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case LineColumn:
            return QString::number(index.row() + 1);
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
        return palette().band(index.row());
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
