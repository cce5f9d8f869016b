#pragma once

// The entry editor: creates an entry or changes one. The caller sets Estado (0
// new, 1 existing) and Id, sets the caption and shows it modally; it reloads its
// own list afterwards. Nothing that would break the movement rule, and no
// invalid date or amount, is ever written; a field the user left as it was
// loaded is written back exactly as it was read.

#include "store/EntryStore.h"
#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <optional>

class QLineEdit;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class DateField;
class AmountField;
class ListField;
class DescriptionField;

class frmApuntesDetalle : public ModalWindow {
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
    void opened() override;

private:
    // What the fields showed right after CargaDatos, beside the entry read.
    struct Loaded {
        Entry entry;
        QString date;
        QString description;
        QString amount;
        int goesInto = -1;
        int comesOutOf = -1;
    };

    void buildControls();
    bool activate();
    bool CargaDatos();
    void aceptar();
    void GardaNovo();
    void GardaCambios();
    void save(bool isNew);
    Entry entryFromFields(bool isNew) const;

    AppState& state_;
    Services& services_;
    FailureReport report_;
    int Estado_ = New;
    qint64 Id_ = 0;
    bool refused_ = false;
    std::optional<Loaded> loaded_;

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
