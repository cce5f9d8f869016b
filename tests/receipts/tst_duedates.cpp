#include "receipts/DueDates.h"

#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestDueDates : public QObject {
    Q_OBJECT
private slots:
    void dates_data();
    void dates();
    void refused_data();
    void refused();
};

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), u"dd/MM/yyyy"_s);
}

QStringList shown(const QList<QDate>& dates) {
    QStringList texts;
    for (const QDate& date : dates) {
        texts.append(date.toString(u"dd/MM/yyyy"_s));
    }
    return texts;
}

} // namespace

void TestDueDates::dates_data() {
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("dayOfMonth");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<QStringList>("due");

    // The 31st falls on each month's last day, and the short months never move the
    // day of the ones after them.
    QTest::newRow("31st, a common year")
        << 1 << 31 << day("31/01/2023") << QDate() << day("30/04/2023")
        << QStringList{u"31/01/2023"_s, u"28/02/2023"_s, u"31/03/2023"_s, u"30/04/2023"_s};
    QTest::newRow("31st, a leap year")
        << 1 << 31 << day("01/01/2024") << QDate() << day("31/03/2024")
        << QStringList{u"31/01/2024"_s, u"29/02/2024"_s, u"31/03/2024"_s};
    QTest::newRow("29 February, yearly")
        << 12 << 29 << day("29/02/2024") << QDate() << day("31/12/2028")
        << QStringList{u"29/02/2024"_s, u"28/02/2025"_s, u"28/02/2026"_s, u"28/02/2027"_s,
                       u"29/02/2028"_s};
    QTest::newRow("every 3 months")
        << 3 << 15 << day("15/01/2024") << QDate() << day("31/12/2024")
        << QStringList{u"15/01/2024"_s, u"15/04/2024"_s, u"15/07/2024"_s, u"15/10/2024"_s};
    QTest::newRow("every 3 months, across the year")
        << 3 << 1 << day("01/11/2024") << QDate() << day("31/12/2025")
        << QStringList{u"01/11/2024"_s, u"01/02/2025"_s, u"01/05/2025"_s, u"01/08/2025"_s,
                       u"01/11/2025"_s};
    QTest::newRow("stops at its last date")
        << 1 << 5 << day("05/01/2024") << day("20/03/2024") << day("31/12/2024")
        << QStringList{u"05/01/2024"_s, u"05/02/2024"_s, u"05/03/2024"_s};
    QTest::newRow("a last date on a due date counts")
        << 1 << 5 << day("05/01/2024") << day("05/02/2024") << day("31/12/2024")
        << QStringList{u"05/01/2024"_s, u"05/02/2024"_s};
    // Made on the 20th for a receipt on the 5th: the first one is next month's.
    QTest::newRow("first date after its day")
        << 1 << 5 << day("20/01/2024") << QDate() << day("10/03/2024")
        << QStringList{u"05/02/2024"_s, u"05/03/2024"_s};
    QTest::newRow("until the day before one")
        << 1 << 5 << day("05/01/2024") << QDate() << day("04/03/2024")
        << QStringList{u"05/01/2024"_s, u"05/02/2024"_s};
    QTest::newRow("until before the first")
        << 1 << 5 << day("05/06/2024") << QDate() << day("04/06/2024") << QStringList{};
}

void TestDueDates::dates() {
    QFETCH(int, every);
    QFETCH(int, dayOfMonth);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QDate, until);
    const ReceiptSchedule schedule{every, dayOfMonth, first, last};
    QCOMPARE(scheduleProblem(schedule), QString());
    QTEST(shown(dueDates(schedule, until)), "due");
}

void TestDueDates::refused_data() {
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("dayOfMonth");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("problem");
    QTest::newRow("every 0 months")
        << 0 << 5 << QDate() << u"la frecuencia debe ser de 1 a 12 meses"_s;
    QTest::newRow("every 13 months")
        << 13 << 5 << QDate() << u"la frecuencia debe ser de 1 a 12 meses"_s;
    QTest::newRow("day 0") << 1 << 0 << QDate() << u"el día del mes debe ser de 1 a 31"_s;
    QTest::newRow("day 32") << 1 << 32 << QDate() << u"el día del mes debe ser de 1 a 31"_s;
    QTest::newRow("last before first")
        << 1 << 5 << day("01/01/2024")
        << u"la fecha del último recibo es anterior a la del primero"_s;
}

void TestDueDates::refused() {
    QFETCH(int, every);
    QFETCH(int, dayOfMonth);
    QFETCH(QDate, last);
    const ReceiptSchedule schedule{every, dayOfMonth, day("05/01/2024"), last};
    QTEST(scheduleProblem(schedule), "problem");
    // A schedule that cannot be used falls due never, rather than every day.
    QVERIFY(dueDates(schedule, day("31/12/2030")).isEmpty());
}

QTEST_GUILESS_MAIN(TestDueDates)
#include "tst_duedates.moc"
