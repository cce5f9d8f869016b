// The yearly summary window on real widgets: the figures it shows, what it says
// of an amount that is no number, and its printed form through the report window.

#include "analysis/SummaryTableModel.h"
#include "analysis/frmResumen.h"
#include "reports/ReportDefinition.h"
#include "reports/frmInformeListado.h"
#include "store/OpeningBalances.h"
#include "support/Files.h"
#include "support/HostilePaths.h"
#include "support/PrintedPdf.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

using namespace velmora;

namespace {

struct Fixture : test::WindowFixture<frmResumen> {
    // amount: the electricity bill's, as the file holds it.
    explicit Fixture(double amount = 45.5) {
        ledger.addAccount("Banco", "C");
        ledger.addAccount("Caja", "C");
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Luz", "G");
        setOpeningBalance(ledger.db(), "Banco", 100000);
        ledger.addEntry(1, "01/01/2024", "Nómina", "Banco", "Nómina", 1234.56, "I");
        ledger.addEntry(2, "15/06/2024", "Retirada", "Caja", "Banco", 200, "T");
        ledger.addEntry(3, "31/12/2024", "Luz", "Luz", "Caja", amount, "G");
    }
    void openWindow() { open(); }

    // Every line as "concept|amount|opening|closing", as the grid shows it.
    QStringList lines() const {
        QStringList all;
        for (int row = 0; row < grid()->model()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < SummaryTableModel::ColumnCount; ++column) {
                cells << cell(row, column);
            }
            all << cells.join(QLatin1Char('|'));
        }
        return all;
    }
};

const QStringList kLines = {"Ingresos|||",
                            "    Nómina|1.234,56||",
                            "Total ingresos|1.234,56||",
                            "Gastos|||",
                            "    Luz|45,50||",
                            "Total gastos|45,50||",
                            "Resultado (ingresos - gastos)|1.189,06||",
                            "Cuentas de caja|||",
                            "    Banco||1.000,00|2.034,56",
                            "    Caja||0,00|154,50",
                            "Total cuentas de caja||1.000,00|2.189,06"};

} // namespace

class TestFrmResumen : public QObject {
    Q_OBJECT
private slots:
    void showsTheYear_data();
    void showsTheYear();
    void printsTheSummary_data();
    void printsTheSummary();
    void refusesAReportFileThatIsNone_data();
    void refusesAReportFileThatIsNone();
};

void TestFrmResumen::showsTheYear_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("figures") << 45.5 << kLines << QStringList{};
    QStringList unreadable = kLines;
    unreadable[4] = "    Luz|¡ERROR!||";
    unreadable[5] = "Total gastos|¡ERROR!||";
    unreadable[6] = "Resultado (ingresos - gastos)|¡ERROR!||";
    unreadable[9] = "    Caja||0,00|¡ERROR!";
    unreadable[10] = "Total cuentas de caja||1.000,00|¡ERROR!";
    QTest::newRow("an amount that is no number")
        << qInf() << unreadable
        << QStringList{"El importe del apunte de código 3 no es un número válido. Las cifras que "
                       "lo incluyen se muestran como ¡ERROR!; corrija el apunte en la lista de "
                       "apuntes."};
}

void TestFrmResumen::showsTheYear() {
    QFETCH(double, amount);
    Fixture f(amount);
    f.openWindow();
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Resumen anual"));
    QCOMPARE(f.find<QLabel>("lblTitulo")->text(), QStringLiteral("Resumen anual 2024"));
    QTEST(f.lines(), "lines");
    QTEST(f.messages.texts(), "messages");
    // Read again, with the figures changed meanwhile.
    f.ledger.addEntry(4, "02/02/2024", "Extra", "Banco", "Nómina", 10, "I");
    QVERIFY(f.window->reload());
    QCOMPARE(f.cell(1, SummaryTableModel::AmountColumn), QStringLiteral("1.244,56"));
}

