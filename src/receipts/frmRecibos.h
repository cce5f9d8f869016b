#pragma once

// The household's recurring receipts: listed, added, changed and deleted, with
// how many are due and a way to write them. Each change is saved at once.

#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
struct Receipt;
class ListFlow;
class ReceiptTableModel;

class frmRecibos : public ModalWindow {
    Q_OBJECT
public:
    frmRecibos(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmRecibos() override;

    // Entries written from here, so the main list knows to read them.
    int written() const { return written_; }

protected:
    void opened() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void arrangeControls();
    bool showReceipts();
    void addReceipt();
    void editSelected();
    void deleteSelected();
    void writePending();
    void edit(const Receipt* receipt, int returnRow);
    bool save(const Receipt& receipt);

    AppState& state_;
    Services& services_;
    ReceiptTableModel* model_ = nullptr;
    std::unique_ptr<ListFlow> list_;
    int written_ = 0;

    QLabel* lblInfo = nullptr;
    QTableView* mshDatos = nullptr;
    QPushButton* cmdAnadir = nullptr;
    QPushButton* cmdModificar = nullptr;
    QPushButton* cmdBorrar = nullptr;
    QPushButton* cmdPendientes = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
