// Letter case is ignored for every Spanish letter, in C++ and inside SQL alike,
// while accents still tell letters apart; names sort as a Spanish reader expects.

#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QStringList>
#include <QTest>

#include <algorithm>

using namespace velmora;

class TestSpanishText : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void spanishOrder();
};

namespace {

// The answer of one SQL expression over ?1 and ?2, as the list queries run it.
bool sqlAnswer(const char* sql, const QString& first, const QString& second) {
    Database db(QStringLiteral(":memory:"), Database::Mode::CreateIfMissing);
    Statement query(db, sql, "comparar");
    query.bind(1, first).bind(2, second);
    return query.step() && query.columnInt(0) == 1;
}

} // namespace

void TestSpanishText::matching_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("matches");
    const auto row = [](const char* name, const char* pattern, const char* value, bool matches) {
        QTest::newRow(name) << QString::fromUtf8(pattern) << QString::fromUtf8(value) << matches;
    };
    row("ascii", "CAJA", "Caja", true);
    row("eñe", "AÑO", "año", true);
    row("accent is another letter", "a", "á", false);
    row("eñe is not ene", "Año", "Ano", false);
    row("whole value", "Caja", "Cajamar", false);
    row("anywhere", "%luz%", "Recibo de la LUZ de marzo", true);
    row("one character", "a_o", "AÑO", true);
    row("one character, not two", "l_z", "lapiz", false);
    row("empty filter", "%%", "", true);
    row("empty filter, text with %", "%%", "%%x", true);
    row("text starting with %", "%desc%", "%50 descuento", true);
    row("empty pattern", "", "abc", false);
}

// Without wildcards a pattern asks what sametext() asks: the filters and the name
// lookups must agree.
void TestSpanishText::matching() {
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, matches);
    QCOMPARE(likeMatches(pattern, value), matches);
    QCOMPARE(sqlAnswer("SELECT ?2 LIKE ?1", pattern, value), matches);
    if (!pattern.contains(QLatin1Char('%')) && !pattern.contains(QLatin1Char('_'))) {
        QCOMPARE(sameText(pattern, value), matches);
        QCOMPARE(sameText(value, pattern), matches);
        QCOMPARE(sqlAnswer("SELECT sametext(?1, ?2)", pattern, value), matches);
    }
}

void TestSpanishText::spanishOrder() {
    QStringList names{"nube", "Agua", "ñame", "zumo", "Ágape", "caja", "Banco", "CAJA", "oso"};
    std::sort(names.begin(), names.end(), spanishLess);
    QCOMPARE(names, (QStringList{"Ágape", "Agua", "Banco", "CAJA", "caja", "nube", "ñame", "oso",
                                 "zumo"}));
    QVERIFY(!spanishLess(QStringLiteral("ñame"), QStringLiteral("nube")));
    QVERIFY(!spanishLess(QStringLiteral("caja"), QStringLiteral("caja")));
}

QTEST_GUILESS_MAIN(TestSpanishText)
#include "tst_spanishtext.moc"
