// "&3. Compactar" from the main window: the question, the safety copy, and the
// one message when the compaction cannot be done.

#include "entries/frmPrincipal.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "years/SafetyCopies.h"

#include <QAction>
#include <QDir>
#include <QFile>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

class TestCompactar : public QObject {
    Q_OBJECT
private slots:
    void fromMenu_data();
    void fromMenu();
};

void TestCompactar::fromMenu_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("workFolder");
    QTest::addColumn<bool>("compacted");
    QTest::newRow("no") << int(MessageAnswer::No) << true << false;
    QTest::newRow("yes") << int(MessageAnswer::Yes) << true << true;
    QTest::newRow("yes without Datos") << int(MessageAnswer::Yes) << false << false;
}

void TestCompactar::fromMenu() {
    QFETCH(int, answer);
    QFETCH(bool, workFolder);
    QFETCH(bool, compacted);
    WindowFixture<frmPrincipal> f;
    f.ledger.addAccount(u"Caja"_s, u"C"_s);
    f.ledger.addBulkEntries(200, u"05/03/2024"_s, u"Caja"_s, 300);
    f.ledger.db().exec("DELETE FROM apuntes WHERE Id > 3", "test");
    if (!workFolder) {
        QDir(f.ledger.programFolder() + u"/Datos"_s).removeRecursively();
    }
    f.open();
    const QByteArray before = fileBytes(f.ledger.databasePath());
    f.messages.answerNext(MessageAnswer(answer));
    f.find<QAction>(u"mnuOpCompactar"_s)->trigger();

    const Message& question = f.messages.shown().first();
    QCOMPARE(question.text,
             u"Esta opción reorganiza los ficheros de datos\r\nPor precaución es "
             u"recomendable hacer antes una copia de seguridad\r\n¿INCIAR PROCESO?"_s);
    QCOMPARE(question.icon, MessageIcon::None);
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    const SafetyCopies copies(f.ledger.dataRoot(), u"2024"_s);
    QCOMPARE(copies.list().size(), answer == int(MessageAnswer::Yes) ? 1 : 0);
    if (compacted) {
        QCOMPARE(f.messages.shown().size(), 1);
        QVERIFY(fileBytes(f.ledger.databasePath()).size() < before.size() / 2);
    } else {
        QCOMPARE(fileBytes(f.ledger.databasePath()), before);
    }
    if (!workFolder) {
        const Message& failure = f.messages.shown().last();
        QCOMPARE(failure.text, u"Compactación non completada. Asegúrese de que la BD no está "
                               u"abierta. "_s);
        QCOMPARE(failure.title, u"Error de Compactación"_s);
        QCOMPARE(failure.icon, MessageIcon::Warning);
    }
    // Either way the program works on the same year.
    QVERIFY(f.window->reload());
    QCOMPARE(f.grid()->model()->rowCount(), 3);
    QCOMPARE(f.ledger.state().year, u"2024"_s);
}

QTEST_MAIN(TestCompactar)
#include "tst_compactar.moc"
