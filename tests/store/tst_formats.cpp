// Spanish date conventions, whatever the machine's locale.

#include "store/Formats.h"

#include <QTest>

using namespace velmora;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void dates_data();
    void dates();
};

void TestFormats::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("plain") << "15/02/2024" << QDate(2024, 2, 15);
    QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "29/02/2023" << QDate();
    QTest::newRow("31 February") << "31/02/2024" << QDate();
    QTest::newRow("month 13") << "01/13/2024" << QDate();
    QTest::newRow("blank in the mask") << "15/0 /2024" << QDate();
    QTest::newRow("mask prompt") << "15/0_/2024" << QDate();
    QTest::newRow("empty mask") << "  /  /    " << QDate();
    QTest::newRow("month first is not read") << "2/15/2024" << QDate();
}

void TestFormats::dates() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const std::optional<QDate> parsed = parseDate(text);
    QCOMPARE(parsed.value_or(QDate()), date);
    if (parsed) {
        QCOMPARE(formatDate(*parsed), text);
    }
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
