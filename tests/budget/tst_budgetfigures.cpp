// Budget against actual over a real ledger, checked against figures worked out
// by hand: which entries count in which month, differences signed so that a
// negative one is bad, accounts without a budget counted at 0,00, totals that add
// up, and actual figures equal to the statistics window's.

#include "Household.h"
#include "analysis/MonthlyStatistics.h"
#include "budget/BudgetFigures.h"
#include "store/Amount.h"

#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

QString lineText(const BudgetLine& line) {
    return QStringList{line.name, line.budget ? line.budget->text() : QString(), line.actual.text(),
                       line.difference.text()}
        .join(u'|');
}

// "name|budget|actual|difference": the income accounts and their total, the
// expense accounts and theirs, and the result.
QStringList rendered(const BudgetSheet& sheet) {
    QStringList lines;
    for (const BudgetGroup* group : {&sheet.income, &sheet.expense}) {
        for (const BudgetLine& line : group->lines) {
            lines.append(lineText(line));
        }
        lines.append(lineText(group->total));
    }
    lines.append(lineText(sheet.overall));
    return lines;
}

} // namespace

class TestBudgetFigures : public QObject {
    Q_OBJECT
private slots:
    void household_data();
    void household();
    void largestAmounts_data();
    void largestAmounts();
    void unreadableAmount_data();
    void unreadableAmount();
};

void TestBudgetFigures::household_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<QStringList>("lines");
    // Both Nóminas of January, the one on the 1st and the one on the 31st; the
    // transfer from Banco to Caja counts nowhere; neither do the cash accounts.
    QTest::newRow("January") << 1
                             << QStringList{u"Intereses||0,00|0,00"_s,
                                            u"Nómina|2.000,00|4.000,00|2.000,00"_s,
                                            u"Regalos||0,00|0,00"_s,
                                            u"Total ingresos|2.000,00|4.000,00|2.000,00"_s,
                                            u"Comida|400,00|300,00|100,00"_s,
                                            u"Luz|70,00|60,50|9,50"_s,
                                            u"Ocio||0,00|0,00"_s,
                                            u"Total gastos|470,00|360,50|109,50"_s,
                                            u"Resultado|1.530,00|3.639,50|2.109,50"_s};
    // Comida spent beyond its budget: negative.
    QTest::newRow("February") << 2
                              << QStringList{u"Intereses||0,00|0,00"_s,
                                             u"Nómina|2.000,00|2.100,00|100,00"_s,
                                             u"Regalos||0,00|0,00"_s,
                                             u"Total ingresos|2.000,00|2.100,00|100,00"_s,
                                             u"Comida|400,00|450,00|-50,00"_s,
                                             u"Luz|70,00|0,00|70,00"_s,
                                             u"Ocio||0,00|0,00"_s,
                                             u"Total gastos|470,00|450,00|20,00"_s,
                                             u"Resultado|1.530,00|1.650,00|120,00"_s};
    // No Nómina at all: income short by its whole budget. Ocio spent without one.
    QTest::newRow("March") << 3
                           << QStringList{u"Intereses||0,00|0,00"_s,
                                          u"Nómina|2.000,00|0,00|-2.000,00"_s,
                                          u"Regalos||0,00|0,00"_s,
                                          u"Total ingresos|2.000,00|0,00|-2.000,00"_s,
                                          u"Comida|400,00|0,00|400,00"_s,
                                          u"Luz|70,00|0,00|70,00"_s,
                                          u"Ocio||40,00|-40,00"_s,
                                          u"Total gastos|470,00|40,00|430,00"_s,
                                          u"Resultado|1.530,00|-40,00|-1.570,00"_s};
    // The 31st counts in December; Luz's own December amount, not another month's.
    QTest::newRow("December") << 12
                              << QStringList{u"Intereses||12,34|12,34"_s,
                                             u"Nómina|2.000,00|0,00|-2.000,00"_s,
                                             u"Regalos||0,00|0,00"_s,
                                             u"Total ingresos|2.000,00|12,34|-1.987,66"_s,
                                             u"Comida|400,00|0,00|400,00"_s,
                                             u"Luz|80,00|75,25|4,75"_s,
                                             u"Ocio||0,00|0,00"_s,
                                             u"Total gastos|480,00|75,25|404,75"_s,
                                             u"Resultado|1.520,00|-62,91|-1.582,91"_s};
    QTest::newRow("the whole year")
        << 0
        << QStringList{u"Intereses||12,34|12,34"_s,
                       u"Nómina|24.000,00|6.100,00|-17.900,00"_s,
                       u"Regalos||0,00|0,00"_s,
                       u"Total ingresos|24.000,00|6.112,34|-17.887,66"_s,
                       u"Comida|4.800,00|750,00|4.050,00"_s,
                       u"Luz|790,00|135,75|654,25"_s,
                       u"Ocio||40,00|-40,00"_s,
                       u"Total gastos|5.590,00|925,75|4.664,25"_s,
                       u"Resultado|18.410,00|5.186,59|-13.223,41"_s};
}

