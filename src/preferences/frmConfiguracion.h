#pragma once

// The owner's data that the reports print (the one row of tblTitulos) and the
// two printers chosen in imp.ini: one for reports, one that makes PDF files.
// "&Salir" writes both and closes; any other way out asks first when something
// changed. When a write fails the user is told and the window stays open with
// everything as typed.

#include "store/CompanyStore.h"
#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <array>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class SystemInfo;

class frmConfiguracion : public ModalWindow {
    Q_OBJECT
public:
    frmConfiguracion(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmConfiguracion() override;

    // Every way of closing other than "&Salir" comes here.
    void reject() override;

protected:
    void opened() override;

private:
    void buildControls();
    void loadCompany();
    void fillPrinters();
    Company edited() const;
    bool changed() const;
    bool save();
    void salir();

    AppState& state_;
    MessageService& messages_;
    const SystemInfo& system_;
    FailureReport report_;

    // What was read, to tell whether anything changed and to write back a Null
    // for a field left untouched.
    Company loaded_;
    bool companyRead_ = false;
    std::array<int, 2> loadedPrinters_{-1, -1};

    // txtDatos 0 to 6 and 9, in table order.
    std::array<QWidget*, kCompanyColumns> txtDatos{};
    std::array<QComboBox*, 2> cmbImpresora{};
    QGroupBox* fraEmpresa = nullptr;
    QGroupBox* fraProDat = nullptr;
    QPushButton* cmdPechar = nullptr;
};

} // namespace velmora
