// The receipts windows driven through their real widgets, on 17/05/2024: a
// receipt typed into the list, the ones due ticked, corrected and written once,
// and the question at start-up.

#include "receipts/DueReceiptModel.h"
#include "receipts/ReceiptStore.h"
#include "receipts/ReceiptTableModel.h"
#include "receipts/frmRecibos.h"
#include "receipts/frmRecibosPendientes.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), u"dd/MM/yyyy"_s);
}

void addHousehold(TestLedger& ledger) {
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Alquiler"_s, u"G"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
}

// Rent on the 1st, whose amount varies, and electricity on the 31st, both from
// January: by 17 May five rents and four bills are due.
void addReceipts(TestLedger& ledger) {
    saveReceipt(ledger.db(), {0,
                              u"Alquiler"_s,
                              u"Alquiler"_s,
                              u"Banco"_s,
                              std::nullopt,
                              {1, 1, day("01/01/2024"), QDate()}});
    saveReceipt(ledger.db(), {0,
                              u"Recibo de la luz"_s,
                              u"Luz"_s,
                              u"Banco"_s,
                              qint64(4530),
                              {1, 31, day("01/01/2024"), QDate()}});
}

struct Card {
    QString description;
    QString goesInto;
    QString comesOutOf;
    QString amount; // empty: it varies
    int every = 1;
    int day = 1;
    QString first;
    QString last; // empty: none
};

// The receipt window's script: fills the card as typed and accepts it; tells
// whether the card closed.
void fillCard(QDialog& window, const Card& card, bool* closed) {
    QLineEdit* description = window.findChild<QLineEdit*>("txtDes");
    description->setFocus();
    QTest::keyClicks(description, card.description);
    window.findChild<QComboBox*>("cmbEntraEn")->setCurrentText(card.goesInto);
    window.findChild<QComboBox*>("cmbSaleDe")->setCurrentText(card.comesOutOf);
    if (card.amount.isEmpty()) {
        window.findChild<QCheckBox*>("chkVaria")->setChecked(true);
    } else {
        QLineEdit* amount = window.findChild<QLineEdit*>("txtImporte");
        amount->setFocus();
        amount->selectAll();
        QTest::keyClicks(amount, card.amount);
    }
    window.findChild<QComboBox*>("cmbFrecuencia")->setCurrentIndex(card.every - 1);
    window.findChild<QSpinBox*>("txtDia")->setValue(card.day);
    QLineEdit* first = window.findChild<QLineEdit*>("mskDesde");
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, card.first);
    if (!card.last.isEmpty()) {
        window.findChild<QCheckBox*>("chkHasta")->setChecked(true);
        QLineEdit* last = window.findChild<QLineEdit*>("mskHasta");
        last->setFocus();
        last->selectAll();
        QTest::keyClicks(last, card.last);
    }
    QTest::mouseClick(window.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    *closed = window.result() == QDialog::Accepted;
}

struct ListFixture : WindowFixture<frmRecibos> {
    ListFixture() { addHousehold(ledger); }
    QStringList row(int r) const {
        QStringList cells;
        for (int c = ReceiptTableModel::DescriptionColumn; c < ReceiptTableModel::ColumnCount;
             ++c) {
            cells.append(cell(r, c));
        }
        return cells;
    }
    QString info() const { return find<QLabel>(u"lblInfo"_s)->text(); }
};

struct PendingFixture : WindowFixture<frmRecibosPendientes> {
    PendingFixture() {
        addHousehold(ledger);
        addReceipts(ledger);
    }
    QStringList shown() const {
        QStringList lines;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            const bool ticked =
                grid()->model()->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
            lines.append((ticked ? u"[x] "_s : u"[ ] "_s) + cell(r, DueReceiptModel::DueColumn) +
                         u' ' + cell(r, DueReceiptModel::DescriptionColumn) + u' ' +
                         cell(r, DueReceiptModel::DateColumn) + u' ' +
                         cell(r, DueReceiptModel::AmountColumn));
        }
        return lines;
    }
    void select(int row) const {
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(row, DueReceiptModel::DescriptionColumn));
    }
    void retype(const char* field, const QString& text) const {
        QLineEdit* edit = find<QLineEdit>(QString::fromLatin1(field));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

} // namespace

