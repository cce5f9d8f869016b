// The account card driven through its real widgets: its messages in order with
// the focus where the user must act, and what each way of leaving it writes.

#include "AccountLedger.h"
#include "accounts/frmCuentasFicha.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

using namespace velmora;
using namespace velmora::test;

namespace {

struct Fixture : WindowFixture<frmCuentasFicha> {
    // An existing account is always Caja.
    explicit Fixture(int estado) {
        fillAccounts(ledger);
        open([estado](frmCuentasFicha& card) {
            card.setEstado(estado);
            card.setId("Caja");
        });
    }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QComboBox* kinds() { return find<QComboBox>("cmbTipo"); }
    void fillIn(const QString& name, const QString& text, int kind) {
        field("txtNom")->setText(name);
        field("txtCon")->setText(text);
        kinds()->setCurrentIndex(kind);
    }
};

} // namespace

class TestFrmCuentasFicha : public QObject {
    Q_OBJECT
private slots:
    void activationAndEscape();
    void refusals_data();
    void refusals();
    void saves_data();
    void saves();
    void longStoredNameStaysWhole();
};

void TestFrmCuentasFicha::activationAndEscape() {
    Fixture fresh(frmCuentasFicha::New);
    QCOMPARE(fresh.kinds()->currentIndex(), -1);

    Fixture f(frmCuentasFicha::Existing);
    QCOMPARE(f.field("txtCon")->text(), QStringLiteral("Dinero en efectivo"));
    QCOMPARE(f.kinds()->currentText(), QStringLiteral("Caja"));
    QCOMPARE(QApplication::focusWidget(), f.field("txtNom"));
    f.fillIn("Otra", "Otro", 0);
    QTest::keyClick(f.field("txtCon"), Qt::Key_Escape);
    QVERIFY(f.window->isVisible());
    f.click("cmdCancelar");
    QVERIFY(!f.window->isVisible());
    QCOMPARE(accountRows(f.ledger), kAccountsBefore);
}

void TestFrmCuentasFicha::refusals_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("typed"); // name|concept|kind (index in the list, -1 none)
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("after"); // the field with the focus|the name it shows
    const QString taken = QStringLiteral("Esta nombre ya existe, ponga otro");
    QTest::newRow("nothing typed") << 0 << "||-1" << QStringList{"Ponga un nombre"} << "txtNom|";
    QTest::newRow("no concept, then a name taken in other case")
        << 0 << "NÓMINA||0" << QStringList{"Ponga un concepto", taken} << "txtNom|NÓMINA";
    QTest::newRow("only spaces") << 0 << "   |  |0" << QStringList{"Ponga un nombre"}
                                 << "txtNom|   ";
    QTest::newRow("no kind") << 0 << "Agua|Agua|-1" << QStringList{"Ponga un tipo"}
                             << "cmbTipo|Agua";
    QTest::newRow("letter case only: the account finds itself")
        << 1 << "CAJA|Efectivo|2" << QStringList{taken} << "txtNom|Caja";
    QTest::newRow("existing, concept emptied")
        << 1 << "Caja||2" << QStringList{"Ponga un concepto"} << "txtCon|Caja";
}

void TestFrmCuentasFicha::refusals() {
    QFETCH(int, estado);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    const QStringList fields = typed.split(QLatin1Char('|'));
    Fixture f(estado);
    f.fillIn(fields[0], fields[1], fields[2].toInt());
    f.click("cmdAceptar");
    QTEST(f.messages.texts(), "messages");
    QCOMPARE(QApplication::focusWidget()->objectName() + QLatin1Char('|') +
                 f.field("txtNom")->text(),
             after);
    QVERIFY(f.window->isVisible());
    QCOMPARE(accountRows(f.ledger), kAccountsBefore);
}

void TestFrmCuentasFicha::saves_data() {
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("refuse"); // the database refuses to change the account
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<QStringList>("entries");
    const QString question = QStringLiteral("¿Actualizar los apuntes de esta cuenta?");
    QTest::newRow("new, kind stored as its letter")
        << 0 << "D'Ávila Ñu" << 0 << true << false << QStringList{}
        << QStringList{"Caja|Dinero en efectivo|C", "D'Ávila Ñu|Cuenta 'b'|G", "Luz|Electricidad|G",
                       "Nómina|Sueldo|I"}
        << kEntriesBefore;
    QTest::newRow("rename, yes") << 1 << "Efectivo d'Ána" << 1 << true << false
                                 << QStringList{question}
                                 << QStringList{"Efectivo d'Ána|Cuenta 'b'|I", "Luz|Electricidad|G",
                                                "Nómina|Sueldo|I"}
                                 << QStringList{"Efectivo d'Ána>Nómina", "Luz>Efectivo d'Ána",
                                                "Efectivo d'Ána>NÓMINA"};
    QTest::newRow("rename, no: not even the concept")
        << 1 << "Efectivo" << 1 << false << false << QStringList{question} << kAccountsBefore
        << kEntriesBefore;
    QTest::newRow("database refuses: the card stays")
        << 1 << "Efectivo" << 1 << true << true
        << QStringList{question, "No se puede guardar la cuenta: los datos chocan con otros ya "
                                 "guardados"}
        << kAccountsBefore << kEntriesBefore;
}

void TestFrmCuentasFicha::saves() {
    QFETCH(int, estado);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(bool, yes);
    QFETCH(bool, refuse);
    Fixture f(estado);
    if (refuse) {
        f.ledger.db().exec("CREATE TRIGGER t BEFORE UPDATE ON Contas"
                           " BEGIN SELECT RAISE(ABORT, 'cuenta bloqueada'); END",
                           "test");
    }
    f.fillIn(name, "Cuenta 'b'", kind);
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    f.click("cmdAceptar");
    QTEST(f.messages.texts(), "messages");
    QCOMPARE(f.window->isVisible(), refuse);
    QTEST(accountRows(f.ledger), "accounts");
    QTEST(entryAccounts(f.ledger), "entries");
}

// A name written by another program beyond the 20 characters typing allows used
// to be cut on opening, and the save then lost the account.
void TestFrmCuentasFicha::longStoredNameStaysWhole() {
    WindowFixture<frmCuentasFicha> f;
    const QString name = QStringLiteral("Cuenta corriente del Banco Sur");
    f.ledger.addAccount(name, "C", "Nómina y recibos");
    f.open([&](frmCuentasFicha& card) {
        card.setEstado(frmCuentasFicha::Existing);
        card.setId(name);
    });
    QCOMPARE(f.find<QLineEdit>("txtNom")->text(), name);
    f.find<QLineEdit>("txtCon")->setText("Sueldo");
    f.click("cmdAceptar");
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(accountRows(f.ledger), QStringList{name + "|Sueldo|C"});
}

QTEST_MAIN(TestFrmCuentasFicha)
#include "tst_frmcuentasficha.moc"
