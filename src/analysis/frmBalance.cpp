#include "analysis/frmBalance.h"

#include "analysis/Balance.h"
#include "startup/AppState.h"
#include "startup/Fields.h"
#include "store/DbErrorText.h"
#include "store/Funciones.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace velmora {

frmBalance::frmBalance(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), state_(state), messages_(services.messages) {
    setObjectName(QStringLiteral("frmBalance"));
    setWindowTitle(QStringLiteral("Balance"));
    buildControls();
}

void frmBalance::buildControls() {
    cmbConta = new ListField(this);
    cmbConta->setObjectName(QStringLiteral("cmbConta"));
    cmbConta->setMinimumWidth(twips(3000));
    cmbConta->setEnterAction([this] { calcular(); });
    mskDesde = new DateField(state_, messages_, DateField::Mask::FromFocus, this);
    mskDesde->setObjectName(QStringLiteral("mskDesde"));
    mskHasta = new DateField(state_, messages_, DateField::Mask::FromFocus, this);
    mskHasta->setObjectName(QStringLiteral("mskHasta"));
    cmdCalcular = new QPushButton(QStringLiteral("&Calcular"), this);
    cmdCalcular->setObjectName(QStringLiteral("cmdCalcular"));
    cmdCalcular->setAutoDefault(false);
    connect(cmdCalcular, &QPushButton::clicked, this, &frmBalance::calcular);

    shpDatos = new QFrame(this);
    shpDatos->setObjectName(QStringLiteral("shpDatos"));
    shpDatos->setFrameShape(QFrame::Box);
    shpDatos->setAutoFillBackground(true);
    auto* figures = new QGridLayout(shpDatos);
    const auto addFigure = [&](QLabel*& value, const char* name, const QString& caption, int row) {
        figures->addWidget(new QLabel(caption, shpDatos), row, 0);
        value = new QLabel(shpDatos);
        value->setObjectName(QString::fromLatin1(name));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(twips(2000));
        figures->addWidget(value, row, 1);
    };
    addFigure(lblEntradas, "lblEntradas", QStringLiteral("ENTRADAS"), 0);
    addFigure(lblSalidas, "lblSalidas", QStringLiteral("SALIDAS"), 1);
    addFigure(lblBalance, "lblBalance", QStringLiteral("BALANCE"), 2);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Cuenta"), this), 0, 0);
    layout->addWidget(cmbConta, 0, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Desde"), this), 1, 0);
    layout->addWidget(mskDesde, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("Hasta"), this), 1, 2);
    layout->addWidget(mskHasta, 1, 3);
    layout->addWidget(cmdCalcular, 2, 3);
    layout->addWidget(shpDatos, 3, 0, 1, 4);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget::setTabOrder(cmbConta, mskDesde);
    QWidget::setTabOrder(mskDesde, mskHasta);
    QWidget::setTabOrder(mskHasta, cmdCalcular);
}

void frmBalance::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) {
        return;
    }
    opened_ = true;
    QPalette palette = shpDatos->palette();
    palette.setColor(QPalette::Window, state_.mainColor());
    shpDatos->setPalette(palette);
    try {
        CargaCombo(state_.db(), QStringLiteral("Contas"), QStringLiteral("conNom"),
                   QStringLiteral("conNom"), *cmbConta);
    } catch (const DbError& error) {
        messages_.fail(this, QStringLiteral("No se puede leer la lista de cuentas: ") +
                                 describeFailure(error));
    }
    cmbConta->setCurrentIndex(-1);
    mskDesde->setText(QStringLiteral("01/01/") + state_.year);
    mskHasta->setText(QStringLiteral("31/12/") + state_.year);
    cmbConta->setFocus(Qt::OtherFocusReason);
}

void frmBalance::calcular() {
    if (!mskDesde->checkDate() || !mskHasta->checkDate()) {
        return;
    }
    BalanceFigures figures;
    // No account chosen: nothing to add up.
    if (cmbConta->currentIndex() >= 0) {
        try {
            figures = accountBalance(state_.db(), cmbConta->currentText(), *mskDesde->date(),
                                     *mskHasta->date());
        } catch (const DbError& error) {
            messages_.fail(this, QStringLiteral("No se puede calcular el balance: ") +
                                     describeFailure(error));
            return;
        }
    }
    lblEntradas->setText(formatAmount(figures.moneyIn));
    lblSalidas->setText(formatAmount(figures.moneyOut));
    lblBalance->setText(formatAmount(figures.balance()));
}

} // namespace velmora
