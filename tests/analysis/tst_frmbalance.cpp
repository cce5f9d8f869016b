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
    // today: what the clock says, for a year whose name is no calendar year.
    explicit BalanceWindow(const QString& year = "2024", QDate today = {2024, 5, 17})
        : WindowFixture(year) {
        services.clock.day = today;
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
    void opensOnTheWholeYear();
    void yearNamedOtherwise_data();
    void yearNamedOtherwise();
    void calculates_data();
    void calculates();
    void invalidDateComputesNothing();
    void unreadableAmount();
};

void TestFrmBalance::opensOnTheWholeYear() {
    BalanceWindow b;
    QCOMPARE(b.account()->count(), 3);
    QCOMPARE(b.account()->itemText(0), QStringLiteral("agua"));
    QCOMPARE(b.account()->currentIndex(), -1);
    QCOMPARE(b.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(b.find<QLineEdit>("mskHasta")->text(), QStringLiteral("31/12/2024"));
    QCOMPARE(b.figures(), (QStringList{"", "", ""}));
    QCOMPARE(b.find<QFrame>("shpDatos")->palette().color(QPalette::Window),
             b.ledger.state().palette.main());
}

// A year named " " once opened on "01/01/____" and said "Ponga una fecha correcta"
// at the first "&Calcular": such a year takes today's calendar year.
void TestFrmBalance::yearNamedOtherwise_data() {
    addTextRows("year", {{"blank", " "}, {"a word", "Casa"}});
}

void TestFrmBalance::yearNamedOtherwise() {
    QFETCH(QString, year);
    BalanceWindow b(year, {2024, 9, 30});
    QCOMPARE(b.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(b.find<QLineEdit>("mskHasta")->text(), QStringLiteral("31/12/2024"));
    b.choose("Banco");
    b.click("cmdCalcular");
    QCOMPARE(b.messages.texts(), QStringList());
    QCOMPARE(b.figures(), (QStringList{"1.200,00", "450,50", "749,50"}));
}

void TestFrmBalance::calculates_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("figures");
    QTest::newRow("nothing chosen")
        << QString() << u"button"_s << QStringList{"0,00", "0,00", "0,00"};
    QTest::newRow("cash, button") << u"Banco"_s << u"button"_s
                                  << QStringList{"1.200,00", "450,50", "749,50"};
    QTest::newRow("income, Enter in the list")
        << u"Nómina"_s << u"list"_s << QStringList{"0,00", "1.200,00", "-1.200,00"};
    // Enter used to do nothing on the focused button.
    QTest::newRow("date, Enter, Calcular, Enter")
        << u"Banco"_s << u"date"_s << QStringList{"1.200,00", "450,50", "749,50"};
}

void TestFrmBalance::calculates() {
    QFETCH(QString, account);
    QFETCH(QString, how);
    BalanceWindow b;
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