void TestFrmResumen::printsTheSummary_data() {
    QTest::addColumn<QByteArray>("existing"); // the report file before; null: none
    QTest::addColumn<double>("amount");       // the electricity bill's
    QTest::addColumn<QStringList>("printed"); // some of what the PDF says
    const QStringList figures = {"Del 01/01/2024 al 31/12/2024",
                                 "INGRESOS",
                                 "Nómina 1.234,56",
                                 "Total gastos 45,50",
                                 "Resultado (ingresos - gastos) 1.189,06",
                                 "CUENTAS DE CAJA",
                                 "Banco 1.000,00 2.034,56",
                                 "Total cuentas de caja 1.000,00 2.189,06",
                                 "Impreso el 17/05/2024"};
    QTest::newRow("written when missing")
        << QByteArray() << 45.5 << QStringList{"Resumen anual 2024"} + figures;
    QTest::newRow("one the user edited is used and kept")
        << defaultSummaryReportFile().replace("Resumen anual {pAno}", "Renta {pAno}") << 45.5
        << QStringList{"Renta 2024"} + figures;
    // Paper says what the screen says, never 0,00.
    QTest::newRow("an amount that is no number")
        << QByteArray() << qInf()
        << QStringList{"Luz ¡ERROR!", "Total gastos ¡ERROR!",
                       "Resultado (ingresos - gastos) ¡ERROR!", "Caja 0,00 ¡ERROR!",
                       "Total cuentas de caja 1.000,00 ¡ERROR!"};
}

void TestFrmResumen::printsTheSummary() {
    QFETCH(QByteArray, existing);
    QFETCH(double, amount);
    QFETCH(QStringList, printed);
    Fixture f(amount);
    const QString file = summaryReportFilePath(f.ledger.dataRoot());
    if (!existing.isNull()) {
        QVERIFY(test::putBytes(file, existing));
    }
    f.openWindow();
    const QStringList told = f.messages.texts();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("resumen.pdf");
    f.services.files.answerNext(pdf);
    QStringList rows;
    f.services.dialogs.expect([&](QDialog& dialog) {
        const auto& window = dynamic_cast<frmInformeListado&>(dialog);
        QVERIFY(window.loaded());
        const ReportRows& read = window.report().rows();
        for (size_t row = 0; row < read.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < read.columns; ++column) {
                cells << read.cell(row, column);
            }
            rows << cells.join(QLatin1Char('|'));
        }
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdPDF"), Qt::LeftButton);
    });
    f.click("cmdImprimir");

    // The window's lines, the headings in capitals and the accounts set in further.
    QStringList expected = f.lines();
    for (QString& line : expected) {
        if (line.startsWith(QLatin1String("    "))) {
            line.prepend(QStringLiteral("  "));
        } else if (line.endsWith(QLatin1String("|||"))) {
            line = line.toUpper();
        }
    }
    QCOMPARE(rows, expected);
    QCOMPARE(f.services.dialogs.titles, QStringList{"Informe"});
    const QString text = test::pdfText(pdf).simplified();
    for (const QString& shown : printed) {
        QVERIFY2(text.contains(shown), qPrintable(text));
    }
    QCOMPARE(test::fileBytes(file), existing.isNull() ? defaultSummaryReportFile() : existing);
    // Nothing more than what opening the window said.
    QCOMPARE(f.messages.texts(), told);
}

void TestFrmResumen::refusesAReportFileThatIsNone_data() {
    test::addHostileInputRows();
    QTest::newRow("folder in its place") << QStringLiteral("una carpeta");
}

// Whatever stands where the report file goes is left as it is, and the user is
// told why nothing can be printed.
void TestFrmResumen::refusesAReportFileThatIsNone() {
    QFETCH(QString, refusal);
    Fixture f;
    QTemporaryDir scratch;
    const QString file = summaryReportFilePath(f.ledger.dataRoot());
    const bool inPlace = QTest::currentDataTag() == QByteArray("folder in its place");
    if (inPlace) {
        QVERIFY(QDir().mkpath(file));
    } else {
        QVERIFY(QFile::link(test::hostileInput(scratch.path()).path, file));
    }
    f.openWindow();
    bool loaded = true;
    f.services.dialogs.expect(
        [&](QDialog& dialog) { loaded = dynamic_cast<frmInformeListado&>(dialog).loaded(); });
    f.click("cmdImprimir");
    QVERIFY(!loaded);
    QCOMPARE(f.messages.shown().size(), qsizetype(1));
    const QString said = f.messages.shown().front().text;
    QVERIFY2(said.startsWith(QStringLiteral("No se puede leer el archivo de reporte: ")) &&
                 said.contains(refusal),
             qPrintable(said));
    QCOMPARE(QFileInfo(file).isSymLink(), !inPlace);
    QCOMPARE(QFileInfo(file).isDir(), inPlace || refusal == QStringLiteral("una carpeta"));
}

QTEST_MAIN(TestFrmResumen)
#include "tst_frmresumen.moc"
