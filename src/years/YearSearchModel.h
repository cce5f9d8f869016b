#pragma once

// The entries found across years as the search window's grid shows them, one
// line per entry in year and then date order.

#include "ui/GridTableModel.h"
#include "years/YearSearch.h"

#include <optional>

namespace velmora {

class YearSearchModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column {
        YearColumn = 0,
        DateColumn,
        DescriptionColumn,
        GoesIntoColumn,
        ComesOutOfColumn,
        AmountColumn,
        ColumnCount
    };

    explicit YearSearchModel(const Palette& palette, QObject* parent = nullptr);

    void setResult(YearSearchResult result);
    const YearSearchResult& result() const { return result_; }

    // The year and the entry on a line.
    struct Found {
        QString year;
        qint64 id = 0;
        QDate date;
    };
    std::optional<Found> found(int line) const;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return static_cast<int>(lines_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    struct Line {
        quint32 year;  // index into the result's years
        quint32 entry; // row of that year's list
    };
    YearSearchResult result_;
    std::vector<Line> lines_;
};

} // namespace velmora