void TestBudgetFigures::household() {
    QFETCH(int, month);
    TestLedger ledger;
    fillHousehold(ledger);
    const BudgetSheet sheet = budgetSheet(loadBudgetYear(ledger.db()), month);
    QTEST(rendered(sheet), "lines");
    // The same actual figures as the statistics window's, month by month.
    const auto statisticsTotal = [&](StatisticsKind kind) {
        const StatisticsRow& totals = loadMonthlyStatistics(ledger.db(), kind).totals;
        const std::optional<AmountTotal>& cell =
            month == 0 ? totals.total : totals.months[static_cast<size_t>(month - 1)];
        return cell.value_or(AmountTotal()).text();
    };
    QCOMPARE(sheet.income.total.actual.text(), statisticsTotal(StatisticsKind::IncomeByMonth));
    QCOMPARE(sheet.expense.total.actual.text(), statisticsTotal(StatisticsKind::ExpenseByMonth));
}

void TestBudgetFigures::largestAmounts_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("December")
        << 12
        << QStringList{u"Nómina|-999.999.999.999,99|0,00|999.999.999.999,99"_s,
                       u"Total ingresos|-999.999.999.999,99|0,00|999.999.999.999,99"_s,
                       u"Luz|999.999.999.999,99|999.999.999.999,99|0,00"_s,
                       u"Total gastos|999.999.999.999,99|999.999.999.999,99|0,00"_s,
                       u"Resultado|-1.999.999.999.999,98|-999.999.999.999,99|999.999.999.999,99"_s};
    // Twelve of the largest budget pass what one amount holds, and still add up.
    QTest::newRow("the whole year")
        << 0
        << QStringList{
               u"Nómina|-11.999.999.999.999,88|0,00|11.999.999.999.999,88"_s,
               u"Total ingresos|-11.999.999.999.999,88|0,00|11.999.999.999.999,88"_s,
               u"Luz|11.999.999.999.999,88|999.999.999.999,99|10.999.999.999.999,89"_s,
               u"Total gastos|11.999.999.999.999,88|999.999.999.999,99|10.999.999.999.999,89"_s,
               u"Resultado|-23.999.999.999.999,76|-999.999.999.999,99|22.999.999.999.999,77"_s};
}

void TestBudgetFigures::largestAmounts() {
    QFETCH(int, month);
    TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    ledger.addEntry(1, "31/12/2024", u"x"_s, u"Luz"_s, u"Banco"_s, 999999999999.99, u"G"_s);
    setBudgetEveryMonth(ledger.db(), u"Nómina"_s, -kMaxAmountCents);
    setBudgetEveryMonth(ledger.db(), u"Luz"_s, kMaxAmountCents);
    QTEST(rendered(budgetSheet(loadBudgetYear(ledger.db()), month)), "lines");
}

// An amount another program stored as text is never counted as 0: every figure
// it enters reads ¡ERROR!, the other months stay as they were, and the entry is
// named.
void TestBudgetFigures::unreadableAmount_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<QStringList>("expense"); // the expense lines, their total and the result
    QTest::newRow("February, the month of the entry")
        << 2
        << QStringList{u"Comida|400,00|¡ERROR!|¡ERROR!"_s, u"Luz|70,00|0,00|70,00"_s,
                       u"Ocio||0,00|0,00"_s, u"Total gastos|470,00|¡ERROR!|¡ERROR!"_s,
                       u"Resultado|1.530,00|¡ERROR!|¡ERROR!"_s};
    QTest::newRow("January, untouched")
        << 1
        << QStringList{u"Comida|400,00|300,00|100,00"_s, u"Luz|70,00|60,50|9,50"_s,
                       u"Ocio||0,00|0,00"_s, u"Total gastos|470,00|360,50|109,50"_s,
                       u"Resultado|1.530,00|3.639,50|2.109,50"_s};
    QTest::newRow("the whole year")
        << 0
        << QStringList{u"Comida|4.800,00|¡ERROR!|¡ERROR!"_s, u"Luz|790,00|135,75|654,25"_s,
                       u"Ocio||40,00|-40,00"_s, u"Total gastos|5.590,00|¡ERROR!|¡ERROR!"_s,
                       u"Resultado|18.410,00|¡ERROR!|¡ERROR!"_s};
}

void TestBudgetFigures::unreadableAmount() {
    QFETCH(int, month);
    TestLedger ledger;
    fillHousehold(ledger);
    ledger.db().exec("UPDATE apuntes SET Importe = 'cuatrocientos' WHERE Id = 7", "test");
    const BudgetYear year = loadBudgetYear(ledger.db());
    QVERIFY(year.unreadable);
    QCOMPARE(year.unreadableEntries, std::vector<qint64>{7});
    QTEST(rendered(budgetSheet(year, month)).mid(4), "expense");
}

QTEST_MAIN(TestBudgetFigures)
#include "tst_budgetfigures.moc"
