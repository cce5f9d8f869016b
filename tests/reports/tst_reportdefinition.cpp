// The report file as a user may leave it after editing it by hand: what is read
// from it, and what the user is told when a line makes no sense.

#include "reports/ReportDefinition.h"
#include "reports/ReportError.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

// Everything read from a file, one line each, to compare two readings at once.
QStringList described(const ReportDefinition& report) {
    QStringList lines{u"parámetros: "_s + report.parameters.join(u','), u"tabla: "_s + report.table,
                      u"orden: "_s + report.order, u"horizontal: %1"_s.arg(report.landscape)};
    for (const ReportHeading& heading : report.headings) {
        lines << u"cabecera: %1 [%2]"_s.arg(int(heading.style)).arg(heading.text);
    }
    for (const ReportColumn& column : report.columns) {
        lines << u"columna: [%1] [%2] %3 %4"_s.arg(column.caption, column.expression)
                     .arg(int(column.kind))
                     .arg(column.width);
    }
    for (const ReportTotal& total : report.totals) {
        lines << u"total: [%1] [%2]"_s.arg(total.caption, total.expression);
    }
    lines << u"negativo: [%1]"_s.arg(report.negative);
    lines << u"pie: [%1] [%2]"_s.arg(report.footerLeft, report.footerRight);
    return lines;
}

// What a reading gives, or the refusal with its kind when it is not a bad file.
QString outcomeOf(const std::function<QString()>& reading) {
    try {
        return reading();
    } catch (const ReportError& error) {
        return (error.kind() == ReportError::Kind::BadFile        ? QString()
                : error.kind() == ReportError::Kind::FileNotFound ? u"FileNotFound: "_s
                                                                  : u"?: "_s) +
               error.description();
    }
}

const QByteArray kSmallest = "Tabla: apuntes\nColumna: Fecha | Data | fecha | 11\n";

} // namespace

class TestReportDefinition : public QObject {
    Q_OBJECT
private slots:
    void writtenOtherwise_data();
    void writtenOtherwise();
    void refusals_data();
    void refusals();
    void readingTheFile_data();
    void readingTheFile();
};

void TestReportDefinition::writtenOtherwise_data() {
    // Each reads exactly as the file that comes with the program.
    QTest::addColumn<QByteArray>("text");
    const QByteArray original = defaultReportFile();
    QTest::newRow("CRLF sin salto final") << QByteArray(original).replace("\n", "\r\n").trimmed();
    QTest::newRow("con BOM") << "\xEF\xBB\xBF" + original;
    QTest::newRow("tildes en las claves y el estilo")
        << QByteArray(original)
               .replace("Parametro:", "Parámetro:")
               .replace("Orientacion:", "Orientación:")
               .replace("titulo |", "título |");
    QByteArray spread =
        QByteArray(original).replace("\n", "\n\n   # otra nota: con dos puntos\n\t\n");
    QTest::newRow("comentarios, líneas en blanco y tabuladores")
        << spread.replace("Tabla: apuntes", "\t Tabla :\tapuntes  ");
}

void TestReportDefinition::writtenOtherwise() {
    QFETCH(QByteArray, text);
    QCOMPARE(described(parseReportDefinition(text)),
             described(parseReportDefinition(defaultReportFile())));
}

