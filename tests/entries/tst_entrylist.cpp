// The entry list query and its totals, without a window.

#include "entries/EntryList.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

#include <algorithm>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

EntryFilter wholeYear(const QString& description = {}) {
    return {description, {}, {}, QDate(2024, 1, 1), QDate(2024, 12, 31)};
}

} // namespace

class TestEntryList : public QObject {
    Q_OBJECT
private slots:
    void totals_data();
    void totals();
    void activeFilters_data();
    void activeFilters();
    void storedNullsShowEmpty();
    void manyRowsKeepTheirTexts();
};

void TestEntryList::totals_data() {
    QTest::addColumn<QStringList>("entries"); // amount|class, from 1 February on
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("line");
    // A lower-case class is not income: only the exact letters count. The month
    // figure divides by the month of the to date, whatever the from date.
    QTest::newRow("classes, to March")
        << QStringList{"1200|I", "450.5|G", "300|T", "99|i"} << QDate(2024, 3, 15)
        << " INGRESOS: 1.200,00 | GASTOS: 450,50 | BALANCE: 749,50 | MES: 400,00";
    QTest::newRow("negative balance")
        << QStringList{"100|I", "2500.25|G"} << QDate(2024, 12, 31)
        << " INGRESOS: 100,00 | GASTOS: 2.500,25 | BALANCE: -2.400,25 | MES: 8,33";
    // The month figure rounds half up: 102.880,6575.
    QTest::newRow("millions") << QStringList{"1234567.891|I"} << QDate(2024, 12, 31)
                              << " INGRESOS: 1.234.567,89 | GASTOS: 0,00 | BALANCE: 1.234.567,89"
                                 " | MES: 102.880,66";
    QTest::newRow("zero") << QStringList{} << QDate(2024, 12, 31)
                          << " INGRESOS: 0,00 | GASTOS: 0,00 | BALANCE: 0,00 | MES: 0,00";
    // Whole cents add up exactly, beyond what one amount may hold.
    QTest::newRow("largest and lowest")
        << QStringList{"999999999999.99|I", "-999999999999.99|G"} << QDate(2024, 12, 31)
        << " INGRESOS: 999.999.999.999,99 | GASTOS: -999.999.999.999,99 | BALANCE: "
           "1.999.999.999.999,98 | MES: 83.333.333.333,33";
}

void TestEntryList::totals() {
    QFETCH(QStringList, entries);
    QFETCH(QDate, to);
    TestLedger ledger;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QStringList entry = entries[i].split(u'|');
        ledger.addEntry(i + 1, QDate(2024, 2, 1).addDays(i).toString(u"dd/MM/yyyy"), "x", "Banco",
                        "Caja", entry[0].toDouble(), entry[1]);
    }
    const EntryList list = queryEntries(ledger.db(), {{}, {}, {}, QDate(2024, 1, 1), to});
    QTEST(totalsLine(list.totals), "line");
    QCOMPARE(recordCountLine(list.size()), QStringLiteral(" %1 registros").arg(entries.size()));
}

void TestEntryList::activeFilters_data() {
    QTest::addColumn<QStringList>("boxes"); // description, goes into, comes out of
    QTest::addColumn<QString>("line");
    QTest::newRow("none") << QStringList{"", "", ""} << "";
    QTest::newRow("description") << QStringList{"luz", "", ""} << "Filtrado por Concepto «luz»";
    QTest::newRow("two") << QStringList{"", "Caja", "Banco"}
                         << "Filtrado por Entra en «Caja» y Sale de «Banco»";
    QTest::newRow("three") << QStringList{"a", "b", "c"}
                           << "Filtrado por Concepto «a», Entra en «b» y Sale de «c»";
    // A pasted line break or a long text must not push the rest of the line away.
    QTest::newRow("long, with a line break")
        << QStringList{"Recibo\nde la luz de la casa del pueblo", "", ""}
        << "Filtrado por Concepto «Recibo de la luz de la…»";
}

void TestEntryList::activeFilters() {
    QFETCH(QStringList, boxes);
    QFETCH(QString, line);
    QCOMPARE(
        activeFiltersLine({boxes[0], boxes[1], boxes[2], QDate(2024, 1, 1), QDate(2024, 12, 31)}),
        line);
}

void TestEntryList::storedNullsShowEmpty() {
    TestLedger ledger;
    ledger.db().exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (7, '2024-03-03', NULL, NULL, 'Banco', NULL, 'T')",
                     "test");
    const EntryList list = queryEntries(ledger.db(), wholeYear());
    QCOMPARE(list.size(), size_t{1});
    QVERIFY(std::isnan(list[0].amount));
    QCOMPARE(list[0].date(), QDate(2024, 3, 3));
    QCOMPARE(list.description(list[0]), QString());
    QCOMPARE(list.text(list.movement(list[0]).goesInto), QString());
    QVERIFY(queryEntries(ledger.db(), wholeYear("a")).empty());
}

// Rows share their descriptions and movements; each must still show its own, newest
// first, past the point where the shared tables grow.
void TestEntryList::manyRowsKeepTheirTexts() {
    TestLedger ledger;
    const QStringList accounts{"Luz", "Caja", "Banco", "Nómina", "Tarjeta", "Agua"};
    const QStringList classes{"G", "I", "T"};
    struct Expected {
        QDate date;
        qint64 id;
        QString description, goesInto, comesOutOf, movementClass;
    };
    QList<Expected> expected;
    qint64 incomeCents = 0;
    for (int i = 0; i < 600; ++i) {
        // Some numbers fall as the dates rise, so the order is not the typing order.
        const Expected e{QDate(2024, 1, 1).addDays(i / 4),
                         i % 3 == 0 ? 10000 - i : i + 1,
                         i % 5 == 0 ? QString() : QStringLiteral("Recibo %1").arg(i % 170),
                         accounts[i % 6],
                         accounts[(i / 6) % 6],
                         classes[(i / 36) % 3]};
        ledger.addEntry(e.id, e.date.toString("dd/MM/yyyy"), e.description, e.goesInto,
                        e.comesOutOf, i + 0.25, e.movementClass);
        if (e.movementClass == "I") {
            incomeCents += i * 100 + 25;
        }
        expected.append(e);
    }
    std::sort(expected.begin(), expected.end(), [](const Expected& a, const Expected& b) {
        return a.date != b.date ? a.date > b.date : a.id > b.id;
    });

    const EntryList list = queryEntries(ledger.db(), wholeYear());
    QCOMPARE(list.size(), size_t{600});
    for (size_t i = 0; i < list.size(); ++i) {
        const Expected& e = expected[static_cast<qsizetype>(i)];
        const EntryMovement& movement = list.movement(list[i]);
        QCOMPARE(list[i].id, e.id);
        QCOMPARE(list[i].date(), e.date);
        QCOMPARE(list.description(list[i]), e.description);
        QCOMPARE(list.text(movement.goesInto), e.goesInto);
        QCOMPARE(list.text(movement.comesOutOf), e.comesOutOf);
        QCOMPARE(list.text(movement.movementClass), e.movementClass);
    }
    QCOMPARE(list.totals.income.cents(), incomeCents);
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
