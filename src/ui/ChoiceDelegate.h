#pragma once

// A grid cell whose value is one of a list, edited with a drop-down made only
// while the cell is edited: a grid of ten thousand choices holds one drop-down,
// not ten thousand. The model gives the choices of a cell under kChoicesRole
// and takes the one picked through setData(); a pick counts at once, as a
// drop-down's does.

#include <QStyledItemDelegate>

namespace velmora {

class ChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kChoicesRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    // Drawn as the drop-down it becomes, so that it reads as a choice to make.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

} // namespace velmora
