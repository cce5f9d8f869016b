#include "support/Files.h"

#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::test {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool putBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

qint64 entriesIn(const QString& databasePath) {
    try {
        checkLedgerFile(databasePath);
        Database db(databasePath);
        Statement count(db, "SELECT COUNT(*) FROM apuntes", "test: contar");
        count.step();
        return count.columnInt(0);
    } catch (const DbError& error) {
        qWarning("%s: %s", qPrintable(databasePath), error.what());
        return -1;
    }
}

} // namespace velmora::test
