// Entries written to CSV and read back, and files from elsewhere read row by row.

#include "exchange/Csv.h"

#include "store/Amount.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";
const QByteArray kHeader = "Fecha;Concepto;Entra en;Sale de;Importe\r\n";
const QByteArray kIsoHeader = "Fecha,Concepto,Entra en,Sale de,Importe\r\n";

CsvRead readBytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readCsv(buffer);
}

QStringList refusalTexts(const CsvRead& read) {
    QStringList lines;
    for (const RefusedLine& refused : read.refused.kept()) {
        lines.append(QStringLiteral("%1: %2").arg(refused.line).arg(refused.reason));
    }
    return lines;
}

// Each row read as "line|date|description|into|out of|cents".
QStringList rowTexts(const CsvRead& read) {
    QStringList texts;
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        texts.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                         .arg(read.rows.line(i))
                         .arg(read.rows.date(i).toString(Qt::ISODate), read.rows.description(i),
                              read.rows.goesInto(i), read.rows.comesOutOf(i))
                         .arg(read.rows.cents(i)));
    }
    return texts;
}

QList<int> linesRead(const CsvRead& read) {
    QList<int> lines;
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        lines.append(read.rows.line(i));
    }
    return lines;
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void reads_data();
    void reads();
    void refusals_data();
    void refusals();
    void quotesLeftOpenInALongFile();
    void mixedEncodings_data();
    void mixedEncodings();
    void tooManyRows();
    void wholeFileRefused_data();
    void wholeFileRefused();
    void amountsAsTyped_data();
    void amountsAsTyped();
    void fullDisk_data();
    void fullDisk();
};

void TestCsv::roundTrip_data() {
    QTest::addColumn<QString>("row");     // "date|description|into|out of|cents"
    QTest::addColumn<int>("nextLine");    // where the row written after this one starts
    QTest::addColumn<QByteArray>("line"); // as written, when it matters
    QTest::newRow("plain") << u"2024-03-05|Pan|Comida|Caja|-123456"_s << 3
                           << QByteArray("05/03/2024;Pan;Comida;Caja;-1234,56\r\n");
    QTest::newRow("quotes doubled")
        << u"2024-03-05|Dijo \"sí\"|\"Caja\"|Banco \"B\"|5"_s << 3
        << QByteArray("05/03/2024;\"Dijo \"\"s\xC3\xAD\"\"\";\"\"\"Caja\"\"\";\"Banco "
                      "\"\"B\"\"\";0,05\r\n");
    QTest::newRow("separators and spaces quoted")
        << u"2024-03-05|Luz; agua; gas| Casa|Gastos; casa|-1"_s << 3
        << QByteArray("05/03/2024;\"Luz; agua; gas\";\" Casa\";\"Gastos; casa\";-0,01\r\n");
    QTest::newRow("line breaks") << u"2024-03-05|una\ndos\r\ntres\rcuatro|Caja\n2|Banco|100"_s << 7
                                 << QByteArray();
    QTest::newRow("spaces at the ends")
        << u"2024-03-05| Alquiler |  Caja|Banco\t|2"_s << 3 << QByteArray();
    QTest::newRow("accounts not named") << u"2024-03-05|Pan|||3"_s << 3 << QByteArray();
    // A spreadsheet would run these texts: they are written after an apostrophe,
    // and the amounts stay numbers.
    QTest::newRow("a formula") << u"2024-03-05|=SUMA(A1:A9)|Caja|Caja|-1200"_s << 3
                               << QByteArray("05/03/2024;'=SUMA(A1:A9);Caja;Caja;-12,00\r\n");
    QTest::newRow("plus, minus and at in every text")
        << u"2024-03-05|+34 600 000 000|-Caja|@banco|1"_s << 3
        << QByteArray("05/03/2024;'+34 600 000 000;'-Caja;'@banco;0,01\r\n");
    QTest::newRow("a tab first") << u"2024-03-05|\tHIPERVINCULO(1)|Caja|Caja|1"_s << 3
                                 << QByteArray("05/03/2024;'\tHIPERVINCULO(1);Caja;Caja;0,01\r\n");
    QTest::newRow("a carriage return first")
        << u"2024-03-05|\r=1+1|Caja|Caja|1"_s << 4
        << QByteArray("05/03/2024;\"'\r=1+1\";Caja;Caja;0,01\r\n");
    QTest::newRow("an apostrophe first")
        << u"2024-03-05|'entre comillas'|'Caja|Caja|1"_s << 3
        << QByteArray("05/03/2024;''entre comillas';''Caja;Caja;0,01\r\n");
    QTest::newRow("largest amount, longest texts")
        << u"2024-03-05|=%1|-%2|%3|%4"_s
               .arg(QString(249, u'ñ'), QString(19, u'Ñ'), QString(20, u'@'))
               .arg(kMaxAmountCents)
        << 3 << QByteArray();
}

