#include "state/PathGate.h"

#include "store/Amount.h"
#include "store/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

const QString kCopiesFolder = QStringLiteral("Copias de seguridad");

const std::array<const char*, 6> kSettingsFiles = {"ruta.ini",   "ano.ini", "color.ini",
                                                   "color2.ini", "imp.ini", "bancos.ini"};
const std::array<const char*, 4> kExecutables = {"velmora", "velmora-admin", "velmora-crashtest",
                                                 "velmora-bench"};

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool statOf(const QString& path, struct stat& st) {
    return ::stat(encoded(path).constData(), &st) == 0;
}

// What a thing that is no regular file is, said after its name.
QString kindText(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("una carpeta");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("una tubería, no un archivo");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("un dispositivo, no un archivo");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("un socket, no un archivo");
    }
    return QStringLiteral("algo que no es un archivo normal");
}

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A path as it finally names something: every link on the way resolved. For a
// path that does not exist yet, its deepest existing folder is resolved and the
// rest kept as written.
struct Resolved {
    QString path;
    bool danglingLink = false;  // the path itself is a link to nothing
    bool missingFolder = false; // the folder it would be in does not exist
};

Resolved resolve(const QString& path) {
    const QString absolute = cleanAbsolute(path);
    const QString canonical = QFileInfo(absolute).canonicalFilePath();
    if (!canonical.isEmpty()) {
        return {canonical};
    }
    Resolved resolved;
    resolved.danglingLink = isLink(absolute);
    QString existing = absolute;
    QStringList rest;
    while (QFileInfo(existing).canonicalFilePath().isEmpty()) {
        const QFileInfo info(existing);
        rest.prepend(info.fileName());
        const QString up = info.absolutePath();
        if (up == existing) {
            break;
        }
        existing = up;
    }
    resolved.missingFolder = rest.size() > 1;
    QString base = QFileInfo(existing).canonicalFilePath();
    if (base == QLatin1String("/")) {
        base.clear();
    }
    resolved.path = base + QLatin1Char('/') + rest.join(QLatin1Char('/'));
    return resolved;
}

// path inside folder (or folder itself): the part after it, without a slash in
// front; nothing when it is elsewhere.
std::optional<QString> relativeTo(const QString& path, const QString& folder) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    if (path == folder) {
        return QString();
    }
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    if (path.startsWith(prefix)) {
        return path.mid(prefix.size());
    }
    return std::nullopt;
}

QString resolvedFolder(const QString& folder) {
    return folder.isEmpty() ? QString() : resolve(folder).path;
}

// "/x es …" or, when links led elsewhere, "/x lleva a /y, que es …".
QString about(const QString& asGiven, const QString& resolved, const QString& what) {
    if (cleanAbsolute(asGiven) != resolved) {
        return QStringLiteral("%1 lleva a %2, que es %3")
            .arg(pathForMessage(asGiven), pathForMessage(resolved), what);
    }
    return QStringLiteral("%1 es %2").arg(pathForMessage(asGiven), what);
}

