// Taking the opening balances again from the previous year, through the window.

#include "analysis/CarryOver.h"
#include "analysis/frmArrastre.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QFile>
#include <QLabel>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct CarryWindow : WindowFixture<frmArrastre> {
    // 2024 ends with 1.900,00 in Banco; 2025 is made from it and current.
    CarryWindow() {
        ledger.addAccount(u"Banco"_s, u"C"_s);
        ledger.addAccount(u"Nómina"_s, u"I"_s);
        ledger.addAccount(u"Luz"_s, u"G"_s);
        ledger.addEntry(1, u"10/01/2024"_s, u"Sueldo"_s, u"Banco"_s, u"Nómina"_s, 1900, u"I"_s);
        YearDatabase(ledger.session()).create(u"2025"_s, ledger.state().newYearStep);
    }
    QString oldFile() const { return databasePathFor(ledger.dataRoot(), u"2024"_s); }
    void lateEntry() const {
        Database old(oldFile());
        old.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                 " VALUES (2, '2024-12-28', 'Recibo', 'Luz', 'Banco', 40, 'G')",
                 "test");
    }
};

} // namespace

class TestFrmArrastre : public QObject {
    Q_OBJECT
private slots:
    void takesOnlyWhenAsked_data();
    void takesOnlyWhenAsked();
};

void TestFrmArrastre::takesOnlyWhenAsked_data() {
    QTest::addColumn<bool>("late");
    QTest::addColumn<QString>("breakOld"); // "", "missing", "corrupt"
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message"); // how the one message begins
    QTest::addColumn<qint64>("bank");     // Banco's opening balance afterwards
    const int yes = int(MessageAnswer::Yes);
    const int no = int(MessageAnswer::No);
    const QString question = u"¿Tomar los saldos iniciales del año 2024?"_s;
    QTest::newRow("late entry, taken") << true << QString() << yes << question << qint64(186000);
    QTest::newRow("late entry, declined") << true << QString() << no << question << qint64(190000);
    QTest::newRow("nothing to change")
        << false << QString() << yes
        << u"Los saldos iniciales ya son los del año 2024 a 31/12/2024: no hay nada que cambiar."_s
        << qint64(190000);
    QTest::newRow("previous year missing")
        << true << u"missing"_s << yes
        << u"No existe el año 2024, del que se toman los saldos iniciales del año 2025. No se ha "
           "cambiado nada."_s
        << qint64(190000);
    QTest::newRow("previous year corrupt")
        << true << u"corrupt"_s << yes << u"No se puede leer el año 2024: "_s << qint64(190000);
}

void TestFrmArrastre::takesOnlyWhenAsked() {
    QFETCH(bool, late);
    QFETCH(QString, breakOld);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(qint64, bank);
    CarryWindow w;
    if (late) {
        w.lateEntry();
    }
    if (breakOld == u"missing"_s) {
        QVERIFY(QFile::remove(w.oldFile()));
    } else if (breakOld == u"corrupt"_s) {
        QVERIFY(putBytes(w.oldFile(), QByteArray(8192, 'x')));
    }
    w.messages.answerNext(MessageAnswer(answer));
    const bool offered = message.startsWith(u"¿"_s);
    if (offered) {
        w.open();
    } else {
        // Only the message is seen: the window goes before it is ever drawn.
        w.window = std::make_unique<frmArrastre>(w.ledger.state(), w.services.services);
        w.window->show();
    }
    if (offered) {
        QVERIFY(w.messages.texts().isEmpty());
        QCOMPARE(w.cell(0, 0), u"Banco"_s);
        QCOMPARE(w.cell(0, 1), u"1.900,00"_s);
        QCOMPARE(w.cell(0, 2), u"1.860,00"_s);
        w.click(u"cmdTomar"_s);
    }
    QCOMPARE(w.messages.texts().size(), 1);
    QVERIFY2(w.messages.texts().first().startsWith(message),
             qPrintable(w.messages.texts().first()));
    QCOMPARE(openingBalance(w.ledger.db(), u"Banco"_s), bank);
    // Declined, the window stays for another look; otherwise it goes.
    const bool stays = offered && answer == int(MessageAnswer::No);
    QTRY_COMPARE(w.window->isVisible(), stays);
}

QTEST_MAIN(TestFrmArrastre)
#include "tst_frmarrastre.moc"
