#include "analysis/StatisticsTableModel.h"

namespace velmora {

namespace {

QVariant figureAlignment() {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
}

QString shown(const std::optional<AmountTotal>& value) {
    return value ? value->text() : QString();
}

} // namespace

StatisticsTableModel::StatisticsTableModel(const Palette& palette, QObject* parent)
    : PaintedTableModel(palette, parent) {}

void StatisticsTableModel::setTable(MonthlyTable table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int StatisticsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount();
}

int StatisticsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || table_.empty() ? 0 : ColumnCount;
}

QVariant StatisticsTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const int column = index.column();
    const bool totalsRow = index.row() == table_.rowCount() - 1;
    switch (role) {
    case Qt::DisplayRole: {
        const StatisticsRow& row = table_.row(index.row());
        if (column == LineColumn) {
            return totalsRow ? QString() : QString::number(index.row() + 1);
        }
        if (column == NameColumn) {
            return row.name;
        }
        if (column == TotalColumn) {
            return shown(row.total);
        }
        return shown(row.months[static_cast<size_t>(column - JanuaryColumn)]);
    }
    case Qt::BackgroundRole:
        if (column == LineColumn) {
            return Palette::fixedCells();
        }
        // The totals row is banded like the rest.
        return palette().band(index.row());
    case Qt::TextAlignmentRole:
        if (column >= JanuaryColumn) {
            return figureAlignment();
        }
        if (column == NameColumn) {
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant StatisticsTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        if (section >= JanuaryColumn) {
            return figureAlignment();
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (section == NameColumn) {
        return QStringLiteral("Cuenta");
    }
    if (section == TotalColumn) {
        return QStringLiteral("TOTAL");
    }
    if (section >= JanuaryColumn && section < TotalColumn) {
        return monthName(section - JanuaryColumn + 1);
    }
    return QString();
}

} // namespace velmora
