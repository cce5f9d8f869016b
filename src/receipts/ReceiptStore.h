#pragma once

// The year's recurring receipts and the due dates already written, in two tables
// of our own that the stock sqlite3 reads:
//   recibos (Id, Des, EntraEn, SaleDe, Centimos, CadaMeses, Dia, Desde, Hasta)
//   recibosescritos (Recibo, Mes, Vencimiento, Apunte), one row per due date
//   written, known by its month.
// A due date is written once: its row and its entry go in together, and a second
// copy of the program writing the same one meets the first's row and writes
// nothing. A file without the tables has no receipts.

#include "receipts/DueDates.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

class Database;

struct Receipt {
    qint64 id = 0; // 0 until it is saved
    QString description;
    QString goesInto;
    QString comesOutOf;
    std::optional<qint64> cents; // nothing when it varies and is asked each time
    ReceiptSchedule schedule;
};

// In the order they were made. Throws DbError.
std::vector<Receipt> listReceipts(Database& db);

// Saves a new receipt (id 0) and gives its number, or changes an existing one.
// Throws DbError, also when the receipt to change is no longer there.
qint64 saveReceipt(Database& db, const Receipt& receipt);

// The receipt goes; the due dates it wrote stay as entries.
void removeReceipt(Database& db, qint64 id);

struct DueReceipt {
    Receipt receipt;
    QDate due;
};

// Every due date within the period not written yet, oldest first.
std::vector<DueReceipt> dueReceipts(Database& db, const DuePeriod& period);

// One due date as the user accepts it: the date and amount may differ from the
// receipt's own.
struct ReceiptWrite {
    qint64 receipt = 0;
    QDate due;
    QDate date;
    qint64 cents = 0;
};

// Writes each as an ordinary entry and records its due date, all in one
// transaction: a receipt or a due date already written, or a receipt gone, fails
// the whole write and nothing is written. Gives the entries' numbers. Throws
// DbError.
std::vector<qint64> writeReceipts(Database& db, const std::vector<ReceiptWrite>& writes);

// A new year made from current takes its receipts, save those that ended within
// current's year; which months were written stays behind. Within the caller's
// transaction when one is open. Throws DbError.
void carryReceipts(Database& current, const QString& currentYear, Database& fresh);

} // namespace velmora
