#include "budget/frmPresupuesto.h"

#include "analysis/MonthlyStatistics.h"
#include "analysis/UnreadableAmounts.h"
#include "budget/BudgetChart.h"
#include "budget/BudgetStore.h"
#include "budget/BudgetTableModel.h"
#include "budget/frmPresupuestoFicha.h"
#include "state/Logging.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/clsMW.h"

#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora {

frmPresupuesto::frmPresupuesto(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()) {
    setObjectName(QStringLiteral("frmPresupuesto"));
    setWindowTitle(QStringLiteral("Presupuesto"));
    buildControls();
    // The month under way, which is what a household checks most.
    cmbMes->setCurrentIndex(services_.clock.today().month());
}

frmPresupuesto::~frmPresupuesto() = default;

void frmPresupuesto::buildControls() {
    cmbMes = new QComboBox(this);
    cmbMes->setObjectName(QStringLiteral("cmbMes"));
    cmbMes->addItem(QStringLiteral("Año"));
    for (int m = 1; m <= 12; ++m) {
        cmbMes->addItem(monthName(m));
    }
    connect(cmbMes, &QComboBox::currentIndexChanged, this, [this] {
        if (isVisible()) {
            showSheet();
        }
    });

    model_ = new BudgetTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    connect(mshDatos->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmPresupuesto::chartSelectedRow);
    connect(mshDatos, &QTableView::doubleClicked, this, [this] {
        if (selectedAccount()) {
            editBudget();
        }
    });
    mshDatos->installEventFilter(this);
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);

    mscGrafico = new QChartView(this);
    mscGrafico->setObjectName(QStringLiteral("mscGrafico"));
    mscGrafico->setRenderHint(QPainter::Antialiasing);
    mscGrafico->setMinimumHeight(160);

    cmdPresupuesto = commandButton(*this, "cmdPresupuesto", QStringLiteral("&Presupuesto ..."));
    cmdPresupuesto->setToolTip(QStringLiteral("Presupuesto de la cuenta elegida"));
    connect(cmdPresupuesto, &QPushButton::clicked, this, &frmPresupuesto::editBudget);
    cmdQuitar = commandButton(*this, "cmdQuitar", QStringLiteral("&Quitar presupuesto"));
    connect(cmdQuitar, &QPushButton::clicked, this, &frmPresupuesto::removeBudget);
    cmdCerrar = commandButton(*this, "cmdCerrar", QStringLiteral("&Cerrar"));
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::accept);

    auto* monthRow = new QHBoxLayout;
    auto* monthLabel = new QLabel(QStringLiteral("&Mes"), this);
    monthLabel->setBuddy(cmbMes);
    monthRow->addWidget(monthLabel);
    monthRow->addWidget(cmbMes);
    monthRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPresupuesto);
    buttons->addWidget(cmdQuitar);
    buttons->addStretch(1);
    buttons->addWidget(cmdCerrar);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(monthRow);
    layout->addWidget(mshDatos, 3);
    layout->addWidget(mscGrafico, 2);
    layout->addLayout(buttons);

    setTabChain({cmbMes, mshDatos, cmdPresupuesto, cmdQuitar, cmdCerrar});
    // Room for the table and the chart, on a screen that has it.
    QSize size(twips(13500), twips(10500));
    if (const QScreen* shownOn = screen()) {
        size = size.boundedTo(shownOn->availableGeometry().size());
    }
    resize(size);
}

void frmPresupuesto::setMonth(int month) {
    cmbMes->setCurrentIndex(month >= 0 && month <= 12 ? month : 0);
}

int frmPresupuesto::month() const {
    return cmbMes->currentIndex();
}

void frmPresupuesto::opened() {
    reload();
    mshDatos->setFocus(Qt::OtherFocusReason);
}

void frmPresupuesto::reload() {
    BudgetYear year;
    if (!report_.attempt(QStringLiteral("No se puede calcular el presupuesto"),
                         [&] { year = loadBudgetYear(state_.db()); })) {
        return;
    }
    year_ = std::move(year);
    showSheet();
    if (year_.unreadable) {
        services_.messages.warn(this, unreadableFiguresNotice(year_.unreadableEntries));
    }
}

void frmPresupuesto::showSheet() {
    const int row = std::max(mshDatos->currentIndex().row(), 0);
    mshDatos->setUpdatesEnabled(false);
    model_->setSheet(budgetSheet(year_, month()));
    mshDatos->horizontalHeader()->setVisible(true);
    // No figure is ever elided: the columns take what the largest amount needs.
    const QList<int> rows = allRows(*mshDatos);
    for (int column = 0; column < BudgetTableModel::ColumnCount; ++column) {
        setColumnWidthToFit(*mshDatos, column, column == 0 ? 160 : 110, rows);
    }
    // The same line stays chosen across a month or a change of budget.
    mshDatos->setCurrentIndex(
        model_->index(std::min(row, model_->rowCount() - 1), BudgetTableModel::NameColumn));
    mshDatos->setUpdatesEnabled(true);
    chartSelectedRow();
}

void frmPresupuesto::chartSelectedRow() {
    const QModelIndex current = mshDatos->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const BudgetTableModel::Row& row = model_->lines()[static_cast<size_t>(current.row())];
    const BudgetSeries series =
        row.kind == BudgetTableModel::RowKind::Overall
            ? resultSeries(year_)
            : budgetSeries(year_, row.side,
                           row.kind == BudgetTableModel::RowKind::Account ? row.account
                                                                          : std::nullopt);
    QChart* previous = mscGrafico->chart();
    mscGrafico->setChart(buildBudgetChart(series, state_.palette.section()));
    // The view gives the previous chart back rather than deleting it.
    delete previous;
    drawn_ = series;
}

std::optional<QString> frmPresupuesto::selectedAccount() const {
    const QModelIndex current = mshDatos->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    const BudgetTableModel::Row& row = model_->lines()[static_cast<size_t>(current.row())];
    if (row.kind != BudgetTableModel::RowKind::Account) {
        return std::nullopt;
    }
    return row.line.name;
}

void frmPresupuesto::editBudget() {
    const std::optional<QString> account = selectedAccount();
    if (!account) {
        services_.messages.inform(this, QStringLiteral("Elija una cuenta de ingreso o de gasto"));
        return;
    }
    frmPresupuestoFicha card(state_, services_, *account, this);
    runWithWaitCursor(*this, services_.dialogs, card);
    reload();
}

bool frmPresupuesto::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos && isEnterPress(*event) && selectedAccount()) {
        editBudget();
        return true;
    }
    return ModalWindow::eventFilter(watched, event);
}

void frmPresupuesto::removeBudget() {
    const std::optional<QString> account = selectedAccount();
    if (!account) {
        services_.messages.inform(this, QStringLiteral("Elija una cuenta de ingreso o de gasto"));
        return;
    }
    if (!services_.messages.ask(this,
                                QStringLiteral("¿Quitar el presupuesto de «%1»?").arg(*account),
                                MessageIcon::Question)) {
        return;
    }
    if (report_.attempt(QStringLiteral("No se puede quitar el presupuesto de «%1»").arg(*account),
                        [&] { clearBudget(state_.db(), *account); })) {
        reload();
    }
}

} // namespace velmora
