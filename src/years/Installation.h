#pragma once

// Where the settings files live and how an installation is made: the data root
// with a year's ledger and the report file, the Datos folder beside the settings,
// and the settings that lead to them. velmora-admin init and the program's first
// start both make one through installYear().

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace velmora {

class InstallationError : public std::runtime_error {
public:
    explicit InstallationError(const QString& message);
    // In Spanish, as velmora-admin prints it after its own name.
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The folder of the settings files for a program in programFolder: that folder
// itself when it holds ruta.ini, as a copy unpacked into a folder of its own has
// it; otherwise the user's configuration folder, since an installed program's
// folder cannot be written.
QString settingsFolderFor(const QString& programFolder);
// Where velmora-admin keeps the settings it writes: as the program finds them,
// except that a copy run from a folder of its own (a build, an unpacked copy)
// sets one up beside itself. Only an installed copy, run from one of
// installedBinDirs, uses the user's configuration folder.
QString adminSettingsFolder(const QString& programFolder, const QStringList& installedBinDirs);

struct InstalledYear {
    QString databasePath;
    QString reportPath;
    QString registerReportPath;
    QString summaryReportPath;
    bool ledgerCreated = false; // false: the year's ledger was there and is used as it is
    bool reportWritten = false; // false: a report file was there and is kept
    bool registerReportWritten = false;
    bool summaryReportWritten = false;
};

// Makes dataRoot/year/Devedur.mdb with the schema unless it exists (an existing
// ledger is never touched), dataRoot/Informes/Datos.rpt, Extracto.rpt and
// Resumen.rpt unless they exist, the Datos folder in settingsFolder, color.ini and color2.ini
// unless they exist, and last ruta.ini and ano.ini. dataRoot must be absolute and clean. On a
// failure nothing points at a ledger that is not there: a ledger made here is removed again before
// InstallationError is thrown.
InstalledYear installYear(const QString& settingsFolder, const QString& dataRoot,
                          const QString& year);

} // namespace velmora
