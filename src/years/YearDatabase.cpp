#include "years/YearDatabase.h"

#include "state/Logging.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "state/YearSession.h"
#include "store/DatabaseFiles.h"
#include "store/DbErrorText.h"
#include "store/PathText.h"
#include "store/Sqlite.h"
#include "years/ConnectionSetup.h"
#include "years/YearFolders.h"
#include "years/YearOrigin.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// A year's own database and the files SQLite keeps beside it; the database is
// copied through SQLite, never byte by byte.
bool isDatabaseFile(const QString& relativePath) {
    return relativePath.startsWith(QLatin1String("Devedur.mdb")) &&
           !relativePath.contains(QLatin1Char('/'));
}

[[noreturn]] void cannotCopy(const QString& path) {
    throw DbError(QStringLiteral("copiar la carpeta del año"),
                  QStringLiteral("no se puede copiar %1").arg(pathForMessage(path)), 0);
}

// A link is made again as the same link: what it points at may lie anywhere, and
// is neither read nor copied.
void copyLink(const QString& from, const QString& to) {
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length =
        ::readlink(QFile::encodeName(from).constData(), target.data(), size_t(target.size()));
    if (length < 0 || length >= target.size() ||
        ::symlink(target.left(length).constData(), QFile::encodeName(to).constData()) != 0) {
        cannotCopy(from);
    }
}

// Every file and folder under from, the database files of the top level aside.
// Pipes, devices and sockets are no files of a year: opening a pipe would wait
// for ever. No link is followed, neither to a folder nor to a file.
void copyFolderContents(const QString& from, const QString& to) {
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = source.relativeFilePath(path);
        if (isDatabaseFile(relative)) {
            continue;
        }
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
            cannotCopy(path);
        }
        const QString target = to + QLatin1Char('/') + relative;
        if (S_ISLNK(st.st_mode)) {
            copyLink(path, target);
        } else if (S_ISDIR(st.st_mode)) {
            if (!QDir().mkpath(target)) {
                cannotCopy(path);
            }
        } else if (S_ISREG(st.st_mode)) {
            if (!QFile::copy(path, target)) {
                cannotCopy(path);
            }
        } else {
            qCInfo(lcYears).noquote() << "no se copia al año nuevo, no es un archivo:" << path;
        }
    }
}

// The copy loses its entries and learns where it came from, all in one go.
void prepareNewYear(Database& current, const QString& currentYear, const QString& databasePath,
                    const NewYearStep& step) {
    Database fresh(databasePath);
    Transaction change(fresh);
    fresh.exec("DELETE FROM apuntes", "borrar los apuntes del año nuevo");
    recordSourceYear(fresh, currentYear);
    if (step) {
        step(current, currentYear, fresh);
    }
    change.commit();
}

} // namespace

YearError::YearError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

YearDatabase::YearDatabase(YearSession& session) : session_(session) {}

QString YearDatabase::compactionFile() const {
    return session_.programFolder() + QStringLiteral("/Datos/DevedurC.mdb");
}

void YearDatabase::close() {
    session_.connection_.reset();
}

// The same year, never the one ano.ini may name by now: another copy of the
// program started from the same folder may have written another year there,
// whose lock is not ours.
void YearDatabase::reopen() {
    close();
    try {
        openYear(session_, session_.dataRoot(), session_.year());
    } catch (const ConnectionError& error) {
        qCCritical(lcYears).noquote() << "no se puede volver a abrir" << error.what();
        throw ReopenError(error.message() +
                          QStringLiteral(".\nEl programa volverá a abrirla en cuanto pueda, la "
                                         "próxima vez que la necesite."));
    }
}

std::unique_ptr<SingleInstance> YearDatabase::lockFor(const QString& year) const {
    const QString path = databasePathFor(session_.dataRoot(), year);
    if (session_.yearLock_ && session_.yearLock_->lockPath() == SingleInstance::lockPathFor(path)) {
        return nullptr;
    }
    auto lock = std::make_unique<SingleInstance>(path);
    if (!lock->acquire()) {
        throw YearError(QStringLiteral("Otra copia del programa está trabajando en el año %1. "
                                       "Ciérrela antes de pasar a ese año.")
                            .arg(year));
    }
    return lock;
}

// The new lock is held before the old one goes, so no other copy can slip onto
// either year in between; it only replaces the old one once the year is open.
void YearDatabase::open(const QString& year, std::unique_ptr<SingleInstance> lock) {
    const SettingsFiles settings(session_.programFolder());
    const QString before = session_.year();
    QDir::setCurrent(session_.programFolder());
    try {
        settings.writeYear(year);
    } catch (const SettingsError& error) {
        throw YearError(error.message());
    }
    // The connection is replaced only once the new one is open, so on a failure
    // the program is still on the year it was on; ano.ini follows it back.
    try {
        openYear(session_, session_.dataRoot(), year);
    } catch (const ConnectionError& error) {
        try {
            settings.writeYear(before);
        } catch (const SettingsError& restore) {
            qCCritical(lcYears).noquote() << restore.what();
        }
        throw YearError(error.message());
    }
    if (lock) {
        session_.yearLock_ = std::move(lock);
    }
}

