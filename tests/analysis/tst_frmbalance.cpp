// The balance window through its widgets.

#include "analysis/frmBalance.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct BalanceWindow : WindowFixture<frmBalance> {
    explicit BalanceWindow(const QString& year = "2024") : WindowFixture(year) {
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Banco", "C");
        ledger.addAccount("agua", "G");
        ledger.addEntry(1, "01/03/2024", "Nómina marzo", "Banco", "Nómina", 1200, "I");
        ledger.addEntry(2, "15/04/2024", "Recibo del agua", "Agua", "Banco", 450.5, "G");
        open();
    }
    QComboBox* account() { return find<QComboBox>("cmbConta"); }
    QStringList figures() {
        QStringList texts;
        for (const char* name : {"lblEntradas", "lblSalidas", "lblBalance"}) {
            texts.append(find<QLabel>(name)->text());
        }
        return texts;
    }
    void choose(const QString& name) { account()->setCurrentIndex(account()->findText(name)); }
};

} // namespace

class TestFrmBalance : public QObject {
    Q_OBJECT
private slots:
    void calculates_data();
    void calculates();
    void invalidDateComputesNothing();
    void unreadableAmount();
};

// A year named " " once opened on "01/01/____" and said "Ponga una fecha correcta"
// at the first "&Calcular": such a year takes today's calendar year.
void TestFrmBalance::calculates_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("figures");
    const QStringList bank{"1.200,00", "450,50", "749,50"};
    QTest::newRow("nothing chosen")
        << u"2024"_s << QString() << u"button"_s << QStringList{"0,00", "0,00", "0,00"};
    QTest::newRow("cash, button") << u"2024"_s << u"Banco"_s << u"button"_s << bank;
    QTest::newRow("year named blank") << u" "_s << u"Banco"_s << u"button"_s << bank;
    QTest::newRow("year named with a word") << u"Casa"_s << u"Banco"_s << u"button"_s << bank;
    QTest::newRow("income, Enter in the list")
        << u"2024"_s << u"Nómina"_s << u"list"_s << QStringList{"0,00", "1.200,00", "-1.200,00"};
    // Enter used to do nothing on the focused button.
    QTest::newRow("date, Enter, Calcular, Enter") << u"2024"_s << u"Banco"_s << u"date"_s << bank;
}

void TestFrmBalance::calculates() {
    QFETCH(QString, year);
    QFETCH(QString, account);
    QFETCH(QString, how);
    BalanceWindow b(year);
    // It opens on the whole year, with no account chosen.
    QCOMPARE(b.account()->currentIndex(), -1);
    QCOMPARE(b.find<QLineEdit>("mskDesde")->text() + b.find<QLineEdit>("mskHasta")->text(),
             u"01/01/202431/12/2024"_s);
    QCOMPARE(b.figures(), (QStringList{"", "", ""}));
    QCOMPARE(b.find<QFrame>("shpDatos")->palette().color(QPalette::Window),
             b.ledger.state().palette.main());
    b.choose(account);
    if (how == QLatin1String("list")) {
        b.account()->setFocus();
        QTest::keyClick(b.account(), Qt::Key_Return);
    } else if (how == QLatin1String("date")) {
        auto* to = b.find<QLineEdit>("mskHasta");
        to->setFocus(Qt::TabFocusReason);
        QTest::keyClick(to, Qt::Key_Return);
        QVERIFY(b.find<QPushButton>("cmdCalcular")->hasFocus());
        QCOMPARE(b.figures(), (QStringList{"", "", ""}));
        QTest::keyClick(b.find<QPushButton>("cmdCalcular"), Qt::Key_Return);
    } else {
        b.click("cmdCalcular");
    }
    QTEST(b.figures(), "figures");
    QVERIFY(b.messages.shown().isEmpty());
}

void TestFrmBalance::invalidDateComputesNothing() {
    BalanceWindow b;
    b.choose("Banco");
    auto* from = b.find<QLineEdit>("mskDesde");
    from->setFocus(Qt::TabFocusReason);
    from->selectAll();
    QTest::keyClicks(from, "31022024");
    b.click("cmdCalcular");
    QTest::qWait(20);
    QCOMPARE(b.messages.texts(), QStringList{"Ponga una fecha correcta"});
    QVERIFY(from->hasFocus());
    QCOMPARE(b.figures(), (QStringList{"", "", ""}));
}

// An amount that is no number used to count as 0 without a word.
void TestFrmBalance::unreadableAmount() {
    BalanceWindow b;
    b.ledger.db().exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                       " VALUES (7, '2024-05-01', 'Roto', 'agua', 'Banco', 'x', 'G')",
                       "test");
    b.choose("Banco");
    b.click("cmdCalcular");
    QCOMPARE(b.figures(), (QStringList{"1.200,00", "¡ERROR!", "¡ERROR!"}));
    QCOMPARE(b.messages.texts(),
             QStringList{"El importe del apunte de código 7 no es un número válido. Las cifras "
                         "que lo incluyen se muestran como ¡ERROR!; corrija el apunte en la lista "
                         "de apuntes."});
}

QTEST_MAIN(TestFrmBalance)
#include "tst_frmbalance.moc"
