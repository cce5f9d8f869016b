#pragma once

// The values every window shares for the whole run: the two colours, the data
// paths, the one connection and the return row. Created at start-up and handed
// to each window; tests build their own over a temporary program folder.

#include "store/Sqlite.h"

#include <QColor>
#include <QString>

#include <memory>

namespace velmora {

// Colours are kept as stored: red in the lowest byte, then green, then blue.
QColor colourFromValue(qint32 value);
qint32 valueFromColour(const QColor& colour);

struct AppState {
    QString programFolder;
    qint32 mainColour = 0;
    qint32 sectionColour = 0;
    QString dataRoot;
    QString year;
    QString databasePath;
    std::unique_ptr<Database> connection;
    int returnRow = 0;

    QColor mainColor() const { return colourFromValue(mainColour); }
    QColor sectionColor() const { return colourFromValue(sectionColour); }

    // The open connection; throws DbError when it has been closed.
    Database& db() const;
};

} // namespace velmora
