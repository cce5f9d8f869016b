#include "ui/ChoiceDelegate.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace velmora {

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
