#pragma once

// One account's register read as the bank's statement: its entries in date
// order with the balance after each, from the opening balance. Enter or a
// double-click on a line edits that entry; the register is read again after.
// "Imprimir" opens the report window over the same register.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class ListFlow;
class RegisterTableModel;
class clsMW;

class frmExtracto : public ModalWindow {
    Q_OBJECT
public:
    frmExtracto(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmExtracto() override;

    // The account whose register the window shows once it opens.
    void setAccount(const QString& account);

    // Reads the register again; false, with the grid left as it was, when the
    // database fails (the user has been told).
    bool reload();

    RegisterTableModel& model() const { return *model_; }

protected:
    void opened() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyColumnWidths();
    void editSelected();
    void printRegister();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    QString account_;
    QString unreadableNotice_;
    RegisterTableModel* model_ = nullptr;
    std::unique_ptr<ListFlow> list_;
    std::unique_ptr<clsMW> wheel_;

    QLabel* lblInfo = nullptr;
    QTableView* mshDatos = nullptr;
    QPushButton* cmdImprimir = nullptr;
};

} // namespace velmora
