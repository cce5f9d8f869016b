#pragma once

// The main window: the entry list with its date range, header filter boxes,
// record count and totals, the commands, and the exit question. It lives for the
// whole run; every other window opens modal over it.

#include "entries/EntryList.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QAction;
class QDialog;
class QTableView;
class QToolButton;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class DateField;
class FilterField;
class EntryTableModel;

class frmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    frmPrincipal(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmPrincipal() override;

    // Runs the list query with the filters and range as they stand and refills the
    // grid and both lines. False, with the list left as it was, when a date is not
    // valid or the database fails (the user has been told).
    bool reload();
    // Sizes the grid and the lines and puts the date range back to the whole year.
    void layoutControls();
    // Selects the given line (1 = first) again, or the last one when the list became
    // shorter, and scrolls it to the top.
    void selectReturnRow(int line);

    EntryTableModel& model() const { return *model_; }
    const EntryTotals& totals() const { return totals_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void setTabOrder();
    void applyColumnWidths();
    void clearFilters();
    // Opens another window modally with the hourglass over this one meanwhile.
    void showModal(QDialog& window);
    void newEntry();
    void editSelected();
    void deleteSelected();
    void showHeaderFilter(int column);

    AppState& state_;
    Services& services_;
    MessageService& messages_;
    EntryTableModel* model_ = nullptr;
    EntryTotals totals_;

    QWidget* central_ = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    DateField* mskDesde = nullptr;
    DateField* mskHasta = nullptr;
    QLabel* lblInfo = nullptr;
    QToolButton* cmdFiltrar = nullptr;
    QToolButton* cmdFiltroQuitar = nullptr;
    QToolButton* cmdNovo = nullptr;
    QToolButton* cmdEditar = nullptr;
    QToolButton* cmdBorrar = nullptr;
    QToolButton* cmdInforme = nullptr;
    QToolButton* cmdBalance = nullptr;
    QToolButton* cmdEstadisticas = nullptr;
    QToolButton* cmdSalir = nullptr;
    QTableView* mshDatos = nullptr;
    QLabel* lblBalance = nullptr;
    FilterField* txtFiltroDes = nullptr;
    FilterField* txtFiltroEntra = nullptr;
    FilterField* txtFiltroSale = nullptr;
};

} // namespace velmora
