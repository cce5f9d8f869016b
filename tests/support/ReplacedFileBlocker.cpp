#include "support/ReplacedFileBlocker.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

#include <sys/stat.h>

namespace velmora::test {

namespace {

// One at a time: SQLite's automatic extensions are the process's.
struct Blocked {
    bool active = false;
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
};

Blocked blocked;

// Runs for every connection opened in the process; an error fails the open.
int refuseReplacedFile(sqlite3* db, const char** error, const sqlite3_api_routines*) {
    const char* name = sqlite3_db_filename(db, "main");
    struct stat st {};
    if (!blocked.active || name == nullptr || ::stat(name, &st) != 0 ||
        QFileInfo(QFile::decodeName(name)).canonicalFilePath() != blocked.path ||
        (st.st_dev == blocked.device && st.st_ino == blocked.inode)) {
        return SQLITE_OK;
    }
    *error = sqlite3_mprintf("database is locked");
    return SQLITE_BUSY;
}

void (*entryPoint())() {
    // void (*)() is the type SQLite takes any entry point as.
    return reinterpret_cast<void (*)()>(&refuseReplacedFile);
}

} // namespace

ReplacedFileBlocker::ReplacedFileBlocker(const QString& path) {
    struct stat st {};
    if (blocked.active || ::stat(QFile::encodeName(path).constData(), &st) != 0 ||
        sqlite3_auto_extension(entryPoint()) != SQLITE_OK) {
        QTest::qFail("ReplacedFileBlocker: no se puede vigilar el archivo", __FILE__, __LINE__);
        return;
    }
    blocked = {true, QFileInfo(path).canonicalFilePath(), st.st_dev, st.st_ino};
}

ReplacedFileBlocker::~ReplacedFileBlocker() {
    release();
    sqlite3_cancel_auto_extension(entryPoint());
}

void ReplacedFileBlocker::release() {
    blocked.active = false;
}

} // namespace velmora::test
