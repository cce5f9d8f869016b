#include "exchange/frmReglasFicha.h"

#include "store/Formats.h"
#include "store/SpanishText.h"
#include "ui/AcceptCancel.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

frmReglasFicha::frmReglasFicha(const Palette& palette, MessageService& messages,
                               const QStringList& accounts, Save save, QWidget* parent)
    : ModalWindow(parent), messages_(messages), accounts_(accounts), save_(std::move(save)) {
    setObjectName(QStringLiteral("frmReglasFicha"));
    setWindowTitle(QStringLiteral("Regla de importación"));

    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("El concepto contiene"), frame), 0, 0);
    txtTexto = new TextField(palette, frame);
    txtTexto->setObjectName(QStringLiteral("txtTexto"));
    txtTexto->setMinimumWidth(twips(4000));
    grid->addWidget(txtTexto, 1, 0);

    grid->addWidget(new QLabel(QStringLiteral("Cuenta"), frame), 2, 0);
    cmbCuenta = new QComboBox(frame);
    cmbCuenta->setObjectName(QStringLiteral("cmbCuenta"));
    cmbCuenta->setEditable(true);
    cmbCuenta->setInsertPolicy(QComboBox::NoInsert);
    cmbCuenta->addItems(accounts_);
    cmbCuenta->setCurrentIndex(-1);
    cmbCuenta->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    cmbCuenta->completer()->setCompletionMode(QCompleter::PopupCompletion);
    grid->addWidget(cmbCuenta, 3, 0);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmReglasFicha::aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);
    setTabChain({txtTexto, cmbCuenta, cmdAceptar, cmdCancelar});
}

void frmReglasFicha::setRule(const HouseRule& rule) {
    txtTexto->setText(rule.contains);
    cmbCuenta->setCurrentIndex(-1);
    cmbCuenta->setEditText(rule.account);
}

void frmReglasFicha::opened() {
    txtTexto->setFocus(Qt::OtherFocusReason);
}

void frmReglasFicha::aceptar() {
    HouseRule rule{txtTexto->text().trimmed(), cmbCuenta->currentText().trimmed()};
    // Spaces alone, or accents alone, would match every movement or none.
    if (HouseRules::folded(rule.contains).isEmpty()) {
        messages_.warn(this, QStringLiteral("Escriba el texto que debe contener el concepto"));
        txtTexto->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (rule.account.isEmpty()) {
        messages_.warn(this, QStringLiteral("Escriba o elija la cuenta"));
        cmbCuenta->setFocus(Qt::OtherFocusReason);
        return;
    }
    // "luz" typed for the year's "Luz" is kept as the year spells it.
    const auto listed =
        std::find_if(accounts_.cbegin(), accounts_.cend(),
                     [&](const QString& name) { return sameText(name, rule.account); });
    if (listed != accounts_.cend()) {
        rule.account = *listed;
    }
    if (save_(rule)) {
        accept();
    }
}

} // namespace velmora
