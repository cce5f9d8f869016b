#pragma once

// One import rule being added or changed: the text the bank's concept must
// contain and the account on the other side, picked from the year's accounts or
// typed, since the rules outlast the years. "&Aceptar" hands the rule to the
// caller's save; the window closes only once it is saved, so that a failure to
// write loses nothing the user typed.

#include "exchange/HouseRules.h"
#include "ui/WindowKit.h"

#include <QStringList>

#include <functional>

class QComboBox;
class QPushButton;

namespace velmora {

class MessageService;
class Palette;
class TextField;

class frmReglasFicha : public ModalWindow {
    Q_OBJECT
public:
    // Gives true when the rule is kept; false when it was not (the user was told).
    using Save = std::function<bool(const HouseRule&)>;

    frmReglasFicha(const Palette& palette, MessageService& messages, const QStringList& accounts,
                   Save save, QWidget* parent = nullptr);

    void setRule(const HouseRule& rule);

protected:
    void opened() override;

private:
    void aceptar();

    MessageService& messages_;
    QStringList accounts_;
    Save save_;

    TextField* txtTexto = nullptr;
    QComboBox* cmbCuenta = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace velmora
