// The report engine without a window: what a selection lists and adds up, what
// it may not do, and what reaches paper.

#include "entries/EntryList.h"
#include "reports/Report.h"
#include "reports/ReportError.h"
#include "reports/ReportPages.h"
#include "support/Files.h"
#include "support/PrintedPdf.h"
#include "support/TestLedger.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

// Five entries of 2024 with the amounts and texts that go wrong first.
void addEntries(TestLedger& ledger) {
    ledger.addAccount(QStringLiteral("Banco"), QStringLiteral("C"));
    ledger.addEntry(1, "02/01/2024", "Nómina enero", "Banco", "Empresa", 1234.56, "I");
    ledger.addEntry(2, "15/01/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
    ledger.addEntry(3, "20/01/2024", "Paso a caja", "Caja", "Banco", 100, "T");
    ledger.addEntry(4, "03/02/2024", "Cena d'Àngel", "Restaurantes", "Caja", 60.25, "G");
    ledger.addEntry(5, "28/02/2024", "AÑO NUEVO", "Banco", "Regalos", -20, "I");
    ledger.addEntry(6, "29/02/2024", "Piso", "Casa", "Banco", 999999999999.99, "G");
}

Report entryReport(TestLedger& ledger, const QString& formula) {
    Report report = Report::open(reportFilePath(ledger.dataRoot()));
    report.setDatabase(ledger.databasePath());
    report.setSelectionFormula(formula);
    report.read();
    return report;
}

QStringList column(const Report& report, int index) {
    QStringList cells;
    for (size_t row = 0; row < report.rows().rowCount(); ++row) {
        cells.append(report.rows().cell(row, index));
    }
    return cells;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void listsAndAddsUpTheSelection_data();
    void listsAndAddsUpTheSelection();
    void totalsAgreeWithTheMainList();
    void refusesFormulasThatDoMoreThanSelect_data();
    void refusesFormulasThatDoMoreThanSelect();
    void unreadableDatabaseIsNamed();
    void capsWhatAReportMakes_data();
    void capsWhatAReportMakes();
    void fillsPlaceholdersOnce();
    void printsEveryRowAndTheTotals();
    void expenseAmountsStandApart_data();
    void expenseAmountsStandApart();
    void totalsNeverAloneOnTheLastPage();
};

void TestReport::listsAndAddsUpTheSelection_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<QStringList>("totals");

    const QStringList all = {"Nómina enero", "Recibo de la luz", "Paso a caja",
                             "Cena d'Àngel", "AÑO NUEVO",        "Piso"};
    QTest::newRow("empty formula: every row, by date")
        << QString() << all
        << QStringList{"1.214,56", "1.000.000.000.105,74", "-999.999.998.891,18"};
    QTest::newRow("date range") << "Data >= '2024-02-01' AND Data <= '2024-02-28'"
                                << QStringList{"Cena d'Àngel", "AÑO NUEVO"}
                                << QStringList{"-20,00", "60,25", "-80,25"};
    QTest::newRow("quote, accent, another case")
        << "Des LIKE '%D''ÀNGEL%'" << QStringList{"Cena d'Àngel"}
        << QStringList{"0,00", "60,25", "-60,25"};
    QTest::newRow("a subquery reads the accounts")
        << "EntraEn IN (SELECT conNom FROM Contas)" << QStringList{"Nómina enero", "AÑO NUEVO"}
        << QStringList{"1.214,56", "0,00", "1.214,56"};
    QTest::newRow("nothing selected")
        << "1 = 0" << QStringList{} << QStringList{"0,00", "0,00", "0,00"};
    QTest::newRow("a comment ends with its line")
        << "GoI = 'T' -- only transfers" << QStringList{"Paso a caja"}
        << QStringList{"0,00", "0,00", "0,00"};
}

