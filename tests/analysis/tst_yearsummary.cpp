// The yearly summary over a real ledger: the lines a user reads, and the same
// figures as the statistics window (each account's year and the totals row) and
// the balances window at 31 December.

#include "analysis/AccountBalances.h"
#include "analysis/MonthlyStatistics.h"
#include "analysis/YearSummary.h"
#include "store/OpeningBalances.h"
#include "store/SpanishText.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

// "caption|amount|opening|closing", a figure the line has not left empty.
QStringList rendered(const std::vector<SummaryLine>& lines) {
    const auto text = [](const std::optional<AmountTotal>& figure) {
        return figure ? figure->text() : QString();
    };
    QStringList all;
    for (const SummaryLine& line : lines) {
        all.append(
            QStringLiteral("%1|%2|%3|%4")
                .arg(line.caption, text(line.amount), text(line.opening), text(line.closing)));
    }
    return all;
}

// What the statistics window shows in its TOTAL column for `account`: empty when
// it lists no such row.
QString statisticsTotal(const MonthlyTable& table, const QString& account) {
    for (const StatisticsRow& row : table.accounts) {
        if (foldCase(row.name) == foldCase(account)) {
            return row.total ? row.total->text() : QString();
        }
    }
    return {};
}

// The totals row's figure, which the window leaves empty when it is exactly 0.
QString statisticsGrandTotal(const MonthlyTable& table) {
    return table.totals.total ? table.totals.total->text() : QStringLiteral("0,00");
}

} // namespace

class TestYearSummary : public QObject {
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
};

void TestYearSummary::figures_data() {
    // Over the cash accounts Banco, Caja and Hucha, the income accounts Nómina and
    // Intereses and the expense accounts Luz and Comida, in 2024. Entries as
    // "dd/MM/yyyy|goes into|comes out of|amount|class"; opening balances as
    // "account|cents".
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("openings");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<qint64>>("unreadable");

    QStringList everyMonth;
    for (int month = 1; month <= 12; ++month) {
        const QString day =
            QStringLiteral("%1/%2/2024").arg(month == 2 ? 29 : 28).arg(month, 2, 10, QChar('0'));
        // The payroll account spelt in another letter case is the same account.
        everyMonth << day + (month == 6 ? "|Banco|NÓMINA|1500|I" : "|Banco|Nómina|1500|I")
                   << day + "|Luz|Banco|45.3|G" << day + "|Caja|Banco|100|T";
    }
    QTest::newRow("every month, with transfers between cash accounts")
        << everyMonth << QStringList{"Banco|100000", "Caja|5000"}
        << QStringList{"Ingresos|||",
                       "Intereses|0,00||",
                       "Nómina|18.000,00||",
                       "Total ingresos|18.000,00||",
                       "Gastos|||",
                       "Comida|0,00||",
                       "Luz|543,60||",
                       "Total gastos|543,60||",
                       "Resultado (ingresos - gastos)|17.456,40||",
                       "Cuentas de caja|||",
                       "Banco||1.000,00|17.256,40",
                       "Caja||50,00|1.250,00",
                       "Hucha||0,00|0,00",
                       "Total cuentas de caja||1.050,00|18.506,40"}
        << QList<qint64>{};
    // The first and the last day belong to the year; a cash account may end it owing.
    QTest::newRow("first and last day, a negative closing balance")
        << QStringList{"01/01/2024|Banco|Nómina|10|I", "31/12/2024|Comida|Caja|30.01|G",
                       "31/12/2024|Hucha|Banco|2|T"}
        << QStringList{"Caja|-100"}
        << QStringList{"Ingresos|||",
                       "Intereses|0,00||",
                       "Nómina|10,00||",
                       "Total ingresos|10,00||",
                       "Gastos|||",
                       "Comida|30,01||",
                       "Luz|0,00||",
                       "Total gastos|30,01||",
                       "Resultado (ingresos - gastos)|-20,01||",
                       "Cuentas de caja|||",
                       "Banco||0,00|8,00",
                       "Caja||-1,00|-31,01",
                       "Hucha||0,00|2,00",
                       "Total cuentas de caja||-1,00|-21,01"}
        << QList<qint64>{};
    QTest::newRow("the largest amounts")
        << QStringList{"01/03/2024|Banco|Nómina|999999999999.99|I",
                       "02/03/2024|Banco|Intereses|999999999999.99|I",
                       "03/03/2024|Comida|Caja|999999999999.99|G"}
        << QStringList{"Banco|99999999999999", "Caja|-99999999999999"}
        << QStringList{"Ingresos|||",
                       "Intereses|999.999.999.999,99||",
                       "Nómina|999.999.999.999,99||",
                       "Total ingresos|1.999.999.999.999,98||",
                       "Gastos|||",
                       "Comida|999.999.999.999,99||",
                       "Luz|0,00||",
                       "Total gastos|999.999.999.999,99||",
                       "Resultado (ingresos - gastos)|999.999.999.999,99||",
                       "Cuentas de caja|||",
                       "Banco||999.999.999.999,99|2.999.999.999.999,97",
                       "Caja||-999.999.999.999,99|-1.999.999.999.999,98",
                       "Hucha||0,00|0,00",
                       "Total cuentas de caja||0,00|999.999.999.999,99"}
        << QList<qint64>{};
    // An amount that is no number is never counted as 0: every figure it enters
    // says so, and the entry is named.
    QTest::newRow("an unreadable amount")
        << QStringList{"10/04/2024|Banco|Nómina|100|I", "11/04/2024|Luz|Banco|inf|G",
                       "12/04/2024|Comida|Caja|7|G"}
        << QStringList{}
        << QStringList{"Ingresos|||",
                       "Intereses|0,00||",
                       "Nómina|100,00||",
                       "Total ingresos|100,00||",
                       "Gastos|||",
                       "Comida|7,00||",
                       "Luz|¡ERROR!||",
                       "Total gastos|¡ERROR!||",
                       "Resultado (ingresos - gastos)|¡ERROR!||",
                       "Cuentas de caja|||",
                       "Banco||0,00|¡ERROR!",
                       "Caja||0,00|-7,00",
                       "Hucha||0,00|0,00",
                       "Total cuentas de caja||0,00|¡ERROR!"}
        << QList<qint64>{2};
    QTest::newRow("no entries, only opening balances")
        << QStringList{} << QStringList{"Hucha|123456"}
        << QStringList{"Ingresos|||",
                       "Intereses|0,00||",
                       "Nómina|0,00||",
                       "Total ingresos|0,00||",
                       "Gastos|||",
                       "Comida|0,00||",
                       "Luz|0,00||",
                       "Total gastos|0,00||",
                       "Resultado (ingresos - gastos)|0,00||",
                       "Cuentas de caja|||",
                       "Banco||0,00|0,00",
                       "Caja||0,00|0,00",
                       "Hucha||1.234,56|1.234,56",
                       "Total cuentas de caja||1.234,56|1.234,56"}
        << QList<qint64>{};
}

