#include "store/DatabaseFiles.h"

#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// errno as a reason the user can act on; the English strerror() text says no more.
QString reasonOf(int error, const QString& path) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("el disco está lleno");
    case EROFS:
        return QStringLiteral("la unidad de %1 es de solo lectura").arg(nativePath(path));
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso para escribir en %1").arg(nativePath(path));
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("no existe %1").arg(nativePath(path));
    case EEXIST:
        return QStringLiteral("ya existe %1").arg(nativePath(path));
    default:
        return QStringLiteral("error de lectura o escritura en el disco (%1)")
            .arg(nativePath(path));
    }
}

[[noreturn]] void failWithErrno(const char* operation, const QString& path) {
    throw DbError(QString::fromUtf8(operation), reasonOf(errno, path), 0);
}

void fsyncPath(const QString& path, int flags, const char* operation) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        failWithErrno(operation, path);
    }
    // A folder on a file system that cannot flush folders (some network and FAT
    // mounts) says EINVAL: its files are flushed, which is all there is to do.
    if (::fsync(fd) != 0 && !((flags & O_DIRECTORY) != 0 && errno == EINVAL)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        failWithErrno(operation, path);
    }
    ::close(fd);
}

void requireAbsent(const QString& target, const char* operation) {
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        throw DbError(QString::fromUtf8(operation),
                      QStringLiteral("ya existe %1").arg(nativePath(target)), 0);
    }
}

// Runs fill into the new file target; whatever fails, no partial file is left.
template <typename Fill>
void writeNewDatabase(const QString& target, const char* operation, Fill&& fill) {
    requireAbsent(target, operation);
    try {
        fill();
        flushToDisk(target);
    } catch (...) {
        QFile::remove(target);
        removeStaleJournal(target);
        throw;
    }
}

void copyBytes(const QString& source, const QString& target) {
    const char* operation = "copiar el archivo";
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw DbError(QString::fromUtf8(operation),
                      QStringLiteral("no se puede leer %1").arg(nativePath(source)), 0);
    }
    const QByteArray name = QFile::encodeName(target);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        failWithErrno(operation, target);
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (true) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0) {
            ::close(fd);
            throw DbError(QString::fromUtf8(operation),
                          QStringLiteral("no se puede leer %1").arg(nativePath(source)), 0);
        }
        if (got == 0) {
            break;
        }
        const char* data = buffer.constData();
        qint64 left = got;
        while (left > 0) {
            const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                const int error = errno;
                ::close(fd);
                errno = error;
                failWithErrno(operation, target);
            }
            data += written;
            left -= written;
        }
    }
    if (::close(fd) != 0) {
        failWithErrno(operation, target);
    }
}

} // namespace

QString partialPathFor(const QString& target) {
    return target + QStringLiteral(".nueva");
}

void flushToDisk(const QString& path) {
    fsyncPath(path, O_RDONLY, "guardar en el disco");
    fsyncPath(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY, "guardar en el disco");
}

void copyDatabase(Database& source, const QString& target) {
    const char* operation = "copiar la base de datos";
    writeNewDatabase(target, operation, [&] {
        Database copy(target, Database::Mode::CreateIfMissing);
        sqlite3_backup* backup =
            sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
        if (backup == nullptr) {
            throw DbError(QString::fromUtf8(operation),
                          QString::fromUtf8(sqlite3_errmsg(copy.handle())),
                          sqlite3_errcode(copy.handle()));
        }
        // All pages in one step: the copy is one snapshot of the source.
        int rc = sqlite3_backup_step(backup, -1);
        for (int tries = 0; (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && tries < 20; ++tries) {
            sqlite3_sleep(50);
            rc = sqlite3_backup_step(backup, -1);
        }
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE) {
            const int code = sqlite3_errcode(copy.handle());
            throw DbError(QString::fromUtf8(operation),
                          QString::fromUtf8(sqlite3_errstr(rc == SQLITE_OK ? code : rc)),
                          rc == SQLITE_OK ? code : rc);
        }
    });
    try {
        checkLedgerFile(target);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
}

void compactDatabase(Database& source, const QString& target) {
    const char* operation = "compactar la base de datos";
    writeNewDatabase(target, operation, [&] {
        Statement vacuum(source, "VACUUM INTO ?1", operation);
        vacuum.bind(1, target);
        vacuum.run();
    });
}

void checkLedgerFile(const QString& path) {
    // Read-only: a check never rolls back a journal on the user's backup drive.
    Database db(path, Database::Mode::ReadOnly);
    Statement check(db, "PRAGMA integrity_check", "comprobar la base de datos");
    if (!check.step() || check.columnText(0) != QLatin1String("ok")) {
        throw DbError(QStringLiteral("comprobar la base de datos"),
                      QStringLiteral("el archivo %1 está dañado").arg(nativePath(path)), 0);
    }
    checkLedgerSchema(db);
}

void renameIntoPlace(const QString& ready, const QString& target, bool replace) {
    const char* operation = "sustituir el archivo";
    if (replace) {
        if (::rename(QFile::encodeName(ready).constData(), QFile::encodeName(target).constData()) !=
            0) {
            failWithErrno(operation, target);
        }
    } else {
        requireAbsent(target, operation);
        // QFile::rename never replaces an existing file, even one that appeared
        // since the check above.
        if (!QFile::rename(ready, target)) {
            throw DbError(QString::fromUtf8(operation),
                          QStringLiteral("no se puede crear %1").arg(nativePath(target)), 0);
        }
    }
    fsyncPath(QFileInfo(target).absolutePath(), O_RDONLY | O_DIRECTORY, operation);
}

void copyFile(const QString& source, const QString& target) {
    requireAbsent(target, "copiar el archivo");
    try {
        copyBytes(source, target);
        flushToDisk(target);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
}

void replaceFileWith(const QString& source, const QString& target,
                     const std::function<void(const QString&)>& check) {
    const QString partial = partialPathFor(target);
    QFile::remove(partial);
    try {
        copyFile(source, partial);
        if (check) {
            check(partial);
        }
        renameIntoPlace(partial, target);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

void removeStaleJournal(const QString& databasePath) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        QFile::remove(databasePath + QString::fromLatin1(suffix));
    }
}

} // namespace velmora
