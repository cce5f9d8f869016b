#pragma once

// The account list: accounts filtered by any part of their name, with their
// concept and kind, and the commands that create, edit and delete them through
// the account card. Deleting an account leaves the entries that name it alone,
// and Ctrl+Z puts the accounts deleted from this year back, the last one first.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class FilterField;
class AccountTableModel;
class ListFlow;
class clsMW;

class frmCuentas : public ModalWindow {
    Q_OBJECT
public:
    frmCuentas(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmCuentas() override;

    // Runs the list query with the filter as it stands and refills the grid and
    // the count. False, with the list left as it was, when the database fails
    // (the user has been told).
    bool reload();
    // Paints the count and sizes the columns to the grid.
    void layoutControls();

    AccountTableModel& model() const { return *model_; }

protected:
    // As on every return to this window: the list, then the focus in the filter.
    void opened() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void arrangeControls();
    void applyColumnWidths();
    void newAccount();
    void editSelected();
    void deleteSelected();
    // The last account deleted goes back as it was, unless another account has
    // taken its name meanwhile.
    void undoDelete();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    AccountTableModel* model_ = nullptr;
    std::unique_ptr<ListFlow> list_;
    // Held while the window lives; each opening hooks its own new grid.
    std::unique_ptr<clsMW> wheel_;

    QLabel* lblFiltro = nullptr;
    FilterField* txtFiltro = nullptr;
    QPushButton* cmdFiltrar = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* cmdNovo = nullptr;
    QPushButton* cmdEditar = nullptr;
    QPushButton* cmdBorrar = nullptr;
    QPushButton* cmdInformes = nullptr;
    QTableView* mshDatos = nullptr;
};

} // namespace velmora
