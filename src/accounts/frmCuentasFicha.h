#pragma once

// The account card: creates an account or changes one. The caller sets Estado
// (0 new, 1 existing) and Id, sets the caption and shows it modally; it reloads
// its own list afterwards. A rename carries the new name into every entry, after
// the user agrees, in one transaction with the account row.

#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class TextField;
class ListField;

class frmCuentasFicha : public ModalWindow {
    Q_OBJECT
public:
    enum { New = 0, Existing = 1 };

    frmCuentasFicha(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmCuentasFicha() override;

    void setEstado(int estado) { Estado_ = estado; }
    void setId(const QString& name) { Id_ = name; }

    void ConfiguraForm() {}
    // Name, concept and kind are present; otherwise says which is missing and puts
    // the focus there.
    bool ComprobaDatos();
    // No other account has the name, in any letter case; otherwise says so and
    // puts the focus in the name (with the loaded name back for an existing account).
    bool ComprobaNom();
    // The name as loaded, before the user changed it.
    const QString& NomOrixinal() const { return NomOrixinal_; }

protected:
    void opened() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void CargaDatos();
    void aceptar();
    bool GardaNovo();
    bool GardaCambios();

    AppState& state_;
    MessageService& messages_;
    FailureReport report_;
    int Estado_ = New;
    QString Id_;
    QString NomOrixinal_;

    TextField* txtNom = nullptr;
    ListField* cmbTipo = nullptr;
    TextField* txtCon = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace velmora
