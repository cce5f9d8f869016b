#include "store/TextPool.h"

#include <QTest>

#include <algorithm>

using namespace velmora;

class TestTextPool : public QObject {
    Q_OBJECT
private slots:
    void equalTextsShareOneIndex_data();
    void equalTextsShareOneIndex();
};

void TestTextPool::equalTextsShareOneIndex_data() {
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << QStringLiteral("Recibo de la luz de la comunidad de vecinos");
    QTest::newRow("Spanish letters") << QStringLiteral("Año nuevo: cañas y señal «ñ»");
}

// Texts of every length up to 43 bytes, each also with one byte changed at its
// start, its middle and its end: the quick comparison reads overlapping words, so
// a byte it skipped would merge two different texts.
void TestTextPool::equalTextsShareOneIndex() {
    QFETCH(QString, base);
    const QByteArray bytes = base.toUtf8();
    std::vector<std::string> texts;
    for (qsizetype length = 0; length <= bytes.size(); ++length) {
        const std::string text(bytes.constData(), static_cast<size_t>(length));
        texts.push_back(text);
        for (const size_t at : {size_t{0}, text.size() / 2, text.size() - 1}) {
            if (!text.empty()) {
                std::string changed = text;
                changed[at] = changed[at] == 'x' ? 'y' : 'x';
                texts.push_back(changed);
            }
        }
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());

    TextPool pool;
    std::vector<quint32> indices;
    for (const std::string& text : texts) {
        indices.push_back(pool.add(text));
    }
    QCOMPARE(pool.add({}), quint32{0});
    std::vector<quint32> distinct = indices;
    std::sort(distinct.begin(), distinct.end());
    QVERIFY(std::unique(distinct.begin(), distinct.end()) == distinct.end());
    for (size_t i = 0; i < texts.size(); ++i) {
        QCOMPARE(pool.add(texts[i]), indices[i]);
        QCOMPARE(std::string(pool.bytes(indices[i])), texts[i]);
    }
    // Whole texts come back as the same characters.
    QCOMPARE(pool.text(pool.add(bytes.toStdString())), base);
    QCOMPARE(pool.size(), texts.size());
}

QTEST_GUILESS_MAIN(TestTextPool)
#include "tst_textpool.moc"
