#pragma once

// A grid's tick box drawn as the cells around it are: a light box with a dark
// mark. Under a dark desktop palette the style would draw a dark box, and the
// dark mark the light cells need would vanish in it.

#include <QStyledItemDelegate>

namespace velmora {

class TickDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace velmora