class TestFrmRecibos : public QObject {
    Q_OBJECT
private slots:
    void typedIntoTheList();
    void cardRefuses_data();
    void cardRefuses();
    void editedAndDeleted();
    void tickCorrectAndWrite();
    void tickedWithoutAmount();
    void secondCopyWroteFirst();
    void offeredAtStart_data();
    void offeredAtStart();
};

void TestFrmRecibos::typedIntoTheList() {
    ListFixture f;
    f.open();
    QCOMPARE(f.info(), u"0 recibos. No hay recibos pendientes."_s);
    bool closed = false;
    f.services.dialogs.expect([&](QDialog& card) {
        fillCard(card,
                 {u"Recibo de la luz"_s, u"Luz"_s, u"Banco"_s, u"1.234,5"_s, 2, 31, u"31/01/2024"_s,
                  u"31/12/2024"_s},
                 &closed);
    });
    f.click(u"cmdAnadir"_s);
    QVERIFY(closed);
    QCOMPARE(f.messages.texts(), QStringList{});
    QCOMPARE(f.row(0), (QStringList{u"Recibo de la luz"_s, u"Luz"_s, u"Banco"_s, u"1.234,50"_s,
                                    u"Cada 2 meses"_s, u"31"_s, u"31/01/2024"_s, u"31/12/2024"_s}));
    // 31 January and 31 March; 31 May is still to come.
    QCOMPARE(f.info(), u"1 recibo. Hay 2 recibos pendientes."_s);
    QVERIFY(f.find<QPushButton>(u"cmdPendientes"_s)->isEnabled());
}

void TestFrmRecibos::cardRefuses_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<QString>("comesOutOf");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("message");
    QTest::newRow("no description") << u""_s << u"Luz"_s << u"Banco"_s << u"10"_s << u""_s
                                    << u"Escriba la descripción del recibo"_s;
    QTest::newRow("one account") << u"Luz"_s << u"Luz"_s << u""_s << u"10"_s << u""_s
                                 << u"Elija las dos cuentas del recibo"_s;
    // Money out of an expense account into the bank.
    QTest::newRow("the wrong way round") << u"Luz"_s << u"Banco"_s << u"Luz"_s << u"10"_s << u""_s
                                         << u"Este movimiento no se puede hacer"_s;
    QTest::newRow("salary into an expense") << u"Sueldo"_s << u"Luz"_s << u"Nómina"_s << u"10"_s
                                            << u""_s << u"Este movimiento no se puede hacer"_s;
    QTest::newRow("no amount") << u"Luz"_s << u"Luz"_s << u"Banco"_s << u"0"_s << u""_s
                               << u"Escriba un importe mayor que 0, o marque que varía"_s;
    QTest::newRow("negative amount") << u"Luz"_s << u"Luz"_s << u"Banco"_s << u"-45"_s << u""_s
                                     << u"Escriba un importe mayor que 0, o marque que varía"_s;
    QTest::newRow("ends before it starts")
        << u"Luz"_s << u"Luz"_s << u"Banco"_s << u""_s << u"31/12/2023"_s
        << u"La fecha del último recibo es anterior a la del primero"_s;
}

// Refused with its reason, the card stays open and nothing is saved.
void TestFrmRecibos::cardRefuses() {
    QFETCH(QString, description);
    QFETCH(QString, goesInto);
    QFETCH(QString, comesOutOf);
    QFETCH(QString, amount);
    QFETCH(QString, last);
    ListFixture f;
    f.open();
    bool closed = true;
    f.services.dialogs.expect([&](QDialog& card) {
        fillCard(card, {description, goesInto, comesOutOf, amount, 1, 5, u"05/01/2024"_s, last},
                 &closed);
    });
    f.click(u"cmdAnadir"_s);
    QVERIFY(!closed);
    QTEST(f.messages.texts().value(0), "message");
    QCOMPARE(listReceipts(f.ledger.db()).size(), size_t(0));
}

