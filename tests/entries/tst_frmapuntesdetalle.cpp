// The entry editor driven through its widgets: the number a new entry gets, the
// checks that keep invalid dates and amounts out, and an entry opened and
// accepted unchanged written back exactly as it was read.

#include "entries/frmApuntesDetalle.h"
#include "store/EntryStore.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace velmora;
using namespace Qt::StringLiterals;
using namespace velmora::test;

namespace {

struct Editor : WindowFixture<frmApuntesDetalle> {
    Editor() {
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Banco", "C");
        ledger.addAccount("Caja", "C");
        ledger.addAccount("Luz", "G");
        ledger.addAccount("Agua", "G");
    }
    void openEntry(int estado, qint64 id = 0) {
        open([&](frmApuntesDetalle& w) {
            w.setEstado(estado);
            w.setId(id);
        });
    }
    QComboBox* goesInto() { return find<QComboBox>("cmbEntraEn"); }
    QComboBox* comesOutOf() { return find<QComboBox>("cmbSaleDe"); }
    QLineEdit* amount() { return find<QLineEdit>("txtImporte"); }
    QPlainTextEdit* description() { return find<QPlainTextEdit>("txtDes"); }

    void fill(const QString& into, const QString& from, const QString& amountText = "10",
              const QString& text = "Movimiento") {
        goesInto()->setCurrentIndex(goesInto()->findText(into));
        comesOutOf()->setCurrentIndex(comesOutOf()->findText(from));
        amount()->setText(amountText);
        description()->setPlainText(text);
    }
};

// Every column as stored.
QString storedRow(TestLedger& ledger, qint64 id) {
    return ledger
        .rows(u"SELECT Id || '|' || Data || '|' || Des || '|' || EntraEn || '|' || SaleDe || '|' "
              u"|| quote(Importe) || '|' || GoI FROM apuntes WHERE Id = %1"_s.arg(id))
        .value(0);
}

} // namespace

class TestFrmApuntesDetalle : public QObject {
    Q_OBJECT
private slots:
    void refusedMovementKeepsTheNumber();
    void numberTakenMeanwhile();
    void busyDatabase_data();
    void busyDatabase();
    void acceptRechecksDateAndAmount_data();
    void acceptRechecksDateAndAmount();
    void editingRecomputesTheClass();
    void entryOfADeletedAccount();
    void unchangedEntryIsWrittenBackExactly_data();
    void unchangedEntryIsWrittenBackExactly();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
};

void TestFrmApuntesDetalle::refusedMovementKeepsTheNumber() {
    Editor e;
    e.ledger.addEntry(7, "01/02/2024", "Anterior", "Caja", "Banco", 5, "T");
    e.openEntry(frmApuntesDetalle::New);
    QCOMPARE(e.find<QLineEdit>("txtId")->text(), QStringLiteral("8"));
    // No account is chosen for the user.
    QCOMPARE(e.goesInto()->currentIndex(), -1);

    // Money from an expense account back into a cash account is no movement.
    e.fill("Banco", "Luz");
    e.click("cmdAceptar");
    QCOMPARE(e.messages.texts(), QStringList{"Este movimiento no se puede hacer"});
    QVERIFY(e.goesInto()->hasFocus());
    QCOMPARE(e.ledger.countEntries(), 1);
    e.fill("Luz", "Banco", "45,10", "Recibo");
    // Enter in the description starts a new line, and both are kept.
    e.description()->moveCursor(QTextCursor::End);
    QTest::keyClick(e.description(), Qt::Key_Return);
    QTest::keyClicks(e.description(), "de la luz");
    e.click("cmdAceptar");
    QVERIFY(!e.window->isVisible());
    QCOMPARE(storedRow(e.ledger, 8), "8|2024-05-17|Recibo\nde la luz|Luz|Banco|45.1|G");
}

