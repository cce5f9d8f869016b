#include "analysis/frmArrastre.h"

#include "analysis/CarryOver.h"
#include "analysis/CarryOverTableModel.h"
#include "store/DbErrorText.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace velmora {

frmArrastre::frmArrastre(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmArrastre"));
    setWindowTitle(QStringLiteral("Saldos iniciales del año anterior"));
    buildControls();
}

frmArrastre::~frmArrastre() = default;

void frmArrastre::buildControls() {
    lblTitulo = new QLabel(this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    lblTitulo->setWordWrap(true);
    model_ = new CarryOverTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    lblFaltan = new QLabel(this);
    lblFaltan->setObjectName(QStringLiteral("lblFaltan"));
    lblFaltan->setWordWrap(true);
    lblFaltan->hide();
    cmdTomar = commandButton(*this, "cmdTomar", QStringLiteral("&Tomar"));
    connect(cmdTomar, &QPushButton::clicked, this, &frmArrastre::tomar);
    cmdSalir = commandButton(*this, "cmdSalir", QStringLiteral("&Salir"));
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblTitulo, 0, 0, 1, 3);
    layout->addWidget(mshDatos, 1, 0, 1, 3);
    layout->addWidget(lblFaltan, 2, 0, 1, 3);
    layout->addWidget(cmdTomar, 3, 1);
    layout->addWidget(cmdSalir, 3, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(1, 1);
    // Wide enough for the title in a few lines, with room for some accounts below;
    // the layout alone would let the wrapped title be squeezed out of sight.
    setMinimumSize(480, 300);
    resize(640, 360);
}

void frmArrastre::opened() {
    if (!load()) {
        return;
    }
    showReloadedGrid(*mshDatos, CarryOverTableModel::NameColumn);
    for (int column = 0; column < CarryOverTableModel::ColumnCount; ++column) {
        setColumnWidthToFit(*mshDatos, column, 80, allRows(*mshDatos));
    }
    cmdTomar->setFocus();
}

// The notice first, then the window goes once its own showing is over.
void frmArrastre::leave(const QString& notice) {
    services_.messages.inform(this, notice);
    QTimer::singleShot(0, this, &QDialog::reject);
}

bool frmArrastre::load() {
    const QString year = state_.session.year();
    try {
        plan_ = std::make_unique<CarryOverPlan>(
            planFromPreviousYear(state_.db(), state_.session.dataRoot(), year));
    } catch (const CarryOverError& error) {
        services_.messages.fail(this, error.message() + QStringLiteral(" No se ha cambiado nada."));
        QTimer::singleShot(0, this, &QDialog::reject);
        return false;
    } catch (const DbError& error) {
        services_.messages.fail(this, describeFailure(error));
        QTimer::singleShot(0, this, &QDialog::reject);
        return false;
    }
    if (!plan_->lastDay.isValid()) {
        leave(QStringLiteral("El año %1 no tiene apuntes: no hay saldos que tomar.")
                  .arg(plan_->previousYear));
        return false;
    }
    if (!plan_->changesAnything()) {
        leave(QStringLiteral("Los saldos iniciales ya son los del año %1 a %2: no hay nada que "
                             "cambiar.")
                  .arg(plan_->previousYear, formatDate(plan_->lastDay)));
        return false;
    }
    lblTitulo->setText(QStringLiteral("Saldos de las cuentas de caja del año %1 a %2, que pasan "
                                      "a ser los saldos iniciales del año %3:")
                           .arg(plan_->previousYear, formatDate(plan_->lastDay), year));
    model_->setPlan(*plan_);
    if (!plan_->missing.isEmpty()) {
        lblFaltan->setText(
            QStringLiteral("El año %1 no tiene estas cuentas de caja del año %2, "
                           "que no se crean: %3")
                .arg(year, plan_->previousYear, plan_->missing.join(QStringLiteral(", "))));
        lblFaltan->show();
    }
    return true;
}

void frmArrastre::tomar() {
    if (!plan_ || !services_.messages.ask(this,
                                          QStringLiteral("¿Tomar los saldos iniciales del "
                                                         "año %1?")
                                              .arg(plan_->previousYear),
                                          MessageIcon::Question)) {
        return;
    }
    try {
        applyCarryOver(state_.db(), *plan_);
    } catch (const DbError& error) {
        services_.messages.fail(this, QStringLiteral("No se han cambiado los saldos iniciales: %1")
                                          .arg(describeFailure(error)));
        return;
    }
    accept();
}

} // namespace velmora
