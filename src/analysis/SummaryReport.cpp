#include "analysis/SummaryReport.h"

#include "analysis/YearSummary.h"
#include "store/Formats.h"
#include "store/Sqlite.h"

#include <QDate>
#include <QFileInfo>

namespace velmora {

namespace {

void bindFigure(Statement& insert, int index, const std::optional<AmountTotal>& figure) {
    if (!figure) {
        insert.bind(index, QString());
    } else if (const std::optional<qint64> cents = figure->cents()) {
        insert.bind(index, int64_t{*cents});
    } else {
        insert.bindNull(index);
    }
}

QString classOf(SummaryLine::Kind kind) {
    switch (kind) {
    case SummaryLine::Kind::Section:
        return QStringLiteral("apartado");
    case SummaryLine::Kind::Account:
        return QStringLiteral("cuenta");
    case SummaryLine::Kind::Total:
        break;
    }
    return QStringLiteral("total");
}

} // namespace

void writeSummaryTable(const std::vector<SummaryLine>& lines, const QString& path) {
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
        throw DbError(QStringLiteral("preparar el resumen"),
                      QStringLiteral("ya hay un archivo en %1").arg(path), 0);
    }
    Database db(path, Database::Mode::CreateIfMissing);
    db.exec("CREATE TABLE resumen (Orden INTEGER PRIMARY KEY, Clase TEXT NOT NULL,"
            " Concepto TEXT NOT NULL, Importe, Inicial, Final)",
            "preparar el resumen");
    Transaction transaction(db);
    Statement insert(db, "INSERT INTO resumen VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                     "preparar el resumen");
    int64_t order = 0;
    for (const SummaryLine& line : lines) {
        insert.bind(1, ++order).bind(2, classOf(line.kind)).bind(3, line.caption);
        bindFigure(insert, 4, line.amount);
        bindFigure(insert, 5, line.opening);
        bindFigure(insert, 6, line.closing);
        insert.run();
        insert.reset();
    }
    transaction.commit();
}

ReportRequest summaryReport(const YearSummary& summary, const QString& databasePath,
                            const QString& company) {
    ReportRequest request;
    request.tipo = QStringLiteral("Resumen");
    request.empresa = company;
    request.titulo = QStringLiteral("Resumen anual %1").arg(summary.year);
    request.info =
        QStringLiteral("Del %1 al %2")
            .arg(formatDate(QDate(summary.year, 1, 1)), formatDate(QDate(summary.year, 12, 31)));
    request.valores.insert(QStringLiteral("pAno"), QString::number(summary.year));
    request.baseDatos = databasePath;
    return request;
}

} // namespace velmora
