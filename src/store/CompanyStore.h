#pragma once

// The owner's data: the one row of tblTitulos that the reports print at their
// head. A file may hold no row yet; the first save creates it.

#include <QString>

#include <array>
#include <optional>

namespace velmora {

class Database;

// The columns in their table order: Empresa, CIF, NomCom, Enderezo, Poboacion,
// Telefonos, Internet, ProDat. A column holding Null reads as a null QString and
// a null QString is stored as Null, so an untouched field writes back what it read.
inline constexpr int kCompanyColumns = 8;
using Company = std::array<QString, kCompanyColumns>;

// The first row, or nothing when the table is empty.
std::optional<Company> loadCompany(Database& db);

// Writes the values over the first row, or inserts the row when the table is
// empty, in one transaction. Throws DbError, leaving the table as it was.
void saveCompany(Database& db, const Company& company);

} // namespace velmora
