#include "years/SafetyCopies.h"

#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora {

namespace {

const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss");

QString copyName(const QDateTime& at) {
    return QStringLiteral("Devedur-") + at.toString(kStamp) + QStringLiteral(".mdb");
}

} // namespace

SafetyCopies::SafetyCopies(QString dataRoot, QString year)
    : dataRoot_(std::move(dataRoot)), year_(std::move(year)) {}

QString SafetyCopies::folder() const {
    return dataRoot_ + QLatin1Char('/') + folderName() + QLatin1Char('/') + year_;
}

QStringList SafetyCopies::list() const {
    static const QRegularExpression whole(QStringLiteral("^Devedur-\\d{8}-\\d{6}\\.mdb$"));
    const QDir dir(folder());
    QStringList copies;
    // The stamp sorts as the time does.
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name | QDir::Reversed)) {
        if (whole.match(name).hasMatch()) {
            copies.append(dir.filePath(name));
        }
    }
    return copies;
}

bool SafetyCopies::madeOn(QDate day) const {
    const QString prefix = QStringLiteral("Devedur-") + day.toString(QStringLiteral("yyyyMMdd"));
    for (const QString& path : list()) {
        if (QFileInfo(path).fileName().startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

void SafetyCopies::removeLeftovers() const {
    // A copy is built as Devedur-{stamp}.mdb.nueva, with SQLite's files beside it.
    static const QStringList partial = {
        QStringLiteral("Devedur-*.mdb.nueva"), QStringLiteral("Devedur-*.mdb.nueva-journal"),
        QStringLiteral("Devedur-*.mdb.nueva-wal"), QStringLiteral("Devedur-*.mdb.nueva-shm")};
    const QDir dir(folder());
    for (const QString& name : dir.entryList(partial, QDir::Files | QDir::System | QDir::Hidden)) {
        QFile::remove(dir.filePath(name));
    }
}

QStringList SafetyCopies::yearsWithCopies(const QString& dataRoot) {
    return QDir(dataRoot + QLatin1Char('/') + folderName())
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
}

QString SafetyCopies::write(Database& db, const QDateTime& now) const {
    if (!QDir().mkpath(folder())) {
        throw DbError(QStringLiteral("guardar la copia automática"),
                      QStringLiteral("no se puede crear la carpeta %1")
                          .arg(QDir::toNativeSeparators(folder())),
                      0);
    }
    // What a crash left of an earlier copy is no copy at all.
    removeLeftovers();
    QDateTime at = now;
    while (QFileInfo::exists(folder() + QLatin1Char('/') + copyName(at))) {
        at = at.addSecs(1);
    }
    const QString target = folder() + QLatin1Char('/') + copyName(at);
    const QString partial = partialPathFor(target);
    copyDatabase(db, partial);
    try {
        renameIntoPlace(partial, target, false);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    const QStringList copies = list();
    for (qsizetype i = kKept; i < copies.size(); ++i) {
        QFile::remove(copies[i]);
    }
    return target;
}

} // namespace velmora
