// The budget in the year's file: what is stored for each way of setting it, the
// largest and negative amounts, refusals that write nothing, a rename, a delete
// and its undo carrying the budget along, a second copy of the program removing
// the account meanwhile, and a new year taking the budget of the accounts it has.

#include "Household.h"
#include "budget/BudgetStore.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/BudgetTable.h"
#include "store/Sqlite.h"
#include "years/YearDatabase.h"

#include <QTest>

#include <functional>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

// Luz's budget before each change: 1,00 in January, 2,00 in February ...
constexpr std::array<qint64, 12> kBefore{100, 200, 300, 400,  500,  600,
                                         700, 800, 900, 1000, 1100, 1200};
const QStringList kBeforeRows{u"Luz|1|100"_s, u"Luz|2|200"_s,   u"Luz|3|300"_s,   u"Luz|4|400"_s,
                              u"Luz|5|500"_s, u"Luz|6|600"_s,   u"Luz|7|700"_s,   u"Luz|8|800"_s,
                              u"Luz|9|900"_s, u"Luz|10|1000"_s, u"Luz|11|1100"_s, u"Luz|12|1200"_s};

void addAccounts(TestLedger& ledger) {
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    ledger.addAccount(u"Comida"_s, u"G"_s);
}

// The budget as read back: "account=" and the twelve months, or "account=every N".
QStringList readBack(Database& db) {
    QStringList lines;
    for (const AccountBudget& budget : readBudget(db)) {
        QStringList months;
        for (const std::optional<qint64>& cents : budget.months) {
            months.append(cents ? QString::number(*cents) : u"-"_s);
        }
        lines.append(budget.account + u'=' +
                     (budget.sameEveryMonth ? u"every "_s + months.first() : months.join(u' ')));
    }
    return lines;
}

using Change = std::function<void(Database&)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class TestBudgetStore : public QObject {
    Q_OBJECT
private slots:
    void noTableNoBudget();
    void set_data();
    void set();
    void accountChanges_data();
    void accountChanges();
    void secondCopy_data();
    void secondCopy();
    void carried_data();
    void carried();
    void newYearTakesIt();
};

// A file from before the budget, or from elsewhere, reads as no budget and is
// not changed by reading it.
void TestBudgetStore::noTableNoBudget() {
    TestLedger ledger;
    addAccounts(ledger);
    QCOMPARE(readBack(ledger.db()), QStringList());
    QVERIFY(!budgetOf(ledger.db(), u"Luz"_s));
    QVERIFY(!hasBudgetTable(ledger.db()));
}

void TestBudgetStore::set_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("stored"); // as the stock sqlite3 tool lists them
    QTest::addColumn<QStringList>("read");
    QTest::addColumn<QString>("refusal"); // the reason given, empty when stored
    const QString before = u"Luz=100 200 300 400 500 600 700 800 900 1000 1100 1200"_s;

    QTest::newRow("every month, the largest")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Luz"_s, kMaxAmountCents); })
        << QStringList{u"Luz|0|99999999999999"_s} << QStringList{u"Luz=every 99999999999999"_s}
        << QString();
    QTest::newRow("every month, the largest negative")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Luz"_s, -kMaxAmountCents); })
        << QStringList{u"Luz|0|-99999999999999"_s} << QStringList{u"Luz=every -99999999999999"_s}
        << QString();
    QTest::newRow("every month, zero is a budget")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Luz"_s, 0); })
        << QStringList{u"Luz|0|0"_s} << QStringList{u"Luz=every 0"_s} << QString();
    QTest::newRow("month by month, both extremes")
        << Change([](Database& db) {
               std::array<qint64, 12> months{};
               months[0] = kMaxAmountCents;
               months[11] = -kMaxAmountCents;
               setBudgetByMonth(db, u"Luz"_s, months);
           })
        << QStringList{u"Luz|1|99999999999999"_s,
                       u"Luz|2|0"_s,
                       u"Luz|3|0"_s,
                       u"Luz|4|0"_s,
                       u"Luz|5|0"_s,
                       u"Luz|6|0"_s,
                       u"Luz|7|0"_s,
                       u"Luz|8|0"_s,
                       u"Luz|9|0"_s,
                       u"Luz|10|0"_s,
                       u"Luz|11|0"_s,
                       u"Luz|12|-99999999999999"_s}
        << QStringList{u"Luz=99999999999999 0 0 0 0 0 0 0 0 0 0 -99999999999999"_s} << QString();
    QTest::newRow("a second account beside it, named in other letter case")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"NÓMINA"_s, 150000); })
        << QStringList{kBeforeRows} + QStringList{u"Nómina|0|150000"_s}
        << QStringList{before, u"Nómina=every 150000"_s} << QString();
    QTest::newRow("cleared") << Change([](Database& db) { clearBudget(db, u"luz"_s); })
                             << QStringList{} << QStringList{} << QString();
    // Refused, with the budget as it was.
    QTest::newRow("past the largest")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Luz"_s, kMaxAmountCents + 1); })
        << kBeforeRows << QStringList{before} << u"el importe pasa de 999.999.999.999,99"_s;
    QTest::newRow("one month past the largest negative") << Change([](Database& db) {
        std::array<qint64, 12> months{};
        months[6] = -kMaxAmountCents - 1;
        setBudgetByMonth(db, u"Luz"_s, months);
    }) << kBeforeRows << QStringList{before} << u"el importe pasa de 999.999.999.999,99"_s;
    QTest::newRow("a cash account")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Banco"_s, 100); }) << kBeforeRows
        << QStringList{before} << u"solo las cuentas de ingreso y de gasto tienen presupuesto"_s;
    QTest::newRow("no such account")
        << Change([](Database& db) { setBudgetEveryMonth(db, u"Gas"_s, 100); }) << kBeforeRows
        << QStringList{before} << u"la cuenta ya no existe"_s;
}

