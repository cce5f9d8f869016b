#include "ui/AcceptCancel.h"

#include "ui/WindowKit.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmora {

AcceptCancel makeAcceptCancel(QDialog& window) {
    AcceptCancel buttons;
    buttons.accept = commandButton(window, "cmdAceptar", QStringLiteral("&Aceptar"));
    buttons.cancel = commandButton(window, "cmdCancelar", QStringLiteral("&Cancelar"));
    QObject::connect(buttons.cancel, &QPushButton::clicked, &window, &QDialog::reject);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.accept);
    buttons.row->addWidget(buttons.cancel);
    return buttons;
}

} // namespace velmora
