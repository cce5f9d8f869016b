#pragma once

// The entry editor: creates an entry or changes one. The caller sets Estado (0
// new, 1 existing) and Id, sets the caption and shows it modally; it reloads its
// own list afterwards. Nothing that would break the movement rule, and no
// invalid date or amount, is ever written.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class MessageService;
class DateField;
class AmountField;
class ListField;
class DescriptionField;

class frmApuntesDetalle : public QDialog {
    Q_OBJECT
public:
    enum { New = 0, Existing = 1 };

    frmApuntesDetalle(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmApuntesDetalle() override;

    void setEstado(int estado) { Estado_ = estado; }
    void setId(qint64 id) { Id_ = id; }

    void ConfiguraForm() {}
    // The description is present; otherwise says so and puts the focus there.
    bool ComprobaDatos();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    bool activate();
    bool CargaDatos();
    void aceptar();
    void GardaNovo();
    void GardaCambios();
    void save(bool isNew);

    AppState& state_;
    MessageService& messages_;
    const Services& services_;
    int Estado_ = New;
    qint64 Id_ = 0;
    bool refused_ = false;
    bool activated_ = false;

    QLineEdit* txtId = nullptr;
    DateField* mskData = nullptr;
    ListField* cmbEntraEn = nullptr;
    ListField* cmbSaleDe = nullptr;
    AmountField* txtImporte = nullptr;
    DescriptionField* txtDes = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace velmora
