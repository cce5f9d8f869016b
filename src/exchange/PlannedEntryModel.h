#pragma once

// The rows an import will add, as the preview lists them: formatted when the
// view asks, from the plan and the rows it refers to, which it never copies.

#include "exchange/ImportGridModel.h"

#include <utility>

namespace velmora {

class ImportedRows;
struct ImportPlan;

class PlannedEntryModel : public ImportGridModel {
    Q_OBJECT
public:
    enum Column {
        LineColumn,
        DateColumn,
        DescriptionColumn,
        GoesIntoColumn,
        ComesOutOfColumn,
        AmountColumn,
        StateColumn,
        ReasonColumn // why the other account was proposed, for a bank's movements
    };

    // Shows plan's accepted entries of rows; both must outlive the model.
    PlannedEntryModel(const ImportedRows& rows, const ImportPlan& plan, QObject* parent = nullptr);

    // Runs change, which replaces the plan, as one reset of the grid.
    template <typename Change> void replacePlan(Change&& change) {
        beginResetModel();
        std::forward<Change>(change)();
        endResetModel();
    }

protected:
    int rows() const override;
    QVariant cell(int row, int column, int role) const override;

private:
    const ImportedRows& rows_;
    const ImportPlan& plan_;
};

} // namespace velmora
