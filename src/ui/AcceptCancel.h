#pragma once

// The "&Aceptar" and "&Cancelar" buttons under a detail window's fields. Neither
// is a default button: Enter belongs to the fields.

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace velmora {

struct AcceptCancel {
    QPushButton* accept = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr; // right-aligned, for the window's layout
};

// "&Cancelar" closes the window without writing; "&Aceptar" is for the caller.
AcceptCancel makeAcceptCancel(QDialog& window);

} // namespace velmora