void TestReport::listsAndAddsUpTheSelection() {
    QFETCH(QString, formula);
    QFETCH(QStringList, descriptions);
    QFETCH(QStringList, totals);
    TestLedger ledger;
    addEntries(ledger);

    const Report report = entryReport(ledger, formula);
    QCOMPARE(column(report, 1), descriptions);
    QCOMPARE(report.rows().totals, totals);
    if (formula.isEmpty()) {
        // Each column from its own field; the amounts and dates themselves show on paper below.
        QCOMPARE(column(report, 2).first() + column(report, 3).first(), "BancoEmpresa");
    }
}

void TestReport::totalsAgreeWithTheMainList() {
    TestLedger ledger;
    addEntries(ledger);
    // Amounts whose cents a careless sum of doubles gets wrong.
    for (int i = 0; i < 300; ++i) {
        ledger.addEntry(100 + i, "10/03/2024", "Café", "Bar", "Caja", 0.1 + 0.01 * (i % 7),
                        i % 3 == 0 ? "I" : "G");
    }
    const EntryList list =
        queryEntries(ledger.db(), {{}, {}, {}, QDate(2024, 1, 1), QDate(2024, 12, 31)});
    const Report report = entryReport(ledger, {});
    QCOMPARE(report.rows().rowCount(), list.size());
    QCOMPARE(report.rows().totals,
             QStringList({list.totals.income.text(), list.totals.expense.text(),
                          list.totals.balance().text()}));
}

void TestReport::refusesFormulasThatDoMoreThanSelect_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("reason");

    QTest::newRow("a second statement that deletes")
        << "1); DELETE FROM apuntes; --"
        << "solo puede ser una condición, sobra «DELETE FROM apuntes; -- )»";
    QTest::newRow("loading an extension")
        << "load_extension('evil.so') IS NULL"
        << "usa la función «load_extension», que un informe no puede usar";
    QTest::newRow("an unknown function") << "nada(Des)"
                                         << "no existe la función «nada»";
    QTest::newRow("the temporary schema") << "(SELECT count(*) FROM temp.sqlite_master) >= 0"
                                          << "lee de otra base de datos";
    QTest::newRow("an endless recursion")
        << "Importe < (WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n)"
           " SELECT max(x) FROM n)"
        << "usa una consulta recursiva";
    QTest::newRow("an unknown column") << "Nada = 1"
                                       << "no existe la columna «Nada»";
    QTest::newRow("an open quote") << "Des LIKE 'luz"
                                   << "está incompleta o tiene comillas sin cerrar";
    QTest::newRow("half a condition") << "Des ="
                                      << "está mal escrita cerca de «)»";
    // Parameters come only from the report's own list, never as a silent NULL.
    QTest::newRow("an undeclared parameter") << "Des = :pNada"
                                             << "usa el parámetro «:pNada», que el informe no "
                                                "declara";
    QTest::newRow("a parameter without a name")
        << "Des = ?"
        << "usa el parámetro «?», que el informe no declara";
}

void TestReport::refusesFormulasThatDoMoreThanSelect() {
    QFETCH(QString, formula);
    QFETCH(QString, reason);
    TestLedger ledger;
    addEntries(ledger);
    const QByteArray before = test::fileBytes(ledger.databasePath());

    try {
        entryReport(ledger, formula);
        QFAIL("the formula was accepted");
    } catch (const ReportError& error) {
        QCOMPARE(error.kind(), ReportError::Kind::BadFormula);
        QCOMPARE(error.description(),
                 QStringLiteral("La fórmula de selección no es válida: %1.").arg(reason));
    }
    QCOMPARE(test::fileBytes(ledger.databasePath()), before);
    QCOMPARE(ledger.countEntries(), 6);
}

void TestReport::unreadableDatabaseIsNamed() {
    TestLedger ledger;
    Report report = Report::open(reportFilePath(ledger.dataRoot()));
    report.setDatabase(ledger.dataRoot() + QStringLiteral("/1999/Devedur.mdb"));
    try {
        report.read();
        QFAIL("a missing database was read");
    } catch (const ReportError& error) {
        QCOMPARE(error.kind(), ReportError::Kind::Database);
        QVERIFY2(error.description().startsWith(
                     QStringLiteral("No se puede leer la base de datos del año: ")),
                 qPrintable(error.description()));
    }
}

