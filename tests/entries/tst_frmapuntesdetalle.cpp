// The entry editor driven through its widgets: the movement rule, the number a
// new entry gets, and the checks that keep invalid dates and amounts out.

#include "entries/frmApuntesDetalle.h"
#include "store/EntryStore.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;
using velmora::test::TestServices;

namespace {

struct Editor {
    TestLedger ledger;
    RecordingMessageService messages;
    TestServices services{messages};
    std::unique_ptr<frmApuntesDetalle> window;

    Editor() {
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Paga extra", "I");
        ledger.addAccount("Banco", "C");
        ledger.addAccount("Caja", "C");
        ledger.addAccount("Luz", "G");
        ledger.addAccount("Agua", "G");
        ledger.addAccount("Sin tipo", QString());
    }

    void open(int estado, qint64 id = 0) {
        window = std::make_unique<frmApuntesDetalle>(ledger.state(), services.services);
        window->setEstado(estado);
        window->setId(id);
        QVERIFY(test::showForInput(*window));
    }

    template <typename T> T* find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* goesInto() { return find<QComboBox>("cmbEntraEn"); }
    QComboBox* comesOutOf() { return find<QComboBox>("cmbSaleDe"); }
    QLineEdit* amount() { return find<QLineEdit>("txtImporte"); }
    QLineEdit* date() { return find<QLineEdit>("mskData"); }
    QPlainTextEdit* description() { return find<QPlainTextEdit>("txtDes"); }

    void fill(const QString& into, const QString& from, const QString& amountText = "10",
              const QString& text = "Movimiento") {
        goesInto()->setCurrentIndex(goesInto()->findText(into));
        comesOutOf()->setCurrentIndex(comesOutOf()->findText(from));
        amount()->setText(amountText);
        description()->setPlainText(text);
    }
    void accept() { QTest::mouseClick(find<QPushButton>("cmdAceptar"), Qt::LeftButton); }
    void type(QWidget* field, const QString& keys) {
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, keys);
    }
};

} // namespace

class TestFrmApuntesDetalle : public QObject {
    Q_OBJECT
private slots:
    void movementRule_data();
    void movementRule();
    void newEntryNumberSurvivesARefusal();
    void refusedThenCancelledWritesNothing();
    void amountTexts_data();
    void amountTexts();
    void invalidDateOnLeaving();
    void acceptRechecksDateAndAmount_data();
    void acceptRechecksDateAndAmount();
    void descriptionIsRequiredAndKeepsItsLines();
    void editingRecomputesTheClass();
    void entryOfADeletedAccount();
};

void TestFrmApuntesDetalle::movementRule_data() {
    QTest::addColumn<QString>("into");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("movementClass"); // empty: refused
    // Rows: the kind the money goes into; columns: the kind it comes out of.
    QTest::newRow("I from I") << "Nómina"
                              << "Paga extra"
                              << "T";
    QTest::newRow("I from G") << "Nómina"
                              << "Luz"
                              << "";
    QTest::newRow("I from C") << "Nómina"
                              << "Banco"
                              << "";
    QTest::newRow("G from I") << "Luz"
                              << "Nómina"
                              << "";
    QTest::newRow("G from G") << "Luz"
                              << "Agua"
                              << "T";
    QTest::newRow("G from C") << "Luz"
                              << "Banco"
                              << "G";
    QTest::newRow("C from I") << "Banco"
                              << "Nómina"
                              << "I";
    QTest::newRow("C from G") << "Banco"
                              << "Luz"
                              << "";
    QTest::newRow("C from C") << "Caja"
                              << "Banco"
                              << "T";
    QTest::newRow("same account") << "Caja"
                                  << "Caja"
                                  << "T";
    QTest::newRow("nothing chosen") << ""
                                    << "Banco"
                                    << "";
    QTest::newRow("account without kind") << "Sin tipo"
                                          << "Banco"
                                          << "";
}

