// The class of a movement from the kinds of its two accounts, for every pair.

#include "entries/MovementRule.h"

#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

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
    QTest::newRow("no such account") << u"0"_s << u"C"_s << QString();
    QTest::newRow("account without kind") << QString() << u"C"_s << QString();
    QTest::newRow("lower-case kind") << u"c"_s << u"c"_s << QString();
}

void TestMovementRule::everyPair() {
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QString, movementClass);
    QCOMPARE(classifyMovement(goesInto, comesOutOf).value_or(QString()), movementClass);
}

QTEST_GUILESS_MAIN(TestMovementRule)
#include "tst_movementrule.moc"
