#include "store/DbErrorText.h"

#include "store/Sqlite.h"

#include <sqlite3.h>

namespace velmora {

QString describeFailure(const DbError& error) {
    if (error.code() == 0) {
        return error.detail(); // found by the program itself, already Spanish
    }
    switch (error.code() & 0xFF) {
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
    case SQLITE_CONSTRAINT:
        return QStringLiteral("los datos chocan con otros ya guardados");
    case SQLITE_TOOBIG:
        return QStringLiteral("un dato es demasiado grande");
    case SQLITE_NOMEM:
        return QStringLiteral("no queda memoria libre");
    case SQLITE_ERROR:
    case SQLITE_SCHEMA:
        return QStringLiteral("la base de datos no tiene la forma que el programa espera; "
                              "puede que otro programa la haya cambiado");
    default:
        return QStringLiteral("la base de datos ha dado un error inesperado (código %1)")
            .arg(error.code());
    }
}

bool isBusy(const DbError& error) {
    const int primary = error.code() & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

} // namespace velmora