void TestFrmApuntesDetalle::movementRule() {
    QFETCH(QString, into);
    QFETCH(QString, from);
    QFETCH(QString, movementClass);
    Editor e;
    e.open(frmApuntesDetalle::New);
    e.fill(into, from);
    e.accept();
    if (movementClass.isEmpty()) {
        QCOMPARE(e.messages.texts(), QStringList{"Este movimiento no se puede hacer"});
        QVERIFY(e.goesInto()->hasFocus());
        QVERIFY(e.window->isVisible());
        QCOMPARE(e.ledger.countEntries(), 0);
        return;
    }
    QVERIFY(e.messages.shown().isEmpty());
    QVERIFY(!e.window->isVisible());
    const std::optional<Entry> saved = loadEntry(e.ledger.db(), 1);
    QVERIFY(saved.has_value());
    QCOMPARE(saved->movementClass, movementClass);
    QCOMPARE(saved->goesInto, into);
    QCOMPARE(saved->comesOutOf, from);
    QCOMPARE(saved->date, QDate(2024, 5, 17));
}

void TestFrmApuntesDetalle::newEntryNumberSurvivesARefusal() {
    Editor e;
    e.ledger.addEntry(7, "01/02/2024", "Anterior", "Caja", "Banco", 5, "T");
    e.open(frmApuntesDetalle::New);
    QCOMPARE(e.find<QLineEdit>("txtId")->text(), QStringLiteral("8"));
    QCOMPARE(e.date()->text(), QStringLiteral("17/05/2024"));
    // The lists hold every account in alphabetical order, nothing chosen.
    QCOMPARE(e.goesInto()->count(), 7);
    QCOMPARE(e.goesInto()->itemText(0), QStringLiteral("Agua"));
    QCOMPARE(e.goesInto()->currentIndex(), -1);

    e.fill("Banco", "Luz");
    e.accept();
    QCOMPARE(e.messages.texts(), QStringList{"Este movimiento no se puede hacer"});
    e.fill("Luz", "Banco", "45,10", "Recibo");
    e.accept();
    QVERIFY(!e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), 2);
    QCOMPARE(loadEntry(e.ledger.db(), 8)->amount, 45.1);
}

void TestFrmApuntesDetalle::refusedThenCancelledWritesNothing() {
    Editor e;
    e.open(frmApuntesDetalle::New);
    e.fill("Banco", "Luz");
    e.accept();
    QTest::mouseClick(e.find<QPushButton>("cmdCancelar"), Qt::LeftButton);
    QVERIFY(!e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), 0);

    // Escape cancels too.
    e.open(frmApuntesDetalle::New);
    e.fill("Luz", "Banco");
    QTest::keyClick(e.window.get(), Qt::Key_Escape);
    QVERIFY(!e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), 0);
}

void TestFrmApuntesDetalle::amountTexts_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("stored"); // NaN: refused
    const double refused = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("point types a comma") << "1234.5"
                                         << "1234,5" << 1234.5;
    QTest::newRow("letters") << "abc"
                             << "abc" << refused;
}

void TestFrmApuntesDetalle::amountTexts() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    Editor e;
    e.open(frmApuntesDetalle::New);
    e.fill("Luz", "Banco");
    e.type(e.amount(), typed);
    QCOMPARE(e.amount()->text(), shown);
    QTest::keyClick(e.amount(), Qt::Key_Return);
    if (std::isnan(stored)) {
        QTRY_COMPARE(e.messages.texts(), QStringList{"Ponga un nº correcto"});
        QVERIFY(e.amount()->hasFocus());
        return;
    }
    QVERIFY(e.description()->hasFocus());
    e.accept();
    QCOMPARE(loadEntry(e.ledger.db(), 1)->amount, stored);
}

void TestFrmApuntesDetalle::invalidDateOnLeaving() {
    Editor e;
    e.open(frmApuntesDetalle::New);
    QVERIFY(e.date()->hasFocus());
    QCOMPARE(e.date()->inputMask(), QStringLiteral("99/99/9999;_"));
    QTest::keyClicks(e.date(), "31022024");
    QTest::keyClick(e.date(), Qt::Key_Return);
    QTRY_COMPARE(e.messages.texts(), QStringList{"Ponga una fecha correcta"});
    QVERIFY(e.date()->hasFocus());

    e.date()->selectAll();
    QTest::keyClicks(e.date(), "29022024");
    QTest::keyClick(e.date(), Qt::Key_Return);
    QVERIFY(e.goesInto()->hasFocus());
    // Once left valid, the date reads as plain text.
    QCOMPARE(e.date()->inputMask(), QString());
    QCOMPARE(e.date()->text(), QStringLiteral("29/02/2024"));
    QCOMPARE(e.messages.shown().size(), 1);
}

