#include "analysis/frmBalance.h"

#include "analysis/Balance.h"
#include "analysis/UnreadableAmounts.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/YearFolders.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace velmora {

frmBalance::frmBalance(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()) {
    setObjectName(QStringLiteral("frmBalance"));
    setWindowTitle(QStringLiteral("Balance"));
    buildControls();
}

void frmBalance::buildControls() {
    cmbConta = new ListField(this);
    cmbConta->setObjectName(QStringLiteral("cmbConta"));
    cmbConta->setMinimumWidth(twips(3000));
    cmbConta->setEnterAction([this] { calcular(); });
    mskDesde = new DateField(state_.palette, services_.messages, DateField::Mask::FromFocus, this);
    mskDesde->setObjectName(QStringLiteral("mskDesde"));
    mskHasta = new DateField(state_.palette, services_.messages, DateField::Mask::FromFocus, this);
    mskHasta->setObjectName(QStringLiteral("mskHasta"));
    cmdCalcular = commandButton(*this, "cmdCalcular", QStringLiteral("&Calcular"));
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

    setTabChain({cmbConta, mskDesde, mskHasta, cmdCalcular});
}

void frmBalance::opened() {
    paintBackground(*shpDatos, state_.palette.main());
    report_.attempt(QStringLiteral("No se puede leer la lista de cuentas"),
                    [&] { cmbConta->addItems(accountNames(state_.db())); });
    cmbConta->setCurrentIndex(-1);
    const QString year =
        QString::number(calendarYearOf(state_.session.year(), services_.clock.today()));
    mskDesde->setText(QStringLiteral("01/01/") + year);
    mskHasta->setText(QStringLiteral("31/12/") + year);
    cmbConta->setFocus(Qt::OtherFocusReason);
}

void frmBalance::calcular() {
    if (!mskDesde->checkDate() || !mskHasta->checkDate()) {
        return;
    }
    BalanceFigures figures;
    // No account chosen: nothing to add up.
    if (cmbConta->currentIndex() >= 0 &&
        !report_.attempt(QStringLiteral("No se puede calcular el balance"), [&] {
            figures = accountBalance(state_.db(), cmbConta->currentText(), *mskDesde->date(),
                                     *mskHasta->date());
        })) {
        return;
    }
    lblEntradas->setText(figures.moneyIn.text());
    lblSalidas->setText(figures.moneyOut.text());
    lblBalance->setText(figures.balance().text());
    if (!figures.moneyIn.readable() || !figures.moneyOut.readable()) {
        services_.messages.warn(this, unreadableFiguresNotice(figures.unreadable));
    }
}

} // namespace velmora
