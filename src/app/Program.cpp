#include "app/Program.h"

#include "app/FirstInstallation.h"
#include "app/NewYearSteps.h"
#include "app/frmPrincipal.h"
#include "state/Logging.h"
#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/ConnectionSetup.h"
#include "years/Installation.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace velmora {

Program::Program(const QString& programFolder, Services& services)
    : services_(services), state_(std::make_unique<AppState>(settingsFolderFor(programFolder))) {
    state_->newYearStep = newYearSteps;
}

Program::~Program() = default;

std::optional<int> Program::start() {
    const SettingsFiles settings(state_->session.programFolder());
    if (!QFileInfo::exists(settings.pathOf(QStringLiteral("ruta.ini")))) {
        if (const std::optional<int> exitCode =
                installFirstYear(state_->session.programFolder(), services_)) {
            return exitCode;
        }
    }
    // It follows the year from here on.
    if (!lockYear(state_->session, databasePathFor(settings.readDataRoot(), settings.readYear()))) {
        services_.messages.show(nullptr,
                                Message{QStringLiteral("Ya se está ejecutando el programa"),
                                        kAppTitle, MessageIcon::None, MessageButtons::Ok});
        return 0;
    }

    state_->palette.setMain(settings.readMainColour().value_or(0));
    state_->palette.setSection(settings.readSectionColour().value_or(0));

    try {
        setupConnection(state_->session);
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

// A copy killed half-way leaves its partial file and journal among the copies.
// Each year's folder is tidied only while no running copy of the program works on
// that year, since its partial file may be the copy it is writing right now.
void Program::removeCopyLeftovers() {
    for (const QString& year : SafetyCopies::yearsWithCopies(state_->session.dataRoot())) {
        if (year != state_->session.year() &&
            !SingleInstance(databasePathFor(state_->session.dataRoot(), year)).acquire()) {
            continue;
        }
        SafetyCopies(state_->session.dataRoot(), year).removeLeftovers();
    }
}

void Program::writeDailyCopy() {
    const SafetyCopies copies(state_->session.dataRoot(), state_->session.year());
    if (copies.madeOn(services_.clock.today())) {
        return;
    }
    // Never a reason not to start: the year itself opened, and tomorrow tries again.
    try {
        copies.write(state_->session.db(), services_.clock.now());
    } catch (const DbError& error) {
        qCWarning(lcStartup).noquote()
            << "no se ha podido guardar la copia del día:" << error.what();
    }
}

} // namespace velmora