void TestBudgetStore::set() {
    QFETCH(Change, change);
    TestLedger ledger;
    addAccounts(ledger);
    setBudgetByMonth(ledger.db(), u"Luz"_s, kBefore);
    QString refusal;
    try {
        change(ledger.db());
    } catch (const DbError& error) {
        refusal = error.detail();
    }
    QTEST(refusal, "refusal");
    QTEST(storedBudgetRows(ledger.db()), "stored");
    QTEST(readBack(ledger.db()), "read");
}

void TestBudgetStore::accountChanges_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("stored");
    const auto renamed = [](const char* from, const char* to) {
        return Change([from, to](Database& db) {
            updateAccount(db, QString::fromUtf8(from), Account{QString::fromUtf8(to), {}, {}});
        });
    };
    QStringList electricity;
    for (const QString& row : kBeforeRows) {
        electricity.append(u"Electricidad"_s + row.mid(3));
    }
    QTest::newRow("renamed") << renamed("Luz", "Electricidad")
                             << QStringList{electricity} + QStringList{u"Nómina|0|150000"_s};
    QStringList capitals;
    for (const QString& row : kBeforeRows) {
        capitals.append(u"LUZ"_s + row.mid(3));
    }
    QTest::newRow("renamed in capitals")
        << renamed("luz", "LUZ") << QStringList{capitals} + QStringList{u"Nómina|0|150000"_s};
    // Rows another program left under the new name would block the rename.
    QTest::newRow("renamed onto rows left behind") << Change([](Database& db) {
        db.exec("INSERT INTO presupuesto VALUES ('Gas', 0, 5)", "test");
        updateAccount(db, u"Luz"_s, Account{u"Gas"_s, {}, {}});
    }) <<
        [] {
            QStringList rows;
            for (const QString& row : kBeforeRows) {
                rows.append(u"Gas"_s + row.mid(3));
            }
            return rows + QStringList{u"Nómina|0|150000"_s};
        }();
    QTest::newRow("deleted") << Change([](Database& db) { QVERIFY(takeAccount(db, u"Luz"_s)); })
                             << QStringList{u"Nómina|0|150000"_s};
    QTest::newRow("deleted and put back") << Change([](Database& db) {
        const std::optional<StoredAccount> taken = takeAccount(db, u"Luz"_s);
        QVERIFY(taken);
        QVERIFY(putBackAccount(db, *taken));
    }) << QStringList{kBeforeRows} + QStringList{u"Nómina|0|150000"_s};
    // The undo of one that had no budget writes none.
    QTest::newRow("one without a budget deleted and put back") << Change([](Database& db) {
        const std::optional<StoredAccount> taken = takeAccount(db, u"Comida"_s);
        QVERIFY(taken);
        QVERIFY(putBackAccount(db, *taken));
    }) << QStringList{kBeforeRows} + QStringList{u"Nómina|0|150000"_s};
    // Another account took the name meanwhile: nothing goes back, its budget neither.
    QTest::newRow("put back refused") << Change([](Database& db) {
        const std::optional<StoredAccount> taken = takeAccount(db, u"Luz"_s);
        QVERIFY(taken);
        insertAccount(db, Account{u"LUZ"_s, {}, u"G"_s});
        QVERIFY(!putBackAccount(db, *taken));
    }) << QStringList{u"Nómina|0|150000"_s};
}

void TestBudgetStore::accountChanges() {
    QFETCH(Change, change);
    TestLedger ledger;
    addAccounts(ledger);
    setBudgetByMonth(ledger.db(), u"Luz"_s, kBefore);
    setBudgetEveryMonth(ledger.db(), u"Nómina"_s, 150000);
    change(ledger.db());
    QTEST(storedBudgetRows(ledger.db()), "stored");
}