void YearDatabase::switchTo(const QString& year) {
    open(year, lockFor(year));
}

void YearDatabase::create(const QString& year, const NewYearStep& step) {
    if (const auto refusal = refusalOf(year)) {
        throw YearError(refusalText(*refusal));
    }
    if (const auto link = linkRefusalFor(session_.dataRoot(), year)) {
        throw YearError(QStringLiteral("No se puede crear el año %1: %2").arg(year, *link));
    }
    if (yearExists(session_.dataRoot(), year)) {
        throw YearError(QStringLiteral("Este año ya está creado"));
    }
    std::unique_ptr<SingleInstance> lock = lockFor(year);
    const QString target = yearFolderPath(session_.dataRoot(), year);
    // Built in a hidden folder, which is never listed as a year, and renamed into
    // place when whole: a failure or a crash never leaves half a year behind. What
    // an earlier attempt left there goes first; a link put there since the check
    // is never followed, and mkdir() then fails on it.
    const QString building = buildingFolderPath(session_.dataRoot(), year);
    removeFolderTree(building);
    try {
        if (!QDir().mkdir(building)) {
            throw DbError(
                QStringLiteral("crear la carpeta del año"),
                QStringLiteral("no se puede crear la carpeta %1").arg(pathForMessage(building)), 0);
        }
        copyFolderContents(yearFolderPath(session_.dataRoot(), session_.year()), building);
        copyDatabase(session_.db(), building + QStringLiteral("/Devedur.mdb"));
        prepareNewYear(session_.db(), session_.year(), building + QStringLiteral("/Devedur.mdb"),
                       step);
        flushToDisk(building + QStringLiteral("/Devedur.mdb"));
        if (yearExists(session_.dataRoot(), year) || !QDir().rename(building, target)) {
            throw DbError(
                QStringLiteral("crear la carpeta del año"),
                QStringLiteral("no se puede crear la carpeta %1").arg(pathForMessage(target)), 0);
        }
        flushToDisk(target);
    } catch (const DbError& error) {
        qCWarning(lcYears).noquote() << "no se puede crear el año" << year << "|" << error.what();
        removeFolderTree(building);
        throw YearError(
            QStringLiteral("No se puede crear el año %1: %2").arg(year, describeFailure(error)));
    }
    try {
        open(year, std::move(lock));
    } catch (const YearError& error) {
        removeFolderTree(target);
        throw YearError(
            QStringLiteral("No se puede crear el año %1. %2").arg(year, error.message()));
    }
}

void YearDatabase::compact() {
    const QString source = session_.databasePath();
    const QString compacted = compactionFile();
    QFile::remove(compacted); // a failure here shows in the compaction itself
    try {
        if (!QFileInfo(QFileInfo(compacted).absolutePath()).isDir()) {
            throw DbError(QStringLiteral("compactar la base de datos"),
                          QStringLiteral("falta la carpeta %1")
                              .arg(pathForMessage(QFileInfo(compacted).absolutePath())),
                          0);
        }
        // Taken on the program's own connection before anything is closed: while
        // another program holds the database this fails with the program still on
        // its open connection. Held, it keeps every other program from saving into
        // the old file between the compaction and the rename, which would lose that save.
        Transaction holdWriters(session_.db());
        {
            Database reader(source);
            compactDatabase(reader, compacted);
        }
        // Checked once it lies beside the database: that is the file that goes live.
        replaceFileWith(compacted, source, checkLedgerFile);
    } catch (const DbError& error) {
        qCWarning(lcYears).noquote()
            << "compactación no completada" << source << "|" << error.what();
        throw YearError(describeFailure(error));
    }
    reopen();
}

void YearDatabase::replaceWith(const QString& file) {
    const QString target = session_.databasePath();
    try {
        // As for a compaction: no other writer from here on, and a busy database
        // fails before the connection is closed.
        Transaction holdWriters(session_.db());
        // Nobody writes now, so a journal left here belongs to no one; applied to
        // the new file it would mix in pages of the old one.
        removeStaleJournal(target);
        replaceFileWith(file, target, checkLedgerFile);
    } catch (const DbError& error) {
        qCWarning(lcYears).noquote()
            << "no se puede sustituir" << target << "por" << file << "|" << error.what();
        throw YearError(describeFailure(error));
    }
    reopen();
}

} // namespace velmora
