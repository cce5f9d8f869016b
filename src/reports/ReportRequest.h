#pragma once

// What a caller hands the report window: the kind of report, the record
// selection and the three texts the report prints in its heading.

#include <QString>

namespace velmora {

struct ReportRequest {
    QString tipo;    // "Datos", the only kind there is
    QString filtro;  // an SQL condition over the report's table; empty lists every row
    QString empresa; // pEmpresa
    QString titulo;  // pTitulo
    QString info;    // pInfo
};

} // namespace velmora
