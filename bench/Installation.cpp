#include "Installation.h"

#include "demo/DemoLedger.h"
#include "state/Settings.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/ConnectionSetup.h"
#include "years/YearFolders.h"

#include <QDir>

#include <stdexcept>

namespace velmora::bench {

namespace {

// The colours of a fresh installation: a light yellow for the focus and the even
// rows, a light grey for the information areas.
constexpr qint32 kMainColour = 12648447;
constexpr qint32 kSectionColour = 14737632;

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path)) {
        throw std::runtime_error("cannot create folder " + path.toStdString());
    }
}

} // namespace

Installation::Installation(int year, int entries)
    : year_(year), state_(dir_.filePath(QStringLiteral("Velmora"))) {
    if (!dir_.isValid()) {
        throw std::runtime_error("cannot create a temporary folder: " +
                                 dir_.errorString().toStdString());
    }
    const QString programFolder = dir_.filePath(QStringLiteral("Velmora"));
    const QString dataRoot = dir_.filePath(QStringLiteral("Datos"));
    const QString yearText = QString::number(year);
    makeFolder(programFolder);
    makeFolder(programFolder + QStringLiteral("/Datos")); // where a year is compacted
    makeFolder(dataRoot + QLatin1Char('/') + yearText);

    writeSettings(programFolder, dataRoot);
    createLedger(databasePathFor(dataRoot, yearText), entries);

    // The colours are read back as the start-up reads them.
    const SettingsFiles settings(programFolder);
    state_.palette.setMain(settings.readMainColour().value_or(0));
    state_.palette.setSection(settings.readSectionColour().value_or(0));
    try {
        setupConnection(state_.session);
    } catch (const ConnectionError& error) {
        throw std::runtime_error(error.message().toStdString());
    }
}

void Installation::writeSettings(const QString& programFolder, const QString& dataRoot) const {
    const SettingsFiles settings(programFolder);
    try {
        settings.writeDataRoot(dataRoot);
        settings.writeYear(QString::number(year_));
        settings.writeMainColour(kMainColour);
        settings.writeSectionColour(kSectionColour);
    } catch (const SettingsError& error) {
        throw std::runtime_error(error.message().toStdString());
    }
}

void Installation::createLedger(const QString& databasePath, int entries) const {
    // A connection of its own, closed before the program's connection opens the file.
    Database db(databasePath, Database::Mode::CreateIfMissing);
    createLedgerSchema(db);
    fillDemoLedger(db, year_, entries);
}

} // namespace velmora::bench
