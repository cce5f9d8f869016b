#pragma once

// Taking a year's opening balances from the year before it. Each cash account of
// the new year starts where the account of the same name (in any letter case)
// stood in the previous year at that year's last day. The previous year's file
// is only ever read: opened read-only, never locked for writing, never changed.
// The plan shows every change before it is made; applying it writes all of it
// or, on a failure, nothing.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <stdexcept>
#include <vector>

namespace velmora {

class Database;

// Why there is nothing to take, in the user's words.
class CarryOverError : public std::runtime_error {
public:
    explicit CarryOverError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The last day of a year: 31/12 for a year named as a calendar year ("2024"),
// otherwise the date of its latest entry; nothing for such a year without
// entries. Throws DbError.
std::optional<QDate> lastDayOf(Database& db, const QString& year);

struct CarriedBalance {
    QString account; // as the new year spells it
    qint64 before = 0;
    // What it becomes; nothing when it stays as it is, with the reason in note.
    std::optional<qint64> after;
    QString note;
    bool changes() const { return after && *after != before; }
};

struct CarryOverPlan {
    QString previousYear;
    QDate lastDay; // of the previous year; invalid when it has nothing to carry
    std::vector<CarriedBalance> accounts; // every cash account of the new year
    // Cash accounts of the previous year with money in them that the new year
    // lacks, as "Banco (1.200,00)": listed, never created.
    QStringList missing;
    bool changesAnything() const;
};

// What the new year's balances become when taken from previous, whose name is
// previousYear. Throws DbError.
CarryOverPlan planCarryOver(Database& previous, const QString& previousYear, Database& next);

// Writes the plan's new balances in one transaction (the caller's, when one is
// open). Throws DbError with nothing written.
void applyCarryOver(Database& next, const CarryOverPlan& plan);

// The plan for the year `year` of dataRoot, whose file is db, from the year it
// was made from. Throws CarryOverError when that year is unknown, missing or
// cannot be read.
CarryOverPlan planFromPreviousYear(Database& db, const QString& dataRoot, const QString& year);

// A new year made from current starts with current's balances at its last day.
// Fits YearDatabase::create(). Throws DbError.
void carryIntoNewYear(Database& current, const QString& currentYear, Database& fresh);

} // namespace velmora
