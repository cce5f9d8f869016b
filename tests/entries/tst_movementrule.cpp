// The class of a movement from the kinds of its two accounts, for every pair.

#include "entries/MovementRule.h"

#include <QTest>

using namespace velmora;

class TestMovementRule : public QObject {
    Q_OBJECT
private slots:
    void everyPair_data();
    void everyPair();
};

void TestMovementRule::everyPair_data() {
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("comesOutOf");
    QTest::addColumn<QString>("movementClass"); // empty: refused
    // Rows: the kind the money goes into; columns: the kind it comes out of.
    const char* const table[3][4] = {{"I", "T", "", ""}, {"G", "", "T", "G"}, {"C", "I", "", "T"}};
    const char* const from[3] = {"I", "G", "C"};
    for (const auto& row : table) {
        for (int c = 0; c < 3; ++c) {
            QTest::addRow("%s from %s", row[0], from[c]) << row[0] << from[c] << row[c + 1];
        }
    }
    QTest::newRow("no such account") << "0"
                                     << "C"
                                     << "";
    QTest::newRow("account without kind") << ""
                                          << "C"
                                          << "";
    QTest::newRow("lower-case kind") << "c"
                                     << "c"
                                     << "";
}

void TestMovementRule::everyPair() {
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QString, movementClass);
    QCOMPARE(classifyMovement(goesInto, comesOutOf).value_or(QString()), movementClass);
}

QTEST_GUILESS_MAIN(TestMovementRule)
#include "tst_movementrule.moc"