void TestReport::capsWhatAReportMakes_data() {
    QTest::addColumn<QString>("column");      // the expression of the report's one column
    QTest::addColumn<QString>("description"); // of the entry there is, repeated to 200,000
    QTest::addColumn<QString>("outcome");     // the first cell, or the error
    const QString tooBig =
        "El informe no se puede hacer: un valor pasa de 100.000 caracteres, más de lo que un "
        "informe admite. Acote la selección o corrija el archivo de reporte.";
    // Once this took the machine's memory and ended the program. The engine's
    // printf makes nothing past the limit.
    QTest::newRow("a huge printf") << "printf('%.*c', 30000000, 'x')"
                                   << "a" << QString();
    QTest::newRow("a huge column") << "printf('%.*c', 60000, 'x') || printf('%.*c', 60000, 'x')"
                                   << "a" << tooBig;
    QTest::newRow("a huge description another program stored") << "Des"
                                                               << "ab" << tooBig;
    QTest::newRow("a long cell is cut for paper")
        << "printf('%.*c', 5000, 'x')"
        << "a" << QString(499, QLatin1Char('x')) + QChar(0x2026);
    QTest::newRow("a long accented cell") << "Des"
                                          << "ñ" << QString(499, QChar(0xF1)) + QChar(0x2026);
}

void TestReport::capsWhatAReportMakes() {
    QFETCH(QString, column);
    QFETCH(QString, description);
    QFETCH(QString, outcome);
    TestLedger ledger;
    const int repeat = description.size() == 2 ? 100'000 : 1'000;
    ledger.addEntry(1, "02/01/2024", description.repeated(repeat), "Banco", "Empresa", 1, "I");
    Report report(parseReportDefinition(
        QStringLiteral("Tabla: apuntes\nColumna: Texto | %1 | texto | 1\n").arg(column).toUtf8()));
    report.setDatabase(ledger.databasePath());
    try {
        report.read();
        QCOMPARE(report.rows().cell(0, 0), outcome);
    } catch (const ReportError& error) {
        QCOMPARE(error.description(), outcome);
    }
}

void TestReport::fillsPlaceholdersOnce() {
    Report report(parseReportDefinition("Parametro: pTitulo\nParametro: pOtro\nTabla: apuntes\n"
                                        "Columna: Fecha | Data | fecha | 1\n"));
    report.setParameter(QStringLiteral("pTitulo"), QStringLiteral("Gastos {Pagina}"));
    report.setParameter(QStringLiteral("pNoDeclarado"), QStringLiteral("x"));
    report.setPrintDate(QDate(2024, 5, 17));
    QCOMPARE(report.fill(QStringLiteral("{pTitulo} · {Pagina}/{Paginas} · {Fecha} · [{pOtro}] "
                                        "{pNoDeclarado} {Registros}"),
                         2, 7),
             QStringLiteral("Gastos {Pagina} · 2/7 · 17/05/2024 · [] {pNoDeclarado} 0"));
    QCOMPARE(report.parameterNames(), QStringList({"pTitulo", "pOtro"}));
}