void TestFrmApuntesDetalle::acceptRechecksDateAndAmount_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("date with blanks") << "mskData"
                                      << "1505"
                                      << "Ponga una fecha correcta";
    QTest::newRow("31 February") << "mskData"
                                 << "31022024"
                                 << "Ponga una fecha correcta";
    QTest::newRow("amount") << "txtImporte"
                            << "1.2.3,4"
                            << "Ponga un nº correcto";
}

// A click on "&Aceptar" straight from a bad field must not save it.
void TestFrmApuntesDetalle::acceptRechecksDateAndAmount() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Editor e;
    e.open(frmApuntesDetalle::New);
    e.fill("Luz", "Banco");
    auto* edit = e.window->findChild<QLineEdit*>(field);
    e.type(edit, typed);
    e.accept();
    QTest::qWait(20);
    QCOMPARE(e.messages.texts(), QStringList{message});
    QVERIFY(edit->hasFocus());
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.ledger.countEntries(), 0);
}

void TestFrmApuntesDetalle::descriptionIsRequiredAndKeepsItsLines() {
    Editor e;
    e.open(frmApuntesDetalle::New);
    e.fill("Luz", "Banco", "10", "");
    e.accept();
    QCOMPARE(e.messages.texts(), QStringList{"Ponga una descripción"});
    QVERIFY(e.description()->hasFocus());

    // Enter starts a new line; more than 250 characters never get in.
    e.description()->insertPlainText(QStringLiteral("Primera línea"));
    QTest::keyClick(e.description(), Qt::Key_Return);
    QTest::keyClicks(e.description(), "segunda");
    QCOMPARE(e.description()->toPlainText(), QStringLiteral("Primera línea\nsegunda"));
    e.accept();
    QCOMPARE(loadEntry(e.ledger.db(), 1)->description, QStringLiteral("Primera línea\nsegunda"));

    e.open(frmApuntesDetalle::New);
    e.fill("Luz", "Banco", "10", QString(300, QLatin1Char('x')));
    QCOMPARE(e.description()->toPlainText().size(), 250);
}

void TestFrmApuntesDetalle::editingRecomputesTheClass() {
    Editor e;
    e.ledger.addEntry(3, "10/03/2024", "Cena 'Casa Pepe'", "Luz", "Banco", 1234.5, "G");
    // The account changed kind since the entry was saved.
    e.ledger.db().exec("UPDATE Contas SET conTipo = 'C' WHERE conNom = 'Luz'", "test");
    e.open(frmApuntesDetalle::Existing, 3);
    QCOMPARE(e.find<QLineEdit>("txtId")->text(), QStringLiteral("3"));
    QCOMPARE(e.date()->text(), QStringLiteral("10/03/2024"));
    // Shown grouped, and read back the same on saving.
    QCOMPARE(e.amount()->text(), QStringLiteral("1.234,50"));
    QCOMPARE(e.goesInto()->currentText(), QStringLiteral("Luz"));
    QCOMPARE(e.description()->toPlainText(), QStringLiteral("Cena 'Casa Pepe'"));
    e.accept();
    const std::optional<Entry> saved = loadEntry(e.ledger.db(), 3);
    QCOMPARE(saved->movementClass, QStringLiteral("T"));
    QCOMPARE(saved->amount, 1234.5);
    QCOMPARE(e.ledger.countEntries(), 1);
}

void TestFrmApuntesDetalle::entryOfADeletedAccount() {
    Editor e;
    e.ledger.addEntry(4, "10/03/2024", "Gasolina", "Gasolinera", "Banco", 60, "G");
    e.open(frmApuntesDetalle::Existing, 4);
    QCOMPARE(e.goesInto()->currentIndex(), -1);
    QCOMPARE(e.comesOutOf()->currentText(), QStringLiteral("Banco"));
    e.accept();
    QCOMPARE(e.messages.texts(), QStringList{"Este movimiento no se puede hacer"});
    QCOMPARE(loadEntry(e.ledger.db(), 4)->goesInto, QStringLiteral("Gasolinera"));

    e.goesInto()->setCurrentIndex(e.goesInto()->findText("Agua"));
    e.accept();
    QVERIFY(!e.window->isVisible());
    QCOMPARE(loadEntry(e.ledger.db(), 4)->goesInto, QStringLiteral("Agua"));
}

QTEST_MAIN(TestFrmApuntesDetalle)
#include "tst_frmapuntesdetalle.moc"
