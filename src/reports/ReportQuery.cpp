#include "reports/ReportQuery.h"

#include "reports/ReportDefinition.h"
#include "reports/ReportError.h"
#include "state/Logging.h"
#include "store/Amount.h"
#include "store/DbErrorText.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// A selection that runs longer than this is stopped, so that a formula cannot
// hang the program.
constexpr qint64 kLongestQueryMs = 20'000;

// No value a report makes or reads may pass this many bytes: a column such as
// printf('%.*c', 30000000, 'x') would otherwise take the memory of the machine.
constexpr int kLongestValue = 100'000;
// What is kept of a cell for paper: a line of a page holds far less.
constexpr qsizetype kLongestCell = 500;
// And of all the cells together, however many rows are selected.
constexpr qint64 kMostCellText = 64 * 1024 * 1024;

// What a report may call: SQLite's own functions for text, numbers and dates,
// and the program's Spanish text and amount functions. Nothing that reads
// files, makes huge values or reaches the engine's internals.
const QSet<QString>& allowedFunctions() {
    static const QSet<QString> names = {
        QStringLiteral("abs"),       QStringLiteral("amountcents"), QStringLiteral("avg"),
        QStringLiteral("casefold"),  QStringLiteral("centstotal"),  QStringLiteral("char"),
        QStringLiteral("coalesce"),  QStringLiteral("count"),       QStringLiteral("date"),
        QStringLiteral("datetime"),  QStringLiteral("glob"),        QStringLiteral("hex"),
        QStringLiteral("ifnull"),    QStringLiteral("iif"),         QStringLiteral("instr"),
        QStringLiteral("julianday"), QStringLiteral("length"),      QStringLiteral("like"),
        QStringLiteral("lower"),     QStringLiteral("ltrim"),       QStringLiteral("max"),
        QStringLiteral("min"),       QStringLiteral("nullif"),      QStringLiteral("printf"),
        QStringLiteral("format"),    QStringLiteral("replace"),     QStringLiteral("round"),
        QStringLiteral("rtrim"),     QStringLiteral("sametext"),    QStringLiteral("sign"),
        QStringLiteral("strftime"),  QStringLiteral("substr"),      QStringLiteral("substring"),
        QStringLiteral("sum"),       QStringLiteral("time"),        QStringLiteral("total"),
        QStringLiteral("trim"),      QStringLiteral("typeof"),      QStringLiteral("unicode"),
        QStringLiteral("upper"),
    };
    return names;
}

// The guard's state for one connection: why it refused, and since when the
// statement runs.
struct Guard {
    QString refusal;
    QElapsedTimer clock;
    bool stopped = false;
};

int authorize(void* data, int action, const char* first, const char* second, const char* database,
              const char*) {
    auto& guard = *static_cast<Guard*>(data);
    QString refusal;
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_READ:
        // A table read for no column in particular names no database.
        if (database == nullptr || qstrcmp(database, "main") == 0) {
            return SQLITE_OK;
        }
        refusal = QStringLiteral("lee de otra base de datos");
        break;
    case SQLITE_FUNCTION:
        if (second != nullptr && allowedFunctions().contains(QString::fromUtf8(second).toLower())) {
            return SQLITE_OK;
        }
        refusal = QStringLiteral("usa la función «%1», que un informe no puede usar")
                      .arg(QString::fromUtf8(second));
        break;
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        refusal = QStringLiteral("intenta abrir otra base de datos");
        break;
    case SQLITE_RECURSIVE:
        refusal = QStringLiteral("usa una consulta recursiva");
        break;
    case SQLITE_PRAGMA:
        refusal = QStringLiteral("intenta cambiar la configuración de la base de datos");
        break;
    default:
        refusal = QStringLiteral("intenta modificar la base de datos");
        break;
    }
    Q_UNUSED(first);
    if (guard.refusal.isEmpty()) {
        guard.refusal = refusal;
    }
    return SQLITE_DENY;
}

int keepGoing(void* data) {
    auto& guard = *static_cast<Guard*>(data);
    if (guard.clock.isValid() && guard.clock.elapsed() > kLongestQueryMs) {
        guard.stopped = true;
        return 1;
    }
    return 0;
}

QString quoted(QString text) {
    constexpr int kLongest = 60;
    text = text.simplified();
    if (text.size() > kLongest) {
        text = text.left(kLongest) + QStringLiteral("…");
    }
    return QStringLiteral("«%1»").arg(text);
}

