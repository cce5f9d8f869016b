#pragma once

// The account list: accounts filtered by any part of their name, with their
// concept and kind, and the commands that create, edit and delete them through
// the account card. Deleting an account leaves the entries that name it alone.

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class FilterField;
class AccountTableModel;
class frmCuentasFicha;

class frmCuentas : public QDialog {
    Q_OBJECT
public:
    frmCuentas(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmCuentas() override;

    // Runs the list query with the filter as it stands and refills the grid and
    // the count. False, with the list left as it was, when the database fails
    // (the user has been told).
    bool reload();
    // Sizes the grid, the filter box, the count and the columns to the window.
    void layoutControls();
    // Selects the given row (1 = first) again, or the last one when the list
    // became shorter, scrolls it to the top and puts the current cell on the name.
    void selectReturnRow(int row);

    AccountTableModel& model() const { return *model_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyColumnWidths();
    void runCard(frmCuentasFicha& card);
    void newAccount();
    void editSelected();
    void deleteSelected();

    AppState& state_;
    Services& services_;
    MessageService& messages_;
    AccountTableModel* model_ = nullptr;
    bool activated_ = false;

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
