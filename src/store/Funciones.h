#pragma once

// The small generic questions that windows ask of any table: the next free
// number, one column looked up by a code, whether a value exists, and the values
// that fill a list. Table and column names are checked against the ledger's own;
// values are always bound. Text compares without regard to letter case.

#include <QString>
#include <QStringList>

namespace velmora {

class Database;

// Largest value of the column plus 1; 1 when the table has no rows. Throws
// DbError, rather than wrap round, when the largest value is the largest number
// there is.
qint64 ProximoNumero(Database& db, const QString& table, const QString& column);

// The result column of the first row whose code column equals the value; "0" when none.
QString BuscaDescripcion(Database& db, const QString& table, const QString& resultColumn,
                         const QString& codeColumn, const QString& value);

bool ExisteValor(Database& db, const QString& table, const QString& column, const QString& value);

// The text column of every row in ascending order of the code column, as a
// Spanish reader sorts (letter case and accents do not scatter the names).
QStringList ListaCombo(Database& db, const QString& table, const QString& codeColumn,
                       const QString& textColumn);

} // namespace velmora