// The bytes written, and every field read back identical with the row after it
// keeping its true line.
void TestCsv::roundTrip() {
    QFETCH(QString, row);
    QFETCH(int, nextLine);
    QFETCH(QByteArray, line);
    const QStringList field = row.split(u'|');
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer);
    writer.writeHeader();
    writer.writeRow(QDate::fromString(field[0], Qt::ISODate), field[1], field[2], field[3],
                    field[4].toLongLong());
    writer.writeRow(QDate(2024, 1, 2), u"Después"_s, u"Caja"_s, u"Banco"_s, 7);
    QVERIFY(writer.finish());
    if (!line.isEmpty()) {
        QVERIFY(buffer.data().startsWith(kBom + kHeader + line));
    }

    const CsvRead read = readBytes(buffer.data());
    QCOMPARE(read.failure, QString());
    QCOMPARE(refusalTexts(read), QStringList());
    QCOMPARE(read.dialect, CsvDialect::Spanish);
    QCOMPARE(rowTexts(read),
             QStringList({u"2|"_s + row, u"%1|2024-01-02|Después|Caja|Banco|7"_s.arg(nextLine)}));
}

void TestCsv::reads_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("row"); // as rowTexts()
    const QString ours = QStringLiteral("separador punto y coma, decimales con coma, fechas "
                                        "dd/mm/aaaa");
    const QString iso = QStringLiteral("separador coma, decimales con punto, fechas aaaa-mm-dd");
    const QString bread = QStringLiteral("2|2024-03-05|Pan|Comida|Caja|100");
    QTest::newRow("ours, grouped amount")
        << kBom + kHeader + "05/03/2024;Pan;Comida;Caja;-1.234,56\r\n"
        << ours << u"2|2024-03-05|Pan|Comida|Caja|-123456"_s;
    QTest::newRow("no byte-order mark, LF, no final line end")
        << QByteArray("Fecha;Concepto;Entra en;Sale de;Importe\n05/03/2024;Pan;Comida;Caja;12,5")
        << ours << u"2|2024-03-05|Pan|Comida|Caja|1250"_s;
    QTest::newRow("CR alone ends lines")
        << QByteArray("Fecha;Concepto;Entra en;Sale de;Importe\r05/03/2024;Pan;Comida;Caja;1\r")
        << ours << bread;
    QTest::newRow("header in capitals and with accents")
        << QByteArray("F\xC3\x89"
                      "CHA;concepto; Entra En ;S\xC3\x81LE DE;ImPorte\r\n"
                      "05/03/2024;Pan;Comida;Caja;1\r\n")
        << ours << bread;
    QTest::newRow("quoted header")
        << QByteArray("\"Fecha\";\"Concepto\";\"Entra en\";\"Sale de\";\"Importe\"\r\n"
                      "05/03/2024;Pan;Comida;Caja;1\r\n")
        << ours << bread;
    QTest::newRow("blank lines and empty rows skipped")
        << kHeader + "\r\n   \r\n;;;;\r\n05/03/2024;Pan;Comida;Caja;1\r\n\r\n"
        << ours << u"5|2024-03-05|Pan|Comida|Caja|100"_s;
    QTest::newRow("day and month of one digit")
        << kHeader + "5/3/2024;Pan;Comida;Caja;1" << ours << bread;
    QTest::newRow("half a cent away from zero") << kHeader + "05/03/2024;Pan;Comida;Caja;-1,005"
                                                << ours << u"2|2024-03-05|Pan|Comida|Caja|-101"_s;
    QTest::newRow("Windows-1252 without byte-order mark")
        << kHeader + "05/03/2024;Caf\xE9 a 2 \x80;Ca\xF1"
                     "a;Caja;1\r\n"
        << ours << u"2|2024-03-05|Café a 2 €|Caña|Caja|100"_s;
    QTest::newRow("international")
        << kIsoHeader + "2024-03-05,\"Pan, leche\",Comida,Caja,-1234.56\r\n"
        << iso << u"2|2024-03-05|Pan, leche|Comida|Caja|-123456"_s;
    QTest::newRow("international, one decimal")
        << kIsoHeader + "2024-03-05,Pan;leche,Comida,Caja,1234.5" << iso
        << u"2|2024-03-05|Pan;leche|Comida|Caja|123450"_s;
    QTest::newRow("international, no decimals") << kIsoHeader + "2024-03-05,Pan,Comida,Caja,1234"
                                                << iso << u"2|2024-03-05|Pan|Comida|Caja|123400"_s;
    // Only the apostrophe our own export puts before a formula is taken off.
    QTest::newRow("an apostrophe before plain text stays")
        << kHeader + "05/03/2024;'hola;Comida;Caja;1" << ours
        << u"2|2024-03-05|'hola|Comida|Caja|100"_s;
    QTest::newRow("international keeps its apostrophes")
        << kIsoHeader + "2024-03-05,'=1,Comida,Caja,1" << iso
        << u"2|2024-03-05|'=1|Comida|Caja|100"_s;
}

