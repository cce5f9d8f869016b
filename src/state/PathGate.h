#pragma once

// One gate for every path a user types or a file names. Before the program
// writes, replaces, removes or reads such a path it asks here and gets either
// nothing (go ahead) or the reason, in Spanish, why it may not.
//
// The gate knows the program's own files: every year's ledger under the data
// root with the files SQLite keeps beside it, everything under "Copias de
// seguridad", the report files in "Informes", the import rules, the settings files and the
// compaction folder in the settings folder, and the executables. A path is
// judged by what it finally names: links are resolved first, and another name
// for one of our files (a hard link) is still ours. An existing SQLite database
// is refused as an output wherever it lies: no export is worth a ledger.
//
// Reading goes through openRegularFile(): only a regular file, no larger than
// the caller can hold, opened without ever waiting on a pipe or a device.
// Removing goes through removeFolderTree(), which never follows a link.

#include <QString>

#include <optional>

class QFile;

namespace velmora {

// The household's import rules, in the data root beside the years.
inline const QString kHouseRulesFile = QStringLiteral("reglas.txt");

// Where the program's own files are. An empty place is not looked at.
struct ProgramPlaces {
    QString settingsFolder;   // ruta.ini, ano.ini, color.ini, ..., Datos/
    QString dataRoot;         // the years, Copias de seguridad, Informes
    QString executableFolder; // velmora, velmora-admin
};

class PathGate {
public:
    explicit PathGate(ProgramPlaces places);

    // A file the user asked the program to write (an export, a PDF): nothing
    // when path may be created or replaced, otherwise why not, as in
    // "/x/Devedur.mdb es la base de datos del año 2024".
    std::optional<QString> refuseOutput(const QString& path) const;

    // A folder a year is backed up into: never inside the data root or the
    // settings folder, where the copy would land on the program's own files.
    std::optional<QString> refuseBackupFolder(const QString& folder) const;

    // What path names of the program's own, once its links are resolved: "la base
    // de datos del año 2024", "el archivo de ajustes ano.ini del programa"...
    // Nothing when it is none of them.
    std::optional<QString> ownFile(const QString& path) const;

private:
    std::optional<QString> ownByName(const QString& resolved) const;
    std::optional<QString> ownByIdentity(const QString& resolved) const;

    ProgramPlaces places_;
};

// The largest file any reader takes whole into memory: settings, bank names.
inline constexpr qint64 kSmallFileLimit = 1024 * 1024;

// Opens path into file for reading when it is a regular file of at most
// maxBytes. Otherwise file stays closed and the reason names the path: "no
// existe el archivo …", "… es una tubería, no un archivo", "… pasa de 1 MB".
// Never blocks, whatever path names.
std::optional<QString> openRegularFile(const QString& path, qint64 maxBytes, QFile& file);

// True only when nothing at all is at path, not even a dangling link.
bool nothingAt(const QString& path);

// Whether path itself is a symbolic link (whether or not its target exists).
bool isLink(const QString& path);

// Removes folder and everything in it without following any link: a link met
// on the way is removed itself and its target left alone. When folder is itself
// a link, or not a folder, nothing is removed and the result is false; also
// false when something in it could not be removed.
bool removeFolderTree(const QString& folder);

// "1 MB", "256 MB": a size limit as the user is told it.
QString sizeLimitText(qint64 bytes);

} // namespace velmora
