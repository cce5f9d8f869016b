#include "analysis/CarryOverTableModel.h"

#include "store/Amount.h"
#include "ui/Palette.h"

namespace velmora {

CarryOverTableModel::CarryOverTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void CarryOverTableModel::setPlan(const CarryOverPlan& plan) {
    replaceRows([&] {
        lines_ = plan.accounts;
        previousYear_ = plan.previousYear;
    });
}

QVariant CarryOverTableModel::cell(int row, int column, int role) const {
    const CarriedBalance& line = lines_[size_t(row)];
    const qint64 shownCents = column == BeforeColumn ? line.before : line.after.value_or(0);
    const bool figure = column == BeforeColumn || (column == AfterColumn && line.after);
    switch (role) {
    case Qt::DisplayRole:
        if (column == NameColumn) {
            return line.account;
        }
        if (column == NoteColumn) {
            return line.changes()
                       ? QStringLiteral("cambia")
                       : (line.note.isEmpty() ? QStringLiteral("sin cambios") : line.note);
        }
        return figure ? formatCents(shownCents) : QString();
    case Qt::ForegroundRole:
        if (figure && shownCents < 0) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::BackgroundRole:
        return palette().band(row);
    case Qt::TextAlignmentRole:
        if (column == BeforeColumn || column == AfterColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CarryOverTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case NameColumn:
        return QStringLiteral("Cuenta");
    case BeforeColumn:
        return QStringLiteral("Saldo inicial actual");
    case AfterColumn:
        return QStringLiteral("Saldo en el año %1").arg(previousYear_);
    case NoteColumn:
        return QStringLiteral("Nota");
    default:
        return {};
    }
}

} // namespace velmora