void TestCsv::reads() {
    QFETCH(QByteArray, file);
    const CsvRead read = readBytes(file);
    QCOMPARE(read.failure, QString());
    QTEST(describeDialect(read.dialect), "dialect");
    QCOMPARE(refusalTexts(read), QStringList());
    QFETCH(QString, row);
    QCOMPARE(rowTexts(read), QStringList{row});
}

void TestCsv::refusals_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<QList<int>>("linesRead");
    const QByteArray good = "05/03/2024;Pan;Comida;Caja;1\r\n";
    QTest::newRow("fields") << kHeader + "05/03/2024;Pan;Comida;1\r\n" +
                                   "05/03/2024;Pan;Comida;Caja;1;2\r\n" + "texto suelto\r\n" + good
                            << QStringList{"2: tiene 4 campos y se esperaban 5",
                                           "3: tiene 6 campos y se esperaban 5",
                                           "4: tiene 1 campo y se esperaban 5"}
                            << QList<int>{5};
    QTest::newRow("dates")
        << kHeader + good + "31/02/2024;Pan;Comida;Caja;1\r\n" +
               "2024-03-05;Pan;Comida;Caja;1\r\n" + ";Pan;Comida;Caja;1\r\n"
        << QStringList{"3: la fecha 31/02/2024 no existe",
                       "4: la fecha «2024-03-05» no es válida; se esperaba dd/mm/aaaa",
                       "5: falta la fecha"}
        << QList<int>{2};
    QTest::newRow("amounts")
        << kHeader + "05/03/2024;Pan;Comida;Caja;12,3,4\r\n" +
               "05/03/2024;Pan;Comida;Caja;1.000.000.000.000\r\n" +
               "05/03/2024;Pan;Comida;Caja;-1000000000000,00\r\n" +
               "05/03/2024;Pan;Comida;Caja;\r\n" + "05/03/2024;Pan;Comida;Caja;12.5\r\n" + good
        << QStringList{"2: el importe «12,3,4» no es válido",
                       "3: el importe «1.000.000.000.000» pasa del límite de 999.999.999.999,99",
                       "4: el importe «-1000000000000,00» pasa del límite de "
                       "-999.999.999.999,99",
                       "5: falta el importe", "6: el importe «12.5» no es válido"}
        << QList<int>{7};
    QTest::newRow("after a line break inside quotes")
        << kHeader + "05/03/2024;\"una\r\ndos\ntres\";Comida;Caja;1\r\n" +
               "05/03/2024;Pan;Comida;Caja;abc\r\n" + good
        << QStringList{"5: el importe «abc» no es válido"} << QList<int>{2, 6};
    QTest::newRow("quotes never closed")
        << kHeader + good + "05/03/2024;\"Pan;Comida;Caja;1\r\n" + good
        << QStringList{"3: las comillas que se abren aquí no se cierran antes del final del "
                       "archivo"}
        << QList<int>{2};
    QTest::newRow("text after closing quotes")
        << kHeader + "05/03/2024;\"Pan\" integral;Comida;Caja;1\r\n" + good
        << QStringList{"2: hay texto entre unas comillas de cierre y el separador"}
        << QList<int>{3};
    // A record past the longest one is refused and the next line read, so that a
    // file of one endless line cannot take the machine's memory.
    const QByteArray longest =
        "05/03/2024;" + QByteArray(kLongestCsvRecord - 25, 'x') + ";Comida;Caja;1\r\n";
    QTest::newRow("a line past the longest record")
        << kHeader + good + "05/03/2024;" + QByteArray(70000, 'x') + ";Comida;Caja;1\r\n" +
               longest + good
        << QStringList{"3: es demasiado larga: pasa de 64 KB (¿faltan unas comillas de cierre?)"}
        << QList<int>{2, 4, 5};
    QTest::newRow("international")
        << kIsoHeader + "2024-02-30,Pan,Comida,Caja,1\n" +
               "2024-03-05,Pan,Comida,Caja,\"1,234.56\"\n" + "05/03/2024,Pan,Comida,Caja,1\n" +
               "2024-03-05,Pan,Comida,Caja,1,50\n" + "2024-03-05,Pan,Comida,Caja,1\n"
        << QStringList{"2: la fecha 2024-02-30 no existe", "3: el importe «1,234.56» no es válido",
                       "4: la fecha «05/03/2024» no es válida; se esperaba aaaa-mm-dd",
                       "5: tiene 6 campos y se esperaban 5"}
        << QList<int>{6};
}