void TestYearSummary::figures() {
    QFETCH(QStringList, entries);
    QFETCH(QStringList, openings);
    QFETCH(QList<qint64>, unreadable);
    TestLedger ledger;
    for (const char* cash : {"Banco", "Caja", "Hucha"}) {
        ledger.addAccount(cash, "C");
    }
    ledger.addAccount("Nómina", "I");
    ledger.addAccount("Intereses", "I");
    ledger.addAccount("Luz", "G");
    ledger.addAccount("Comida", "G");
    qint64 id = 0;
    for (const QString& entry : entries) {
        const QStringList f = entry.split(QLatin1Char('|'));
        ledger.addEntry(++id, f[0], QStringLiteral("x"), f[1], f[2], f[3].toDouble(), f[4]);
    }
    for (const QString& opening : openings) {
        const QStringList f = opening.split(QLatin1Char('|'));
        setOpeningBalance(ledger.db(), f[0], f[1].toLongLong());
    }

    const YearSummary summary = loadYearSummary(ledger.db(), 2024);
    QCOMPARE(summary.year, 2024);
    QTEST(rendered(summaryLines(summary)), "lines");
    QCOMPARE(summary.unreadable, std::vector<qint64>(unreadable.begin(), unreadable.end()));
    QCOMPARE(summary.hasUnreadableFigures(), !unreadable.isEmpty());

    // The statistics window: each account's year, and its totals row.
    const MonthlyTable income = loadMonthlyStatistics(ledger.db(), StatisticsKind::IncomeByMonth);
    const MonthlyTable expense = loadMonthlyStatistics(ledger.db(), StatisticsKind::ExpenseByMonth);
    for (const auto& [accounts, table] :
         {std::pair(&summary.income, &income), std::pair(&summary.expense, &expense)}) {
        for (const SummaryAccount& account : *accounts) {
            const QString shown = statisticsTotal(*table, account.account);
            // An account without a movement of its kind has no row there.
            QCOMPARE(account.amount.text(), shown.isEmpty() ? QStringLiteral("0,00") : shown);
        }
    }
    QCOMPARE(summary.incomeTotal.text(), statisticsGrandTotal(income));
    QCOMPARE(summary.expenseTotal.text(), statisticsGrandTotal(expense));

    // The balances window at 31 December, and each cash account's own balance.
    const QDate lastDay(2024, 12, 31);
    const BalanceSheet sheet = balancesOfYearAt(ledger.db(), lastDay);
    QCOMPARE(summary.cash.size(), sheet.cash.size());
    for (size_t i = 0; i < sheet.cash.size(); ++i) {
        QCOMPARE(summary.cash[i].account, sheet.cash[i].account);
        QCOMPARE(summary.cash[i].opening.text(), sheet.cash[i].opening.text());
        QCOMPARE(summary.cash[i].closing.text(), sheet.cash[i].figure().text());
        QCOMPARE(summary.cash[i].closing.text(),
                 cashBalanceAt(ledger.db(), sheet.cash[i].account, lastDay).text());
    }
    QCOMPARE(summary.closingTotal.text(), sheet.cashTotal().text());
}

QTEST_MAIN(TestYearSummary)
#include "tst_yearsummary.moc"
