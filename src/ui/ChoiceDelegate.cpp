#include "ui/ChoiceDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace velmora {

namespace {

QStyleOptionComboBox boxFor(const QStyleOptionViewItem& option, const QModelIndex& index) {
    QStyleOptionComboBox box;
    box.rect = option.rect;
    box.state = option.state | QStyle::State_Enabled;
    box.palette = option.palette;
    box.fontMetrics = option.fontMetrics;
    box.direction = option.direction;
    box.currentText = index.data(Qt::DisplayRole).toString();
    box.frame = true;
    return box;
}

QStyle* styleOf(const QStyleOptionViewItem& option) {
    return option.widget != nullptr ? option.widget->style() : QApplication::style();
}

} // namespace

void ChoiceDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QStyleOptionComboBox box = boxFor(item, index);
    box.rect = option.rect.adjusted(1, 1, -1, -1);
    QStyle* style = styleOf(option);
    painter->save();
    style->drawComplexControl(QStyle::CC_ComboBox, &box, painter, option.widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &box, painter, option.widget);
    painter->restore();
}

QSize ChoiceDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyleOptionComboBox box = boxFor(item, index);
    // Wide enough for the longest choice, which the drop-down will show.
    int widest = item.fontMetrics.horizontalAdvance(box.currentText);
    for (const QString& choice : index.data(kChoicesRole).toStringList()) {
        widest = std::max(widest, item.fontMetrics.horizontalAdvance(choice));
    }
    const QSize text(widest, item.fontMetrics.height());
    return styleOf(option)->sizeFromContents(QStyle::CT_ComboBox, &box, text, option.widget) +
           QSize(2, 2);
}

QWidget* ChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                      const QModelIndex& index) const {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("cboEleccion"));
    combo->addItems(index.data(kChoicesRole).toStringList());
    connect(combo, &QComboBox::currentTextChanged, this,
            [this, combo] { emit const_cast<ChoiceDelegate*>(this)->commitData(combo); });
    return combo;
}

void ChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    // Showing the current value is no pick.
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
}

void ChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    const QString chosen = static_cast<QComboBox*>(editor)->currentText();
    if (chosen != index.data(Qt::EditRole).toString()) {
        model->setData(index, chosen);
    }
}

} // namespace velmora
