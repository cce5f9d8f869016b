#include "receipts/ReceiptStore.h"

#include "entries/MovementRule.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/EntryStore.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <algorithm>

namespace velmora {

namespace {

void createTables(Database& db) {
    db.exec("CREATE TABLE IF NOT EXISTS recibos (Id INTEGER PRIMARY KEY, Des TEXT NOT NULL,"
            " EntraEn TEXT NOT NULL, SaleDe TEXT NOT NULL, Centimos INTEGER,"
            " CadaMeses INTEGER NOT NULL, Dia INTEGER NOT NULL, Desde TEXT NOT NULL, Hasta TEXT);"
            "CREATE TABLE IF NOT EXISTS recibosescritos (Recibo INTEGER NOT NULL,"
            " Mes TEXT NOT NULL, Vencimiento TEXT NOT NULL, Apunte INTEGER NOT NULL,"
            " PRIMARY KEY (Recibo, Mes))",
            "preparar los recibos");
}

DbError refused(const char* operation, const QString& why) {
    return DbError(QString::fromUtf8(operation), why, 0);
}

// A receipt falls due at most once a month, so a due date is known by its month:
// one written on the 5th is not offered again when its day is changed to the 10th.
QString monthOf(const QDate& due) {
    return due.toString(QStringLiteral("yyyy-MM"));
}

} // namespace

std::vector<Receipt> listReceipts(Database& db) {
    std::vector<Receipt> receipts;
    if (!db.hasTable(QStringLiteral("recibos"))) {
        return receipts;
    }
    Statement query(db,
                    "SELECT Id, Des, EntraEn, SaleDe, Centimos, CadaMeses, Dia, Desde, Hasta"
                    " FROM recibos ORDER BY Id",
                    "leer los recibos");
    while (query.step()) {
        Receipt receipt;
        receipt.id = query.columnInt(0);
        receipt.description = query.columnText(1);
        receipt.goesInto = query.columnText(2);
        receipt.comesOutOf = query.columnText(3);
        if (!query.isNull(4)) {
            receipt.cents = query.columnInt(4);
        }
        receipt.schedule = {int(query.columnInt(5)), int(query.columnInt(6)),
                            fromStoredDate(query.columnUtf8(7)),
                            fromStoredDate(query.columnUtf8(8))};
        receipts.push_back(receipt);
    }
    return receipts;
}

qint64 saveReceipt(Database& db, const Receipt& receipt) {
    const char* const operation = "guardar el recibo";
    if (const QString problem = scheduleProblem(receipt.schedule); !problem.isEmpty()) {
        throw refused(operation, problem);
    }
    if (receipt.cents && (*receipt.cents <= 0 || *receipt.cents > kMaxAmountCents)) {
        throw refused(operation, QStringLiteral("el importe debe ser mayor que 0 y no pasar de "
                                                "999.999.999.999,99"));
    }
    Transaction change(db, Transaction::Join::IfOpen);
    createTables(db);
    Statement save(db,
                   receipt.id == 0
                       ? "INSERT INTO recibos (Des, EntraEn, SaleDe, Centimos, CadaMeses, Dia,"
                         " Desde, Hasta) VALUES (?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"
                       : "UPDATE recibos SET Des = ?2, EntraEn = ?3, SaleDe = ?4, Centimos = ?5,"
                         " CadaMeses = ?6, Dia = ?7, Desde = ?8, Hasta = ?9 WHERE Id = ?1",
                   operation);
    if (receipt.id != 0) {
        save.bind(1, int64_t{receipt.id});
    }
    save.bind(2, receipt.description).bind(3, receipt.goesInto).bind(4, receipt.comesOutOf);
    if (receipt.cents) {
        save.bind(5, int64_t{*receipt.cents});
    } else {
        save.bindNull(5);
    }
    save.bind(6, int64_t{receipt.schedule.everyMonths})
        .bind(7, int64_t{receipt.schedule.day})
        .bind(8, toStoredDate(receipt.schedule.first));
    if (receipt.schedule.last.isValid()) {
        save.bind(9, toStoredDate(receipt.schedule.last));
    } else {
        save.bindNull(9);
    }
    save.run();
    // Another copy of the program may have removed it meanwhile.
    if (db.changes() == 0) {
        throw refused(operation, QStringLiteral("el recibo ya no existe: otra copia del programa "
                                                "lo ha borrado"));
    }
    const qint64 id = receipt.id != 0 ? receipt.id : sqlite3_last_insert_rowid(db.handle());
    change.commit();
    return id;
}

void removeReceipt(Database& db, qint64 id) {
    if (!db.hasTable(QStringLiteral("recibos"))) {
        return;
    }
    Statement remove(db, "DELETE FROM recibos WHERE Id = ?1", "borrar el recibo");
    remove.bind(1, int64_t{id}).run();
}

std::vector<DueReceipt> dueReceipts(Database& db, const DuePeriod& period) {
    std::vector<DueReceipt> due;
    const std::vector<Receipt> receipts = listReceipts(db);
    if (receipts.empty()) {
        return due;
    }
    Statement written(db, "SELECT 1 FROM recibosescritos WHERE Recibo = ?1 AND Mes = ?2",
                      "leer los recibos escritos");
    for (const Receipt& receipt : receipts) {
        for (const QDate& date : dueDates(receipt.schedule, period.until)) {
            // A receipt carried from last year does not bring last year's months.
            if (date < period.from) {
                continue;
            }
            written.reset();
            written.bind(1, int64_t{receipt.id}).bind(2, monthOf(date));
            if (!written.step()) {
                due.push_back({receipt, date});
            }
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const DueReceipt& a, const DueReceipt& b) { return a.due < b.due; });
    return due;
}

std::vector<qint64> writeReceipts(Database& db, const std::vector<ReceiptWrite>& writes) {
    const char* const operation = "escribir los recibos";
    std::vector<qint64> ids;
    Transaction transaction(db);
    createTables(db);
    Statement find(db, "SELECT Des, EntraEn, SaleDe FROM recibos WHERE Id = ?1", operation);
    Statement already(db, "SELECT 1 FROM recibosescritos WHERE Recibo = ?1 AND Mes = ?2",
                      operation);
    Statement record(
        db,
        "INSERT INTO recibosescritos (Recibo, Mes, Vencimiento, Apunte) VALUES (?1, ?2, ?3, ?4)",
        operation);
    for (const ReceiptWrite& write : writes) {
        find.reset();
        find.bind(1, int64_t{write.receipt});
        if (!find.step()) {
            throw refused(operation, QStringLiteral("un recibo ya no existe: otra copia del "
                                                    "programa lo ha borrado"));
        }
        if (write.cents <= 0 || write.cents > kMaxAmountCents || !write.date.isValid()) {
            throw refused(operation, QStringLiteral("la fecha o el importe de un recibo no valen"));
        }
        // Said in words here; the primary key below stays the guard.
        already.reset();
        already.bind(1, int64_t{write.receipt}).bind(2, monthOf(write.due));
        if (already.step()) {
            throw refused(operation,
                          QStringLiteral("el recibo «%1» del %2 ya está apuntado, quizá desde "
                                         "otra copia del programa")
                              .arg(find.columnText(0), formatDate(write.due)));
        }
        Entry entry;
        entry.date = write.date;
        entry.description = find.columnText(0);
        entry.goesInto = find.columnText(1);
        entry.comesOutOf = find.columnText(2);
        entry.amount = double(write.cents) / 100;
        entry.movementClass =
            classifyMovement(accountKind(db, entry.goesInto), accountKind(db, entry.comesOutOf))
                .value_or(QString());
        if (entry.movementClass.isEmpty()) {
            throw refused(operation,
                          QStringLiteral("el recibo «%1» no es un movimiento que se pueda apuntar "
                                         "entre %2 y %3")
                              .arg(entry.description, entry.goesInto, entry.comesOutOf));
        }
        entry.id = nextEntryId(db);
        const qint64 id = insertEntry(db, entry);
        // The primary key refuses a month written before, by this copy or another.
        record.reset();
        record.bind(1, int64_t{write.receipt})
            .bind(2, monthOf(write.due))
            .bind(3, toStoredDate(write.due))
            .bind(4, int64_t{id})
            .run();
        ids.push_back(id);
    }
    transaction.commit();
    return ids;
}

void carryReceipts(Database& current, const QString& currentYear, Database& fresh) {
    const std::optional<int> calendar = calendarYearNamed(currentYear);
    const QDate nextYear = calendar ? QDate(*calendar + 1, 1, 1) : QDate();
    Transaction carry(fresh, Transaction::Join::IfOpen);
    // A new year's file starts as a copy of the current one: last year's written
    // months and ended receipts must not come along with it.
    if (fresh.hasTable(QStringLiteral("recibos"))) {
        fresh.exec("DELETE FROM recibosescritos; DELETE FROM recibos", "preparar los recibos");
    }
    for (Receipt receipt : listReceipts(current)) {
        // One that ended with the year has nothing more to offer.
        if (nextYear.isValid() && receipt.schedule.last.isValid() &&
            receipt.schedule.last < nextYear) {
            continue;
        }
        receipt.id = 0;
        saveReceipt(fresh, receipt);
    }
    carry.commit();
}

} // namespace velmora
