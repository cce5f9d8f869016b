#include "store/Funciones.h"

#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace velmora {

namespace {

QString checkedTable(const QString& table) {
    if (auto name = canonicalTable(table)) {
        return *name;
    }
    throw DbError(QStringLiteral("consultar"), QStringLiteral("tabla desconocida: %1").arg(table),
                  0);
}

QString checkedColumn(const QString& table, const QString& column) {
    if (auto name = canonicalColumn(table, column)) {
        return *name;
    }
    throw DbError(QStringLiteral("consultar"),
                  QStringLiteral("columna desconocida: %1.%2").arg(table, column), 0);
}

} // namespace

qint64 ProximoNumero(Database& db, const QString& table, const QString& column) {
    const QString t = checkedTable(table);
    const QString c = checkedColumn(t, column);
    const QByteArray sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(c, t).toUtf8();
    Statement query(db, sql.toStdString(), "buscar el próximo número");
    if (!query.step() || query.isNull(0)) {
        return 1;
    }
    const qint64 largest = query.columnInt(0);
    if (largest == std::numeric_limits<qint64>::max()) {
        throw DbError(QStringLiteral("buscar el próximo número"),
                      QStringLiteral("no quedan números libres: el mayor número guardado, %1, "
                                     "es el último posible")
                          .arg(largest),
                      0);
    }
    return largest + 1;
}

QString BuscaDescripcion(Database& db, const QString& table, const QString& resultColumn,
                         const QString& codeColumn, const QString& value) {
    const QString t = checkedTable(table);
    const QString result = checkedColumn(t, resultColumn);
    const QString code = checkedColumn(t, codeColumn);
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE sametext(%3, ?1) LIMIT 1")
                               .arg(result, t, code)
                               .toUtf8();
    Statement query(db, sql.toStdString(), "buscar una descripción");
    query.bind(1, value);
    if (query.step()) {
        return query.columnText(0);
    }
    return QStringLiteral("0");
}

bool ExisteValor(Database& db, const QString& table, const QString& column, const QString& value) {
    const QString t = checkedTable(table);
    const QString c = checkedColumn(t, column);
    const QByteArray sql =
        QStringLiteral("SELECT 1 FROM %1 WHERE sametext(%2, ?1) LIMIT 1").arg(t, c).toUtf8();
    Statement query(db, sql.toStdString(), "comprobar si existe un valor");
    query.bind(1, value);
    return query.step();
}

QStringList ListaCombo(Database& db, const QString& table, const QString& codeColumn,
                       const QString& textColumn) {
    const QString t = checkedTable(table);
    const QString code = checkedColumn(t, codeColumn);
    const QString text = checkedColumn(t, textColumn);
    const QByteArray sql = QStringLiteral("SELECT %1, %2 FROM %3").arg(code, text, t).toUtf8();
    Statement query(db, sql.toStdString(), "cargar la lista");
    std::vector<std::pair<QString, QString>> rows;
    while (query.step()) {
        rows.emplace_back(query.columnText(0), query.columnText(1));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return spanishLess(a.first, b.first); });
    QStringList values;
    values.reserve(static_cast<qsizetype>(rows.size()));
    for (auto& row : rows) {
        values.append(std::move(row.second));
    }
    return values;
}

} // namespace velmora