// The engine's English reason as the user can read it; the original goes to the log.
QString reasonOf(const QString& message, const Guard& guard) {
    if (!guard.refusal.isEmpty()) {
        return guard.refusal;
    }
    if (guard.stopped) {
        return QStringLiteral("tarda demasiado y se ha detenido");
    }
    static const QList<std::pair<QRegularExpression, QString>> known = {
        {QRegularExpression(QStringLiteral("^no such column: (.*)$")),
         QStringLiteral("no existe la columna %1")},
        {QRegularExpression(QStringLiteral("^no such table: (.*)$")),
         QStringLiteral("no existe la tabla %1")},
        {QRegularExpression(QStringLiteral("^no such function: (.*)$")),
         QStringLiteral("no existe la función %1")},
        {QRegularExpression(QStringLiteral("^near \"(.*)\": syntax error$")),
         QStringLiteral("está mal escrita cerca de %1")},
        {QRegularExpression(QStringLiteral("^wrong number of arguments to function (.*)\\(\\)$")),
         QStringLiteral("la función %1 no lleva esos argumentos")},
        {QRegularExpression(QStringLiteral("^(misuse of aggregate.*)$")),
         QStringLiteral("usa una suma donde no cabe")},
        {QRegularExpression(QStringLiteral("^(incomplete input|unrecognized token.*)$")),
         QStringLiteral("está incompleta o tiene comillas sin cerrar")},
    };
    for (const auto& [pattern, text] : known) {
        const QRegularExpressionMatch match = pattern.match(message.simplified());
        if (match.hasMatch()) {
            return text.contains(QLatin1String("%1")) ? text.arg(quoted(match.captured(1))) : text;
        }
    }
    return QStringLiteral("la base de datos no la acepta");
}

QString tooLarge(const QString& what) {
    return QStringLiteral("El informe no se puede hacer: %1, más de lo que un informe admite. "
                          "Acote la selección o corrija el archivo de reporte.")
        .arg(what);
}

class GuardedConnection {
public:
    GuardedConnection(const QString& path, const QHash<QString, QString>& values) try
        : db_(path, Database::Mode::ReadOnly), values_(values) {
        db_.exec("PRAGMA query_only = ON", "abrir el informe");
        sqlite3_limit(db_.handle(), SQLITE_LIMIT_LENGTH, kLongestValue);
        sqlite3_set_authorizer(db_.handle(), authorize, &guard_);
        sqlite3_progress_handler(db_.handle(), 1000, keepGoing, &guard_);
    } catch (const DbError& error) {
        qCWarning(lcReports) << "El informe no puede abrir" << path << ":" << error.what();
        throw ReportError(ReportError::Kind::Database,
                          QStringLiteral("No se puede leer la base de datos del año: %1")
                              .arg(describeFailure(error)));
    }

    // The statement, or ReportError of `kind` whose text starts with `what`.
    std::unique_ptr<Statement> prepare(const QString& sql, ReportError::Kind kind,
                                       const QString& what) {
        guard_.refusal.clear();
        guard_.stopped = false;
        const QByteArray bytes = sql.toUtf8();
        sqlite3_stmt* probe = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db_.handle(), bytes.constData(),
                                          static_cast<int>(bytes.size()), &probe, &tail);
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        const QString rest = tail != nullptr ? QString::fromUtf8(tail).trimmed() : QString();
        sqlite3_finalize(probe);
        if (rc != SQLITE_OK) {
            qCWarning(lcReports) << "Informe rechazado:" << message << "en" << sql;
            throw ReportError(kind, QStringLiteral("%1: %2.").arg(what, reasonOf(message, guard_)));
        }
        if (!rest.isEmpty() && rest != QLatin1String(";")) {
            // Anything after the statement would be a second one, never run.
            qCWarning(lcReports) << "Informe rechazado: sobra" << rest << "en" << sql;
            throw ReportError(kind, QStringLiteral("%1: solo puede ser una condición, sobra %2.")
                                        .arg(what, quoted(rest)));
        }
        auto statement = std::make_unique<Statement>(
            db_, std::string_view(bytes.constData(), bytes.size()), "leer el informe");
        bindValues(*statement, kind, what);
        return statement;
    }

    // Steps the statement, turning an engine failure into ReportError.
    bool step(Statement& statement, ReportError::Kind kind, const QString& what) {
        if (!guard_.clock.isValid()) {
            guard_.clock.start();
        }
        try {
            return statement.step();
        } catch (const DbError& error) {
            qCWarning(lcReports) << "El informe falla:" << error.what();
            if ((error.code() & 0xFF) == SQLITE_TOOBIG) {
                throw ReportError(kind, tooLarge(QStringLiteral("un valor pasa de %1 caracteres")
                                                     .arg(formatCount(kLongestValue))));
            }
            if (guard_.stopped) {
                throw ReportError(ReportError::Kind::BadFormula,
                                  QStringLiteral("%1: %2.").arg(what, reasonOf({}, guard_)));
            }
            throw ReportError(kind, QStringLiteral("No se puede leer la base de datos del año: %1")
                                        .arg(describeFailure(error)));
        }
    }

