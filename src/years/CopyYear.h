#pragma once

// Which year a copy of a ledger belongs to, so that no restore puts one year's
// entries in place of another's. The place of the file says it first: the
// folder it is in under "Copias de seguridad" (a safety copy), the ano.ini beside
// it (a backup on a drive), the year folder of the data root it lies in. Failing
// those, the dates of its entries do, when the year is a calendar year.

#include <QString>

#include <optional>

namespace velmora {

struct CopyYear {
    QString year;
    QString how; // "según la carpeta de copias en la que está", ...
};

// The year the place of file names; nothing when its place names none.
std::optional<CopyYear> yearByPlace(const QString& file, const QString& dataRoot);

// Why the ledger in file may not take the place of year's database, in the
// user's words: "es del año 2023 (según el ano.ini que tiene al lado), no del
// año 2024". Nothing when it may, or when nothing tells its year. Throws DbError
// when the file cannot be read.
std::optional<QString> otherYearRefusal(const QString& file, const QString& dataRoot,
                                        const QString& year);

} // namespace velmora
