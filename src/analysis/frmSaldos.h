#pragma once

// Where the money stands at a date: every cash account with its opening balance,
// money in, money out and balance, their total, and the income and expense
// accounts with their totals over the year up to that date. The opening balance
// of a cash account is typed in its grid and stored at once.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <QDate>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class AmountTotal;
class BalanceTableModel;
class DateField;

class frmSaldos : public ModalWindow {
    Q_OBJECT
public:
    frmSaldos(AppState& state, Services& services, QWidget* parent = nullptr);

    // The date the figures are taken at, before the window shows; by default the
    // last day of the year.
    void setDate(const QDate& date);

    // Reads every figure again at the date shown; nothing while it is no date.
    void reload();

signals:
    // Double-click or Enter on an account: its register.
    void accountChosen(const QString& account);
    void carryOverRequested();

protected:
    void opened() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void storeOpening(const QString& account, const QString& text);
    void chooseAccount(const QTableView& grid, int row);
    void showTotal(QLabel& label, const QString& caption, const AmountTotal& total);

    AppState& state_;
    Services& services_;
    FailureReport report_;
    QDate date_;

    DateField* mskFecha = nullptr;
    BalanceTableModel* cash_ = nullptr;
    BalanceTableModel* results_ = nullptr;
    QTableView* mshCaja = nullptr;
    QTableView* mshResultados = nullptr;
    QLabel* lblTotalCaja = nullptr;
    QLabel* lblIngresos = nullptr;
    QLabel* lblGastos = nullptr;
    QPushButton* cmdAnoAnterior = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
