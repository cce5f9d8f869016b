#include "ui/EntryTableModel.h"

#include "startup/AppState.h"
#include "ui/Formats.h"

#include <QColor>

namespace velmora {

namespace {
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kFixed(240, 240, 240);
} // namespace

EntryTableModel::EntryTableModel(const AppState& state, QObject* parent)
    : QAbstractTableModel(parent), state_(state) {}

void EntryTableModel::setList(EntryList list) {
    beginResetModel();
    list_ = std::move(list);
    endResetModel();
}

int EntryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int EntryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || list_.empty() ? 0 : ColumnCount;
}

QVariant EntryTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const EntryRow& row = list_[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case IdColumn:
            return row.id;
        case ClassColumn:
            return list_.text(row.movementClass);
        case LineColumn:
            return index.row() + 1;
        case DateColumn:
            return row.date.isValid() ? formatDate(row.date) : QString();
        case DescriptionColumn:
            return list_.description(row);
        case GoesIntoColumn:
            return list_.text(row.goesInto);
        case ComesOutOfColumn:
            return list_.text(row.comesOutOf);
        case AmountColumn:
            return row.hasAmount ? formatAmount(row.amount) : QString();
        default:
            return {};
        }
    case Qt::BackgroundRole:
        if (column < DateColumn) {
            return kFixed;
        }
        // Line 1 white, line 2 in the main colour, and so on.
        return (index.row() % 2 == 1) ? state_.mainColor() : kWhite;
    case Qt::ForegroundRole:
        if (column == AmountColumn && row.isExpense) {
            return kRed;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == AmountColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (column >= DateColumn) {
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant EntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        if (section == AmountColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case DateColumn:
        return QStringLiteral("Fecha");
    case DescriptionColumn:
        return QStringLiteral("Concepto");
    case GoesIntoColumn:
        return QStringLiteral("Entra en  ...");
    case ComesOutOfColumn:
        return QStringLiteral("Sale de ...");
    case AmountColumn:
        return QStringLiteral("Importe");
    default:
        return QString();
    }
}

} // namespace velmora
