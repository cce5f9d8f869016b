// The balance window through its widgets.

#include "analysis/frmBalance.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;
using velmora::test::TestServices;

namespace {

struct BalanceWindow {
    TestLedger ledger;
    RecordingMessageService messages;
    TestServices services{messages};
    std::unique_ptr<frmBalance> window;

    BalanceWindow() {
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Banco", "C");
        ledger.addAccount("agua", "G");
        ledger.addEntry(1, "01/03/2024", "Nómina marzo", "Banco", "Nómina", 1200, "I");
        ledger.addEntry(2, "15/04/2024", "Recibo del agua", "Agua", "Banco", 450.5, "G");
        window = std::make_unique<frmBalance>(ledger.state(), services.services);
        QVERIFY(test::showForInput(*window));
    }
    QComboBox* account() { return window->findChild<QComboBox*>("cmbConta"); }
    QLineEdit* date(const char* name) { return window->findChild<QLineEdit*>(name); }
    QStringList figures() {
        QStringList texts;
        for (const char* name : {"lblEntradas", "lblSalidas", "lblBalance"}) {
            texts.append(window->findChild<QLabel*>(name)->text());
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
    void calculates_data();
    void calculates();
    void invalidDateComputesNothing();
};

void TestFrmBalance::opensOnTheWholeYear() {
    BalanceWindow b;
    QCOMPARE(b.window->windowTitle(), QStringLiteral("Balance"));
    QCOMPARE(b.account()->count(), 3);
    QCOMPARE(b.account()->itemText(0), QStringLiteral("agua"));
    QCOMPARE(b.account()->currentIndex(), -1);
    QCOMPARE(b.date("mskDesde")->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(b.date("mskHasta")->text(), QStringLiteral("31/12/2024"));
    QCOMPARE(b.figures(), (QStringList{"", "", ""}));
    QCOMPARE(b.window->findChild<QFrame*>("shpDatos")->palette().color(QPalette::Window),
             b.ledger.state().palette.main());
}

void TestFrmBalance::calculates_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QStringList>("figures");
    QTest::newRow("nothing chosen") << "" << false << QStringList{"0,00", "0,00", "0,00"};
    QTest::newRow("cash, button") << "Banco" << false
                                  << QStringList{"1.200,00", "450,50", "749,50"};
    QTest::newRow("income, Enter")
        << "Nómina" << true << QStringList{"0,00", "1.200,00", "-1.200,00"};
    // The account is stored as "agua", the entry says "Agua".
    QTest::newRow("letter case") << "agua" << true << QStringList{"450,50", "0,00", "450,50"};
}

void TestFrmBalance::calculates() {
    QFETCH(QString, account);
    QFETCH(bool, byEnter);
    QFETCH(QStringList, figures);
    BalanceWindow b;
    b.choose(account);
    if (byEnter) {
        b.account()->setFocus();
        QTest::keyClick(b.account(), Qt::Key_Return);
    } else {
        QTest::mouseClick(b.window->findChild<QPushButton*>("cmdCalcular"), Qt::LeftButton);
    }
    QCOMPARE(b.figures(), figures);
    QVERIFY(b.messages.shown().isEmpty());
}

void TestFrmBalance::invalidDateComputesNothing() {
    BalanceWindow b;
    b.choose("Banco");
    auto* from = b.date("mskDesde");
    from->setFocus(Qt::TabFocusReason);
    // The mask arrives with the focus and then stays.
    QCOMPARE(from->inputMask(), QStringLiteral("99/99/9999;_"));
    from->selectAll();
    QTest::keyClicks(from, "31022024");
    QTest::mouseClick(b.window->findChild<QPushButton*>("cmdCalcular"), Qt::LeftButton);
    QTest::qWait(20);
    QCOMPARE(b.messages.texts(), QStringList{"Ponga una fecha correcta"});
    QVERIFY(from->hasFocus());
    QCOMPARE(b.figures(), (QStringList{"", "", ""}));

    from->selectAll();
    QTest::keyClicks(from, "01042024");
    QTest::keyClick(from, Qt::Key_Return);
    QVERIFY(b.date("mskHasta")->hasFocus());
    QCOMPARE(from->inputMask(), QStringLiteral("99/99/9999;_"));
    QTest::mouseClick(b.window->findChild<QPushButton*>("cmdCalcular"), Qt::LeftButton);
    QCOMPARE(b.figures(), (QStringList{"0,00", "450,50", "-450,50"}));
}

QTEST_MAIN(TestFrmBalance)
#include "tst_frmbalance.moc"