private:
    // Each :name gets its parameter's value; a name the report does not declare,
    // or a bare ?, is a slip in whoever wrote it, never a silent NULL.
    void bindValues(Statement& statement, ReportError::Kind kind, const QString& what) const {
        sqlite3_stmt* handle = statement.handle();
        for (int i = 1; i <= sqlite3_bind_parameter_count(handle); ++i) {
            const char* written = sqlite3_bind_parameter_name(handle, i);
            const QString name = written != nullptr ? QString::fromUtf8(written + 1) : QString();
            const auto value = values_.constFind(name);
            if (value == values_.constEnd()) {
                const QString shown =
                    written != nullptr ? QString::fromUtf8(written) : QStringLiteral("?");
                qCWarning(lcReports) << "Informe rechazado: parámetro desconocido" << shown;
                throw ReportError(kind, QStringLiteral("%1: usa el parámetro %2, que el informe "
                                                       "no declara.")
                                            .arg(what, quoted(shown)));
            }
            statement.bind(i, *value);
        }
    }

    Database db_;
    QHash<QString, QString> values_;
    Guard guard_;
};

const QString kBadFormula = QStringLiteral("La fórmula de selección no es válida");
const QString kBadFile = QStringLiteral("El archivo de reporte no es válido");

QString whereClause(const QString& formula) {
    // On its own line, so that a "--" comment in the formula ends with it.
    return formula.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE (\n%1\n)").arg(formula);
}

QString shortened(QString text) {
    if (text.size() > kLongestCell) {
        text.truncate(kLongestCell - 1);
        text.append(QChar(0x2026));
    }
    return text;
}

// A total in whole cents; a real number is rounded to them.
QString totalText(sqlite3_stmt* row, int column) {
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_INTEGER:
        return formatCents(sqlite3_column_int64(row, column));
    case SQLITE_FLOAT: {
        const double value = sqlite3_column_double(row, column);
        if (std::isfinite(value) && std::abs(value) < 9e18) {
            return formatCents(std::llround(value));
        }
        return kUnreadableAmount;
    }
    case SQLITE_NULL:
        return kUnreadableAmount;
    default:
        return shortened(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, column))));
    }
}

QString cellText(sqlite3_stmt* row, int column, ReportColumn::Kind kind) {
    if (kind == ReportColumn::Kind::Cents) {
        return totalText(row, column);
    }
    if (kind == ReportColumn::Kind::Amount) {
        return formatAmount(storedNumber(sqlite3_column_value(row, column)));
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    const std::string_view text =
        bytes == nullptr ? std::string_view()
                         : std::string_view(bytes, size_t(sqlite3_column_bytes(row, column)));
    if (kind == ReportColumn::Kind::Date) {
        const QDate date = fromStoredDate(text);
        if (date.isValid()) {
            return formatDate(date);
        }
    }
    // Cut in bytes first: no more than the cell keeps is ever decoded.
    return shortened(
        QString::fromUtf8(text.data(), qsizetype(std::min(text.size(), size_t(kLongestCell) * 4))));
}

} // namespace

ReportRows queryReport(const ReportDefinition& definition, const QString& databasePath,
                       const QString& formula, const QHash<QString, QString>& values) {
    GuardedConnection connection(databasePath, values);
    const QString from = QStringLiteral(" FROM ") + definition.table;
    const QString where = whereClause(formula);
    connection.prepare(QStringLiteral("SELECT 1") + from + where, ReportError::Kind::BadFormula,
                       kBadFormula);

    QStringList columns;
    for (const ReportColumn& column : definition.columns) {
        columns.append(column.expression);
    }
    const bool marksNegative = !definition.negative.isEmpty();
    if (marksNegative) {
        // Its own line, as the formula: a "--" comment in it ends there.
        columns.append(QStringLiteral("(\n%1\n)").arg(definition.negative));
    }
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + from + where;
    if (!definition.order.isEmpty()) {
        sql += QStringLiteral(" ORDER BY ") + definition.order;
    }
    ReportRows rows;
    rows.columns = int(definition.columns.size());
    const auto listed = connection.prepare(sql, ReportError::Kind::BadFile, kBadFile);
    qint64 keptText = 0;
    while (connection.step(*listed, ReportError::Kind::Database, kBadFormula)) {
        for (int i = 0; i < rows.columns; ++i) {
            rows.cells.push_back(cellText(listed->handle(), i, definition.columns[i].kind));
            keptText += rows.cells.back().size();
        }
        if (marksNegative) {
            rows.negative.push_back(sqlite3_column_int(listed->handle(), rows.columns) != 0);
        }
        if (keptText > kMostCellText) {
            throw ReportError(ReportError::Kind::Database,
                              tooLarge(QStringLiteral("sus %1 filas pasan de %2 caracteres")
                                           .arg(formatCount(qint64(rows.rowCount())),
                                                formatCount(kMostCellText))));
        }
    }

    if (!definition.totals.isEmpty()) {
        QStringList sums;
        for (const ReportTotal& total : definition.totals) {
            sums.append(total.expression);
        }
        const auto summed = connection.prepare(QStringLiteral("SELECT ") +
                                                   sums.join(QStringLiteral(", ")) + from + where,
                                               ReportError::Kind::BadFile, kBadFile);
        connection.step(*summed, ReportError::Kind::Database, kBadFormula);
        for (int i = 0; i < definition.totals.size(); ++i) {
            rows.totals.append(totalText(summed->handle(), i));
        }
    }
    return rows;
}

} // namespace velmora
