// The report window on real widgets: what it shows, what it says when it cannot,
// and what its two buttons put on paper, through a real print queue when there
// is one.

#include "reports/frmInformeListado.h"

#include "reports/ReportDefinition.h"
#include "reports/ReportPages.h"
#include "reports/ReportPreview.h"
#include "support/Files.h"
#include "support/PrintedPdf.h"
#include "support/WindowFixture.h"
#include "ui/Services.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

const QString kMissing = QStringLiteral(
    "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");

struct Fixture : WindowFixture<frmInformeListado> {
    Fixture() {
        ledger.addEntry(1, "02/01/2024", "Nómina enero", "Banco", "Empresa", 1234.56, "I");
        ledger.addEntry(2, "15/01/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
        ledger.addEntry(3, "03/02/2024", "Cena d'Àngel", "Restaurantes", "Caja", 60.25, "G");
        ledger.addEntry(4, "20/06/2024", "Fuera del filtro", "Casa", "Banco", 999, "G");
    }

    void openReport(const QString& tipo = QStringLiteral("Datos"),
                    const QString& filtro = QStringLiteral("Data <= '2024-03-31'")) {
        open([&](frmInformeListado& window) {
            window.setRequest({tipo,
                               filtro,
                               QStringLiteral("Familia Núñez"),
                               QStringLiteral("Listado de apuntes"),
                               QStringLiteral("Del 01/01/2024 al 31/03/2024"),
                               {}});
        });
    }

    void writePrinters(const QString& lines) {
        QVERIFY(
            test::putBytes(ledger.programFolder() + QStringLiteral("/imp.ini"), lines.toLatin1()));
    }
};

// What every printed copy of the fixture's report must say.
void checkPrinted(const QString& text) {
    const QString simple = text.simplified();
    for (const char* expected :
         {"Familia Núñez", "Listado de apuntes", "Del 01/01/2024 al 31/03/2024", "02/01/2024",
          "Nómina enero", "1.234,56", "Recibo de la luz", "45,50", "Cena d'Àngel", "60,25",
          "INGRESOS: 1.234,56", "GASTOS: 105,75", "BALANCE: 1.128,81", "Página 1 de 1",
          "Impreso el 17/05/2024"}) {
        QVERIFY2(simple.contains(QString::fromUtf8(expected)),
                 qPrintable(QStringLiteral("«%1» not in: %2").arg(expected, simple)));
    }
    QVERIFY(!simple.contains(QStringLiteral("Fuera del filtro")));
}

} // namespace

class TestFrmInformeListado : public QObject {
    Q_OBJECT
private slots:
    void failedLoadTellsAndCloses_data();
    void failedLoadTellsAndCloses();
    void nothingToPrintWithoutAReport();
    void pdfWithoutAPdfPrinterIsWrittenByTheProgram_data();
    void pdfWithoutAPdfPrinterIsWrittenByTheProgram();
    void noPrinterInstalled();
    void previewPaintsOnlyThePagesSeen_data();
    void previewPaintsOnlyThePagesSeen();
    void printsOnTheChosenQueue_data();
    void printsOnTheChosenQueue();
};

void TestFrmInformeListado::failedLoadTellsAndCloses_data() {
    QTest::addColumn<QByteArray>("reportFile"); // empty: no file
    QTest::addColumn<QString>("message");

    QTest::newRow("no report file") << QByteArray() << kMissing;
    // Any other refusal of the engine, of the file or of the formula, is told as it is.
    QTest::newRow("a broken report file")
        << QByteArray("Tabla: apuntes\nColumna: Fecha | Data\n")
        << "El archivo de reporte no es válido (línea 2): se esperaba «título | expresión | tipo | "
           "ancho».";
}

void TestFrmInformeListado::failedLoadTellsAndCloses() {
    QFETCH(QByteArray, reportFile);
    QFETCH(QString, message);
    Fixture f;
    const QString path = reportFilePath(f.ledger.dataRoot());
    QFile::remove(path);
    if (!reportFile.isEmpty()) {
        QVERIFY(test::putBytes(path, reportFile));
    }

    // Shown as a caller shows it; it is gone before it is ever drawn.
    f.window = std::make_unique<frmInformeListado>(f.ledger.state(), f.services.services);
    f.window->setRequest({QStringLiteral("Datos"), {}, {}, {}, {}, {}});
    f.window->show();
    QCOMPARE(f.messages.texts(), QStringList{message});
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Critical);
    QVERIFY(!f.window->loaded());
    QTRY_VERIFY(!f.window->isVisible());
}

