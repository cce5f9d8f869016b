#include "exchange/PlannedEntryModel.h"

#include "exchange/ImportPlan.h"
#include "store/Amount.h"
#include "store/Formats.h"

#include <QColor>

namespace velmora {

namespace {

// Red amounts for money spent, as a reader of accounts expects.
const QColor kExpense(192, 0, 0);

} // namespace

PlannedEntryModel::PlannedEntryModel(const ImportedRows& rows, const ImportPlan& plan,
                                     QObject* parent)
    : ImportGridModel({QStringLiteral("Línea"), QStringLiteral("Fecha"), QStringLiteral("Concepto"),
                       QStringLiteral("Entra en"), QStringLiteral("Sale de"),
                       QStringLiteral("Importe"), QString(), QStringLiteral("Propuesta")},
                      parent),
      rows_(rows), plan_(plan) {}

int PlannedEntryModel::rows() const {
    return int(plan_.accepted.size());
}

QVariant PlannedEntryModel::cell(int line, int column, int role) const {
    const PlannedEntry& entry = plan_.accepted[size_t(line)];
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case LineColumn:
            return formatCount(rows_.line(entry.row));
        case DateColumn:
            return formatDate(rows_.date(entry.row));
        case DescriptionColumn:
            return rows_.description(entry.row);
        case GoesIntoColumn:
            return plan_.goesInto(entry);
        case ComesOutOfColumn:
            return plan_.comesOutOf(entry);
        case AmountColumn:
            return formatCents(rows_.cents(entry.row));
        case StateColumn:
            return entry.duplicate ? QStringLiteral("ya está") : QString();
        case ReasonColumn:
            return rows_.reason(entry.row);
        default:
            return {};
        }
    case Qt::ToolTipRole:
        // The two long texts, cut short in a narrow window.
        if (column == DescriptionColumn || column == ReasonColumn) {
            return cell(line, column, Qt::DisplayRole);
        }
        return {};
    case Qt::TextAlignmentRole:
        return alignment(column == LineColumn || column == AmountColumn);
    case Qt::ForegroundRole:
        if (column == AmountColumn && entry.movementClass == 'G') {
            return kExpense;
        }
        return {};
    default:
        return {};
    }
}

} // namespace velmora
