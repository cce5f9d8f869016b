#include "ui/AcceptCancel.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmora {

AcceptCancel makeAcceptCancel(QDialog& window) {
    AcceptCancel buttons;
    buttons.accept = new QPushButton(QStringLiteral("&Aceptar"), &window);
    buttons.accept->setObjectName(QStringLiteral("cmdAceptar"));
    buttons.cancel = new QPushButton(QStringLiteral("&Cancelar"), &window);
    buttons.cancel->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton* button : {buttons.accept, buttons.cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    QObject::connect(buttons.cancel, &QPushButton::clicked, &window, &QDialog::reject);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.accept);
    buttons.row->addWidget(buttons.cancel);
    return buttons;
}

} // namespace velmora