void TestFrmInformeListado::nothingToPrintWithoutAReport() {
    Fixture f;
    f.openReport(QStringLiteral("Otro"));
    QVERIFY(f.window->isVisible());
    f.click("cmdImpresora");
    f.click("cmdPDF");
    QCOMPARE(f.messages.texts(), QStringList({"Seleccione un informe", "Selecciones un informe"}));
    QCOMPARE(f.services.files.captions.size(), 0);
}

void TestFrmInformeListado::pdfWithoutAPdfPrinterIsWrittenByTheProgram_data() {
    QTest::addColumn<QString>("impIni"); // empty: no file
    QTest::addColumn<QStringList>("printers");

    QTest::newRow("none chosen") << "0\r\n-1\r\n" << QStringList{"Oficina"};
    QTest::newRow("past the list") << "0\r\n3\r\n" << QStringList{"Oficina", "PDF"};
    // No imp.ini used to mean the first printer, the one with paper in it.
    QTest::newRow("no imp.ini") << QString() << QStringList{"Oficina", "PDF"};
    QTest::newRow("no imp.ini and no printer") << QString() << QStringList{};
    QTest::newRow("not a number") << "0\r\nPDF\r\n" << QStringList{"Oficina"};
}

void TestFrmInformeListado::pdfWithoutAPdfPrinterIsWrittenByTheProgram() {
    QFETCH(QString, impIni);
    QFETCH(QStringList, printers);
    Fixture f;
    if (!impIni.isEmpty()) {
        f.writePrinters(impIni);
    }
    f.services.system.printersToList = printers;
    f.openReport();
    // The preview shows the three entries the filter selects, on one page.
    QVERIFY(f.window->loaded());
    QCOMPARE(f.window->report().rows().rowCount(), size_t{3});
    QCOMPARE(f.find<ReportPreview>("CRViewer")->pageCount(), 1);
    QTemporaryDir dir;
    f.services.files.answerNext(std::nullopt); // the first time the user thinks better of it
    f.click("cmdPDF");
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(f.services.dialogs.titles, QStringList()); // no print dialog, no printer

    // Without the extension typed, the program adds it.
    f.services.files.answerNext(dir.filePath(QStringLiteral("enero")));
    f.click("cmdPDF");
    QCOMPARE(f.services.files.captions,
             QStringList(2, QStringLiteral("Guardar el informe en PDF")));
    QVERIFY(f.services.files.suggestedPaths.first().endsWith(
        QStringLiteral("/Listado de apuntes.pdf")));
    QVERIFY(f.messages.texts().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"enero.pdf"});
    checkPrinted(test::pdfText(dir.filePath(QStringLiteral("enero.pdf"))));

    // A folder that is not there: the user is told, and the window stays.
    const QString missingFolder = dir.filePath(QStringLiteral("no/existe/informe.pdf"));
    f.services.files.answerNext(missingFolder);
    f.click("cmdPDF");
    QCOMPARE(f.messages.texts(),
             QStringList{QStringLiteral("No se puede escribir ahí: no existe la carpeta %1. "
                                        "Elija otro archivo.")
                             .arg(QFileInfo(missingFolder).absolutePath())});
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Critical);
    QVERIFY(f.window->isVisible());
}

void TestFrmInformeListado::noPrinterInstalled() {
    Fixture f;
    f.openReport();
    f.click("cmdImpresora");
    QCOMPARE(f.messages.texts(),
             QStringList{"No hay ninguna impresora instalada. Con el botón PDF puede guardar el "
                         "informe en un archivo."});
    QCOMPARE(f.services.dialogs.titles.size(), 0);
}

void TestFrmInformeListado::previewPaintsOnlyThePagesSeen_data() {
    QTest::addColumn<QString>("how"); // a key, a button, or nothing
    QTest::addColumn<bool>("toLast"); // where it leads: the last page or the second

    QTest::newRow("opened: the first page alone") << QString() << false;
    QTest::newRow("End") << "End" << true;
    QTest::newRow("PgDn") << "PgDown" << false;
    QTest::newRow("last-page button") << "cmdUltima" << true;
    QTest::newRow("next-page button") << "cmdSiguiente" << false;
}

