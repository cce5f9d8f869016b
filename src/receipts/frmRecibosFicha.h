#pragma once

// One recurring receipt being added or changed: what it is, the two accounts
// (a pair the ledger allows), its amount or that it varies, how often and on
// which day, its first date and, when it ends, its last. "&Aceptar" hands it to
// the caller's save; the window closes only once it is saved, so that a failure
// to write loses nothing the user typed.

#include "receipts/ReceiptStore.h"
#include "store/AccountStore.h"
#include "ui/WindowKit.h"

#include <functional>
#include <vector>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace velmora {

class AmountField;
class DateField;
class ListField;
class MessageService;
class Palette;
class TextField;

class frmRecibosFicha : public ModalWindow {
    Q_OBJECT
public:
    // Gives true when the receipt is kept; false when it was not (the user was told).
    using Save = std::function<bool(const Receipt&)>;

    frmRecibosFicha(const Palette& palette, MessageService& messages, std::vector<Account> accounts,
                    Save save, QWidget* parent = nullptr);

    // A receipt to change; a new one starts monthly from `first`.
    void setReceipt(const Receipt& receipt);
    void setFirstDate(const QDate& first);

protected:
    void opened() override;

private:
    void aceptar();
    QString kindOf(const QString& account) const;
    void refuse(const QString& message, QWidget* field);

    MessageService& messages_;
    std::vector<Account> accounts_;
    Save save_;
    qint64 id_ = 0;

    TextField* txtDes = nullptr;
    ListField* cmbEntraEn = nullptr;
    ListField* cmbSaleDe = nullptr;
    AmountField* txtImporte = nullptr;
    QCheckBox* chkVaria = nullptr;
    ListField* cmbFrecuencia = nullptr;
    QSpinBox* txtDia = nullptr;
    DateField* mskDesde = nullptr;
    QCheckBox* chkHasta = nullptr;
    DateField* mskHasta = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace velmora
