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
    : GridTableModel(palette, ColumnCount, parent) {}

void StatisticsTableModel::setTable(MonthlyTable table) {
    replaceRows([&] { table_ = std::move(table); });
}

QVariant StatisticsTableModel::cell(int line, int column, int role) const {
    const bool totalsRow = line == table_.rowCount() - 1;
    switch (role) {
    case Qt::DisplayRole: {
        const StatisticsRow& row = table_.row(line);
        if (column == LineColumn) {
            return totalsRow ? QString() : QString::number(line + 1);
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
        return palette().band(line);
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