bool startsLikeSqlite(const QString& path) {
    QFile file;
    if (openRegularFile(path, std::numeric_limits<qint64>::max(), file)) {
        return false;
    }
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

PathGate::PathGate(ProgramPlaces places) : places_(std::move(places)) {}

std::optional<QString> PathGate::ownByName(const QString& resolved) const {
    const QString name = QFileInfo(resolved).fileName();
    if (const auto inData = relativeTo(resolved, resolvedFolder(places_.dataRoot))) {
        const QStringList parts = inData->split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) {
            return QStringLiteral("la carpeta de datos del programa");
        }
        if (parts[0] == kCopiesFolder) {
            return parts.size() == 1
                       ? QStringLiteral("la carpeta de las copias de seguridad del programa")
                       : QStringLiteral("parte de las copias de seguridad del programa");
        }
        if (parts.size() == 1 && parts[0] == kHouseRulesFile) {
            return QStringLiteral("el archivo de reglas de importación del programa");
        }
        if (parts.size() == 2 && parts[1].startsWith(QLatin1String("Devedur.mdb"))) {
            return QStringLiteral("la base de datos del año %1").arg(parts[0]);
        }
        if (parts.size() == 2 && parts[0] == QLatin1String("Informes") &&
            name.endsWith(QLatin1String(".rpt"), Qt::CaseInsensitive)) {
            return QStringLiteral("el archivo de reporte %1 del programa").arg(name);
        }
    }
    if (const auto inSettings = relativeTo(resolved, resolvedFolder(places_.settingsFolder))) {
        if (inSettings->isEmpty()) {
            return QStringLiteral("la carpeta de ajustes del programa");
        }
        for (const char* file : kSettingsFiles) {
            if (*inSettings == QLatin1String(file)) {
                return QStringLiteral("el archivo de ajustes %1 del programa").arg(name);
            }
        }
        if (inSettings->startsWith(QLatin1String("Datos"))) {
            return QStringLiteral("parte de la carpeta donde el programa compacta los datos");
        }
    }
    if (const auto inPrograms = relativeTo(resolved, resolvedFolder(places_.executableFolder))) {
        for (const char* program : kExecutables) {
            if (*inPrograms == QLatin1String(program)) {
                return QStringLiteral("el programa %1").arg(name);
            }
        }
    }
    return std::nullopt;
}

// Another name for one of our files, made with a hard link, is that file.
std::optional<QString> PathGate::ownByIdentity(const QString& resolved) const {
    struct stat target {};
    if (!statOf(resolved, target) || !S_ISREG(target.st_mode) || target.st_nlink < 2) {
        return std::nullopt;
    }
    QStringList candidates;
    if (!places_.settingsFolder.isEmpty()) {
        for (const char* file : kSettingsFiles) {
            candidates << places_.settingsFolder + QLatin1Char('/') + QLatin1String(file);
        }
    }
    if (!places_.executableFolder.isEmpty()) {
        for (const char* program : kExecutables) {
            candidates << places_.executableFolder + QLatin1Char('/') + QLatin1String(program);
        }
    }
    if (!places_.dataRoot.isEmpty()) {
        const QDir root(places_.dataRoot);
        candidates << root.filePath(kHouseRulesFile);
        for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            candidates << root.filePath(folder + QStringLiteral("/Devedur.mdb"));
        }
        const QDir reports(root.filePath(QStringLiteral("Informes")));
        for (const QString& file : reports.entryList({QStringLiteral("*.rpt")}, QDir::Files)) {
            candidates << reports.filePath(file);
        }
    }
    for (const QString& candidate : candidates) {
        struct stat own {};
        if (statOf(candidate, own) && own.st_dev == target.st_dev && own.st_ino == target.st_ino) {
            return ownByName(resolve(candidate).path);
        }
    }
    return std::nullopt;
}

std::optional<QString> PathGate::ownFile(const QString& path) const {
    const Resolved resolved = resolve(path);
    if (const auto byName = ownByName(resolved.path)) {
        return byName;
    }
    return ownByIdentity(resolved.path);
}

std::optional<QString> PathGate::refuseOutput(const QString& path) const {
    if (path.trimmed().isEmpty()) {
        return QStringLiteral("no se ha indicado ningún archivo");
    }
    const Resolved resolved = resolve(path);
    if (resolved.danglingLink) {
        return QStringLiteral("%1 es un enlace a un archivo que no existe")
            .arg(pathForMessage(path));
    }
    if (resolved.missingFolder) {
        return QStringLiteral("no existe la carpeta %1")
            .arg(pathForMessage(QFileInfo(cleanAbsolute(path)).absolutePath()));
    }
    struct stat st {};
    const bool exists = statOf(resolved.path, st);
    if (exists && !S_ISREG(st.st_mode)) {
        return about(path, resolved.path, kindText(st.st_mode));
    }
    if (const auto own = ownFile(path)) {
        return about(path, resolved.path, *own);
    }
    if (exists && startsLikeSqlite(resolved.path)) {
        return about(path, resolved.path, QStringLiteral("una base de datos"));
    }
    return std::nullopt;
}

