#include "receipts/DueDates.h"

#include <QString>

#include <algorithm>

namespace velmora {

QString scheduleProblem(const ReceiptSchedule& schedule) {
    if (schedule.everyMonths < 1 || schedule.everyMonths > 12) {
        return QStringLiteral("la frecuencia debe ser de 1 a 12 meses");
    }
    if (schedule.day < 1 || schedule.day > 31) {
        return QStringLiteral("el día del mes debe ser de 1 a 31");
    }
    if (!schedule.first.isValid()) {
        return QStringLiteral("falta la fecha del primer recibo");
    }
    if (schedule.last.isValid() && schedule.last < schedule.first) {
        return QStringLiteral("la fecha del último recibo es anterior a la del primero");
    }
    return {};
}

QList<QDate> dueDates(const ReceiptSchedule& schedule, const QDate& until) {
    QList<QDate> dates;
    if (!scheduleProblem(schedule).isEmpty() || !until.isValid()) {
        return dates;
    }
    const QDate end = schedule.last.isValid() ? std::min(schedule.last, until) : until;
    // Counted in months from the first date's month, so that a short month never
    // moves the day of the ones after it.
    const int firstMonth = schedule.first.year() * 12 + schedule.first.month() - 1;
    for (int step = 0;; step += schedule.everyMonths) {
        const int month = firstMonth + step;
        const QDate start(month / 12, month % 12 + 1, 1);
        if (start > end) {
            break;
        }
        const QDate due = start.addDays(std::min(schedule.day, start.daysInMonth()) - 1);
        if (due >= schedule.first && due <= end) {
            dates.append(due);
        }
    }
    return dates;
}

DuePeriod yearDuePeriod(int calendarYear, const QDate& today) {
    const QDate first(calendarYear, 1, 1);
    return {first, std::min(today, QDate(calendarYear, 12, 31))};
}

} // namespace velmora
