#pragma once

// Reads and writes single rows of the entries table.

#include <QDate>
#include <QString>

#include <optional>

namespace velmora {

class Database;

struct Entry {
    qint64 id = 0;
    QDate date;
    QString description;
    QString goesInto;
    QString comesOutOf;
    double amount = 0;
    QString movementClass;
};

// Nothing when no entry has that number.
std::optional<Entry> loadEntry(Database& db, qint64 id);
void insertEntry(Database& db, const Entry& entry);
// Every column but the number.
void updateEntry(Database& db, const Entry& entry);
void deleteEntry(Database& db, qint64 id);

} // namespace velmora
