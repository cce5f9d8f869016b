#include "years/Installation.h"

#include "reports/ReportError.h"
#include "reports/ReportFiles.h"
#include "state/ColourChoices.h"
#include "state/Logging.h"
#include "state/Settings.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

namespace {

const QString kRuta = QStringLiteral("ruta.ini");

// Writes a report file that comes with the program unless one is there: the
// user may have edited it, and a reinstall must not undo that. Whole or not at
// all. Says whether it was written.
bool installReportFile(const BundledReport& report) {
    try {
        return writeMissingReport(report);
    } catch (const ReportError&) {
        throw InstallationError(QStringLiteral("no se puede escribir el archivo de reporte %1")
                                    .arg(QDir::toNativeSeparators(report.path)));
    }
}

// Built beside its final name and renamed into place, so that a failure leaves no
// half-made ledger that the next attempt would refuse to replace.
void createLedger(const QString& databasePath) {
    const QString partialPath = partialPathFor(databasePath);
    QFile::remove(partialPath);
    try {
        Database created(partialPath, Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    } catch (const DbError& error) {
        QFile::remove(partialPath);
        qCWarning(lcStartup).noquote()
            << "no se puede crear" << databasePath << "|" << error.what();
        throw InstallationError(
            QStringLiteral("no se puede crear la base de datos %1: %2")
                .arg(QDir::toNativeSeparators(databasePath), describeFailure(error)));
    }
    // Never over an existing file, so a ledger that appeared meanwhile survives too.
    try {
        renameIntoPlace(partialPath, databasePath, false);
    } catch (const DbError& error) {
        QFile::remove(partialPath);
        qCWarning(lcStartup).noquote()
            << "no se puede crear" << databasePath << "|" << error.what();
        throw InstallationError(QStringLiteral("no se puede crear la base de datos %1")
                                    .arg(QDir::toNativeSeparators(databasePath)));
    }
}

} // namespace

InstallationError::InstallationError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

QString settingsFolderFor(const QString& programFolder) {
    if (QFileInfo::exists(programFolder + QLatin1Char('/') + kRuta)) {
        return programFolder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString adminSettingsFolder(const QString& programFolder, const QStringList& installedBinDirs) {
    for (const QString& installed : installedBinDirs) {
        if (QDir::cleanPath(programFolder) == QDir::cleanPath(installed)) {
            return settingsFolderFor(programFolder);
        }
    }
    return programFolder;
}

InstalledYear installYear(const QString& settingsFolder, const QString& dataRoot,
                          const QString& year) {
    InstalledYear installed;
    installed.databasePath = databasePathFor(dataRoot, year);
    const QList<BundledReport> reports = bundledReports(dataRoot);
    installed.reportPath = reports[0].path;
    installed.registerReportPath = reports[1].path;
    installed.summaryReportPath = reports[2].path;

    // The program compacts a year in the Datos folder and does not make that
    // folder itself; making it also makes the settings folder.
    for (const QString& folder :
         {yearFolderPath(dataRoot, year), dataRoot + QStringLiteral("/Informes"),
          settingsFolder + QStringLiteral("/Datos")}) {
        if (!QDir().mkpath(folder)) {
            throw InstallationError(QStringLiteral("no se puede crear la carpeta %1")
                                        .arg(QDir::toNativeSeparators(folder)));
        }
    }

    // Before the ledger: a failure here leaves nothing the next attempt would refuse.
    installed.reportWritten = installReportFile(reports[0]);
    installed.registerReportWritten = installReportFile(reports[1]);
    installed.summaryReportWritten = installReportFile(reports[2]);

    if (!QFileInfo::exists(installed.databasePath)) {
        createLedger(installed.databasePath);
        installed.ledgerCreated = true;
    }

    const SettingsFiles settings(settingsFolder);
    try {
        // Colours first: a failure there must not leave ruta.ini and ano.ini pointing
        // at the ledger removed below. A default colour left behind does no harm.
        if (!QFileInfo::exists(settings.pathOf(QStringLiteral("color.ini")))) {
            settings.writeMainColour(defaultMainColour());
        }
        if (!QFileInfo::exists(settings.pathOf(QStringLiteral("color2.ini")))) {
            settings.writeSectionColour(defaultSectionColour());
        }
        settings.writeDataRootAndYear(dataRoot, year);
    } catch (const SettingsError& error) {
        // A ledger made here is still empty; without the settings nobody finds it.
        if (installed.ledgerCreated) {
            QFile::remove(installed.databasePath);
        }
        throw InstallationError(error.message());
    }
    return installed;
}

} // namespace velmora
