#pragma once

// What the list grids' models share: the rows are kept typed by each model and
// a cell is made only when the view asks, so a hundred thousand rows load at
// once; an empty list has no columns either, so not even a header shows; and
// the cells are painted with the palette, asked again as soon as a colour
// changes.

#include "ui/Palette.h"

#include <QAbstractTableModel>

#include <utility>

namespace velmora {

class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridTableModel(const Palette& palette, int columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const final;
    int columnCount(const QModelIndex& parent = {}) const final;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const final;

protected:
    virtual int rows() const = 0;
    // Called for valid cells only.
    virtual QVariant cell(int row, int column, int role) const = 0;

    // Replaces the rows the model shows, in one reset of the grid.
    template <typename Change> void replaceRows(Change&& change) {
        beginResetModel();
        std::forward<Change>(change)();
        endResetModel();
    }
    const Palette& palette() const { return palette_; }

    // For a list whose column 0 numbers its lines: what a cell shows beside its
    // text (the number on the fixed colour, the rest in bands, on the left).
    QVariant numberedListLook(int row, int column, int role) const;
    // The header of a list with these titles, on the left.
    static QVariant listHeader(const QStringList& titles, int section, Qt::Orientation orientation,
                               int role);

private:
    const Palette& palette_;
    int columns_;
};

} // namespace velmora
