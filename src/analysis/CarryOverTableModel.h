#pragma once

// The carry-over window's grid: each cash account of the year with its opening
// balance now and the one it would take from the previous year.

#include "analysis/CarryOver.h"
#include "ui/GridTableModel.h"

namespace velmora {

class CarryOverTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, BeforeColumn, AfterColumn, NoteColumn, ColumnCount };

    explicit CarryOverTableModel(const Palette& palette, QObject* parent = nullptr);

    void setPlan(const CarryOverPlan& plan);
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return int(lines_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    std::vector<CarriedBalance> lines_;
    QString previousYear_;
};

} // namespace velmora
