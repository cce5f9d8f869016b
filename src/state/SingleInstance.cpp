#include "state/SingleInstance.h"

#include "state/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmora {

namespace {

QString lockFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// A relative path, "..", or a link on the way must not make the same year look like
// another one. A year being created has no folder yet: the data root above it is
// resolved instead, so the key it is locked under before it exists is the one it
// has after.
QString databaseKey(const QString& databasePath) {
    const QFileInfo file(QDir::cleanPath(QFileInfo(databasePath).absoluteFilePath()));
    const QFileInfo yearFolder(file.absolutePath());
    const QString canonical = file.canonicalFilePath();
    if (!canonical.isEmpty()) {
        return canonical;
    }
    const QString folder = yearFolder.canonicalFilePath();
    if (!folder.isEmpty()) {
        return QDir::cleanPath(folder + QLatin1Char('/') + file.fileName());
    }
    const QString root = QFileInfo(yearFolder.absolutePath()).canonicalFilePath();
    if (!root.isEmpty()) {
        return QDir::cleanPath(root + QLatin1Char('/') + yearFolder.fileName() + QLatin1Char('/') +
                               file.fileName());
    }
    return file.absoluteFilePath();
}

int openLockFile(const QByteArray& path) {
    // O_CLOEXEC: a program we start must not inherit the lock and hold it after we end.
    // O_NOFOLLOW: a link put in place of the file is not ours to write through.
    const int flags = O_CLOEXEC | O_NOFOLLOW;
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | flags, 0644);
    if (fd >= 0 || errno != EACCES) {
        return fd;
    }
    // Someone else's file we may not write: a descriptor for reading locks as well.
    return ::open(path.constData(), O_RDONLY | flags);
}

} // namespace

SingleInstance::SingleInstance(const QString& databasePath) : path_(lockPathFor(databasePath)) {}

QString SingleInstance::lockPathFor(const QString& databasePath) {
    const QByteArray hash =
        QCryptographicHash::hash(databaseKey(databasePath).toUtf8(), QCryptographicHash::Sha1);
    return lockFolder() + QStringLiteral("/velmora-") + QString::fromLatin1(hash.toHex()) +
           QStringLiteral(".lock");
}

// Closing lets the lock go. The file stays: removing it would let a copy that has just
// opened it lock a file nobody else can find any more, while a third copy creates and
// locks a new one.
SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool SingleInstance::acquire() {
    if (fd_ >= 0) {
        return true;
    }
    const int fd = openLockFile(QFile::encodeName(path_));
    if (fd < 0) {
        const int error = errno;
        qCWarning(lcStartup).noquote() << "no se puede crear el bloqueo de copia única"
                                       << path_ + QLatin1Char(':') << qt_error_string(error);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return false;
        }
        qCWarning(lcStartup).noquote()
            << "no se puede bloquear" << path_ + QLatin1Char(':') << qt_error_string(error);
        return true;
    }
    fd_ = fd;
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    if (::ftruncate(fd_, 0) != 0 ||
        ::write(fd_, pid.constData(), static_cast<size_t>(pid.size())) != pid.size()) {
        qCDebug(lcStartup).noquote() << "no se puede anotar el proceso en" << path_;
    }
    return true;
}

} // namespace velmora
