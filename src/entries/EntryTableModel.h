#pragma once

// The entry list as the main window's grid shows it. Columns: 0 entry number and
// 1 class (hidden), 2 line number, 3 date, 4 description, 5 goes into, 6 comes
// out of, 7 amount.

#include "entries/EntryList.h"
#include "ui/GridTableModel.h"

namespace velmora {

// What a cell of an entry shows in any list of entries: its text, the colour of
// an expense's amount, and its alignment.
enum class EntryField { Date, Description, GoesInto, ComesOutOf, Amount };
QVariant entryCell(const EntryList& list, const EntryRow& row, EntryField field, int role);

class EntryTableModel : public GridTableModel {
    Q_OBJECT
public:
    enum Column {
        IdColumn = 0,
        ClassColumn,
        LineColumn,
        DateColumn,
        DescriptionColumn,
        GoesIntoColumn,
        ComesOutOfColumn,
        AmountColumn,
        ColumnCount
    };

    explicit EntryTableModel(const Palette& palette, QObject* parent = nullptr);

    void setList(EntryList list);
    const EntryList& list() const { return list_; }

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    int rows() const override { return static_cast<int>(list_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    EntryList list_;
};

} // namespace velmora
