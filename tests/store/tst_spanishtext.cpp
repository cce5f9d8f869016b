// Letter case is ignored for every Spanish letter, in C++ and inside SQL alike,
// while accents still tell letters apart; names sort as a Spanish reader expects.

#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace velmora;

class TestSpanishText : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sameText_data();
    void sameText();
    void like_data();
    void like();
    void spanishOrder();

private:
    std::unique_ptr<Database> db_;
};

void TestSpanishText::init() {
    db_ = std::make_unique<Database>(QStringLiteral(":memory:"), Database::Mode::CreateIfMissing);
    createLedgerSchema(*db_);
}

namespace {

// One data row of two texts and the answer; keeps each row on one line.
void textRow(const char* name, const char* a, const char* b, bool answer) {
    QTest::newRow(name) << QString::fromUtf8(a) << QString::fromUtf8(b) << answer;
}

} // namespace

void TestSpanishText::sameText_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    textRow("ascii", "CAJA", "Caja", true);
    textRow("eñe", "AÑO", "año", true);
    textRow("acute", "ÁGUEDA", "águeda", true);
    textRow("diaeresis", "PINGÜINO", "pingüino", true);
    textRow("accent is another letter", "a", "á", false);
    textRow("eñe is not ene", "Año", "Ano", false);
    textRow("trailing blank", "Caja ", "Caja", false);
    textRow("prefix", "Caja", "Cajamar", false);
    textRow("both empty", "", "", true);
}

void TestSpanishText::sameText() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(velmora::sameText(a, b), same);
    QCOMPARE(velmora::sameText(b, a), same);

    Statement query(*db_, "SELECT casefold(?1) = casefold(?2), sametext(?1, ?2)", "comparar");
    query.bind(1, a).bind(2, b);
    QVERIFY(query.step());
    QCOMPARE(query.columnInt(0) == 1, same);
    QCOMPARE(query.columnInt(1) == 1, same);
}

void TestSpanishText::like_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("matches");
    textRow("anywhere", "%luz%", "Recibo de la LUZ de marzo", true);
    textRow("at start", "luz%", "Luz de marzo", true);
    textRow("at end", "%luz", "pago de la luz", true);
    textRow("whole value", "Caja", "Caja chica", false);
    textRow("one character", "a_o", "AÑO", true);
    textRow("one character, not two", "l_z", "lapiz", false);
    textRow("eñe case", "%año%", "FELIZ AÑO NUEVO", true);
    textRow("acute case", "%ÁGUEDA%", "santa águeda", true);
    textRow("accent differs", "%a%", "á", false);
    textRow("empty filter", "%%", "", true);
    textRow("empty pattern", "", "abc", false);
}

void TestSpanishText::like() {
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, matches);
    QCOMPARE(likeMatches(pattern, value), matches);

    Statement query(*db_, "SELECT ?2 LIKE ?1", "filtrar");
    query.bind(1, pattern).bind(2, value);
    QVERIFY(query.step());
    QCOMPARE(query.columnInt(0) == 1, matches);
}

void TestSpanishText::spanishOrder() {
    QStringList names{"nube", "Agua", "ñame", "zumo", "Ágape", "caja", "Banco", "CAJA", "oso"};
    std::sort(names.begin(), names.end(), spanishLess);
    const QStringList expected{"Ágape", "Agua", "Banco", "CAJA", "caja",
                               "nube",  "ñame", "oso",   "zumo"};
    QCOMPARE(names, expected);
    QVERIFY(!spanishLess(QStringLiteral("ñame"), QStringLiteral("nube")));
    QVERIFY(!spanishLess(QStringLiteral("caja"), QStringLiteral("caja")));
}

QTEST_GUILESS_MAIN(TestSpanishText)
#include "tst_spanishtext.moc"
