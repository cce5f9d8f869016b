// Printed output read back: the text of a PDF written here, a print through the
// CUPS PDF queue found in its folder and read, and file dialogs answered from a
// list, so that report tests can rely on all three.

#include "support/PrintedPdf.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

class TestPrintedPdf : public QObject {
    Q_OBJECT
private slots:
    void writtenPdf_data();
    void writtenPdf();
    void printedThroughQueue();
    void scriptedFiles();
};

namespace {

// One page per text, each text a line near the top; false when painting fails.
bool paintPages(QPagedPaintDevice& device, const QStringList& pages) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    QFont font(u"DejaVu Sans"_s);
    font.setPointSize(12);
    painter.setFont(font);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            return false;
        }
        painter.drawText(QPointF(200, 400), pages[i]);
    }
    return painter.end();
}

// pdftotext ends every page with a form feed.
QStringList pagesOf(const QString& text) {
    QStringList pages = text.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    for (QString& page : pages) {
        page = page.trimmed();
    }
    return pages;
}

} // namespace

void TestPrintedPdf::writtenPdf_data() {
    QTest::addColumn<QStringList>("pages"); // none: no file is written
    QTest::newRow("accents and euro") << QStringList{u"Añó 1.234,56 €"_s};
    QTest::newRow("two pages") << QStringList{u"Página 1 de 2"_s, u"Página 2 de 2 · −7,00 €"_s};
    QTest::newRow("no file") << QStringList();
}

void TestPrintedPdf::writtenPdf() {
    QFETCH(QStringList, pages);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"informe.pdf"_s);
    if (pages.isEmpty()) {
        // Nothing to read gives nothing, with pdftotext's reason in the log.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^pdftotext failed on .*informe"_s));
        QCOMPARE(pdfText(path), QString());
        return;
    }
    {
        QPdfWriter writer(path);
        QVERIFY(paintPages(writer, pages));
    }
    QCOMPARE(pagesOf(pdfText(path)), pages);
}

void TestPrintedPdf::printedThroughQueue() {
    if (!PrintQueueOutput::available()) {
        QSKIP("Sin cola de CUPS: scripts/test.sh la prepara cuando se ejecuta como root.");
    }
    // cups-pdf names the file after the document; a name of its own tells this
    // job's file from any other.
    const QString docName = u"velmora-prueba-%1-%2"_s.arg(QCoreApplication::applicationPid())
                                .arg(QDateTime::currentMSecsSinceEpoch());
    const QStringList pages{u"Añó 1.234,56 €"_s, u"Segunda página: 2.000,00 €"_s};

    PrintQueueOutput output;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(PrintQueueOutput::queueName());
    QVERIFY2(printer.isValid(), qPrintable(PrintQueueOutput::queueName()));
    QCOMPARE(printer.outputFormat(), QPrinter::NativeFormat);
    printer.setDocName(docName);
    QVERIFY(paintPages(printer, pages));

    const QString pdf = output.waitForNewPdf();
    QVERIFY2(!pdf.isEmpty(), "la cola no dejó ningún PDF");
    QVERIFY2(QFileInfo(pdf).fileName().contains(docName), qPrintable(pdf));
    QCOMPARE(pagesOf(pdfText(pdf)), pages);
    QFile::remove(pdf);
}

void TestPrintedPdf::scriptedFiles() {
    ScriptedFiles files;
    files.answerNext(u"/tmp/a.pdf"_s);
    files.answerNext(std::nullopt);
    QCOMPARE(files.saveFile(nullptr, u"Guardar"_s, u"/tmp/informe.pdf"_s, u"PDF (*.pdf)"_s),
             std::optional<QString>(u"/tmp/a.pdf"_s));
    QCOMPARE(files.openFile(nullptr, u"Abrir"_s, u"/tmp"_s, u"Todos (*)"_s), std::nullopt);
    QCOMPARE(files.pending(), size_t(0));
    // Nothing left to answer: the user cancels.
    QCOMPARE(files.saveFile(nullptr, u"Otra vez"_s, QString(), QString()), std::nullopt);
    QCOMPARE(files.captions, (QStringList{u"Guardar"_s, u"Abrir"_s, u"Otra vez"_s}));
    QCOMPARE(files.suggestedPaths, (QStringList{u"/tmp/informe.pdf"_s, u"/tmp"_s, QString()}));
    QCOMPARE(files.filters, (QStringList{u"PDF (*.pdf)"_s, u"Todos (*)"_s, QString()}));
}

QTEST_MAIN(TestPrintedPdf)
#include "tst_printedpdf.moc"
