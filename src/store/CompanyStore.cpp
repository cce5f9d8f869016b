#include "store/CompanyStore.h"

#include "store/Sqlite.h"

namespace velmora {

namespace {

void bindColumns(Statement& statement, const Company& company) {
    for (int i = 0; i < kCompanyColumns; ++i) {
        const QString& value = company[static_cast<size_t>(i)];
        if (value.isNull()) {
            statement.bindNull(i + 1);
        } else {
            statement.bind(i + 1, value);
        }
    }
}

} // namespace

std::optional<Company> loadCompany(Database& db) {
    Statement query(db,
                    "SELECT Empresa, CIF, NomCom, Enderezo, Poboacion, Telefonos, Internet,"
                    " ProDat FROM tblTitulos ORDER BY rowid LIMIT 1",
                    "leer los datos de la empresa");
    if (!query.step()) {
        return std::nullopt;
    }
    Company company;
    for (int i = 0; i < kCompanyColumns; ++i) {
        QString text = query.columnText(i);
        // An empty text that is not Null stays text when it is stored back.
        if (!query.isNull(i) && text.isNull()) {
            text = QStringLiteral("");
        }
        company[static_cast<size_t>(i)] = query.isNull(i) ? QString() : text;
    }
    return company;
}

void saveCompany(Database& db, const Company& company) {
    Transaction transaction(db);
    Statement update(db,
                     "UPDATE tblTitulos SET Empresa = ?1, CIF = ?2, NomCom = ?3, Enderezo = ?4,"
                     " Poboacion = ?5, Telefonos = ?6, Internet = ?7, ProDat = ?8"
                     " WHERE rowid = (SELECT MIN(rowid) FROM tblTitulos)",
                     "guardar los datos de la empresa");
    bindColumns(update, company);
    update.run();
    if (db.changes() == 0) {
        Statement insert(db,
                         "INSERT INTO tblTitulos (Empresa, CIF, NomCom, Enderezo, Poboacion,"
                         " Telefonos, Internet, ProDat) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                         "guardar los datos de la empresa");
        bindColumns(insert, company);
        insert.run();
    }
    transaction.commit();
}

} // namespace velmora