void TestReport::printsEveryRowAndTheTotals() {
    TestLedger ledger;
    addEntries(ledger);
    for (int i = 0; i < 180; ++i) {
        ledger.addEntry(100 + i, "01/03/2024", QStringLiteral("Compra %1").arg(1000 + i), "Casa",
                        "Caja", 1.5, "G");
    }
    // Longer than its column: it wraps, and no word is lost.
    ledger.addEntry(500, "02/03/2024",
                    "Reparación de la caldera con cambio de quemador, termostato nuevo, "
                    "purgado de radiadores y revisión anual obligatoria finalizada",
                    "Casa", "Banco", 310.4, "G");
    Report report = entryReport(ledger, {});
    report.setParameter(QStringLiteral("pEmpresa"), QStringLiteral("Familia Núñez"));
    report.setParameter(QStringLiteral("pTitulo"), QStringLiteral("Listado de apuntes"));
    report.setParameter(QStringLiteral("pInfo"), QStringLiteral("Del 01/01/2024 al 31/12/2024"));
    report.setPrintDate(QDate(2024, 5, 17));

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("informe.pdf")));
    QVERIFY(printReport(report, printer));

    const QString text = test::pdfText(printer.outputFileName());
    const QString simple = text.simplified();
    for (const char* expected :
         {"Familia Núñez", "Listado de apuntes", "Del 01/01/2024 al 31/12/2024", "Fecha",
          "Concepto", "Entra en", "Sale de", "Importe", "Nómina enero", "Cena d'Àngel",
          "999.999.999.999,99", "-20,00", "02/01/2024", "INGRESOS: 1.214,56",
          "Impreso el 17/05/2024", "termostato", "obligatoria", "finalizada"}) {
        QVERIFY2(simple.contains(QString::fromUtf8(expected)), expected);
    }
    for (int i = 0; i < 180; ++i) {
        QVERIFY2(text.contains(QStringLiteral("Compra %1").arg(1000 + i)),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(simple.contains(QStringLiteral("GASTOS: 1.000.000.000.686,14")));
    // Every page says how many there are, and the last one is there.
    const QRegularExpression numbering(QStringLiteral("Página 1 de (\\d+)"));
    const QString pages = numbering.match(simple).captured(1);
    QVERIFY2(pages.toInt() >= 3, qPrintable(simple.left(400)));
    QVERIFY(simple.contains(QStringLiteral("Página %1 de %1").arg(pages)));
    QCOMPARE(simple.count(QStringLiteral(" de %1").arg(pages)), pages.toInt());
}

void TestReport::expenseAmountsStandApart_data() {
    QTest::addColumn<QString>("condition"); // "file": as the file that comes with the program
    QTest::addColumn<QString>("marked");    // x: printed in red, row by row
    QTest::newRow("expenses, as on screen") << "file"
                                            << ".x.x.x";
    QTest::newRow("no condition: all in black") << ""
                                                << "......";
    QTest::newRow("the file's own condition") << "Importe < 0"
                                              << "....x.";
}

void TestReport::expenseAmountsStandApart() {
    QFETCH(QString, condition);
    QFETCH(QString, marked);
    TestLedger ledger;
    addEntries(ledger);
    ReportDefinition definition = readReportFile(reportFilePath(ledger.dataRoot()));
    if (condition != QLatin1String("file")) {
        definition.negative = condition;
    }
    Report report(definition);
    report.setDatabase(ledger.databasePath());
    report.read();
    QString rows;
    for (size_t row = 0; row < report.rows().rowCount(); ++row) {
        rows += QLatin1Char(report.rows().isNegative(row) ? 'x' : '.');
    }
    QCOMPARE(rows, marked);

    // Red reaches the page only where a row is marked.
    QImage page(800, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    const ReportPages pages(report, page, page.rect());
    QPainter painter(&page);
    pages.paint(painter, 0);
    painter.end();
    int red = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            red += pixel.red() > 120 && pixel.green() < 80 && pixel.blue() < 80 ? 1 : 0;
        }
    }
    QCOMPARE(red > 0, marked.contains(QLatin1Char('x')));
}

void TestReport::totalsNeverAloneOnTheLastPage() {
    TestLedger ledger;
    addEntries(ledger);
    for (int i = 0; i < 40; ++i) {
        ledger.addEntry(100 + i, "01/03/2024", QStringLiteral("Compra %1").arg(i), "Casa", "Caja",
                        1.5, "G");
    }
    const Report report = entryReport(ledger, {});
    const size_t rows = report.rows().rowCount();
    // Every page height from about 20 rows a page to all of them on one, pixel by
    // pixel, so that one of them ends the rows just where the totals no longer fit.
    QImage device(1, 1, QImage::Format_RGB32);
    for (int height = 400; height <= 1000; ++height) {
        const ReportPages pages(report, device, QRectF(0, 0, 700, height));
        QVERIFY2(pages.firstRow(pages.count() - 1) < rows,
                 qPrintable(QStringLiteral("totals alone on the last page at %1 px").arg(height)));
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