std::optional<QString> PathGate::refuseBackupFolder(const QString& folder) const {
    const QString resolved = resolve(folder).path;
    if (relativeTo(resolved, resolvedFolder(places_.dataRoot))) {
        return QStringLiteral("%1 está dentro de la carpeta de datos del programa (%2)")
            .arg(pathForMessage(folder), pathForMessage(places_.dataRoot));
    }
    if (relativeTo(resolved, resolvedFolder(places_.settingsFolder))) {
        return QStringLiteral("%1 está dentro de la carpeta de ajustes del programa (%2)")
            .arg(pathForMessage(folder), pathForMessage(places_.settingsFolder));
    }
    return std::nullopt;
}

std::optional<QString> openRegularFile(const QString& path, qint64 maxBytes, QFile& file) {
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("no existe el archivo %1").arg(pathForMessage(path));
        case ELOOP:
            return QStringLiteral("%1 es un enlace que no lleva a ningún archivo")
                .arg(pathForMessage(path));
        case EACCES:
        case EPERM:
            return QStringLiteral("no hay permiso para leer %1").arg(pathForMessage(path));
        default:
            return QStringLiteral("no se puede leer %1").arg(pathForMessage(path));
        }
    }
    struct stat st {};
    std::optional<QString> refusal;
    if (::fstat(fd, &st) != 0) {
        refusal = QStringLiteral("no se puede leer %1").arg(pathForMessage(path));
    } else if (!S_ISREG(st.st_mode)) {
        refusal = QStringLiteral("%1 es %2").arg(pathForMessage(path), kindText(st.st_mode));
    } else if (st.st_size > maxBytes) {
        refusal = QStringLiteral("%1 es demasiado grande: pasa de %2")
                      .arg(pathForMessage(path), sizeLimitText(maxBytes));
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
            !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            refusal = QStringLiteral("no se puede leer %1").arg(pathForMessage(path));
        } else {
            return std::nullopt;
        }
    }
    ::close(fd);
    return refusal;
}

bool nothingAt(const QString& path) {
    struct stat st {};
    return ::lstat(encoded(path).constData(), &st) != 0 && errno == ENOENT;
}

bool isLink(const QString& path) {
    struct stat st {};
    return ::lstat(encoded(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

namespace {

// Each folder is opened relative to the one above it and never through a link,
// so a link put in place of a folder while this runs is removed, not followed.
bool removeEntryAt(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return true;
        }
        // A link, a file, a pipe: the name goes, whatever it points at stays.
        return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return false;
    }
    bool removed = true;
    while (const dirent* entry = ::readdir(dir)) {
        const char* child = entry->d_name;
        if (std::strcmp(child, ".") == 0 || std::strcmp(child, "..") == 0) {
            continue;
        }
        removed = removeEntryAt(::dirfd(dir), child) && removed;
    }
    ::closedir(dir);
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 && removed;
}

} // namespace

bool removeFolderTree(const QString& folder) {
    struct stat st {};
    const QString absolute = cleanAbsolute(folder);
    if (::lstat(encoded(absolute).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    const QFileInfo info(absolute);
    const int parent =
        ::open(encoded(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) {
        return false;
    }
    const bool removed = removeEntryAt(parent, encoded(info.fileName()).constData());
    ::close(parent);
    return removed;
}

QString sizeLimitText(qint64 bytes) {
    constexpr qint64 kMegabyte = 1024 * 1024;
    if (bytes >= kMegabyte) {
        return formatCount(bytes / kMegabyte) + QStringLiteral(" MB");
    }
    return formatCount((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

} // namespace velmora
