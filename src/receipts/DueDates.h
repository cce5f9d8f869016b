#pragma once

// When a recurring receipt ("recibo") falls due: every N months (12 for a yearly
// one) on its day of the month, or on the month's last day when the month is
// shorter (the 31st is 28 or 29 February), from its first date and up to its last
// date when it has one. Rent, electricity, the community fee and the IBI come
// round so.

#include <QDate>
#include <QList>
#include <QString>

namespace velmora {

struct ReceiptSchedule {
    int everyMonths = 1; // 1 to 12
    int day = 1;         // of the month, 1 to 31
    QDate first;         // no due date before it
    QDate last;          // none after it; invalid when it runs on
};

// Why a schedule cannot be used, in Spanish; empty when it can.
QString scheduleProblem(const ReceiptSchedule& schedule);

// The due dates from the schedule's first date up to `until`, both included,
// oldest first; none for a schedule with a problem.
QList<QDate> dueDates(const ReceiptSchedule& schedule, const QDate& until);

// The days whose receipts a year's file takes: from its 1 January up to today,
// or to its 31 December once the year is over. Empty (until before from) for a
// year still to come.
struct DuePeriod {
    QDate from;
    QDate until;
};
DuePeriod yearDuePeriod(int calendarYear, const QDate& today);

} // namespace velmora