void TestFrmRecibos::editedAndDeleted() {
    ListFixture f;
    addReceipts(f.ledger);
    f.ledger.addEntry(1, u"02/01/2024"_s, u"Alquiler de enero"_s, u"Alquiler"_s, u"Banco"_s, 700,
                      u"G"_s);
    f.open();
    QCOMPARE(f.info(), u"2 recibos. Hay 9 recibos pendientes."_s);
    QCOMPARE(f.cell(0, ReceiptTableModel::AmountColumn), u"varía"_s);
    f.grid()->setCurrentIndex(f.grid()->model()->index(1, ReceiptTableModel::DescriptionColumn));
    // The electricity becomes quarterly on the 15th, from a date typed over the old one.
    bool closed = false;
    f.services.dialogs.expect([&](QDialog& card) {
        card.findChild<QLineEdit*>("txtDes")->clear();
        fillCard(
            card,
            {u"Luz trimestral"_s, u"Luz"_s, u"Banco"_s, u"120"_s, 3, 15, u"15/01/2024"_s, u""_s},
            &closed);
    });
    f.click(u"cmdModificar"_s);
    QVERIFY(closed);
    QCOMPARE(f.row(1), (QStringList{u"Luz trimestral"_s, u"Luz"_s, u"Banco"_s, u"120,00"_s,
                                    u"Cada 3 meses"_s, u"15"_s, u"15/01/2024"_s, u""_s}));
    // Five rents, and the bills of 15 January and 15 April.
    QCOMPARE(f.info(), u"2 recibos. Hay 7 recibos pendientes."_s);

    f.grid()->setCurrentIndex(f.grid()->model()->index(0, ReceiptTableModel::DescriptionColumn));
    f.messages.answerNext(MessageAnswer::Yes);
    f.click(u"cmdBorrar"_s);
    QCOMPARE(f.messages.texts(),
             (QStringList{u"¿Borrar el recibo «Alquiler»? Los apuntes que ya escribió se quedan."_s,
                          u"PROCESO FINALIZADO"_s}));
    QCOMPARE(f.grid()->model()->rowCount(), 1);
    QCOMPARE(f.ledger.countEntries(), 1);
    QCOMPARE(f.info(), u"1 recibo. Hay 2 recibos pendientes."_s);
}

// January's rent typed, February's bill paid on 1 March, April's left for later:
// what is ticked is written, once.
void TestFrmRecibos::tickCorrectAndWrite() {
    PendingFixture f;
    f.open();
    QCOMPARE(f.find<QLabel>(u"lblInfo"_s)->text(),
             u"Hay 9 recibos pendientes hasta el 17/05/2024. Marque los que se apuntan, corrija "
             "la fecha o el importe si hace falta y pulse Aceptar."_s);
    QCOMPARE(f.shown().mid(0, 4),
             (QStringList{u"[ ] 01/01/2024 Alquiler 01/01/2024 ¿importe?"_s,
                          u"[x] 31/01/2024 Recibo de la luz 31/01/2024 45,30"_s,
                          u"[ ] 01/02/2024 Alquiler 01/02/2024 ¿importe?"_s,
                          u"[x] 29/02/2024 Recibo de la luz 29/02/2024 45,30"_s}));
    f.select(0);
    f.retype("txtImporte", u"700"_s);
    f.select(3);
    f.retype("mskFecha", u"01032024"_s);
    f.retype("txtImporte", u"51,2"_s);
    // April's bill, unticked with the space bar; May's rent was never ticked.
    f.select(7);
    QTest::keyClick(f.grid(), Qt::Key_Space);
    QCOMPARE(f.shown().mid(6), (QStringList{u"[ ] 01/04/2024 Alquiler 01/04/2024 ¿importe?"_s,
                                            u"[ ] 30/04/2024 Recibo de la luz 30/04/2024 45,30"_s,
                                            u"[ ] 01/05/2024 Alquiler 01/05/2024 ¿importe?"_s}));
    f.click(u"cmdAceptar"_s);
    QCOMPARE(f.messages.texts(), QStringList{u"Se han apuntado 4 recibos"_s});
    QCOMPARE(entryLines(f.ledger.db()),
             (QStringList{u"2024-01-01|Alquiler|Alquiler|Banco|70000|G"_s,
                          u"2024-01-31|Recibo de la luz|Luz|Banco|4530|G"_s,
                          u"2024-03-01|Recibo de la luz|Luz|Banco|5120|G"_s,
                          u"2024-03-31|Recibo de la luz|Luz|Banco|4530|G"_s}));
    QCOMPARE(f.window->written(), 4);

    f.open();
    QCOMPARE(f.grid()->model()->rowCount(), 5);
}

