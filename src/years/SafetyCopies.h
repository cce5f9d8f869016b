#pragma once

// Automatic copies of a year's database, written before anything replaces it
// (a compaction, a restore) and on the first start of each day, so that a user
// can always go back. They live in {data root}/Copias de seguridad/{year}/ as
// Devedur-{yyyyMMdd-HHmmss}.mdb; that folder holds no Devedur.mdb, so it is never
// listed as a year. The newest ten of each year are kept.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace velmora {

class Database;

class SafetyCopies {
public:
    static constexpr int kKept = 10;
    static QString folderName() { return QStringLiteral("Copias de seguridad"); }

    SafetyCopies(QString dataRoot, QString year);

    QString folder() const;
    // The copies, newest first. Only whole copies carry this name: a copy is
    // written under another one and renamed once it has passed the check.
    QStringList list() const;
    bool madeOn(QDate day) const;

    // Writes a checked copy of db named after now, removes the oldest beyond
    // kKept, and returns its path. Throws DbError; a failed copy leaves nothing.
    QString write(Database& db, const QDateTime& now) const;

    // Removes what a copy cut short left in this year's folder: the partial file
    // and SQLite's journal beside it. Only while no copy is being written there.
    void removeLeftovers() const;

    // The years with a folder of copies under dataRoot (never through a link).
    static QStringList yearsWithCopies(const QString& dataRoot);

private:
    QString dataRoot_;
    QString year_;
};

} // namespace velmora
