#include "years/YearOrigin.h"

#include "store/Sqlite.h"
#include "years/YearFolders.h"

namespace velmora {

void recordSourceYear(Database& db, const QString& sourceYear) {
    db.exec("CREATE TABLE IF NOT EXISTS datosano (Clave TEXT PRIMARY KEY, Valor TEXT)",
            "anotar el año de origen");
    Statement record(db, "INSERT OR REPLACE INTO datosano (Clave, Valor) VALUES ('anoorigen', ?1)",
                     "anotar el año de origen");
    record.bind(1, sourceYear).run();
}

std::optional<QString> recordedSourceYear(Database& db) {
    if (!db.hasTable(QString::fromLatin1(schema::kYearData))) {
        return std::nullopt;
    }
    Statement query(db, "SELECT Valor FROM datosano WHERE Clave = 'anoorigen'",
                    "leer el año de origen");
    if (!query.step() || query.isNull(0) || query.columnText(0).isEmpty()) {
        return std::nullopt;
    }
    return query.columnText(0);
}

std::optional<QString> previousYearOf(Database& db, const QString& year) {
    if (auto recorded = recordedSourceYear(db)) {
        return recorded;
    }
    if (const auto calendar = calendarYearNamed(year)) {
        return QString::number(*calendar - 1);
    }
    return std::nullopt;
}

} // namespace velmora
