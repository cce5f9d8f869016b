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
    void totalsAndMonthFigure();
    void totalsLineFormats_data();
    void totalsLineFormats();
    void storedNullsShowEmpty();
    void manyRowsKeepTheirTexts();
};

void TestEntryList::totalsAndMonthFigure() {
    TestLedger ledger;
    ledger.addEntry(1, "05/01/2024", "Nómina", "Banco", "Nómina", 1200, "I");
    ledger.addEntry(2, "10/02/2024", "Recibo luz", "Luz", "Banco", 450.5, "G");
    ledger.addEntry(3, "11/02/2024", "Traspaso", "Caja", "Banco", 300, "T");
    // A lower-case class is not income: only the exact letters count.
    ledger.addEntry(4, "12/02/2024", "Raro", "Caja", "Banco", 99, "i");

    const EntryList all = queryEntries(ledger.db(), wholeYear());
    QCOMPARE(all.size(), size_t{4});
    QCOMPARE(
        totalsLine(all.totals),
        QStringLiteral(" INGRESOS: 1.200,00 | GASTOS: 450,50 | BALANCE: 749,50 | MES: 100,00"));
    QCOMPARE(recordCountLine(all.size()), QStringLiteral(" 4 registros"));

    // The month figure divides by the month of the to date, whatever the from date.
    EntryFilter toMarch = wholeYear();
    toMarch.to = QDate(2024, 3, 15);
    QCOMPARE(queryEntries(ledger.db(), toMarch).totals.month.text(), QStringLiteral("400,00"));
}

void TestEntryList::totalsLineFormats_data() {
    QTest::addColumn<double>("income");
    QTest::addColumn<double>("expense");
    QTest::addColumn<QString>("line");
    QTest::newRow("negative balance")
        << 100.0 << 2500.25
        << " INGRESOS: 100,00 | GASTOS: 2.500,25 | BALANCE: -2.400,25 | MES: 8,33";
    QTest::newRow("millions") << 1234567.891 << 0.0
                              << " INGRESOS: 1.234.567,89 | GASTOS: 0,00 | BALANCE: 1.234.567,89"
                                 " | MES: 102.880,66";
    QTest::newRow("zero") << 0.0 << 0.0
                          << " INGRESOS: 0,00 | GASTOS: 0,00 | BALANCE: 0,00 | MES: 0,00";
    // Whole cents add up exactly, beyond what one amount may hold.
    QTest::newRow("largest and lowest")
        << 999999999999.99 << -999999999999.99
        << " INGRESOS: 999.999.999.999,99 | GASTOS: -999.999.999.999,99 | BALANCE: "
           "1.999.999.999.999,98 | MES: 83.333.333.333,33";
}

void TestEntryList::totalsLineFormats() {
    QFETCH(double, income);
    QFETCH(double, expense);
    QFETCH(QString, line);
    TestLedger ledger;
    if (income != 0) {
        ledger.addEntry(1, "01/06/2024", "Ingreso", "Banco", "Nómina", income, "I");
    }
    if (expense != 0) {
        ledger.addEntry(2, "02/06/2024", "Gasto", "Luz", "Banco", expense, "G");
    }
    QCOMPARE(totalsLine(queryEntries(ledger.db(), wholeYear()).totals), line);
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
