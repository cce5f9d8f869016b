#include "accounts/frmCuentasFicha.h"

#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AcceptCancel.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

// Limits for typing; what is read from the file is shown whole.
constexpr int kNameLength = 20;
constexpr int kConceptLength = 50;

} // namespace

frmCuentasFicha::frmCuentasFicha(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), messages_(services.messages),
      report_(*this, services.messages, lcAccounts()) {
    setObjectName(QStringLiteral("frmCuentasFicha"));
    setWindowTitle(QStringLiteral("Ficha de Cuenta"));
    buildControls();
}

frmCuentasFicha::~frmCuentasFicha() = default;

void frmCuentasFicha::buildControls() {
    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);

    grid->addWidget(new QLabel(QStringLiteral("Nombre"), frame), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Tipo"), frame), 0, 1);

    txtNom = new TextField(state_.palette, frame);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtNom->setMaxLength(kNameLength);
    txtNom->setMinimumWidth(twips(2600));
    QFont nameFont = txtNom->font();
    nameFont.setWeight(QFont::DemiBold);
    txtNom->setFont(nameFont);

    cmbTipo = new ListField(frame);
    cmbTipo->setObjectName(QStringLiteral("cmbTipo"));
    cmbTipo->addItems({QStringLiteral("Gasto"), QStringLiteral("Ingreso"), QStringLiteral("Caja")});
    cmbTipo->setCurrentIndex(-1);
    cmbTipo->setMinimumWidth(twips(1600));

    grid->addWidget(txtNom, 1, 0);
    grid->addWidget(cmbTipo, 1, 1);

    grid->addWidget(new QLabel(QStringLiteral("Concepto"), frame), 2, 0, 1, 2);
    txtCon = new TextField(state_.palette, frame);
    txtCon->setObjectName(QStringLiteral("txtCon"));
    txtCon->setMaxLength(kConceptLength);
    grid->addWidget(txtCon, 3, 0, 1, 2);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmCuentasFicha::aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);

    setTabChain({txtNom, cmbTipo, txtCon, cmdAceptar, cmdCancelar});
}

void frmCuentasFicha::opened() {
    ConfiguraForm();
    if (Estado_ == Existing) {
        CargaDatos();
        NomOrixinal_ = txtNom->text();
    }
    txtNom->setFocus(Qt::OtherFocusReason);
}

void frmCuentasFicha::keyPressEvent(QKeyEvent* event) {
    // Escape does not close the card: only "&Cancelar" drops the changes.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmCuentasFicha::CargaDatos() {
    showStoredText(*txtNom, Id_, kNameLength);
    std::optional<Account> account;
    if (!report_.attempt(QStringLiteral("No se puede leer la cuenta"),
                         [&] { account = loadAccount(state_.db(), Id_); }) ||
        !account) {
        return;
    }
    showStoredText(*txtCon, account->description, kConceptLength);
    cmbTipo->setCurrentIndex(cmbTipo->findText(kindWord(account->kind)));
}

bool frmCuentasFicha::ComprobaDatos() {
    if (txtNom->text().trimmed().isEmpty()) {
        messages_.inform(this, QStringLiteral("Ponga un nombre"));
        txtNom->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (txtCon->text().trimmed().isEmpty()) {
        messages_.inform(this, QStringLiteral("Ponga un concepto"));
        txtCon->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // An account without a kind could never take part in a movement.
    if (cmbTipo->currentIndex() < 0) {
        messages_.inform(this, QStringLiteral("Ponga un tipo"));
        cmbTipo->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

bool frmCuentasFicha::ComprobaNom() {
    const QString name = txtNom->text();
    if (Estado_ == Existing && name == NomOrixinal_) {
        return true;
    }
    bool taken = false;
    if (!report_.attempt(QStringLiteral("No se puede comprobar el nombre de la cuenta"),
                         [&] { taken = accountNameTaken(state_.db(), name); })) {
        return false;
    }
    if (!taken) {
        return true;
    }
    // A change of letter case alone lands here too: the account finds itself.
    messages_.inform(this, QStringLiteral("Esta nombre ya existe, ponga otro"));
    if (Estado_ == Existing) {
        txtNom->setText(NomOrixinal_);
    }
    txtNom->setFocus(Qt::OtherFocusReason);
    return false;
}

void frmCuentasFicha::aceptar() {
    // Both checks speak, in this order, even when the first has refused.
    const bool dataComplete = ComprobaDatos();
    const bool nameFree = ComprobaNom();
    if (!dataComplete || !nameFree) {
        return;
    }
    const bool done = Estado_ == New ? GardaNovo() : GardaCambios();
    if (done) {
        accept();
    }
}

bool frmCuentasFicha::GardaNovo() {
    const Account account{txtNom->text(), txtCon->text(), kindLetter(cmbTipo->currentText())};
    return report_.attempt(QStringLiteral("No se puede guardar la cuenta"),
                           [&] { insertAccount(state_.db(), account); });
}

bool frmCuentasFicha::GardaCambios() {
    const Account account{txtNom->text(), txtCon->text(), kindLetter(cmbTipo->currentText())};
    if (account.name != NomOrixinal_ &&
        !messages_.ask(this, QStringLiteral("¿Actualizar los apuntes de esta cuenta?"))) {
        // Not even the concept or the kind is written: the card just closes.
        return true;
    }
    return report_.attempt(QStringLiteral("No se puede guardar la cuenta"),
                           [&] { updateAccount(state_.db(), NomOrixinal_, account); });
}

} // namespace velmora