void TestReportDefinition::refusals_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("description");
    const auto refused = [](const char* name, const QByteArray& text, int line,
                            const QString& reason) {
        QTest::newRow(name)
            << text
            << u"El archivo de reporte no es válido (línea %1): %2."_s.arg(line).arg(reason);
    };
    refused("clave desconocida", kSmallest + "Columnas: A | Des | texto | 1\n", 3,
            u"la clave «Columnas» no existe"_s);
    refused("sin clave", ": apuntes\n" + kSmallest, 1, u"se esperaba «Clave: valor»"_s);
    // Comments and blank lines count when the line is named.
    refused("tras comentarios", "# uno\n\n   # dos\r\nTabla apuntes\n", 4,
            u"se esperaba «Clave: valor»"_s);
    refused("columna de tres campos", kSmallest + "Columna: A | Des | texto\n", 3,
            u"se esperaba «título | expresión | tipo | ancho»"_s);
    refused("cabecera sin estilo", kSmallest + "Cabecera: {pTitulo}\n", 3,
            u"se esperaba «estilo | texto»"_s);
    refused("total de tres campos", kSmallest + "Total: A | SUM(Importe) | 2\n", 3,
            u"se esperaba «título | expresión»"_s);
    refused("pie de un campo", kSmallest + "Pie: Página {Pagina}\n", 3,
            u"se esperaba «izquierda | derecha»"_s);
    for (const char* width : {"0", "1001"}) {
        refused(qPrintable(u"ancho «%1»"_s.arg(QLatin1String(width))),
                kSmallest + "Columna: A | Des | texto | " + width + "\n", 3,
                u"el ancho es un número de 1 a 1000"_s);
    }
    refused("tipo desconocido", kSmallest + "Columna: A | Des | numero | 5\n", 3,
            u"el tipo «numero» no existe (texto, fecha, importe o centimos)"_s);
    refused("estilo desconocido", kSmallest + "Cabecera: negrita | {pTitulo}\n", 3,
            u"el estilo «negrita» no existe (grande, titulo o normal)"_s);
    refused("columna sin expresión", kSmallest + "Columna: A |  | texto | 5\n", 3,
            u"falta la expresión de la columna"_s);
    refused("total sin expresión", kSmallest + "Total: A | \n", 3,
            u"falta la expresión del total"_s);
    refused("negativo sin condición", kSmallest + "Negativo:  \n", 3,
            u"falta la condición de «Negativo:»"_s);
    refused("orientación desconocida", kSmallest + "Orientacion: apaisada\n", 3,
            u"la orientación es vertical u horizontal"_s);
    // Names go into statement text as they are.
    refused("tabla con sentencia", "Tabla: apuntes; DROP TABLE apuntes\n", 1,
            u"«apuntes; DROP TABLE apuntes» no es un nombre de tabla"_s);
    refused("parámetro con llave", "Parametro: {pTitulo}\n" + kSmallest, 1,
            u"«{pTitulo}» no es un nombre de parámetro"_s);
    // Nothing to list from, or nothing to list: named at the last line.
    refused("sin Tabla", "Columna: Fecha | Data | fecha | 11\nOrden: Data", 2,
            u"falta la línea «Tabla:»"_s);
    refused("sin Columna", "Tabla: apuntes\nOrden: Data", 2, u"no hay ninguna «Columna:»"_s);
    refused("sin Columna, con salto final", "Tabla: apuntes\nOrden: Data\n", 2,
            u"no hay ninguna «Columna:»"_s);
    refused("vacío", "", 1, u"falta la línea «Tabla:»"_s);
    // Accepted: the last column as described() (kind 0: texto); "||" inside an
    // expression is no separator.
    QTest::newRow("barras en la expresión")
        << kSmallest + "Columna: Cuenta | EntraEn || ' / ' || SaleDe | texto | 20\n"
        << u"columna: [Cuenta] [EntraEn || ' / ' || SaleDe] 0 20"_s;
    QTest::newRow("barras sin espacios") << kSmallest + "Columna: Cuenta|EntraEn||SaleDe|texto|20"
                                         << u"columna: [Cuenta] [EntraEn||SaleDe] 0 20"_s;
}

void TestReportDefinition::refusals() {
    QFETCH(QByteArray, text);
    QFETCH(QString, description);
    QCOMPARE(outcomeOf([&] {
                 return described(parseReportDefinition(text)).filter(u"columna:"_s).last();
             }),
             description);
}

void TestReportDefinition::readingTheFile_data() {
    QTest::addColumn<QString>("name");     // what is put inside a temporary data root
    QTest::addColumn<QByteArray>("bytes"); // null: nothing there
    QTest::addColumn<QString>("outcome");  // as outcomeOf()
    const QString unreadable = u"No se puede leer el archivo de reporte: PATH %1."_s;
    QTest::newRow("no está") << u"Informes/Datos.rpt"_s << QByteArray() << u"FileNotFound: PATH"_s;
    QTest::newRow("demasiado grande")
        << u"Informes/Datos.rpt"_s << QByteArray(kSmallest + QByteArray(1024 * 1024, '#'))
        << unreadable.arg(u"es demasiado grande: pasa de 1 MB"_s);
    QTest::newRow("el de siempre")
        << u"Informes/Datos.rpt"_s << defaultReportFile() << u"apuntes"_s;
    // The parameters are the caller's to fill; a report may ask for none.
    QTest::newRow("sin parámetros")
        << u"Informes/Datos.rpt"_s << QByteArray("Cabecera: titulo | Apuntes\n" + kSmallest)
        << u"apuntes"_s;
}

void TestReportDefinition::readingTheFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    QTemporaryDir root;
    if (!bytes.isNull()) {
        QVERIFY(test::putBytes(root.filePath(name), bytes));
    }
    const QString path = reportFilePath(root.path());
    QCOMPARE(path, root.filePath(u"Informes/Datos.rpt"_s));
    QCOMPARE(outcomeOf([&] { return readReportFile(path).table; }),
             outcome.replace(u"PATH"_s, QDir::toNativeSeparators(path)));
}

QTEST_GUILESS_MAIN(TestReportDefinition)
#include "tst_reportdefinition.moc"
