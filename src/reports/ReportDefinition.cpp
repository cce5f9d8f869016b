#include "reports/ReportDefinition.h"

#include "reports/ReportError.h"
#include "state/PathGate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora {

namespace {

// A file that big is no report but something else under its name.
constexpr qint64 kLargestReportFile = 1024 * 1024;

[[noreturn]] void badLine(int line, const QString& reason) {
    throw ReportError(
        ReportError::Kind::BadFile,
        QStringLiteral("El archivo de reporte no es válido (línea %1): %2.").arg(line).arg(reason));
}

bool isName(const QString& text) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return name.match(text).hasMatch();
}

// The value's parts between "|", trimmed; exactly `count` of them. "||" is SQL's
// concatenation inside an expression, never a separator.
QStringList parts(const QString& value, int count, int line, const QString& shape) {
    QStringList fields{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        const bool pipe = value[i] == QLatin1Char('|');
        const bool doubled = (i > 0 && value[i - 1] == QLatin1Char('|')) ||
                             (i + 1 < value.size() && value[i + 1] == QLatin1Char('|'));
        if (pipe && !doubled) {
            fields.append(QString());
        } else {
            fields.last().append(value[i]);
        }
    }
    if (fields.size() != count) {
        badLine(line, QStringLiteral("se esperaba «%1»").arg(shape));
    }
    for (QString& field : fields) {
        field = field.trimmed();
    }
    return fields;
}

ReportHeading::Style headingStyle(const QString& word, int line) {
    if (word == QLatin1String("grande")) {
        return ReportHeading::Style::Large;
    }
    if (word == QLatin1String("titulo") || word == QStringLiteral("título")) {
        return ReportHeading::Style::Title;
    }
    if (word == QLatin1String("normal")) {
        return ReportHeading::Style::Normal;
    }
    badLine(line, QStringLiteral("el estilo «%1» no existe (grande, titulo o normal)").arg(word));
}

ReportColumn::Kind columnKind(const QString& word, int line) {
    if (word == QLatin1String("texto")) {
        return ReportColumn::Kind::Text;
    }
    if (word == QLatin1String("fecha")) {
        return ReportColumn::Kind::Date;
    }
    if (word == QLatin1String("importe")) {
        return ReportColumn::Kind::Amount;
    }
    if (word == QLatin1String("centimos") || word == QStringLiteral("céntimos")) {
        return ReportColumn::Kind::Cents;
    }
    badLine(line,
            QStringLiteral("el tipo «%1» no existe (texto, fecha, importe o centimos)").arg(word));
}

void addLine(ReportDefinition& report, const QString& key, const QString& value, int line) {
    if (key == QLatin1String("Parametro") || key == QStringLiteral("Parámetro")) {
        if (!isName(value)) {
            badLine(line, QStringLiteral("«%1» no es un nombre de parámetro").arg(value));
        }
        report.parameters.append(value);
    } else if (key == QLatin1String("Tabla")) {
        if (!isName(value)) {
            badLine(line, QStringLiteral("«%1» no es un nombre de tabla").arg(value));
        }
        report.table = value;
    } else if (key == QLatin1String("Orden")) {
        report.order = value;
    } else if (key == QLatin1String("Orientacion") || key == QStringLiteral("Orientación")) {
        if (value != QLatin1String("vertical") && value != QLatin1String("horizontal")) {
            badLine(line, QStringLiteral("la orientación es vertical u horizontal"));
        }
        report.landscape = value == QLatin1String("horizontal");
    } else if (key == QLatin1String("Cabecera")) {
        const QStringList fields = parts(value, 2, line, QStringLiteral("estilo | texto"));
        report.headings.append({headingStyle(fields[0], line), fields[1]});
    } else if (key == QLatin1String("Columna")) {
        const QStringList fields =
            parts(value, 4, line, QStringLiteral("título | expresión | tipo | ancho"));
        bool ok = false;
        const int width = fields[3].toInt(&ok);
        if (!ok || width < 1 || width > 1000) {
            badLine(line, QStringLiteral("el ancho es un número de 1 a 1000"));
        }
        if (fields[1].isEmpty()) {
            badLine(line, QStringLiteral("falta la expresión de la columna"));
        }
        report.columns.append({fields[0], fields[1], columnKind(fields[2], line), width});
    } else if (key == QLatin1String("Total")) {
        const QStringList fields = parts(value, 2, line, QStringLiteral("título | expresión"));
        if (fields[1].isEmpty()) {
            badLine(line, QStringLiteral("falta la expresión del total"));
        }
        report.totals.append({fields[0], fields[1]});
    } else if (key == QLatin1String("Negativo")) {
        if (value.isEmpty()) {
            badLine(line, QStringLiteral("falta la condición de «Negativo:»"));
        }
        report.negative = value;
    } else if (key == QLatin1String("Pie")) {
        const QStringList fields = parts(value, 2, line, QStringLiteral("izquierda | derecha"));
        report.footerLeft = fields[0];
        report.footerRight = fields[1];
    } else {
        badLine(line, QStringLiteral("la clave «%1» no existe").arg(key));
    }
}

} // namespace

ReportDefinition parseReportDefinition(const QByteArray& text) {
    ReportDefinition report;
    const QString content = QString::fromUtf8(text);
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const QString trimmed = lines[i].trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            badLine(line, QStringLiteral("se esperaba «Clave: valor»"));
        }
        addLine(report, trimmed.left(colon).trimmed(), trimmed.mid(colon + 1).trimmed(), line);
    }
    // What is missing is missing at the end: the last line, not the empty piece
    // after a final line break.
    const int last = static_cast<int>(lines.size()) - (content.endsWith(QLatin1Char('\n')) ? 1 : 0);
    if (report.table.isEmpty()) {
        badLine(last, QStringLiteral("falta la línea «Tabla:»"));
    }
    if (report.columns.isEmpty()) {
        badLine(last, QStringLiteral("no hay ninguna «Columna:»"));
    }
    return report;
}

ReportDefinition readReportFile(const QString& path) {
    if (nothingAt(path)) {
        throw ReportError(ReportError::Kind::FileNotFound, path);
    }
    QFile file;
    if (const auto refusal = openRegularFile(path, kLargestReportFile, file)) {
        throw ReportError(
            ReportError::Kind::BadFile,
            QStringLiteral("No se puede leer el archivo de reporte: %1.").arg(*refusal));
    }
    return parseReportDefinition(file.readAll());
}

QString reportFilePath(const QString& dataRoot) {
    return dataRoot + QStringLiteral("/Informes/Datos.rpt");
}

QString registerReportFilePath(const QString& dataRoot) {
    return dataRoot + QStringLiteral("/Informes/Extracto.rpt");
}

QString summaryReportFilePath(const QString& dataRoot) {
    return dataRoot + QStringLiteral("/Informes/Resumen.rpt");
}

} // namespace velmora
