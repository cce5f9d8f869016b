#include "entries/ListReport.h"

#include "entries/EntryList.h"
#include "store/Formats.h"
#include "store/Schema.h"

#include <QStringList>

namespace velmora {

QString sqlStringLiteral(const QString& text) {
    QString literal = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == QLatin1Char('\'')) {
            literal += QStringLiteral("''");
        } else if (c.unicode() == 0) {
            // The engine reads statement text only up to a zero character; a bound
            // value carries it, so it is spliced in as char(0) to compare the same.
            literal += QStringLiteral("' || char(0) || '");
        } else {
            literal += c;
        }
    }
    return literal + QLatin1Char('\'');
}

namespace {

// The list's test of one filter text: anywhere in the column, an empty column
// counting as empty text, and "%" and "_" left as wildcards.
QString containsCondition(const char* column, const QString& text) {
    return QStringLiteral("IFNULL(%1, '') LIKE %2")
        .arg(QLatin1String(column), sqlStringLiteral(QLatin1Char('%') + text + QLatin1Char('%')));
}

} // namespace

ReportRequest listReport(const EntryFilter& filter, const QString& company) {
    // Both ends included, compared as stored text, as the list does.
    QStringList conditions{
        QStringLiteral("Data >= %1").arg(sqlStringLiteral(toStoredDate(filter.from))),
        QStringLiteral("Data <= %1").arg(sqlStringLiteral(toStoredDate(filter.to))),
    };
    QStringList info;
    if (filter.from.isValid() && filter.to.isValid()) {
        info.append(
            QStringLiteral("Del %1 al %2").arg(formatDate(filter.from), formatDate(filter.to)));
    }
    const struct {
        const char* column;
        const QString& text;
        QString caption;
    } texts[] = {
        {"Des", filter.description, QStringLiteral("Concepto")},
        {"EntraEn", filter.goesInto, QStringLiteral("Entra en")},
        {"SaleDe", filter.comesOutOf, QStringLiteral("Sale de")},
    };
    // An empty filter lets every row through, as in the list.
    for (const auto& [column, text, caption] : texts) {
        if (!text.isEmpty()) {
            conditions.append(containsCondition(column, text));
            info.append(caption + QStringLiteral(": ") + text);
        }
    }

    ReportRequest request;
    request.tipo = QStringLiteral("Datos");
    request.filtro = conditions.join(QStringLiteral(" AND "));
    request.empresa = company;
    request.titulo = QStringLiteral("Listado de apuntes");
    request.info = info.join(QStringLiteral(" · "));
    return request;
}

} // namespace velmora
