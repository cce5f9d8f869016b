// One account's entries in date order with the balance after each.

#include "analysis/AccountRegister.h"
#include "analysis/RegisterReport.h"
#include "reports/Report.h"
#include "reports/ReportDefinition.h"
#include "store/Formats.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

QString centsText(const RegisterLine& line, bool shown) {
    if (!shown) {
        return {};
    }
    return line.cents ? formatCents(*line.cents) : kUnreadableAmount;
}

// Banco, Caja and Monedero are cash accounts; Nómina has an opening balance left
// from when it was one.
void fillLedger(TestLedger& ledger) {
    ledger.addAccount("Banco", "C");
    ledger.addAccount("Caja", "C");
    ledger.addAccount("Monedero", "C");
    ledger.addAccount("Nómina", "I");
    ledger.addAccount("Luz", "G");
    setOpeningBalance(ledger.db(), "Banco", 100000);
    setOpeningBalance(ledger.db(), "caja", -5000);
    setOpeningBalance(ledger.db(), "Nómina", 50000);
    ledger.addEntry(1, "15/12/2023", "Saldo anterior", "Banco", "Nómina", 200, "I");
    ledger.addEntry(2, "01/03/2024", "Nómina marzo", "Banco", "Nómina", 1000, "I");
    ledger.addEntry(3, "01/03/2024", "Retirada", "Caja", "Banco", 300, "T");
    ledger.addEntry(4, "20/06/2024", "Recibo luz", "Luz", "banco", 120.25, "G");
    ledger.addEntry(5, "20/06/2024", "Traspaso", "Banco", "BANCO", 50, "T");
    ledger.addEntry(6, "01/07/2024", "Premio", "Banco", "Nómina", 999999999999.99, "I");
    ledger.addEntry(7, "02/07/2024", "Obra", "Luz", "Banco", 999999999999.99, "G");
    ledger.addEntry(8, "05/05/2024", "Carga", "Monedero", "Caja", 100, "T");
    ledger.addEntry(9, "06/05/2024", "Compra", "Luz", "Monedero", 1, "G");
    ledger.addEntry(10, "04/05/2024", "Pan", "Luz", "Caja", 2.5, "G");
    ledger.addEntry(11, "07/05/2024", "Café", "Luz", "Monedero", 1.2, "G");
    ledger.db().exec("UPDATE apuntes SET Importe = 'doce' WHERE Id = 9", "romper un importe");
}

// Names with quotes, and a cash account without entries.
void addQuotedAccounts(TestLedger& ledger) {
    ledger.addAccount("O'Brien", "C");
    ledger.addAccount("Vacía", "C");
    setOpeningBalance(ledger.db(), "O'Brien", 1);
    setOpeningBalance(ledger.db(), "Vacía", 700);
    ledger.addEntry(12, "08/05/2024", "Pub d'en Pep", "O'Brien", "Caja", 20, "T");
    ledger.addEntry(13, "09/05/2024", "Pinta", "Luz", "o'brien", 4.5, "G");
    ledger.addEntry(14, "10/05/2024", "Comilla sola", "'", "Caja", 3, "T");
}

} // namespace

class TestAccountRegister : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void balanceAtEveryDate();
    void printedAsTheWindowShows_data();
    void printedAsTheWindowShows();
};

void TestAccountRegister::lines_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QStringList>("lines"); // date|description|other|in|out|balance

    // Entries before the year count in date order; the same day goes by number; a
    // transfer to itself shows both ways and leaves the balance; the largest amounts
    // pass the range of one amount without losing a cent.
    QTest::newRow("bank from its opening balance")
        << "Banco"
        << "1.000,00"
        << QStringList{"15/12/2023|Saldo anterior|Nómina|200,00||1.200,00",
                       "01/03/2024|Nómina marzo|Nómina|1.000,00||2.200,00",
                       "01/03/2024|Retirada|Caja||300,00|1.900,00",
                       "20/06/2024|Recibo luz|Luz||120,25|1.779,75",
                       "20/06/2024|Traspaso|Banco|50,00|50,00|1.779,75",
                       "01/07/2024|Premio|Nómina|999.999.999.999,99||1.000.000.001.779,74",
                       "02/07/2024|Obra|Luz||999.999.999.999,99|1.779,75"};
    // A later number dated earlier comes first.
    QTest::newRow("negative opening, dates before numbers")
        << "CAJA"
        << "-50,00"
        << QStringList{"01/03/2024|Retirada|Banco|300,00||250,00",
                       "04/05/2024|Pan|Luz||2,50|247,50",
                       "05/05/2024|Carga|Monedero||100,00|147,50"};
    // From an unreadable amount on, the balance cannot be known.
    QTest::newRow("unreadable amount") << "Monedero"
                                       << "0,00"
                                       << QStringList{"05/05/2024|Carga|Caja|100,00||100,00",
                                                      "06/05/2024|Compra|Luz||¡ERROR!|¡ERROR!",
                                                      "07/05/2024|Café|Luz||1,20|¡ERROR!"};
    QTest::newRow("not a cash account starts at zero")
        << "NÓMINA"
        << "0,00"
        << QStringList{"15/12/2023|Saldo anterior|Banco||200,00|-200,00",
                       "01/03/2024|Nómina marzo|Banco||1.000,00|-1.200,00",
                       "01/07/2024|Premio|Banco||999.999.999.999,99|-1.000.000.001.199,99"};
    QTest::newRow("unknown account") << "Hacienda"
                                     << "0,00" << QStringList{};
}

