#include "ui/TickDelegate.h"

namespace velmora {

void TickDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->palette.setColor(QPalette::Base, Qt::white);
    option->palette.setColor(QPalette::Window, Qt::white);
    option->palette.setColor(QPalette::Text, Qt::black);
    option->palette.setColor(QPalette::WindowText, Qt::black);
}

} // namespace velmora
