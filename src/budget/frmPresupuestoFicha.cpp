#include "budget/frmPresupuestoFicha.h"

#include "analysis/MonthlyStatistics.h"
#include "budget/BudgetStore.h"
#include "state/Logging.h"
#include "store/Amount.h"
#include "ui/AcceptCancel.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmora {

frmPresupuestoFicha::frmPresupuestoFicha(AppState& state, Services& services,
                                         const QString& account, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()), account_(account) {
    setObjectName(QStringLiteral("frmPresupuestoFicha"));
    setWindowTitle(QStringLiteral("Presupuesto de la cuenta"));

    lblCuenta = new QLabel(account_, this);
    lblCuenta->setObjectName(QStringLiteral("lblCuenta"));
    QFont bold = lblCuenta->font();
    bold.setBold(true);
    lblCuenta->setFont(bold);

    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    optMismo = new QRadioButton(QStringLiteral("El mismo &todos los meses"), frame);
    optMismo->setObjectName(QStringLiteral("optMismo"));
    txtImporte = new AmountField(state_.palette, services_.messages, frame);
    txtImporte->setObjectName(QStringLiteral("txtImporte"));
    optPorMes = new QRadioButton(QStringLiteral("&Uno por mes"), frame);
    optPorMes->setObjectName(QStringLiteral("optPorMes"));
    grid->addWidget(optMismo, 0, 0, 1, 2);
    grid->addWidget(txtImporte, 0, 2, 1, 2);
    grid->addWidget(optPorMes, 1, 0, 1, 4);
    // Two columns of six months, each name beside its amount.
    for (int m = 0; m < 12; ++m) {
        auto* field = new AmountField(state_.palette, services_.messages, frame);
        field->setObjectName(QStringLiteral("txtMes%1").arg(m + 1));
        auto* name = new QLabel(monthName(m + 1), frame);
        name->setBuddy(field);
        grid->addWidget(name, 2 + m % 6, (m / 6) * 2);
        grid->addWidget(field, 2 + m % 6, (m / 6) * 2 + 1);
        txtMes[static_cast<size_t>(m)] = field;
    }
    optMismo->setChecked(true);
    connect(optMismo, &QRadioButton::toggled, this, &frmPresupuestoFicha::showMode);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmPresupuestoFicha::aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCuenta);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);
    setTabChain({optMismo, txtImporte, optPorMes, txtMes[0], txtMes[1], txtMes[2], txtMes[3],
                 txtMes[4], txtMes[5], txtMes[6], txtMes[7], txtMes[8], txtMes[9], txtMes[10],
                 txtMes[11], cmdAceptar, cmdCancelar});
    showMode();
}

void frmPresupuestoFicha::opened() {
    std::optional<AccountBudget> budget;
    report_.attempt(QStringLiteral("No se puede leer el presupuesto de «%1»").arg(account_),
                    [&] { budget = budgetOf(state_.db(), account_); });
    // Every field starts as an amount, so that leaving one untouched is no mistake.
    txtImporte->setText(formatCents(0));
    if (budget) {
        const auto shown = [](const std::optional<qint64>& cents) {
            return cents ? formatCents(*cents) : QString();
        };
        if (budget->sameEveryMonth) {
            txtImporte->setText(shown(budget->months[0]));
        }
        for (size_t m = 0; m < 12; ++m) {
            txtMes[m]->setText(shown(budget->months[m]));
        }
        (budget->sameEveryMonth ? optMismo : optPorMes)->setChecked(true);
    }
    (optMismo->isChecked() ? txtImporte : txtMes[0])->setFocus(Qt::OtherFocusReason);
}

void frmPresupuestoFicha::showMode() {
    const bool same = optMismo->isChecked();
    txtImporte->setEnabled(same);
    for (AmountField* field : txtMes) {
        field->setEnabled(!same);
        // The months start from the one amount typed, to be changed where they differ.
        if (!same && field->text().isEmpty()) {
            field->setText(txtImporte->text());
        }
    }
}

std::optional<qint64> frmPresupuestoFicha::centsOf(AmountField& field) {
    if (!field.checkAmount()) {
        return std::nullopt;
    }
    return amountCents(*field.amount());
}

void frmPresupuestoFicha::aceptar() {
    const QString lead = QStringLiteral("No se puede guardar el presupuesto de «%1»").arg(account_);
    if (optMismo->isChecked()) {
        const std::optional<qint64> cents = centsOf(*txtImporte);
        if (cents &&
            report_.attempt(lead, [&] { setBudgetEveryMonth(state_.db(), account_, *cents); })) {
            accept();
        }
        return;
    }
    std::array<qint64, 12> months{};
    for (size_t m = 0; m < 12; ++m) {
        const std::optional<qint64> cents = centsOf(*txtMes[m]);
        if (!cents) {
            return;
        }
        months[m] = *cents;
    }
    if (report_.attempt(lead, [&] { setBudgetByMonth(state_.db(), account_, months); })) {
        accept();
    }
}

} // namespace velmora
