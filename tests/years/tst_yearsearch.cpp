// The search across years over real year folders: the main list's filters with
// Spanish letters and quotes, the years it cannot read, and the other years'
// files left exactly as they were.

#include "state/SingleInstance.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/YearFolders.h"
#include "years/YearSearch.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

void addEntry(Database& db, qint64 id, const QString& date, const QString& description,
              const QString& into, const QString& outOf, double amount, const QString& kind) {
    Statement insert(db,
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "test");
    insert.bind(1, static_cast<int64_t>(id))
        .bind(2, date)
        .bind(3, description)
        .bind(4, into)
        .bind(5, outOf)
        .bind(6, amount)
        .bind(7, kind);
    insert.run();
}

// Three years, the current one 2024, each with entries of its own.
struct ThreeYears {
    TestLedger ledger;
    ThreeYears() {
        {
            auto y2022 = createYear(ledger.dataRoot(), u"2022"_s);
            addEntry(*y2022, 1, u"2022-12-31"_s, u"Cena de AÑO nuevo"_s, u"Restaurante"_s,
                     u"Caja"_s, 80.5, u"G"_s);
            addEntry(*y2022, 2, u"2022-03-01"_s, u"Bar O'Brien"_s, u"Ocio"_s, u"CAJÓN"_s, 12,
                     u"G"_s);
        }
        {
            auto y2023 = createYear(ledger.dataRoot(), u"2023"_s);
            addEntry(*y2023, 7, u"2023-06-15"_s, u"Nómina \"extra\""_s, u"Cajón"_s, u"Empresa"_s,
                     1500, u"I"_s);
            addEntry(*y2023, 8, u"2023-01-02"_s, u"Traspaso"_s, u"cajón"_s, u"Banco"_s, 300,
                     u"T"_s);
        }
        ledger.addEntry(3, u"01/01/2024"_s, u"Cuota del año"_s, u"Gimnasio"_s, u"Banco"_s, 30,
                        u"G"_s);
        ledger.addEntry(4, u"05/02/2024"_s, u"Luz"_s, u"Luz"_s, u"Banco"_s, 45.1, u"G"_s);
    }
    YearSearchResult search(const EntryFilter& filter) {
        return searchYears(ledger.dataRoot(), searchedYears(ledger.dataRoot()), filter);
    }
};

QStringList linesOf(const YearSearchResult& result) {
    QStringList lines;
    for (const YearEntries& year : result.years) {
        for (const EntryRow& row : year.entries.rows()) {
            lines.append(year.year + u'|' + row.date().toString(u"dd/MM"_s) + u'|' +
                         year.entries.description(row));
        }
    }
    return lines;
}

} // namespace

class TestYearSearch : public QObject {
    Q_OBJECT
private slots:
    void filters_data();
    void filters();
    void unreadableYearsSkipped();
};

void TestYearSearch::filters_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("comesOutOf");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("lines"); // year|date|description, year then date
    QTest::addColumn<QString>("totals");
    const QDate first(2022, 1, 1);
    const QDate last(2024, 12, 31);
    QTest::newRow("everything, year then date")
        << QString() << QString() << QString() << first << last
        << QStringList{u"2022|01/03|Bar O'Brien"_s,   u"2022|31/12|Cena de AÑO nuevo"_s,
                       u"2023|02/01|Traspaso"_s,      u"2023|15/06|Nómina \"extra\""_s,
                       u"2024|01/01|Cuota del año"_s, u"2024|05/02|Luz"_s}
        << u" INGRESOS: 1.500,00 | GASTOS: 167,60 | BALANCE: 1.332,40"_s;
    QTest::newRow("ñ in either case")
        << u"año"_s << QString() << QString() << first << last
        << QStringList{u"2022|31/12|Cena de AÑO nuevo"_s, u"2024|01/01|Cuota del año"_s}
        << u" INGRESOS: 0,00 | GASTOS: 110,50 | BALANCE: -110,50"_s;
    QTest::newRow("accented capital in an account")
        << QString() << u"CAJÓN"_s << QString() << first << last
        << QStringList{u"2023|02/01|Traspaso"_s, u"2023|15/06|Nómina \"extra\""_s}
        << u" INGRESOS: 1.500,00 | GASTOS: 0,00 | BALANCE: 1.500,00"_s;
    QTest::newRow("the other account column")
        << QString() << QString() << u"cajón"_s << first << last
        << QStringList{u"2022|01/03|Bar O'Brien"_s}
        << u" INGRESOS: 0,00 | GASTOS: 12,00 | BALANCE: -12,00"_s;
    QTest::newRow("single quote") << u"o'b"_s << QString() << QString() << first << last
                                  << QStringList{u"2022|01/03|Bar O'Brien"_s}
                                  << u" INGRESOS: 0,00 | GASTOS: 12,00 | BALANCE: -12,00"_s;
    QTest::newRow("double quotes") << u"\"EXTRA\""_s << QString() << QString() << first << last
                                   << QStringList{u"2023|15/06|Nómina \"extra\""_s}
                                   << u" INGRESOS: 1.500,00 | GASTOS: 0,00 | BALANCE: 1.500,00"_s;
    QTest::newRow("quote that closes the statement")
        << u"') OR 1=1 --"_s << QString() << QString() << first << last << QStringList()
        << u" INGRESOS: 0,00 | GASTOS: 0,00 | BALANCE: 0,00"_s;
    QTest::newRow("range across a year's end")
        << QString() << QString() << QString() << QDate(2022, 12, 31) << QDate(2023, 1, 2)
        << QStringList{u"2022|31/12|Cena de AÑO nuevo"_s, u"2023|02/01|Traspaso"_s}
        << u" INGRESOS: 0,00 | GASTOS: 80,50 | BALANCE: -80,50"_s;
}

