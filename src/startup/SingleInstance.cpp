#include "startup/SingleInstance.h"

#include <QLockFile>
#include <QLoggingCategory>

namespace velmora {

namespace {
Q_LOGGING_CATEGORY(lcStartup, "velmora.startup")
}

SingleInstance::SingleInstance(const QString& programFolder)
    : lock_(std::make_unique<QLockFile>(programFolder + QStringLiteral("/velmora.lock"))) {
    // The lock is held for the whole run, however long.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (lock_->tryLock(0)) {
        return true;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        return false;
    }
    qCWarning(lcStartup) << "no se puede crear el bloqueo de copia única:" << lock_->error();
    return true;
}

} // namespace velmora