// Another copy of the program changes the account between this window's reading
// and its writing: the budget is refused, never stored under a name no account has.
void TestBudgetStore::secondCopy_data() {
    QTest::addColumn<QString>("otherCopy"); // statement run by the other copy
    QTest::addColumn<QString>("refusal");
    QTest::newRow("account deleted")
        << u"DELETE FROM Contas WHERE conNom = 'Luz'"_s << u"la cuenta ya no existe"_s;
    QTest::newRow("account renamed") << u"UPDATE Contas SET conNom = 'Gas' WHERE conNom = 'Luz'"_s
                                     << u"la cuenta ya no existe"_s;
    QTest::newRow("account made a cash account")
        << u"UPDATE Contas SET conTipo = 'C' WHERE conNom = 'Luz'"_s
        << u"solo las cuentas de ingreso y de gasto tienen presupuesto"_s;
}

void TestBudgetStore::secondCopy() {
    QFETCH(QString, otherCopy);
    TestLedger ledger;
    addAccounts(ledger);
    QVERIFY(loadAccount(ledger.db(), u"Luz"_s)); // as the window read it
    {
        Database other(ledger.databasePath());
        other.exec(otherCopy.toUtf8().constData(), "test");
    }
    QString refusal;
    try {
        setBudgetEveryMonth(ledger.db(), u"Luz"_s, 5000);
    } catch (const DbError& error) {
        refusal = error.detail();
    }
    QTEST(refusal, "refusal");
    QCOMPARE(storedBudgetRows(ledger.db()), QStringList());
}

void TestBudgetStore::carried_data() {
    QTest::addColumn<QStringList>("accounts"); // of the new year, "name|kind"
    QTest::addColumn<QStringList>("stored");   // in the new year
    const QStringList all{u"Luz|1|7000"_s, u"Luz|2|7000"_s,  u"Luz|3|7000"_s,  u"Luz|4|6000"_s,
                          u"Luz|5|6000"_s, u"Luz|6|6000"_s,  u"Luz|7|6000"_s,  u"Luz|8|6000"_s,
                          u"Luz|9|6000"_s, u"Luz|10|6000"_s, u"Luz|11|8000"_s, u"Luz|12|8000"_s};
    QTest::newRow("the same accounts")
        << QStringList{u"Banco|C"_s, u"Nómina|I"_s, u"Luz|G"_s, u"Comida|G"_s}
        << QStringList{u"Comida|0|40000"_s} + all + QStringList{u"Nómina|0|200000"_s};
    QTest::newRow("accounts missing in the new year skipped")
        << QStringList{u"Banco|C"_s, u"Comida|G"_s} << QStringList{u"Comida|0|40000"_s};
    QStringList capitals;
    for (const QString& row : all) {
        capitals.append(u"LUZ"_s + row.mid(3));
    }
    QTest::newRow("spelt as the new year spells it") << QStringList{u"LUZ|G"_s} << capitals;
    QTest::newRow("a cash account there takes none")
        << QStringList{u"Nómina|C"_s, u"Comida|G"_s} << QStringList{u"Comida|0|40000"_s};
    QTest::newRow("no accounts") << QStringList{} << QStringList{};
}

void TestBudgetStore::carried() {
    QFETCH(QStringList, accounts);
    TestLedger ledger;
    fillHousehold(ledger);
    std::unique_ptr<Database> fresh = createYear(ledger.dataRoot(), u"2025"_s);
    for (const QString& account : accounts) {
        insertAccount(*fresh, Account{account.section(u'|', 0, 0), {}, account.section(u'|', 1)});
    }
    // Left there by a copy of an older file: only the carried budget stays.
    replaceStoredBudget(*fresh, u"Ocio"_s, {BudgetMonth{0, 999}});
    carryBudget(ledger.db(), *fresh);
    QTEST(storedBudgetRows(*fresh), "stored");
}

// The year window's new year: the budget is there, the old year unchanged.
void TestBudgetStore::newYearTakesIt() {
    TestLedger ledger;
    fillHousehold(ledger);
    const QStringList before = storedBudgetRows(ledger.db());
    QCOMPARE(before.size(), 14);
    YearDatabase(ledger.session()).create(u"2025"_s, ledger.state().newYearStep);
    QCOMPARE(ledger.session().year(), u"2025"_s);
    QCOMPARE(storedBudgetRows(ledger.db()), before);
    QCOMPARE(ledger.countEntries(), 0);
}

QTEST_MAIN(TestBudgetStore)
#include "tst_budgetstore.moc"
