#pragma once

// What a caller hands the report window: the kind of report, the record
// selection, the three texts the report prints in its heading and any further
// parameters its kind declares.

#include <QHash>
#include <QString>

namespace velmora {

struct ReportRequest {
    // "Datos" (the entry list), "Extracto" (one account's register) or "Resumen"
    // (the yearly summary)
    QString tipo;
    QString filtro;  // an SQL condition over the report's table; empty lists every row
    QString empresa; // pEmpresa
    QString titulo;  // pTitulo
    QString info;    // pInfo
    // By parameter name; the SQL reads them as :name, bound, never pasted in.
    QHash<QString, QString> valores;
    // The database the report reads; empty: the open year's. A report of figures
    // the program has made (the yearly summary) reads them from a file of their own.
    QString baseDatos{};
};

} // namespace velmora
