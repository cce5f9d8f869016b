#pragma once

// The monthly statistics as the statistics window's grid shows them. Columns:
// 0 row number (fixed), 1 account, 2 to 13 January to December, 14 the row's
// total; the last row holds the column totals. Figures are formatted only when
// the view asks. An empty table has no columns either, so not even a header
// shows.

#include "analysis/MonthlyStatistics.h"
#include "ui/GridTableModel.h"

namespace velmora {

class StatisticsTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn = 0, NameColumn, JanuaryColumn, TotalColumn = 14, ColumnCount };

    explicit StatisticsTableModel(const Palette& palette, QObject* parent = nullptr);

    void setTable(MonthlyTable table);
    const MonthlyTable& table() const { return table_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return table_.rowCount(); }
    QVariant cell(int row, int column, int role) const override;

private:
    MonthlyTable table_;
};

} // namespace velmora
