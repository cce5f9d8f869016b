#include "store/EntryStore.h"

#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

namespace velmora {

namespace {

void bindColumns(Statement& statement, const Entry& entry) {
    statement.bind(1, static_cast<int64_t>(entry.id))
        .bind(2, toStoredDate(entry.date))
        .bind(3, entry.description)
        .bind(4, entry.goesInto)
        .bind(5, entry.comesOutOf)
        .bind(6, entry.amount)
        .bind(7, entry.movementClass);
}

bool entryExists(Database& db, qint64 id) {
    Statement query(db, "SELECT 1 FROM apuntes WHERE Id = ?1", "buscar el apunte");
    query.bind(1, static_cast<int64_t>(id));
    return query.step();
}

// The number to write under: `id` while it is free, else the next free one.
qint64 freeEntryId(Database& db, qint64 id) {
    return entryExists(db, id) ? nextEntryId(db) : id;
}

} // namespace

std::optional<Entry> loadEntry(Database& db, qint64 id) {
    Statement query(db,
                    "SELECT Id, Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes"
                    " WHERE Id = ?1",
                    "leer el apunte");
    query.bind(1, static_cast<int64_t>(id));
    if (!query.step()) {
        return std::nullopt;
    }
    Entry entry;
    entry.id = query.columnInt(0);
    entry.date = fromStoredDate(query.columnUtf8(1));
    entry.description = query.columnText(2);
    entry.goesInto = query.columnText(3);
    entry.comesOutOf = query.columnText(4);
    entry.amount = query.columnNumber(5);
    entry.movementClass = query.columnText(6);
    return entry;
}

qint64 nextEntryId(Database& db) {
    return ProximoNumero(db, QStringLiteral("apuntes"), QStringLiteral("Id"));
}

qint64 insertEntry(Database& db, const Entry& entry) {
    Transaction transaction(db, Transaction::Join::IfOpen);
    Entry written = entry;
    written.id = freeEntryId(db, entry.id);
    Statement insert(db,
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "guardar el apunte");
    bindColumns(insert, written);
    insert.run();
    transaction.commit();
    return written.id;
}

bool updateEntry(Database& db, const Entry& entry) {
    Statement update(db,
                     "UPDATE apuntes SET Data = ?2, Des = ?3, EntraEn = ?4, SaleDe = ?5,"
                     " Importe = ?6, GoI = ?7 WHERE Id = ?1",
                     "guardar los cambios del apunte");
    bindColumns(update, entry);
    update.run();
    return db.changes() > 0;
}

void deleteEntry(Database& db, qint64 id) {
    Statement remove(db, "DELETE FROM apuntes WHERE Id = ?1", "borrar el apunte");
    remove.bind(1, static_cast<int64_t>(id));
    remove.run();
}

std::optional<StoredEntry> takeEntry(Database& db, qint64 id) {
    Transaction transaction(db);
    Statement query(db,
                    "SELECT Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes WHERE Id = ?1",
                    "leer el apunte");
    query.bind(1, static_cast<int64_t>(id));
    if (!query.step()) {
        return std::nullopt;
    }
    StoredEntry taken{id, query.copyRow()};
    deleteEntry(db, id);
    transaction.commit();
    return taken;
}

qint64 putBackEntry(Database& db, const StoredEntry& entry) {
    Transaction transaction(db);
    const qint64 id = freeEntryId(db, entry.id);
    Statement insert(db,
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "recuperar el apunte");
    insert.bind(1, static_cast<int64_t>(id)).bindValues(2, entry.columns);
    insert.run();
    transaction.commit();
    return id;
}

std::vector<qint64> undatedEntries(Database& db, int limit) {
    Statement query(db,
                    "SELECT Id FROM apuntes WHERE Data IS NULL OR Data < '0001-01-01'"
                    " OR Data > '9999-12-31' ORDER BY Id LIMIT ?1",
                    "buscar apuntes sin fecha");
    query.bind(1, limit);
    std::vector<qint64> ids;
    while (query.step()) {
        ids.push_back(query.columnInt(0));
    }
    return ids;
}

} // namespace velmora
