#include "store/EntryStore.h"

#include "store/Sqlite.h"

namespace velmora {

void deleteEntry(Database& db, qint64 id) {
    Statement remove(db, "DELETE FROM apuntes WHERE Id = ?1", "borrar el apunte");
    remove.bind(1, static_cast<int64_t>(id));
    remove.run();
}

} // namespace velmora
