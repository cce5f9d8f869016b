#include "app/FirstInstallation.h"

#include "state/Logging.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/Installation.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

std::optional<int> installFirstYear(const QString& settingsFolder, Services& services) {
    if (settingsFolder.isEmpty()) {
        services.messages.fail(nullptr, QStringLiteral("No se encuentra la carpeta de "
                                                       "configuración del usuario; el programa "
                                                       "no puede guardar sus ajustes."));
        return 1;
    }
    const QString dataRoot = QDir::cleanPath(QDir::homePath() + QStringLiteral("/Velmora"));
    const QString year = QString::number(services.clock.today().year());
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
    if (services.messages.show(nullptr, Message{question, kAppTitle, MessageIcon::Question,
                                                MessageButtons::YesNo}) != MessageAnswer::Yes) {
        return 0;
    }
    try {
        installYear(settingsFolder, dataRoot, year);
    } catch (const InstallationError& error) {
        // The command line prints the reason after its own name, in lower case.
        QString reason = error.message();
        if (!reason.isEmpty()) {
            reason[0] = reason[0].toUpper();
        }
        services.messages.fail(
            nullptr, QStringLiteral("No se ha podido preparar la carpeta de datos de Velmora.\n\n"
                                    "%1.")
                         .arg(reason));
        return 1;
    }
    qCInfo(lcStartup).noquote() << "instalación creada en" << dataRoot << "con ajustes en"
                                << settingsFolder;
    return std::nullopt;
}

} // namespace velmora
