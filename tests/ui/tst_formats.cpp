// Spanish number and date conventions, whatever the machine's locale.

#include "ui/Formats.h"

#include <QTest>

using namespace velmora;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void amounts_data();
    void amounts();
    void dates_data();
    void dates();
    void typedAmounts_data();
    void typedAmounts();
};

void TestFormats::amounts_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands") << 1200.0 << "1.200,00";
    QTest::newRow("negative half") << -450.5 << "-450,50";
    QTest::newRow("zero") << 0.0 << "0,00";
    QTest::newRow("below one") << 0.99 << "0,99";
    QTest::newRow("millions") << 12345678.9 << "12.345.678,90";
    QTest::newRow("exact thousand") << 1000.0 << "1.000,00";
    QTest::newRow("rounds to the hundredth") << 2.346 << "2,35";
    QTest::newRow("negative thousands") << -1234.5 << "-1.234,50";
    QTest::newRow("tiny negative is no minus zero") << -0.001 << "0,00";
}

void TestFormats::amounts() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatAmount(value), text);
}

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

void TestFormats::typedAmounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("grouped with decimals") << "1.234,50" << true << 1234.5;
    QTest::newRow("plain with decimals") << "1234,5" << true << 1234.5;
    QTest::newRow("negative") << "-20" << true << -20.0;
    QTest::newRow("below one") << "0,99" << true << 0.99;
    QTest::newRow("grouped millions") << "1.000.000" << true << 1000000.0;
    QTest::newRow("as shown back") << "12.345.678,90" << true << 12345678.9;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0;
    QTest::newRow("broken groups") << "1.2.3,4" << false << 0.0;
    QTest::newRow("short group") << "1.23" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("only a sign") << "-" << false << 0.0;
    QTest::newRow("point as decimals") << "12.5" << false << 0.0;
}

void TestFormats::typedAmounts() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = parseAmount(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, value);
    }
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
