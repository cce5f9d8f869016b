#pragma once

// What the import preview's grids share: their headers, given once, and each
// cell made only when the view asks for it, so that a grid of a million lines
// costs no more than the rows it shows.

#include <QAbstractTableModel>
#include <QStringList>

namespace velmora {

class ImportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ImportGridModel(QStringList headers, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const final;
    int columnCount(const QModelIndex& parent = {}) const final;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const final;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const final;

protected:
    virtual int rows() const = 0;
    // Called for valid cells only.
    virtual QVariant cell(int row, int column, int role) const = 0;
    // A cell's alignment: numbers to the right, text to the left.
    static QVariant alignment(bool number);
    // Whether index is a cell of this model's.
    bool isCell(const QModelIndex& index) const;

private:
    QStringList headers_;
};

} // namespace velmora
