#pragma once

// The yearly summary's lines as its grid shows them: 0 concept, 1 amount of the
// year, 2 opening balance, 3 closing balance. Headings and totals in bold, the
// accounts under them indented; negative figures in the negative colour.

#include "analysis/YearSummary.h"
#include "ui/GridTableModel.h"

#include <vector>

namespace velmora {

class SummaryTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { ConceptColumn = 0, AmountColumn, OpeningColumn, ClosingColumn, ColumnCount };

    explicit SummaryTableModel(const Palette& palette, QObject* parent = nullptr);

    void setLines(std::vector<SummaryLine> lines);
    const std::vector<SummaryLine>& lines() const { return lines_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return static_cast<int>(lines_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    std::vector<SummaryLine> lines_;
};

} // namespace velmora
