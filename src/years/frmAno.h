#pragma once

// The year window: lists the years there are, creates a new one from the
// current year, and switches the program to another. Whatever happens here, the
// program is on a year when it closes; the main window then shows that year.

#include "ui/WindowKit.h"

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;
class TextField;

class frmAno : public ModalWindow {
    Q_OBJECT
public:
    frmAno(AppState& state, Services& services, QWidget* parent = nullptr);

    void crear();
    void cambiar(QListWidgetItem* item);

protected:
    void opened() override;

private:
    void buildControls();
    void fillList();
    void refuse(const QString& text);

    AppState& state_;
    Services& services_;

    QListWidget* lstInforma = nullptr;
    QGroupBox* fraAno = nullptr;
    TextField* txtAno = nullptr;
    QPushButton* cmdCrear = nullptr;
    QPushButton* cmdSalir = nullptr;
};

} // namespace velmora
