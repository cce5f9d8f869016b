#pragma once

// The user's backup of the current year to a drive they pick, usually a
// removable one, and the restore from it. The work itself is in DriveBackup; the
// window asks, shows that it is busy, and says how it went.

#include "ui/MessageService.h"
#include "ui/WindowKit.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

struct AppState;
struct Services;

class frmCopiaPen : public ModalWindow {
    Q_OBJECT
public:
    frmCopiaPen(AppState& state, Services& services, QWidget* parent = nullptr);

    void realizar();
    void recuperar();

protected:
    void opened() override;

private:
    void buildControls();
    QString chosenDrive() const;
    // Shows the status line in colour (a stored colour value) with text.
    void showStatus(qint32 colour, const QString& text);
    void showFailure(const QString& text);
    void operate(const Message& question, MessageAnswer go,
                 const std::function<bool(const QString&)>& work, const QString& done);

    AppState& state_;
    Services& services_;

    QComboBox* Drive1 = nullptr;
    QLineEdit* txtRuta = nullptr;
    QLabel* lblInforma = nullptr;
    QPushButton* cmdRealizar = nullptr;
    QPushButton* cmdRecuperar = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
