#pragma once

// The values every window shares for the whole run: the colours, the data
// paths, the one connection, the lock on the year and the return row. Created at
// start-up and handed to each window; tests build their own over a temporary
// program folder.

#include "startup/SingleInstance.h"
#include "state/PathGate.h"
#include "store/Sqlite.h"
#include "ui/Palette.h"

#include <QString>

#include <memory>

namespace velmora {

struct AppState {
    // The settings folder (settingsFolderFor): the executable's folder when it holds
    // ruta.ini, otherwise the user's configuration folder. Its Datos folder is where a
    // year is compacted.
    QString programFolder;
    Palette palette;
    QString dataRoot;
    QString year;
    QString databasePath;
    // Null only after the database could not be opened again (a compaction or a
    // restore that replaced it while another program held it): db() tries anew.
    mutable std::unique_ptr<Database> connection;
    // Keeps every other copy of the program off the year open here, from start-up on;
    // it follows the year from one to the next (YearDatabase).
    std::unique_ptr<SingleInstance> yearLock;
    int returnRow = 0;

    // The open connection. When it was lost, the year's database is opened again
    // here, so the program recovers as soon as the database can be opened; throws
    // DbError, with the reason, while it cannot.
    Database& db() const;

    // The program's own files as the path gate knows them: these folders and the
    // running executable's.
    ProgramPlaces places() const;
};

} // namespace velmora
