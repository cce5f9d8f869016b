#include "maintenance/frmCopiaPen.h"

#include "maintenance/DriveBackup.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Contrast.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace velmora {

namespace {

// Stored colour values of the status line: red while busy, dark green when done.
constexpr qint32 kBusy = 255;
constexpr qint32 kDone = 32768;

const QString kNoPath = QStringLiteral("No ha especificado una ruta");

QString driveText(const Drive& drive) {
    const QString root = QDir::toNativeSeparators(drive.rootPath);
    return drive.name == drive.rootPath ? root : drive.name + QStringLiteral(" (") + root + ')';
}

} // namespace

frmCopiaPen::frmCopiaPen(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmCopiaPen"));
    setWindowTitle(QStringLiteral("Copia de Seguridad"));
    buildControls();
}

void frmCopiaPen::buildControls() {
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setMinimumWidth(twips(4500));
    // Mount points can be long; the list and the path show them whole.
    Drive1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(Drive1, &QComboBox::currentIndexChanged, this,
            [this] { txtRuta->setText(QDir::toNativeSeparators(backupFolderFor(chosenDrive()))); });

    txtRuta = new QLineEdit(this);
    txtRuta->setObjectName(QStringLiteral("txtRuta"));

    lblInforma = new QLabel(this);
    lblInforma->setObjectName(QStringLiteral("lblInforma"));
    QFont bold = lblInforma->font();
    bold.setBold(true);
    lblInforma->setFont(bold);
    // The line keeps its place while hidden, so the window does not jump when it shows.
    QSizePolicy keepPlace = lblInforma->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblInforma->setSizePolicy(keepPlace);
    lblInforma->setMinimumWidth(lblInforma->fontMetrics().horizontalAdvance(
                                    QStringLiteral("La recuperación se ha completado")) +
                                twips(200));
    lblInforma->hide();

    const auto makeButton = [this](const char* name, const QString& text) {
        QPushButton* button = commandButton(*this, name, text);
        button->setMinimumWidth(twips(1300));
        return button;
    };
    cmdRealizar = makeButton("cmdRealizar", QStringLiteral("&Copiar"));
    cmdRecuperar = makeButton("cmdRecuperar", QStringLiteral("&Recuperar"));
    cmdCerrar = makeButton("cmdCerrar", QStringLiteral("&Salir"));
    // The one default button of the program: Enter in the list or the path restores.
    cmdRecuperar->setDefault(true);
    connect(cmdRealizar, &QPushButton::clicked, this, &frmCopiaPen::realizar);
    connect(cmdRecuperar, &QPushButton::clicked, this, &frmCopiaPen::recuperar);
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRealizar);
    buttons->addWidget(cmdRecuperar);
    buttons->addWidget(cmdCerrar);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Unidad"), this), 0, 0);
    layout->addWidget(Drive1, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Destino u Origen para los datos:"), this), 1, 0, 1,
                      2);
    layout->addWidget(txtRuta, 2, 0, 1, 2);
    layout->addWidget(lblInforma, 3, 0, 1, 2);
    layout->addLayout(buttons, 4, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabChain({Drive1, txtRuta, cmdRealizar, cmdRecuperar, cmdCerrar});
}

void frmCopiaPen::opened() {
    for (const Drive& drive : services_.system.drives()) {
        Drive1->addItem(driveText(drive), drive.rootPath);
    }
    int widest = 0;
    for (const Drive& drive : services_.system.drives()) {
        const QString path = QDir::toNativeSeparators(backupFolderFor(drive.rootPath));
        widest = std::max(widest, txtRuta->fontMetrics().horizontalAdvance(path));
    }
    txtRuta->setMinimumWidth(std::min(widest + twips(300), twips(12000)));
    Drive1->setCurrentIndex(Drive1->count() - 1);
    Drive1->setFocus(Qt::OtherFocusReason);
}

QString frmCopiaPen::chosenDrive() const {
    return Drive1->currentData().toString();
}

void frmCopiaPen::showStatus(qint32 colour, const QString& text) {
    QPalette colours = lblInforma->palette();
    // On the desktop's own window colour, light or dark.
    colours.setColor(QPalette::WindowText,
                     readableOn(colours.color(QPalette::Window), colourFromValue(colour)));
    lblInforma->setPalette(colours);
    lblInforma->setText(text);
    lblInforma->show();
    // The copy holds the event loop: paint now, or the user sees nothing until it ends.
    lblInforma->repaint();
}

void frmCopiaPen::showFailure(const QString& text) {
    lblInforma->hide();
    services_.messages.fail(this, text);
}

// Both directions: a path, the question, the red line, the work, the green line.
// work gives false when it has told the user itself why it did nothing.
void frmCopiaPen::operate(const Message& question, MessageAnswer go,
                          const std::function<bool(const QString&)>& work, const QString& done) {
    const QString folder = QDir::fromNativeSeparators(txtRuta->text().trimmed());
    if (folder.isEmpty()) {
        services_.messages.fail(this, kNoPath);
        return;
    }
    if (services_.messages.show(this, question) != go) {
        return;
    }
    showStatus(kBusy, QStringLiteral("Espere un momento ..."));
    try {
        if (!work(folder)) {
            return;
        }
    } catch (const BackupError& error) {
        showFailure(error.message());
        return;
    }
    QDir::setCurrent(state_.session.programFolder());
    showStatus(kDone, done);
}

void frmCopiaPen::realizar() {
    operate(
        Message{QStringLiteral("Se copiarán los datos a la unidad indicada\n"
                               "Asegúrese de que hay un disco en la unidad correspondente"),
                kAppTitle, MessageIcon::Information, MessageButtons::OkCancel},
        MessageAnswer::Ok,
        [this](const QString& folder) {
            backUpYear(state_.session, chosenDrive(), folder);
            return true;
        },
        QStringLiteral("La copia se ha completado"));
}

void frmCopiaPen::recuperar() {
    operate(
        Message{QStringLiteral("¡ A T E N C I Ó N !\n"
                               "Se reemplazarán los datos de facturación actuales\n"
                               "por los existentes en el archivo de seguridad\n"
                               "¿Desea continuar?"),
                kAppTitle, MessageIcon::Critical, MessageButtons::YesNo},
        MessageAnswer::Yes,
        [this](const QString& folder) {
            if (!driveHoldsBackup(chosenDrive())) {
                lblInforma->hide();
                services_.messages.inform(
                    this, QStringLiteral("No se encontraron datos en la unidad indicada"));
                return false;
            }
            restoreYear(state_.session, chosenDrive(), folder, services_.clock.now());
            return true;
        },
        QStringLiteral("La recuperación se ha completado"));
}

} // namespace velmora
