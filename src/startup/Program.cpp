#include "startup/Program.h"

#include "entries/frmPrincipal.h"
#include "startup/AppState.h"
#include "startup/Settings.h"
#include "startup/SingleInstance.h"
#include "store/Sqlite.h"
#include "ui/Logging.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/ConnectionSetup.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QTimer>

namespace velmora {

Program::Program(QString programFolder, Services& services)
    : services_(services), state_(std::make_unique<AppState>()) {
    state_->programFolder = std::move(programFolder);
}

Program::~Program() = default;

std::optional<int> Program::start() {
    const SettingsFiles settings(state_->programFolder);
    // Keyed by the year's database, so that a copy started from another program folder
    // on the same year is kept out too.
    instance_ = std::make_unique<SingleInstance>(
        databasePathFor(settings.readDataRoot(), settings.readYear()));
    if (!instance_->acquire()) {
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

    mainWindow_ = std::make_unique<frmPrincipal>(*state_, services_);
    mainWindow_->show();
    // Once the list is on screen: at a million entries the copy takes half a second.
    QTimer::singleShot(0, mainWindow_.get(), [this] { writeDailyCopy(); });
    return std::nullopt;
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
