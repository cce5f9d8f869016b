#pragma once

// What a caller hands the report window: the kind of report, the record
// selection, the three texts the report prints in its heading and any further
// parameters its kind declares.

#include <QHash>
#include <QString>

namespace velmora {

struct ReportRequest {
    QString tipo;    // "Datos" (the entry list) or "Extracto" (one account's register)
    QString filtro;  // an SQL condition over the report's table; empty lists every row
    QString empresa; // pEmpresa
    QString titulo;  // pTitulo
    QString info;    // pInfo
    // By parameter name; the SQL reads them as :name, bound, never pasted in.
    QHash<QString, QString> valores;
};

} // namespace velmora
