#include "budget/BudgetTableModel.h"

#include <QFont>

namespace velmora {

namespace {

void addGroup(std::vector<BudgetTableModel::Row>& rows, const BudgetGroup& group, BudgetSide side,
              const QString& heading) {
    using Row = BudgetTableModel::Row;
    using Kind = BudgetTableModel::RowKind;
    rows.push_back(Row{Kind::Heading, side, std::nullopt, BudgetLine{heading, {}, {}, {}}});
    for (size_t i = 0; i < group.lines.size(); ++i) {
        rows.push_back(Row{Kind::Account, side, i, group.lines[i]});
    }
    rows.push_back(Row{Kind::Total, side, std::nullopt, group.total});
}

} // namespace

BudgetTableModel::BudgetTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void BudgetTableModel::setSheet(const BudgetSheet& sheet) {
    replaceRows([&] {
        rows_.clear();
        addGroup(rows_, sheet.income, BudgetSide::Income, QStringLiteral("Ingresos"));
        addGroup(rows_, sheet.expense, BudgetSide::Expense, QStringLiteral("Gastos"));
        rows_.push_back(Row{RowKind::Overall, BudgetSide::Income, std::nullopt, sheet.overall});
    });
}

QVariant BudgetTableModel::cell(int line, int column, int role) const {
    const Row& row = rows_[static_cast<size_t>(line)];
    const bool heading = row.kind == RowKind::Heading;
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case NameColumn:
            return row.line.name;
        case BudgetColumn:
            return heading || !row.line.budget ? QString() : row.line.budget->text();
        case ActualColumn:
            return heading ? QString() : row.line.actual.text();
        case DifferenceColumn:
            return heading ? QString() : row.line.difference.text();
        default:
            return {};
        }
    case Qt::BackgroundRole:
        return palette().band(line);
    case Qt::ForegroundRole:
        if (column == DifferenceColumn && !heading && row.line.difference.cents().value_or(0) < 0) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::FontRole:
        if (row.kind != RowKind::Account) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((column == NameColumn ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant BudgetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((section == NameColumn ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case NameColumn:
        return QStringLiteral("Cuenta");
    case BudgetColumn:
        return QStringLiteral("Presupuesto");
    case ActualColumn:
        return QStringLiteral("Real");
    case DifferenceColumn:
        return QStringLiteral("Diferencia");
    default:
        return {};
    }
}

} // namespace velmora