// Another program saved an entry under the number shown while the editor was
// open: every save used to fail in English until the user cancelled.
void TestFrmApuntesDetalle::numberTakenMeanwhile() {
    Editor e;
    e.openEntry(frmApuntesDetalle::New);
    QCOMPARE(e.find<QLineEdit>("txtId")->text(), QStringLiteral("1"));
    {
        Database other(e.ledger.databasePath());
        other.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                   " VALUES (1, '2024-05-01', 'Del otro', 'Caja', 'Banco', 3, 'T')",
                   "test");
    }
    e.fill("Luz", "Banco", "20", "Mío");
    e.click("cmdAceptar");
    QVERIFY(e.messages.shown().isEmpty());
    QVERIFY(!e.window->isVisible());
    QCOMPARE(e.find<QLineEdit>("txtId")->text(), QStringLiteral("2"));
    QCOMPARE(loadEntry(e.ledger.db(), 1)->description, QStringLiteral("Del otro"));
    QCOMPARE(loadEntry(e.ledger.db(), 2)->description, QStringLiteral("Mío"));
}

// Another program holds a write on the year for longer than the save waits: the
// user is told, keeps what was typed, and a second "&Aceptar" saves it once.
void TestFrmApuntesDetalle::busyDatabase_data() {
    QTest::addColumn<int>("estado");
    QTest::newRow("new entry") << int(frmApuntesDetalle::New);
    QTest::newRow("edited entry") << int(frmApuntesDetalle::Existing);
}

void TestFrmApuntesDetalle::busyDatabase() {
    QFETCH(int, estado);
    Editor e;
    e.ledger.addEntry(1, "01/02/2024", "Anterior", "Caja", "Banco", 5, "T");
    e.openEntry(estado, 1);
    e.fill("Luz", "Banco", "45,10", "Recibo de la luz");
    auto other = std::make_unique<Database>(e.ledger.databasePath());
    other->exec("BEGIN IMMEDIATE", "test");

    e.click("cmdAceptar");
    QCOMPARE(e.messages.texts(),
             QStringList{"No se puede guardar el apunte: la base de datos está bloqueada por otro "
                         "programa. Inténtelo de nuevo dentro de un momento."});
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.description()->toPlainText(), QStringLiteral("Recibo de la luz"));
    QCOMPARE(e.amount()->text(), QStringLiteral("45,10"));

    other.reset();
    e.messages.clear();
    e.click("cmdAceptar");
    QVERIFY(e.messages.shown().isEmpty());
    QVERIFY(!e.window->isVisible());
    const bool added = estado == frmApuntesDetalle::New;
    QCOMPARE(e.ledger.countEntries(), added ? 2 : 1);
    QCOMPARE(storedRow(e.ledger, added ? 2 : 1),
             added ? "2|2024-05-17|Recibo de la luz|Luz|Banco|45.1|G"
                   : "1|2024-02-01|Recibo de la luz|Luz|Banco|45.1|G");
}

void TestFrmApuntesDetalle::acceptRechecksDateAndAmount_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("31 February") << u"mskData"_s << u"31022024"_s << u"Ponga una fecha correcta"_s;
    QTest::newRow("amount") << u"txtImporte"_s << u"1.2.3,4"_s << u"Ponga un nº correcto"_s;
    QTest::newRow("no description") << u"txtDes"_s << u""_s << u"Ponga una descripción"_s;
}

// A click on "&Aceptar" straight from a bad or empty field must not save it.
void TestFrmApuntesDetalle::acceptRechecksDateAndAmount() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Editor e;
    e.openEntry(frmApuntesDetalle::New);
    e.fill("Luz", "Banco");
    auto* edit = e.window->findChild<QWidget*>(field);
    if (edit == e.description()) {
        e.description()->clear();
    } else {
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, typed);
    }
    e.click("cmdAceptar");
    QTest::qWait(20);
    QCOMPARE(e.messages.texts(), QStringList{message});
    QVERIFY(edit->hasFocus());
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), 0);
}

void TestFrmApuntesDetalle::editingRecomputesTheClass() {
    Editor e;
    e.ledger.addEntry(3, "10/03/2024", "Cena 'Casa Pepe'", "Luz", "Banco", 1234.5, "G");
    // The account changed kind since the entry was saved.
    e.ledger.db().exec("UPDATE Contas SET conTipo = 'C' WHERE conNom = 'Luz'", "test");
    e.openEntry(frmApuntesDetalle::Existing, 3);
    e.click("cmdAceptar");
    QCOMPARE(storedRow(e.ledger, 3),
             QStringLiteral("3|2024-03-10|Cena 'Casa Pepe'|Luz|Banco|1234.5|T"));
    QCOMPARE(e.ledger.countEntries(), 1);
}

