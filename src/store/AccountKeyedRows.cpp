#include "store/AccountKeyedRows.h"

#include "store/Sqlite.h"

#include <string>

namespace velmora {

void renameAccountRows(Database& db, const char* table, const QString& from, const QString& to,
                       const char* operation) {
    if (!db.hasTable(QString::fromLatin1(table))) {
        return;
    }
    // The table's name is the program's own, never the user's.
    const std::string name(table);
    if (to.isEmpty()) {
        Statement remove(db, "DELETE FROM " + name + " WHERE sametext(Cuenta, ?1)", operation);
        remove.bind(1, from).run();
        return;
    }
    Statement stale(
        db, "DELETE FROM " + name + " WHERE sametext(Cuenta, ?1) AND NOT sametext(Cuenta, ?2)",
        operation);
    stale.bind(1, to).bind(2, from).run();
    Statement rename(db, "UPDATE " + name + " SET Cuenta = ?1 WHERE sametext(Cuenta, ?2)",
                     operation);
    rename.bind(1, to).bind(2, from).run();
}

} // namespace velmora