// Each faulty line is refused with its own line and reason, and no good row is lost.
void TestCsv::refusals() {
    QFETCH(QByteArray, file);
    const CsvRead read = readBytes(file);
    QCOMPARE(read.failure, QString());
    QTEST(refusalTexts(read), "refused");
    QTEST(linesRead(read), "linesRead");
}

// A quote never closed once took the rest of the file into one field; past the
// longest record, reading goes on at the next line end.
void TestCsv::quotesLeftOpenInALongFile() {
    const QByteArray good = "05/03/2024;Pan;Comida;Caja;1\r\n";
    QByteArray file = kHeader + good + "05/03/2024;\"Pan;Comida;Caja;1\r\n";
    for (int i = 0; i < 3000; ++i) {
        file += good;
    }
    const CsvRead read = readBytes(file);
    QCOMPARE(
        refusalTexts(read),
        QStringList{"3: es demasiado larga: pasa de 64 KB (¿faltan unas comillas de cierre?)"});
    const QList<int> lines = linesRead(read);
    QCOMPARE(lines.first(), 2);
    QCOMPARE(lines.last(), 3003);
    // Every line after the one where reading went on is a row.
    QCOMPARE(lines.size(), 1 + 3003 - lines[1] + 1);
    QVERIFY(lines[1] > 2000);
}

void TestCsv::mixedEncodings_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows"); // as rowTexts()
    QTest::addColumn<QStringList>("refused");
    const QString notUtf8 = u"no es texto UTF-8 válido, como sí lo es el resto del archivo: "
                            "corrija esa línea o guarde el archivo entero en UTF-8"_s;
    QTest::newRow("UTF-8 with one Latin-1 byte")
        << kHeader + "05/03/2024;Caf\xC3\xA9;Comida;Caja;1\r\n" +
               "06/03/2024;Caf\xE9;Comida;Caja;2\r\n" + "07/03/2024;Ca\xC3\xB1" +
               "a;Comida;Caja;3\r\n"
        << QStringList{u"2|2024-03-05|Café|Comida|Caja|100"_s,
                       u"4|2024-03-07|Caña|Comida|Caja|300"_s}
        << QStringList{u"3: "_s + notUtf8};
    QTest::newRow("byte-order mark, then a Latin-1 byte")
        << kBom + kHeader + "05/03/2024;Caf\xE9;Comida;Caja;1\r\n" +
               "06/03/2024;Pan;Comida;Caja;2\r\n"
        << QStringList{u"3|2024-03-06|Pan|Comida|Caja|200"_s} << QStringList{u"2: "_s + notUtf8};
    QTest::newRow("a sequence cut short by the end of the file")
        << kHeader + "05/03/2024;Caf\xC3\xA9;Comida;Caja;1\r\n" + "06/03/2024;Pan;Comida;Caja;\xC3"
        << QStringList{u"2|2024-03-05|Café|Comida|Caja|100"_s} << QStringList{u"3: "_s + notUtf8};
    QTest::newRow("a Latin-1 byte in a field over two lines")
        << kHeader + "05/03/2024;\"Caf\xC3\xA9\r\nCaf\xE9\";Comida;Caja;1\r\n" +
               "06/03/2024;Pan;Comida;Caja;2\r\n"
        << QStringList{u"4|2024-03-06|Pan|Comida|Caja|200"_s} << QStringList{u"2: "_s + notUtf8};
}

// Once the whole file was read as Windows-1252 for one stray byte, and every
// "é" of it stored as "Ã©" without a word.
void TestCsv::mixedEncodings() {
    QFETCH(QByteArray, file);
    const CsvRead read = readBytes(file);
    QCOMPARE(read.failure, QString());
    QTEST(rowTexts(read), "rows");
    QTEST(refusalTexts(read), "refused");
}