void TestFrmApuntesDetalle::entryOfADeletedAccount() {
    Editor e;
    e.ledger.addEntry(4, "10/03/2024", "Gasolina", "Gasolinera", "Banco", 60, "G");
    e.openEntry(frmApuntesDetalle::Existing, 4);
    QCOMPARE(e.goesInto()->currentIndex(), -1);
    QCOMPARE(e.comesOutOf()->currentText(), QStringLiteral("Banco"));
    e.click("cmdAceptar");
    QCOMPARE(e.messages.texts(), QStringList{"Este movimiento no se puede hacer"});
    QCOMPARE(loadEntry(e.ledger.db(), 4)->goesInto, QStringLiteral("Gasolinera"));

    e.goesInto()->setCurrentIndex(e.goesInto()->findText("Agua"));
    e.click("cmdAceptar");
    QVERIFY(!e.window->isVisible());
    QCOMPARE(loadEntry(e.ledger.db(), 4)->goesInto, QStringLiteral("Agua"));
}

void TestFrmApuntesDetalle::unchangedEntryIsWrittenBackExactly_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("shown");
    const QString text = QStringLiteral("Recibo");
    // The amount field takes 12 characters when typed; this is longer.
    QTest::newRow("largest") << 999999999999.99 << text << u"Luz"_s << u"999.999.999.999,99"_s;
    // Written by another program: below the cent, and not shown as such.
    QTest::newRow("beyond the cent") << 1.005 << text << u"Luz"_s << u"1,00"_s;
    // The description field takes 250 characters when typed.
    QTest::newRow("long description, Windows line ends")
        << 60.0 << QString(300, QLatin1Char('a')) + "\r\nfin" << u"Luz"_s << u"60,00"_s;
    QTest::newRow("account name in another case") << 60.0 << text << u"LUZ"_s << u"60,00"_s;
}

void TestFrmApuntesDetalle::unchangedEntryIsWrittenBackExactly() {
    QFETCH(double, amount);
    QFETCH(QString, description);
    QFETCH(QString, goesInto);
    QFETCH(QString, shown);
    Editor e;
    e.ledger.addEntry(5, "10/03/2024", description, goesInto, "Banco", amount, "G");
    const QString before = storedRow(e.ledger, 5);
    e.openEntry(frmApuntesDetalle::Existing, 5);
    QCOMPARE(e.amount()->text(), shown);
    QVERIFY(e.description()->toPlainText().size() >= description.size() - 1);
    e.click("cmdAceptar");
    QVERIFY(e.messages.shown().isEmpty());
    QVERIFY(!e.window->isVisible());
    QCOMPARE(storedRow(e.ledger, 5), before);
    // To the last bit, beyond what quote() shows.
    QCOMPARE(loadEntry(e.ledger.db(), 5)->amount, amount);
}

void TestFrmApuntesDetalle::enterPressesTheFocusedButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("saved");
    QTest::newRow("Enter on Aceptar") << "cmdAceptar" << int(Qt::Key_Return) << 1;
    QTest::newRow("Enter on Cancelar") << "cmdCancelar" << int(Qt::Key_Return) << 0;
    QTest::newRow("Escape anywhere") << "cmdAceptar" << int(Qt::Key_Escape) << 0;
}

void TestFrmApuntesDetalle::enterPressesTheFocusedButton() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, saved);
    Editor e;
    e.openEntry(frmApuntesDetalle::New);
    e.fill("Luz", "Banco");
    auto* focused = e.window->findChild<QPushButton*>(button);
    focused->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focused, static_cast<Qt::Key>(key));
    QVERIFY(!e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), saved);
}

QTEST_MAIN(TestFrmApuntesDetalle)
#include "tst_frmapuntesdetalle.moc"
