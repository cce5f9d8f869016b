#include "years/YearSearchModel.h"

#include "entries/EntryTableModel.h"

namespace velmora {

YearSearchModel::YearSearchModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void YearSearchModel::setResult(YearSearchResult result) {
    replaceRows([&] {
        result_ = std::move(result);
        lines_.clear();
        lines_.reserve(result_.rowCount());
        for (size_t y = 0; y < result_.years.size(); ++y) {
            for (size_t e = 0; e < result_.years[y].entries.size(); ++e) {
                lines_.push_back({static_cast<quint32>(y), static_cast<quint32>(e)});
            }
        }
    });
}

std::optional<YearSearchModel::Found> YearSearchModel::found(int line) const {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) {
        return std::nullopt;
    }
    const Line& at = lines_[static_cast<size_t>(line)];
    const YearEntries& year = result_.years[at.year];
    const EntryRow& row = year.entries[at.entry];
    return Found{year.year, row.id, row.date()};
}

QVariant YearSearchModel::cell(int line, int column, int role) const {
    const Line& at = lines_[static_cast<size_t>(line)];
    const YearEntries& year = result_.years[at.year];
    if (role == Qt::BackgroundRole) {
        return palette().band(line);
    }
    if (column == YearColumn) {
        if (role == Qt::DisplayRole) {
            return year.year;
        }
        return role == Qt::TextAlignmentRole ? QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter)
                                             : QVariant();
    }
    return entryCell(year.entries, year.entries[at.entry], EntryField(column - DateColumn), role);
}

QVariant YearSearchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((section == AmountColumn ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const char* const captions[] = {"Año",      "Fecha",   "Concepto",
                                           "Entra en", "Sale de", "Importe"};
    if (section < 0 || section >= ColumnCount) {
        return {};
    }
    return QString::fromUtf8(captions[section]);
}

} // namespace velmora
