#include "analysis/SummaryTableModel.h"

#include <QFont>

namespace velmora {

namespace {

const std::optional<AmountTotal>& figureOf(const SummaryLine& line, int column) {
    static const std::optional<AmountTotal> none;
    switch (column) {
    case SummaryTableModel::AmountColumn:
        return line.amount;
    case SummaryTableModel::OpeningColumn:
        return line.opening;
    case SummaryTableModel::ClosingColumn:
        return line.closing;
    default:
        return none;
    }
}

} // namespace

SummaryTableModel::SummaryTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void SummaryTableModel::setLines(std::vector<SummaryLine> lines) {
    replaceRows([&] { lines_ = std::move(lines); });
}

QVariant SummaryTableModel::cell(int row, int column, int role) const {
    const SummaryLine& line = lines_[static_cast<size_t>(row)];
    const std::optional<AmountTotal>& figure = figureOf(line, column);
    switch (role) {
    case Qt::DisplayRole:
        if (column == ConceptColumn) {
            // Indented under their heading, as on paper.
            return line.kind == SummaryLine::Kind::Account ? QStringLiteral("    ") + line.caption
                                                           : line.caption;
        }
        return figure ? figure->text() : QString();
    case Qt::FontRole:
        if (line.kind != SummaryLine::Kind::Account) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return palette().band(row);
    case Qt::ForegroundRole:
        if (figure && figure->cents().value_or(0) < 0) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((column == ConceptColumn ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case ConceptColumn:
        return QStringLiteral("Concepto");
    case AmountColumn:
        return QStringLiteral("Importe");
    case OpeningColumn:
        return QStringLiteral("Saldo a 1 de enero");
    case ClosingColumn:
        return QStringLiteral("Saldo a 31 de diciembre");
    default:
        return {};
    }
}

} // namespace velmora
