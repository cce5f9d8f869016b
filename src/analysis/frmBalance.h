#pragma once

// The balance of one account over a date range of the year: money in, money
// out and the difference. It only reads.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class DateField;
class ListField;

class frmBalance : public QDialog {
    Q_OBJECT
public:
    frmBalance(AppState& state, Services& services, QWidget* parent = nullptr);

    // Computes and shows the three figures; nothing while a date is not valid.
    void calcular();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();

    AppState& state_;
    MessageService& messages_;
    bool opened_ = false;

    ListField* cmbConta = nullptr;
    DateField* mskDesde = nullptr;
    DateField* mskHasta = nullptr;
    QPushButton* cmdCalcular = nullptr;
    QFrame* shpDatos = nullptr;
    QLabel* lblEntradas = nullptr;
    QLabel* lblSalidas = nullptr;
    QLabel* lblBalance = nullptr;
};

} // namespace velmora
