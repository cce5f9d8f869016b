// Amounts as the user reads and types them, and the one rounding every figure
// and total uses.

#include "store/Amount.h"

#include <QTest>

#include <limits>

using namespace velmora;

class TestAmount : public QObject {
    Q_OBJECT
private slots:
    void shown_data();
    void shown();
    void typed_data();
    void typed();
};

void TestAmount::shown_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("thousands") << 1200.0 << "1.200,00";
    QTest::newRow("negative half") << -450.5 << "-450,50";
    QTest::newRow("rounds to the hundredth") << 2.346 << "2,35";
    QTest::newRow("tiny negative is no minus zero") << -0.001 << "0,00";
    QTest::newRow("largest") << 999999999999.99 << "999.999.999.999,99";
    QTest::newRow("lowest") << -999999999999.99 << "-999.999.999.999,99";
    // No number, or beyond the range, never shows as a figure; 1e300 must not even
    // reach the rounding.
    for (double value : {std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(), 1e12, 1e300}) {
        QTest::addRow("%g", value) << value << kUnreadableAmount;
    }
}

void TestAmount::shown() {
    QFETCH(double, value);
    QTEST(formatAmount(value), "text");
}

void TestAmount::typed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("grouped with decimals") << "1.234,50" << true << 1234.5;
    QTest::newRow("plain with decimals") << "1234,5" << true << 1234.5;
    QTest::newRow("negative") << "-20" << true << -20.0;
    QTest::newRow("largest") << "999.999.999.999,99" << true << 999999999999.99;
    QTest::newRow("lowest") << "-999.999.999.999,99" << true << -999999999999.99;
    // The "." key types ",", so this is how "1.850,00" arrives from the keyboard.
    QTest::newRow("grouped by the decimal key") << "1,850,00" << true << 1850.0;
    QTest::newRow("grouped by the decimal key, one decimal")
        << "-12,345,678,9" << true << -12345678.9;
    QTest::newRow("largest grouped by the decimal key")
        << "999,999,999,999,99" << true << 999999999999.99;
    // Not whole groups, a comma with nothing after it, three decimals after
    // grouping ("1.850.000" typed), mixed marks, or beyond the range.
    for (const char* text :
         {"1.000.000.000.000", "1,2,3", "1.2.3,4", "12.5", "", "-", "¡ERROR!", "1,85,00",
          "1,8500,00", ",850,00", "1,850,", "1,850,000", "1.850,000,00", "1,000,000,000,000,00"}) {
        QTest::addRow("«%s»", text) << QString::fromUtf8(text) << false << 0.0;
    }
}

// Every valid amount reads back as the very value that shows it: what is loaded,
// shown and accepted unchanged is written back exact to the cent.
void TestAmount::typed() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = parseAmount(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, value);
        QCOMPARE(parseAmount(formatAmount(*parsed)), parsed);
    }
}

QTEST_GUILESS_MAIN(TestAmount)
#include "tst_amount.moc"
