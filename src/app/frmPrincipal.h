#pragma once

// The main window: the entry list with its date range, header filter boxes,
// record count and totals, the commands, and the exit question. It lives for the
// whole run; every other window opens modal over it.

#include "entries/EntryList.h"
#include "store/EntryStore.h"
#include "ui/FailureReport.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QMenu;
class QAction;
class QDialog;
class QTableView;
class QToolButton;

namespace velmora {

struct AppState;
struct Services;
class DateField;
class FilterField;
class EntryTableModel;
class ListFlow;
class clsMW;

class frmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    frmPrincipal(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmPrincipal() override;

    // Runs the list query with the filters and range as they stand and refills the
    // grid and both lines. False, with the list left as it was, when a date is not
    // valid or the database fails (the user has been told).
    bool reload();
    // Paints the lines and sizes the columns to the grid. The date range the user
    // typed stays: a resize never makes the fields disagree with the list.
    void layoutControls();
    // After a window that may have changed the year or the colours: the title,
    // the colours, with yearRange the whole (new) current year, and the list.
    void applySharedState(bool yearRange);
    // Puts the date range back to the whole current year.
    void setYearRange();
    // Makes the entry `id` of the current year the selected line, clearing the
    // filters and moving the range to its date's year when they hide it.
    void selectEntry(qint64 id, const QDate& date);
    // At start-up: when receipts are due, asks whether to write them now.
    void offerDueReceipts();

    EntryTableModel& model() const { return *model_; }
    const EntryTotals& totals() const { return totals_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void arrangeControls();
    void buildMenu();
    void showActiveFilters();
    void paintSections();
    void applyColumnWidths();
    void clearFilters();
    void newEntry();
    void editSelected();
    void deleteSelected();
    // "Deshacer borrado": the last entry deleted goes back, under its number
    // when that is still free.
    void undoDelete();
    // "&Informe": the report window over the entries listed.
    void showReport();
    // "&8. Exportar CSV ...": what the list shows, to a CSV file the user names.
    void exportList();
    // "Buscar en todos los años ...": the search window, and the entry chosen there.
    void searchAllYears();
    void showHeaderFilter(int column);
    void noticeUnreadableAmounts(const EntryList& list);
    void noticeUndatedEntries();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    EntryTableModel* model_ = nullptr;
    std::unique_ptr<ListFlow> list_;
    std::unique_ptr<clsMW> wheel_;
    EntryTotals totals_;
    // What was deleted from this year since it was opened, the last one last.
    std::vector<StoredEntry> deleted_;
    // The filters and range of the last reload: what the list shows.
    EntryFilter listed_;
    // The last notice about unreadable amounts, so a reload does not repeat it.
    QString unreadableNotice_;

    QWidget* central_ = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    DateField* mskDesde = nullptr;
    DateField* mskHasta = nullptr;
    QLabel* lblInfo = nullptr;
    // Which text filters the list obeys, beside the record count.
    QLabel* lblFiltros = nullptr;
    QToolButton* cmdFiltrar = nullptr;
    QToolButton* cmdFiltroQuitar = nullptr;
    QToolButton* cmdNovo = nullptr;
    QToolButton* cmdEditar = nullptr;
    QToolButton* cmdBorrar = nullptr;
    QToolButton* cmdInforme = nullptr;
    QToolButton* cmdBalance = nullptr;
    QToolButton* cmdEstadisticas = nullptr;
    QToolButton* cmdSalir = nullptr;
    QAction* mnuOpDeshacer = nullptr;
    QTableView* mshDatos = nullptr;
    QLabel* lblBalance = nullptr;
    FilterField* txtFiltroDes = nullptr;
    FilterField* txtFiltroEntra = nullptr;
    FilterField* txtFiltroSale = nullptr;
};

} // namespace velmora
