#include "startup/Program.h"

#include "entries/frmPrincipal.h"
#include "startup/AppState.h"
#include "startup/Installation.h"
#include "startup/Settings.h"
#include "startup/SingleInstance.h"
#include "store/Sqlite.h"
#include "ui/Logging.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/ConnectionSetup.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace velmora {

Program::Program(const QString& programFolder, Services& services)
    : services_(services), state_(std::make_unique<AppState>()) {
    state_->programFolder = settingsFolderFor(programFolder);
}

Program::~Program() = default;

std::optional<int> Program::start() {
    const SettingsFiles settings(state_->programFolder);
    if (!QFileInfo::exists(settings.pathOf(QStringLiteral("ruta.ini")))) {
        if (const std::optional<int> exitCode = installFirstYear()) {
            return exitCode;
        }
    }
    // Keyed by the year's database, so that a copy started from another program folder
    // on the same year is kept out too. It follows the year from here on.
    state_->yearLock = std::make_unique<SingleInstance>(
        databasePathFor(settings.readDataRoot(), settings.readYear()));
    if (!state_->yearLock->acquire()) {
        services_.messages.show(nullptr,
                                Message{QStringLiteral("Ya se está ejecutando el programa"),
                                        kAppTitle, MessageIcon::None, MessageButtons::Ok});
        return 0;
    }

    state_->palette.setMain(settings.readMainColour().value_or(0));
    state_->palette.setSection(settings.readSectionColour().value_or(0));

    try {
        setupConnection(*state_);
    } catch (const ConnectionError& error) {
        services_.messages.fail(nullptr, error.message());
        return 1;
    }

    removeCopyLeftovers();

    mainWindow_ = std::make_unique<frmPrincipal>(*state_, services_);
    mainWindow_->show();
    // A colour file that cannot be read costs the colour, never the start.
    if (!settings.problems().isEmpty()) {
        services_.messages.warn(
            mainWindow_.get(),
            QStringLiteral("Estos archivos de ajustes no se pueden usar y se han tomado como si "
                           "no existieran:\n%1")
                .arg(settings.problems().join(QLatin1Char('\n'))));
    }
    // Once the list is on screen: at a million entries the copy takes half a second.
    QTimer::singleShot(0, mainWindow_.get(), [this] { writeDailyCopy(); });
    return std::nullopt;
}

std::optional<int> Program::installFirstYear() {
    if (state_->programFolder.isEmpty()) {
        services_.messages.fail(nullptr, QStringLiteral("No se encuentra la carpeta de "
                                                        "configuración del usuario; el programa "
                                                        "no puede guardar sus ajustes."));
        return 1;
    }
    const QString dataRoot = QDir::cleanPath(QDir::homePath() + QStringLiteral("/Velmora"));
    const QString year = QString::number(services_.clock.today().year());
    const QString nativeRoot = QDir::toNativeSeparators(dataRoot);
    // A year left by an earlier installation is used, never replaced; say so.
    const QString question =
        QFileInfo::exists(databasePathFor(dataRoot, year))
            ? QStringLiteral("No se encuentran los ajustes de Velmora, pero en %1 ya hay datos "
                             "del año %2.\n\n¿Desea usarlos?")
                  .arg(nativeRoot, year)
            : QStringLiteral("No se encuentra la carpeta de datos de Velmora.\n\n¿Desea crear "
                             "una en %1 para el año %2?")
                  .arg(nativeRoot, year);
    if (services_.messages.show(nullptr, Message{question, kAppTitle, MessageIcon::Question,
                                                 MessageButtons::YesNo}) != MessageAnswer::Yes) {
        return 0;
    }
    try {
        installYear(state_->programFolder, dataRoot, year);
    } catch (const InstallationError& error) {
        // The command line prints the reason after its own name, in lower case.
        QString reason = error.message();
        if (!reason.isEmpty()) {
            reason[0] = reason[0].toUpper();
        }
        services_.messages.fail(
            nullptr, QStringLiteral("No se ha podido preparar la carpeta de datos de Velmora.\n\n"
                                    "%1.")
                         .arg(reason));
        return 1;
    }
    qCInfo(lcStartup).noquote() << "instalación creada en" << dataRoot << "con ajustes en"
                                << state_->programFolder;
    return std::nullopt;
}

// A copy killed half-way leaves its partial file and journal among the copies.
// Each year's folder is tidied only while no running copy of the program works on
// that year, since its partial file may be the copy it is writing right now.
void Program::removeCopyLeftovers() {
    for (const QString& year : SafetyCopies::yearsWithCopies(state_->dataRoot)) {
        if (year != state_->year &&
            !SingleInstance(databasePathFor(state_->dataRoot, year)).acquire()) {
            continue;
        }
        SafetyCopies(state_->dataRoot, year).removeLeftovers();
    }
}

void Program::writeDailyCopy() {
    const SafetyCopies copies(state_->dataRoot, state_->year);
    if (copies.madeOn(services_.clock.today())) {
        return;
    }
    // Never a reason not to start: the year itself opened, and tomorrow tries again.
    try {
        copies.write(state_->db(), services_.clock.now());
    } catch (const DbError& error) {
        qCWarning(lcStartup).noquote()
            << "no se ha podido guardar la copia del día:" << error.what();
    }
}

} // namespace velmora