// A ticked rent with no amount typed is asked for, and nothing is written.
void TestFrmRecibos::tickedWithoutAmount() {
    PendingFixture f;
    f.open();
    f.select(2);
    QTest::keyClick(f.grid(), Qt::Key_Space);
    f.click(u"cmdAceptar"_s);
    QCOMPARE(f.messages.texts(),
             QStringList{u"Escriba un importe mayor que 0 para «Alquiler» del 01/02/2024"_s});
    QCOMPARE(f.grid()->currentIndex().row(), 2);
    QCOMPARE(f.ledger.countEntries(), 0);
    // Zero is no amount either.
    f.retype("txtImporte", u"0"_s);
    f.click(u"cmdAceptar"_s);
    QCOMPARE(f.messages.texts().size(), 2);
    QCOMPARE(f.ledger.countEntries(), 0);
}

// Another copy wrote January's bill while this window was open: nothing is
// written, the user is told why, and the list shows what is still due.
void TestFrmRecibos::secondCopyWroteFirst() {
    PendingFixture f;
    f.open();
    {
        Database other(f.ledger.databasePath());
        const qint64 light = listReceipts(other)[1].id;
        writeReceipts(other, {{light, day("31/01/2024"), day("31/01/2024"), 4530}});
    }
    f.click(u"cmdAceptar"_s);
    QCOMPARE(f.messages.texts(),
             QStringList{u"No se ha apuntado ningún recibo: el recibo «Recibo de la luz» del "
                         "31/01/2024 ya está apuntado, quizá desde otra copia del programa"_s});
    QCOMPARE(f.ledger.countEntries(), 1);
    QCOMPARE(f.messages.rowsAtMessage, QList<int>{9});
    QCOMPARE(f.grid()->model()->rowCount(), 8);
    QVERIFY(f.window->isVisible());
}

void TestFrmRecibos::offeredAtStart_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("written");
    QTest::newRow("no") << u"2024"_s << false << u"Hay 9 recibos pendientes. ¿Apuntarlos ahora?"_s
                        << 0;
    QTest::newRow("yes") << u"2024"_s << true << u"Hay 9 recibos pendientes. ¿Apuntarlos ahora?"_s
                         << 4;
    // A year already over takes its receipts to 31 December.
    QTest::newRow("last year") << u"2023"_s << false
                               << u"Hay 24 recibos pendientes. ¿Apuntarlos ahora?"_s << 0;
    // Nothing is due yet in a year still to come: nothing is asked.
    QTest::newRow("next year") << u"2025"_s << false << QString() << 0;
}

void TestFrmRecibos::offeredAtStart() {
    QFETCH(QString, year);
    QFETCH(bool, yes);
    QFETCH(int, written);
    WindowFixture<QWidget> f(year);
    addHousehold(f.ledger);
    saveReceipt(f.ledger.db(), {0,
                                u"Alquiler"_s,
                                u"Alquiler"_s,
                                u"Banco"_s,
                                std::nullopt,
                                {1, 1, day("01/01/2023"), QDate()}});
    saveReceipt(f.ledger.db(), {0,
                                u"Recibo de la luz"_s,
                                u"Luz"_s,
                                u"Banco"_s,
                                qint64(4530),
                                {1, 31, day("01/01/2023"), QDate()}});
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    f.services.dialogs.expect([](QDialog& pending) {
        QTest::mouseClick(pending.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    QWidget owner;
    QCOMPARE(offerPendingReceipts(f.ledger.state(), f.services.services, owner), written);
    QFETCH(QString, question);
    QCOMPARE(f.messages.texts().value(0), question);
    QCOMPARE(f.ledger.countEntries(), written);
}

QTEST_MAIN(TestFrmRecibos)
#include "tst_frmrecibos.moc"
