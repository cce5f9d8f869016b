// The report of the main list must print the rows the list shows, whatever the
// user typed into its filters.

#include "entries/EntryList.h"
#include "entries/ListReport.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

#include <algorithm>

using namespace velmora;
using namespace Qt::StringLiterals;
using velmora::test::TestLedger;

namespace {

QList<qint64> sorted(QList<qint64> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<qint64> listIds(Database& db, const EntryFilter& filter) {
    const EntryList list = queryEntries(db, filter);
    QList<qint64> ids;
    for (const EntryRow& row : list.rows()) {
        ids.append(row.id);
    }
    return sorted(ids);
}

// What the report engine runs for a record selection.
QList<qint64> reportIds(TestLedger& ledger, const QString& filtro) {
    QList<qint64> ids;
    for (const QString& id : ledger.rows(u"SELECT Id FROM apuntes WHERE ("_s + filtro + u"\n)"_s)) {
        ids.append(id.toLongLong());
    }
    return sorted(ids);
}

// Every stored value of every entry, to tell whether anything changed.
QStringList allEntries(TestLedger& ledger) {
    return ledger.rows(
        u"SELECT quote(Id) || quote(Data) || quote(Des) || quote(EntraEn) ||"
        u" quote(SaleDe) || quote(Importe) || quote(GoI) FROM apuntes ORDER BY Id"_s);
}

const QDate kFirst(2024, 1, 1);
const QDate kLast(2024, 12, 31);

} // namespace

class TestListReport : public QObject {
    Q_OBJECT
private slots:
    void selectsWhatTheListShows_data();
    void selectsWhatTheListShows();
    void headingTexts_data();
    void headingTexts();
};

void TestListReport::selectsWhatTheListShows_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("comesOutOf");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QList<qint64>>("ids"); // what the list shows, checked too

    const auto year = [](const char* name, const QString& description, const QString& goesInto,
                         const QString& comesOutOf, const QList<qint64>& ids) {
        QTest::newRow(name) << description << goesInto << comesOutOf << kFirst << kLast << ids;
    };
    year("sin filtros", {}, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14});
    year("los tres", u"luz"_s, u"luz"_s, u"banco"_s, {1});
    year("comillas y nada más", u"'"_s, {}, {}, {2, 11});
    year("% es comodín", u"r%luz"_s, {}, {}, {1});
    year("_ es comodín", u"a_b"_s, {}, {}, {4, 5, 14});
    year("Ñ mayúscula", u"AÑO"_s, {}, {}, {6, 8});
    year("mayúsculas en entra en", {}, u"CAJA"_s, {}, {2, 3, 4, 5, 8, 11});
    year("ñ minúscula en sale de", {}, {}, u"ñandú"_s, {4});
    year("hostil", u"'); DELETE FROM apuntes; --"_s, {}, {}, {11});
    year("cierra el paréntesis", u"x')) OR ((1=1"_s, {}, {}, {});
    year("carácter nulo", u"a"_s + QChar(0) + u"b"_s, {}, {}, {14});
    year("barra inversa", u"\\"_s, {}, {}, {});
    year("texto largo", QString(250, u'x'), {}, {}, {});

    QTest::newRow("rango vacío") << QString() << QString() << QString() << kLast << kFirst
                                 << QList<qint64>{};
    QTest::newRow("un día") << QString() << QString() << QString() << QDate(2024, 3, 15)
                            << QDate(2024, 3, 15) << QList<qint64>{2, 3};
    QTest::newRow("sin fechas") << QString() << QString() << QString() << QDate() << QDate()
                                << QList<qint64>{};
}

void TestListReport::selectsWhatTheListShows() {
    QFETCH(QString, description);
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QList<qint64>, ids);

    TestLedger ledger;
    ledger.addEntry(1, "01/01/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
    ledger.addEntry(2, "15/03/2024", "O'Donnell, 'cita'", "Caja", "Banco", 20, "G");
    ledger.addEntry(3, "15/03/2024", "100% luz", "Caja", "Banco", 10, "G");
    ledger.addEntry(4, "16/03/2024", "a_b", "Caja", "Banco Ñandú", 5, "T");
    ledger.addEntry(5, "17/03/2024", "axb", "Caja ñ", "Banco", 6, "T");
    ledger.addEntry(6, "01/06/2024", "Cumpleaños de Águeda", "Regalos", "Caja", 30, "G");
    ledger.addEntry(7, "02/06/2024", "regalo águeda", "Regalos", "CAJA", 15, "G");
    ledger.addEntry(8, "31/12/2024", "AÑO NUEVO", "Caja", "Banco", 1, "T");
    ledger.addEntry(9, "01/01/2025", "luz del año siguiente", "Luz", "Banco", 1, "G");
    ledger.addEntry(10, "31/12/2023", "luz del año anterior", "Luz", "Banco", 1, "G");
    ledger.addEntry(11, "10/05/2024", "'); DELETE FROM apuntes; --", "Caja", "Banco", 2, "T");
    // Texts left Null show as empty and pass every empty filter.
    ledger.db().exec(
        "INSERT INTO apuntes (Id, Data, Importe, GoI) VALUES (12, '2024-07-01', 3, 'T')",
        "test: apunte sin textos");
    ledger.addEntry(13, "02/07/2024", "ab", "Otra", "Otra", 4, "T");
    ledger.addEntry(14, "03/07/2024", u"a"_s + QChar(0) + u"b"_s, "Otra", "Otra", 4, "T");

    const EntryFilter filter{description, goesInto, comesOutOf, from, to};
    const ReportRequest request = listReport(filter, u"Casa"_s);
    const QStringList before = allEntries(ledger);

    QCOMPARE(listIds(ledger.db(), filter), ids);
    QCOMPARE(reportIds(ledger, request.filtro), ids);

    // Even run as a batch of statements on a connection that may write, the
    // selection stays one condition: nothing typed into a filter reaches the table.
    const QByteArray batch =
        (u"SELECT Id FROM apuntes WHERE ("_s + request.filtro + u"\n);"_s).toUtf8();
    ledger.db().exec(batch.constData(), "test: informe");
    QCOMPARE(allEntries(ledger), before);
    QCOMPARE(ledger.countEntries(), 14);
}

void TestListReport::headingTexts_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("comesOutOf");
    QTest::addColumn<QString>("info"); // after the dates
    QTest::newRow("sin filtros") << QString() << QString() << QString() << QString();
    QTest::newRow("los tres") << u"luz"_s << u"Caja"_s << u"Banco"_s
                              << u" · Concepto: luz · Entra en: Caja · Sale de: Banco"_s;
    // Printed as typed, quotes and wildcards included.
    QTest::newRow("texto hostil") << u"'); DELETE FROM apuntes; --"_s << QString() << u"a%_"_s
                                  << u" · Concepto: '); DELETE FROM apuntes; -- · Sale de: a%_"_s;
}

void TestListReport::headingTexts() {
    QFETCH(QString, description);
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QString, info);
    QCOMPARE(listReport({description, goesInto, comesOutOf, kFirst, kLast}, u"Casa"_s).info,
             u"Del 01/01/2024 al 31/12/2024"_s + info);
}

QTEST_GUILESS_MAIN(TestListReport)
#include "tst_listreport.moc"
