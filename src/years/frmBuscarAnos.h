#pragma once

// The search across years: the main list's three text filters and a date range
// run over every year of the data root, with the totals and the years that could
// not be read. Choosing a line switches the program to that year, as the year
// window does; the main window then shows the year and selects the entry.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"
#include "years/YearSearchModel.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class DateField;

class frmBuscarAnos : public ModalWindow {
    Q_OBJECT
public:
    frmBuscarAnos(AppState& state, Services& services, QWidget* parent = nullptr);

    void buscar();
    // Switches to the year of `line`; the window closes once the program is on it.
    void elegir(int line);

    // The entry chosen, once the program is on its year.
    const std::optional<YearSearchModel::Found>& chosen() const { return chosen_; }

protected:
    void opened() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();

    AppState& state_;
    Services& services_;
    FailureReport report_;
    YearSearchModel* model_ = nullptr;
    std::optional<YearSearchModel::Found> chosen_;

    QLineEdit* txtConcepto = nullptr;
    QLineEdit* txtEntra = nullptr;
    QLineEdit* txtSale = nullptr;
    DateField* mskDesde = nullptr;
    DateField* mskHasta = nullptr;
    QPushButton* cmdBuscar = nullptr;
    QPushButton* cmdSalir = nullptr;
    QTableView* mshDatos = nullptr;
    QLabel* lblInfo = nullptr;
    QLabel* lblBalance = nullptr;
    QLabel* lblSaltados = nullptr;
};

} // namespace velmora