// Past the most rows an import keeps, the file is refused whole, before the rows
// can take the machine's memory.
void TestCsv::tooManyRows() {
    const QByteArray good = "05/03/2024;Pan;Comida;Caja;1\r\n";
    QBuffer buffer;
    buffer.setData(kHeader + good.repeated(1001));
    buffer.open(QIODevice::ReadOnly);
    const CsvRead read = readCsv(buffer, 1000);
    QCOMPARE(read.failure, u"El archivo tiene más de 1.000 movimientos, más de los que se "
                           "importan de una vez. Divídalo en varios archivos."_s);
    QCOMPARE(read.rows.size(), 0);
    buffer.seek(0);
    QCOMPARE(readCsv(buffer, 1001).rows.size(), 1001);
}

void TestCsv::wholeFileRefused_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failure");
    const QString empty = QStringLiteral("El archivo está vacío.");
    const QString noHeader = QStringLiteral(
        "La primera línea no es la cabecera de un archivo de movimientos. Debe ser "
        "«Fecha;Concepto;Entra en;Sale de;Importe» o la misma con comas en lugar de punto y "
        "coma.");
    const QByteArray good = "05/03/2024;Pan;Comida;Caja;1\r\n";
    QTest::newRow("empty") << QByteArray() << empty;
    QTest::newRow("only the byte-order mark") << kBom << empty;
    QTest::newRow("no header") << good + good << noHeader;
    QTest::newRow("a name missing") << "Fecha;Concepto;Entra en;Importe\r\n" + good << noHeader;
    QTest::newRow("separators mixed")
        << "Fecha;Concepto,Entra en;Sale de;Importe\r\n" + good << noHeader;
    QTest::newRow("blank first line") << "\r\n" + kHeader + good << noHeader;
    // Once told "La primera línea no es la cabecera", which sent the user looking
    // at a header that was right.
    const QString utf16 = u"El archivo está en UTF-16 (Unicode), una codificación que aquí no "
                          "se lee. Guárdelo como CSV en UTF-8 (en la hoja de cálculo, «CSV "
                          "UTF-8») y vuelva a importarlo."_s;
    const QString text = QString::fromUtf8(kHeader + good);
    QTest::newRow("UTF-16, little endian, byte-order mark")
        << "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text)) << utf16;
    QTest::newRow("UTF-16, big endian, byte-order mark")
        << "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(text)) << utf16;
    QTest::newRow("UTF-16, no byte-order mark")
        << QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text)) << utf16;
}

void TestCsv::wholeFileRefused() {
    QFETCH(QByteArray, file);
    const CsvRead read = readBytes(file);
    QTEST(read.failure, "failure");
    QCOMPARE(read.rows.size(), 0);
    QCOMPARE(read.refused.count(), 0);
}

void TestCsv::amountsAsTyped_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"1.234,50", "-20", "+7", ",5", "3,", " 15 ", "999.999.999.999,99",
                             "1.000.000.000.000", "1.23,00", "12.5", "-", ",", "1e5"}) {
        QTest::addRow("«%s»", text) << QString::fromUtf8(text);
    }
}

// A file's amount is taken when the same text typed in the entry editor would be,
// and means the same cents.
void TestCsv::amountsAsTyped() {
    QFETCH(QString, text);
    const CsvRead read = readBytes(kHeader + "05/03/2024;Pan;Comida;Caja;" + text.toUtf8());
    const std::optional<double> typed = parseAmount(text);
    QCOMPARE(read.rows.size(), typed ? 1 : 0);
    if (typed) {
        QCOMPARE(read.rows.cents(0), amountCents(*typed).value());
    }
}

void TestCsv::fullDisk_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("held back until finished") << 3;
    QTest::newRow("more than a file holds back") << 5000;
}

// An export to a full disk is never reported complete.
void TestCsv::fullDisk() {
    QFETCH(int, rows);
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly)) {
        QSKIP("no /dev/full here");
    }
    CsvWriter writer(full);
    writer.writeHeader();
    for (int i = 0; i < rows; ++i) {
        writer.writeRow(QDate(2024, 3, 5), QStringLiteral("Pan"), QStringLiteral("Comida"),
                        QStringLiteral("Caja"), i);
    }
    QVERIFY(!writer.finish());
    QVERIFY(!writer.ok());
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