void TestAccountRegister::lines() {
    QFETCH(QString, account);
    TestLedger ledger;
    fillLedger(ledger);

    const AccountRegister got = accountRegister(ledger.db(), account);
    QStringList lines;
    for (const RegisterLine& line : got.lines) {
        lines << QStringList{line.date.toString("dd/MM/yyyy"),
                             got.description(line),
                             got.otherAccount(line),
                             centsText(line, line.entersAccount),
                             centsText(line, line.leavesAccount),
                             line.balance.text()}
                     .join(u'|');
    }
    QTEST(formatCents(got.openingCents), "opening");
    QTEST(lines, "lines");
    QCOMPARE(got.unreadable,
             account == "Monedero" ? std::vector<qint64>{9} : std::vector<qint64>{});
}

// After the last entry of each date, the running balance is the opening balance
// plus every entry up to that date in, minus every one out, summed here apart.
void TestAccountRegister::balanceAtEveryDate() {
    TestLedger ledger;
    fillLedger(ledger);
    for (const QString account : {"Banco", "Caja", "Monedero", "Nómina"}) {
        const AccountRegister got = accountRegister(ledger.db(), account);
        for (size_t i = 0; i < got.lines.size(); ++i) {
            const RegisterLine& line = got.lines[i];
            if (i + 1 < got.lines.size() && got.lines[i + 1].date == line.date) {
                continue;
            }
            Statement sums(ledger.db(),
                           "SELECT SUM(CASE WHEN typeof(Importe) <> 'real' THEN NULL"
                           " ELSE CAST(ROUND(Importe * 100) AS INTEGER) *"
                           " ((EntraEn LIKE ?1) - (SaleDe LIKE ?1)) END),"
                           " SUM(typeof(Importe) <> 'real')"
                           " FROM apuntes WHERE (EntraEn LIKE ?1 OR SaleDe LIKE ?1)"
                           " AND Data <= ?2",
                           "sumar aparte");
            sums.bind(1, account).bind(2, toStoredDate(line.date));
            QVERIFY(sums.step());
            const QString expected =
                sums.columnInt(1) > 0
                    ? kUnreadableAmount
                    : formatCents(got.openingCents + (sums.isNull(0) ? 0 : sums.columnInt(0)));
            QCOMPARE(line.balance.text(), expected);
        }
    }
}

// The report file that comes with the program prints every line, running
// balance and total as the register reads them.
void TestAccountRegister::printedAsTheWindowShows_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("lines");

    QTest::newRow("same day, transfer to itself, largest amounts") << "Banco" << 7;
    QTest::newRow("written in another case, below zero") << "caja" << 5;
    QTest::newRow("an unreadable amount spoils the rest") << "Monedero" << 3;
    // Bound, never pasted into the SQL: the quote neither breaks the query nor
    // reaches another account's entries.
    QTest::newRow("a quote in the name") << "O'Brien" << 2;
    QTest::newRow("a name that is only a quote") << "'" << 1;
    QTest::newRow("no entries: the opening balance stays") << "Vacía" << 0;
    QTest::newRow("an income account starts at nothing") << "Nómina" << 3;
}

void TestAccountRegister::printedAsTheWindowShows() {
    QFETCH(QString, account);
    QFETCH(int, lines);
    TestLedger ledger;
    fillLedger(ledger);
    addQuotedAccounts(ledger);
    const AccountRegister shown = accountRegister(ledger.db(), account);
    QCOMPARE(int(shown.lines.size()), lines);

    Report report(parseReportDefinition(defaultRegisterReportFile()));
    const ReportRequest request = registerReport(account, shown.openingCents, "Casa");
    QCOMPARE(request.tipo, QStringLiteral("Extracto"));
    report.setRequest(request);
    report.setDatabase(ledger.databasePath());
    report.read();

    QStringList expected;
    AmountTotal in;
    AmountTotal out;
    for (const RegisterLine& line : shown.lines) {
        expected << formatDate(line.date) << shown.description(line) << shown.otherAccount(line)
                 << centsText(line, line.entersAccount) << centsText(line, line.leavesAccount)
                 << line.balance.text();
        if (line.entersAccount) {
            in.addCents(line.cents);
        }
        if (line.leavesAccount) {
            out.addCents(line.cents);
        }
    }
    const ReportRows& rows = report.rows();
    QCOMPARE(QStringList(rows.cells.begin(), rows.cells.end()), expected);
    const QString closing =
        shown.lines.empty() ? formatCents(shown.openingCents) : shown.lines.back().balance.text();
    QCOMPARE(rows.totals, (QStringList{in.text(), out.text(), closing}));
    QCOMPARE(report.fill(report.definition().headings[1].text, 1, 1),
             QStringLiteral("Extracto de ") + account);
}

QTEST_GUILESS_MAIN(TestAccountRegister)
#include "tst_accountregister.moc"
