#include "store/DbErrorText.h"

#include "store/Sqlite.h"

#include <sqlite3.h>

namespace velmora {

QString describeFailure(const DbError& error) {
    switch (error.code()) {
    case SQLITE_CANTOPEN:
        return QStringLiteral("el archivo no existe o no se puede abrir");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return QStringLiteral("el archivo está dañado o no es una base de datos de contabilidad");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("la base de datos está bloqueada por otro programa");
    case SQLITE_FULL:
        return QStringLiteral("el disco está lleno");
    case SQLITE_READONLY:
        return QStringLiteral("la base de datos es de solo lectura");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("no hay permiso para usar el archivo");
    case SQLITE_IOERR:
        return QStringLiteral("error de lectura o escritura en el disco");
    default:
        return error.engineMessage();
    }
}

} // namespace velmora
