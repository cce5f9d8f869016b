#pragma once

// The entry list as the main window's grid shows it. Rows are kept typed and
// cells are formatted only when the view asks, so a hundred thousand rows load
// at once. Columns: 0 entry number and 1 class (hidden), 2 line number, 3 date,
// 4 description, 5 goes into, 6 comes out of, 7 amount. An empty list has no
// columns either, so not even a header shows.

#include "entries/EntryList.h"
#include "ui/PaintedTableModel.h"

namespace velmora {

class EntryTableModel : public PaintedTableModel {
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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    EntryList list_;
};

} // namespace velmora