void TestYearSearch::filters() {
    QFETCH(QString, description);
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, lines);
    QFETCH(QString, totals);
    ThreeYears years;
    const YearSearchResult result =
        years.search(EntryFilter{description, goesInto, comesOutOf, from, to});
    QCOMPARE(linesOf(result), lines);
    QCOMPARE(balanceLine(result.totals), totals);
    QVERIFY(result.skipped.empty());
}

// A year that cannot be read is named with its reason; the others are searched,
// and neither they nor it are written, locked or given a journal.
void TestYearSearch::unreadableYearsSkipped() {
    ThreeYears years;
    const QString root = years.ledger.dataRoot();
    QVERIFY(putBytes(root + u"/2019/Devedur.mdb"_s, QByteArray(4096, 'x')));
    QVERIFY(QDir().mkpath(root + u"/2020"_s)); // its ledger is gone
    QVERIFY(QDir().mkpath(root + u"/2021"_s));
    {
        Database notALedger(root + u"/2021/Devedur.mdb"_s, Database::Mode::CreateIfMissing);
        notALedger.exec("CREATE TABLE otra (x)", "test");
    }
    QVERIFY(QDir().mkpath(root + u"/Informes"_s)); // no year at all

    QMap<QString, QByteArray> bytes;
    QMap<QString, QDateTime> times;
    const QStringList others{u"2019"_s, u"2021"_s, u"2022"_s, u"2023"_s};
    for (const QString& year : others) {
        const QString file = databasePathFor(root, year);
        bytes[year] = fileBytes(file);
        times[year] = QFileInfo(file).lastModified();
    }
    // Another copy working on 2023 does not keep the search out of it.
    SingleInstance otherCopy(databasePathFor(root, u"2023"_s));
    QVERIFY(otherCopy.acquire());

    const YearSearchResult result =
        years.search(EntryFilter{{}, {}, {}, QDate(2019, 1, 1), QDate(2024, 12, 31)});

    QCOMPARE(searchedYears(root),
             (QStringList{u"2019"_s, u"2020"_s, u"2021"_s, u"2022"_s, u"2023"_s, u"2024"_s}));
    QCOMPARE(result.rowCount(), size_t(6));
    QCOMPARE(skippedYearsLine(result.skipped),
             u"No se ha podido buscar en el año 2019 (el archivo está dañado o no es una base "
             "de datos de contabilidad) ni en el año 2020 (falta su archivo Devedur.mdb) ni en "
             "el año 2021 (no es una base de datos de contabilidad: falta la tabla apuntes)."_s);
    for (const QString& year : others) {
        const QString file = databasePathFor(root, year);
        QCOMPARE(fileBytes(file), bytes[year]);
        QCOMPARE(QFileInfo(file).lastModified(), times[year]);
        QCOMPARE(QDir(root + u'/' + year).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Devedur.mdb"_s});
        if (year != u"2023"_s) {
            SingleInstance lock(file);
            QVERIFY2(lock.acquire(), qPrintable(year));
        }
    }
    QVERIFY(!QFileInfo::exists(root + u"/2020/Devedur.mdb"_s));
}

QTEST_MAIN(TestYearSearch)
#include "tst_yearsearch.moc"
