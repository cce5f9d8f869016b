#pragma once

// What a reader of a bank or spreadsheet file hands over: the movements it could
// read and the lines it could not, each with its line so that the user can find it.

#include <QDate>
#include <QString>

namespace velmora {

// One movement read from a file, before it is checked against the year.
struct ImportedRow {
    int line = 0; // the file line where it starts, from 1
    QDate date;
    QString description;
    QString goesInto;   // empty when the file does not name it
    QString comesOutOf; // likewise
    qint64 cents = 0;   // the amount in whole cents, as signed in the file
};

// A line that could not be read, with the reason in Spanish for the user.
struct RefusedLine {
    int line = 0;
    QString reason;
};

} // namespace velmora
