#include "admin/CommandLine.h"

#include "receipts/ReceiptStore.h"
#include "store/Amount.h"
#include "store/DbErrorText.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/SafetyCopies.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>

namespace velmora::admin {

namespace {

void printDue(const std::vector<DueReceipt>& due, QTextStream& out) {
    for (const DueReceipt& receipt : due) {
        out << QStringLiteral("  %1  %2 (entra en %3, sale de %4): %5\n")
                   .arg(formatDate(receipt.due), printable(receipt.receipt.description),
                        printable(receipt.receipt.goesInto), printable(receipt.receipt.comesOutOf),
                        receipt.receipt.cents
                            ? formatCents(*receipt.receipt.cents)
                            : QStringLiteral("importe variable, se apunta desde el programa"));
    }
}

} // namespace

// For a scheduled job: run daily, it writes each due receipt once.
int runReceipts(const QStringList& args, const QString& programFolder, QTextStream& out,
                QTextStream& err) {
    const std::optional<Options> parsed =
        parseOptions(args, {QStringLiteral("--year"), QStringLiteral("--until")},
                     {QStringLiteral("--dry-run")}, err);
    if (!parsed) {
        return BadUsage;
    }
    if (!parsed->operands.isEmpty()) {
        return badUsage(err, extraArguments(parsed->operands, 0));
    }
    std::optional<QDate> until;
    if (!dateOption(*parsed, QStringLiteral("--until"), until, err)) {
        return BadUsage;
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    DuePeriod period = yearDuePeriod(target->calendarYear(), QDate::currentDate());
    if (until) {
        // The year's file takes the year's own receipts only.
        period.until = std::min(*until, QDate(target->calendarYear(), 12, 31));
    }
    Database db(target->databasePath);
    checkLedgerSchema(db);
    const std::vector<DueReceipt> due = dueReceipts(db, period);
    std::vector<ReceiptWrite> writes;
    for (const DueReceipt& receipt : due) {
        if (receipt.receipt.cents) {
            writes.push_back(
                {receipt.receipt.id, receipt.due, receipt.due, *receipt.receipt.cents});
        }
    }
    out << QStringLiteral("Recibos pendientes del año %1 hasta el %2: %3\n")
               .arg(printable(target->year), formatDate(period.until),
                    formatCount(qint64(due.size())));
    printDue(due, out);
    if (parsed->flags.contains(QStringLiteral("--dry-run"))) {
        out << QStringLiteral("Solo vista previa (--dry-run): no se ha escrito nada.\n");
        out.flush();
        return Success;
    }
    if (writes.empty()) {
        out << QStringLiteral("No hay recibos que apuntar; la base de datos no se ha cambiado.\n");
        out.flush();
        return Success;
    }
    QString copy;
    try {
        copy = SafetyCopies(target->dataRoot, target->year).write(db, QDateTime::currentDateTime());
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se puede guardar la copia de seguridad antes de "
                                           "apuntar los recibos: %1. No se ha escrito nada.")
                                .arg(describeFailure(error)));
    }
    out << QStringLiteral("Copia de seguridad guardada en %1.\n")
               .arg(QDir::toNativeSeparators(copy));
    try {
        writeReceipts(db, writes);
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se han podido apuntar los recibos: %1. No se ha "
                                           "apuntado ninguno.")
                                .arg(describeFailure(error)));
    }
    out << QStringLiteral("Apuntados %1 recibos en el año %2.\n")
               .arg(formatCount(qint64(writes.size())), printable(target->year));
    out.flush();
    return Success;
}

} // namespace velmora::admin
