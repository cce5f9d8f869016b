#pragma once

// The year the program works on: the settings folder, the data root, the year, its
// database, the one connection to it and the lock that keeps every other copy of the
// program off it. The windows, velmora-admin and the crash test each hold one.
//
// Only the year's life cycle (YearDatabase, openYear, lockYear) changes it, so a
// window can use the connection but never swap it for another year's.

#include "state/PathGate.h"
#include "state/SingleInstance.h"
#include "store/Sqlite.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmora {

// What a new year takes from the year it is made from beyond a copy of its file
// (the balances it starts with), written into the new year's file while it is
// still being built, so that a failure there leaves no year behind. Throws DbError.
using NewYearStep =
    std::function<void(Database& current, const QString& currentYear, Database& fresh)>;

// A connection to the year's database at path, once it is known to be a ledger.
// Throws DbError; its reason for the user is describeFailure()'s.
std::unique_ptr<Database> openYearDatabase(const QString& path);

class YearSession {
public:
    // settingsFolder as settingsFolderFor() finds it: the executable's folder when it
    // holds ruta.ini, otherwise the user's configuration folder. Its Datos folder is
    // where a year is compacted.
    explicit YearSession(QString settingsFolder = {});

    const QString& programFolder() const { return programFolder_; }
    const QString& dataRoot() const { return dataRoot_; }
    const QString& year() const { return year_; }
    const QString& databasePath() const { return databasePath_; }

    // The open connection. When it was lost, the year's database is opened again
    // here, so the program recovers as soon as the database can be opened; throws
    // DbError, with the reason, while it cannot.
    Database& db() const;
    // The connection as it is now, without opening it again: null while closed.
    const Database* openConnection() const { return connection_.get(); }
    const SingleInstance* yearLock() const { return yearLock_.get(); }

    // The program's own files as the path gate knows them: these folders and the
    // running executable's.
    ProgramPlaces places() const;

private:
    friend class YearDatabase;
    friend void openYear(YearSession& session, const QString& dataRoot, const QString& year);
    friend bool lockYear(YearSession& session, const QString& databasePath);

    QString programFolder_;
    QString dataRoot_;
    QString year_;
    QString databasePath_;
    // Null only after the database could not be opened again (a compaction or a
    // restore that replaced it while another program held it): db() tries anew.
    mutable std::unique_ptr<Database> connection_;
    // Keeps every other copy of the program off the year open here, from start-up on;
    // it follows the year from one to the next (YearDatabase).
    std::unique_ptr<SingleInstance> yearLock_;
};

} // namespace velmora