void TestFrmInformeListado::previewPaintsOnlyThePagesSeen() {
    QFETCH(QString, how);
    QFETCH(bool, toLast);
    Fixture f;
    constexpr int kEntries = 400;
    for (int i = 1; i <= kEntries; ++i) {
        const QString date = QDate(2024, 1, 1).addDays(i % 60).toString(u"dd/MM/yyyy");
        f.ledger.addEntry(100 + i, date, QStringLiteral("Apunte %1").arg(i, 3, 10, QChar('0')),
                          "Luz", "Banco", i, "G");
    }
    f.openReport(QStringLiteral("Datos"), QStringLiteral("Id >= 100"));
    auto* preview = f.find<ReportPreview>("CRViewer");
    auto* label = f.find<QLabel>("lblPagina");
    const int count = preview->pageCount();
    QVERIFY2(count > 4, qPrintable(QString::number(count)));
    // The pages hold every row once, in order, and the last one the totals.
    const ReportPages& pages = *preview->pages();
    QCOMPARE(pages.firstRow(0), size_t{0});
    for (int page = 1; page < count; ++page) {
        QVERIFY(pages.firstRow(page) > pages.firstRow(page - 1));
    }
    QVERIFY(pages.firstRow(count - 1) < size_t{kEntries});
    QTRY_VERIFY(!preview->paintedPages().empty());
    QCOMPARE(label->text(), QStringLiteral("Página 1 de %1").arg(count));

    if (how.startsWith(u"cmd")) {
        f.click(how);
    } else if (!how.isEmpty()) {
        QTest::keyClick(preview, how == u"End" ? Qt::Key_End : Qt::Key_PageDown);
    }
    const int target = how.isEmpty() ? 0 : toLast ? count - 1 : 1;
    QCOMPARE(preview->currentPage(), target);
    QCOMPARE(label->text(), QStringLiteral("Página %1 de %2").arg(target + 1).arg(count));
    QTRY_VERIFY(std::find(preview->paintedPages().begin(), preview->paintedPages().end(), target) !=
                preview->paintedPages().end());
    // Only the pages in view were painted: the first, the one gone to, and at
    // most the one after each that shows below it.
    for (const int painted : preview->paintedPages()) {
        QVERIFY2(painted <= 1 || painted == target || painted == target + 1,
                 qPrintable(QString::number(painted)));
    }

    // What the screen counts is what paper gets.
    QTemporaryDir dir;
    f.services.files.answerNext(dir.filePath(QStringLiteral("todo.pdf")));
    f.click("cmdPDF");
    const QString printed = test::pdfText(dir.filePath(QStringLiteral("todo.pdf")));
    QCOMPARE(printed.split(QChar('\f'), Qt::SkipEmptyParts).size(), count);
    QVERIFY(printed.contains(QStringLiteral("Página %1 de %1").arg(count)));
}

void TestFrmInformeListado::printsOnTheChosenQueue_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("impIni"); // %1: the queue's position; empty: no file
    QTest::newRow("&Impresora, line 1 of imp.ini") << "cmdImpresora"
                                                   << "%1\r\n0\r\n";
    QTest::newRow("&PDF, line 2 of imp.ini") << "cmdPDF"
                                             << "0\r\n%1\r\n";
    QTest::newRow("&Impresora without imp.ini: the first printer") << "cmdImpresora" << QString();
}

void TestFrmInformeListado::printsOnTheChosenQueue() {
    QFETCH(QString, button);
    QFETCH(QString, impIni);
    if (!test::PrintQueueOutput::available()) {
        QSKIP("Sin cola de CUPS (hace falta ejecutar las pruebas como root): no se imprime");
    }
    Fixture f;
    // The machine's own printers, with the queue last so that its position counts,
    // or first when no file names it.
    QStringList printers = SystemInfo().printerNames();
    const QString queue = test::PrintQueueOutput::queueName();
    QVERIFY(printers.removeAll(queue) == 1);
    printers.prepend(QStringLiteral("Otra impresora"));
    if (impIni.isEmpty()) {
        printers.prepend(queue);
    } else {
        printers.append(queue);
        f.writePrinters(impIni.arg(printers.size() - 1));
    }
    f.services.system.printersToList = printers;
    f.openReport();

    QString offered;
    int copies = 0;
    f.services.dialogs.expect([&](QDialog& dialog) {
        auto& print = dynamic_cast<QPrintDialog&>(dialog);
        offered = print.printer()->printerName();
        copies = print.printer()->copyCount();
        dialog.accept();
    });
    test::PrintQueueOutput output;
    f.click(button);
    QCOMPARE(offered, queue);
    QCOMPARE(copies, 1);
    QVERIFY(f.messages.texts().isEmpty());
    const QString printed = output.waitForNewPdf();
    QVERIFY2(!printed.isEmpty(), "the queue produced no PDF");
    checkPrinted(test::pdfText(printed));
    // The queue names its files after the document: the next print would reuse the name.
    QVERIFY(QFile::remove(printed));

    // Cancelled in the print dialog: nothing is printed.
    f.services.dialogs.expect([](QDialog& dialog) { dialog.reject(); });
    f.click(button);
    QVERIFY(output.waitForNewPdf(3000).isEmpty());
}

QTEST_MAIN(TestFrmInformeListado)
#include "tst_frminformelistado.moc"
