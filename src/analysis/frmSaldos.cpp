#include "analysis/frmSaldos.h"

#include "analysis/AccountBalances.h"
#include "analysis/BalanceTableModel.h"
#include "state/Logging.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Contrast.h"
#include "ui/Fields.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/YearFolders.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora {

frmSaldos::frmSaldos(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()) {
    setObjectName(QStringLiteral("frmSaldos"));
    setWindowTitle(QStringLiteral("Saldos"));
    buildControls();
}

void frmSaldos::buildControls() {
    mskFecha = new DateField(state_.palette, services_.messages, DateField::Mask::FromFocus, this);
    mskFecha->setObjectName(QStringLiteral("mskFecha"));
    // A whole date typed is enough: the figures follow it at once.
    connect(mskFecha, &QLineEdit::textChanged, this, [this] {
        if (isVisible() && mskFecha->date()) {
            reload();
        }
    });

    cash_ = new BalanceTableModel(state_.palette, BalanceTableModel::Rows::Cash, this);
    connect(cash_, &BalanceTableModel::openingTyped, this, &frmSaldos::storeOpening,
            Qt::QueuedConnection);
    results_ =
        new BalanceTableModel(state_.palette, BalanceTableModel::Rows::IncomeAndExpense, this);
    mshCaja = makeListGrid(this, cash_, "mshCaja");
    // Only the opening balance takes typing; the other cells open the register.
    mshCaja->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    mshResultados = makeListGrid(this, results_, "mshResultados");
    for (QTableView* grid : {mshCaja, mshResultados}) {
        grid->installEventFilter(this);
        connect(grid, &QTableView::doubleClicked, this, [this, grid](const QModelIndex& index) {
            if (!(index.flags() & Qt::ItemIsEditable)) {
                chooseAccount(*grid, index.row());
            }
        });
    }

    const auto totalLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    lblTotalCaja = totalLabel("lblTotalCaja");
    lblIngresos = totalLabel("lblIngresos");
    lblGastos = totalLabel("lblGastos");

    cmdAnoAnterior = commandButton(*this, "cmdAnoAnterior",
                                   QStringLiteral("&Tomar saldos del año anterior ..."));
    connect(cmdAnoAnterior, &QPushButton::clicked, this, &frmSaldos::carryOverRequested);
    cmdCerrar = commandButton(*this, "cmdCerrar", QStringLiteral("&Cerrar"));
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::accept);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(new QLabel(QStringLiteral("Fecha"), this));
    dateRow->addWidget(mskFecha);
    dateRow->addStretch(1);

    auto* totals = new QHBoxLayout;
    totals->addWidget(lblIngresos);
    totals->addStretch(1);
    totals->addWidget(lblGastos);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAnoAnterior);
    buttons->addStretch(1);
    buttons->addWidget(cmdCerrar);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dateRow);
    layout->addWidget(new QLabel(QStringLiteral("Cuentas de caja"), this));
    layout->addWidget(mshCaja, 3);
    layout->addWidget(lblTotalCaja, 0, Qt::AlignRight);
    layout->addWidget(new QLabel(QStringLiteral("Ingresos y gastos del año"), this));
    layout->addWidget(mshResultados, 2);
    layout->addLayout(totals);
    layout->addLayout(buttons);

    setTabChain({mskFecha, mshCaja, mshResultados, cmdAnoAnterior, cmdCerrar});
    resize(760, 540);
}

void frmSaldos::setDate(const QDate& date) {
    date_ = date;
}

void frmSaldos::opened() {
    if (!date_.isValid()) {
        date_ = QDate(calendarYearOf(state_.session.year(), services_.clock.today()), 12, 31);
    }
    mskFecha->setText(formatDate(date_));
    reload();
    mskFecha->setFocus(Qt::OtherFocusReason);
}

void frmSaldos::reload() {
    const std::optional<QDate> date = mskFecha->date();
    if (!date) {
        return;
    }
    BalanceSheet sheet;
    if (!report_.attempt(QStringLiteral("No se pueden calcular los saldos"),
                         [&] { sheet = balancesOfYearAt(state_.db(), *date); })) {
        return;
    }
    AmountTotal income;
    for (const AccountFigures& account : sheet.income) {
        income.add(account.figure());
    }
    AmountTotal expense;
    for (const AccountFigures& account : sheet.expense) {
        expense.add(account.figure());
    }
    std::vector<AccountFigures> results = std::move(sheet.income);
    results.insert(results.end(), sheet.expense.begin(), sheet.expense.end());
    const AmountTotal cashTotal = sheet.cashTotal();
    cash_->setAccounts(std::move(sheet.cash));
    results_->setAccounts(std::move(results));
    showTotal(*lblTotalCaja, QStringLiteral("Total en caja: "), cashTotal);
    showTotal(*lblIngresos, QStringLiteral("Ingresos: "), income);
    showTotal(*lblGastos, QStringLiteral("Gastos: "), expense);
    // No figure is ever elided: the columns take what the largest amount needs.
    for (QTableView* grid : {mshCaja, mshResultados}) {
        showReloadedGrid(*grid, BalanceTableModel::NameColumn);
        for (int column = 0; column < BalanceTableModel::ColumnCount; ++column) {
            setColumnWidthToFit(*grid, column, 0, allRows(*grid));
        }
    }
}

void frmSaldos::showTotal(QLabel& label, const QString& caption, const AmountTotal& total) {
    label.setText(caption + total.text());
    QPalette colours = label.palette();
    const QColor background = colours.color(QPalette::Window);
    colours.setColor(QPalette::WindowText, total.cents().value_or(0) < 0
                                               ? readableOn(background, Palette::negativeAmount())
                                               : textOn(background));
    label.setPalette(colours);
}

void frmSaldos::storeOpening(const QString& account, const QString& text) {
    const std::optional<double> amount = parseAmount(text);
    const std::optional<qint64> cents = amount ? amountCents(*amount) : std::nullopt;
    if (!cents) {
        services_.messages.inform(this, QStringLiteral("Ponga un nº correcto"));
        return;
    }
    if (report_.attempt(QStringLiteral("No se puede guardar el saldo inicial de «%1»").arg(account),
                        [&] { setOpeningBalance(state_.db(), account, *cents); })) {
        reload();
    }
}

void frmSaldos::chooseAccount(const QTableView& grid, int row) {
    const auto& model = static_cast<const BalanceTableModel&>(*grid.model());
    if (row >= 0 && row < int(model.accounts().size())) {
        emit accountChosen(model.accounts()[static_cast<size_t>(row)].account);
    }
}

bool frmSaldos::eventFilter(QObject* watched, QEvent* event) {
    auto* grid = qobject_cast<QTableView*>(watched);
    if (grid != nullptr && isEnterPress(*event) && grid->currentIndex().isValid()) {
        chooseAccount(*grid, grid->currentIndex().row());
        return true;
    }
    return ModalWindow::eventFilter(watched, event);
}

} // namespace velmora
