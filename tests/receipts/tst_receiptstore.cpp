#include "receipts/ReceiptStore.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "ui/AppState.h"
#include "years/YearDatabase.h"

#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

QDate day(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), u"dd/MM/yyyy"_s);
}

// "dd/MM/yyyy description" of each due receipt.
QStringList shown(const std::vector<DueReceipt>& due) {
    QStringList lines;
    for (const DueReceipt& receipt : due) {
        lines.append(receipt.due.toString(u"dd/MM/yyyy"_s) + u' ' + receipt.receipt.description);
    }
    return lines;
}

// Rent on the 1st, whose amount varies, and electricity on the 31st.
struct Household {
    TestLedger ledger;
    qint64 rent = 0;
    qint64 light = 0;
    Household() {
        ledger.addAccount(u"Banco"_s, u"C"_s);
        ledger.addAccount(u"Alquiler"_s, u"G"_s);
        ledger.addAccount(u"Luz"_s, u"G"_s);
        rent = saveReceipt(ledger.db(), {0,
                                         u"Alquiler"_s,
                                         u"Alquiler"_s,
                                         u"Banco"_s,
                                         std::nullopt,
                                         {1, 1, day("01/01/2024"), QDate()}});
        light = saveReceipt(ledger.db(), {0,
                                          u"Recibo de la luz"_s,
                                          u"Luz"_s,
                                          u"Banco"_s,
                                          qint64(4530),
                                          {1, 31, day("01/01/2024"), QDate()}});
    }
};

} // namespace

class TestReceiptStore : public QObject {
    Q_OBJECT
private slots:
    void savedAsTyped();
    void dueThenWrittenOnce();
    void changedAfterSomeWereWritten();
    void secondCopyWritesNothing();
    void carriedIntoNextYearAndRenamed();
    void yearWindowTakesThem();
    void refusedWritesNothing_data();
    void refusedWritesNothing();
};

// The largest amount, "varies" and a last date come back as saved; a receipt
// another copy removed is not saved again in silence.
void TestReceiptStore::savedAsTyped() {
    Household h;
    Receipt ibi{
        0,          u"IBI «casa» 'centro'"_s, u"Alquiler"_s,
        u"Banco"_s, kMaxAmountCents,          {12, 30, day("30/06/2024"), day("30/06/2030")}};
    ibi.id = saveReceipt(h.ledger.db(), ibi);
    const std::vector<Receipt> saved = listReceipts(h.ledger.db());
    QCOMPARE(saved.size(), size_t(3));
    QCOMPARE(saved[0].cents, std::nullopt);
    const Receipt& back = saved[2];
    QCOMPARE(back.description, ibi.description);
    QCOMPARE(back.cents, ibi.cents);
    QCOMPARE(back.schedule.everyMonths, 12);
    QCOMPARE(back.schedule.last, day("30/06/2030"));

    removeReceipt(h.ledger.db(), ibi.id);
    try {
        saveReceipt(h.ledger.db(), ibi);
        QFAIL("a removed receipt was saved");
    } catch (const DbError& error) {
        QCOMPARE(error.detail(),
                 u"el recibo ya no existe: otra copia del programa lo ha borrado"_s);
    }
    QCOMPARE(listReceipts(h.ledger.db()).size(), size_t(2));
}

void TestReceiptStore::dueThenWrittenOnce() {
    Household h;
    QCOMPARE(shown(dueReceipts(h.ledger.db(), {day("01/01/2024"), day("29/02/2024")})),
             (QStringList{u"01/01/2024 Alquiler"_s, u"31/01/2024 Recibo de la luz"_s,
                          u"01/02/2024 Alquiler"_s, u"29/02/2024 Recibo de la luz"_s}));
    // January's rent paid on the 2nd, with its amount typed.
    const std::vector<qint64> ids =
        writeReceipts(h.ledger.db(), {{h.rent, day("01/01/2024"), day("02/01/2024"), 70000},
                                      {h.light, day("31/01/2024"), day("31/01/2024"), 4530}});
    QCOMPARE(ids.size(), size_t(2));
    QCOMPARE(entryLines(h.ledger.db()),
             (QStringList{u"2024-01-02|Alquiler|Alquiler|Banco|70000|G"_s,
                          u"2024-01-31|Recibo de la luz|Luz|Banco|4530|G"_s}));
    QCOMPARE(shown(dueReceipts(h.ledger.db(), {day("01/01/2024"), day("29/02/2024")})),
             (QStringList{u"01/02/2024 Alquiler"_s, u"29/02/2024 Recibo de la luz"_s}));
    // The same month again writes nothing, not even February's rent beside it.
    QVERIFY_THROWS_EXCEPTION(
        DbError,
        writeReceipts(h.ledger.db(), {{h.rent, day("01/02/2024"), day("01/02/2024"), 70000},
                                      {h.light, day("31/01/2024"), day("31/01/2024"), 4530}}));
    QCOMPARE(h.ledger.countEntries(), 2);
}

// Moved from the 31st to the 15th after January was written: January is not
// offered again on its new day.
void TestReceiptStore::changedAfterSomeWereWritten() {
    Household h;
    writeReceipts(h.ledger.db(), {{h.light, day("31/01/2024"), day("31/01/2024"), 4530}});
    Receipt light = listReceipts(h.ledger.db())[1];
    light.schedule.day = 15;
    saveReceipt(h.ledger.db(), light);
    removeReceipt(h.ledger.db(), h.rent);
    QCOMPARE(shown(dueReceipts(h.ledger.db(), {day("01/01/2024"), day("31/03/2024")})),
             (QStringList{u"15/02/2024 Recibo de la luz"_s, u"15/03/2024 Recibo de la luz"_s}));
}

// Two copies of the program both offer January's electricity; the second to
// accept finds it written and writes nothing.
void TestReceiptStore::secondCopyWritesNothing() {
    Household h;
    Database other(h.ledger.databasePath());
    QCOMPARE(dueReceipts(other, {day("01/01/2024"), day("31/01/2024")}).size(), size_t(2));
    writeReceipts(h.ledger.db(), {{h.light, day("31/01/2024"), day("31/01/2024"), 4530}});
    try {
        writeReceipts(other, {{h.rent, day("01/01/2024"), day("01/01/2024"), 70000},
                              {h.light, day("31/01/2024"), day("31/01/2024"), 4530}});
        QFAIL("the second copy wrote January twice");
    } catch (const DbError& error) {
        QCOMPARE(error.detail(), u"el recibo «Recibo de la luz» del 31/01/2024 ya está apuntado, "
                                 "quizá desde otra copia del programa"_s);
    }
    QCOMPARE(h.ledger.countEntries(), 1);
}

// The new year takes the receipts that run on, under the accounts' new names,
// and offers its own months only.
void TestReceiptStore::carriedIntoNextYearAndRenamed() {
    Household h;
    h.ledger.addAccount(u"Agua"_s, u"G"_s);
    saveReceipt(h.ledger.db(), {0,
                                u"Agua del primer semestre"_s,
                                u"Agua"_s,
                                u"Banco"_s,
                                qint64(2000),
                                {1, 5, day("05/01/2024"), day("05/06/2024")}});
    writeReceipts(h.ledger.db(), {{h.light, day("31/01/2024"), day("31/01/2024"), 4530}});
    updateAccount(h.ledger.db(), u"banco"_s, {u"Caja Rural"_s, u"Cuenta de la casa"_s, u"C"_s});

    TestLedger next;
    next.addAccount(u"Caja Rural"_s, u"C"_s);
    next.addAccount(u"Alquiler"_s, u"G"_s);
    next.addAccount(u"Luz"_s, u"G"_s);
    carryReceipts(h.ledger.db(), u"2024"_s, next.db());
    const std::vector<Receipt> carried = listReceipts(next.db());
    QCOMPARE(carried.size(), size_t(2));
    QCOMPARE(carried[1].comesOutOf, u"Caja Rural"_s);
    QCOMPARE(carried[1].cents, qint64(4530));
    QCOMPARE(shown(dueReceipts(next.db(), {day("01/01/2025"), day("28/02/2025")})),
             (QStringList{u"01/01/2025 Alquiler"_s, u"31/01/2025 Recibo de la luz"_s,
                          u"01/02/2025 Alquiler"_s, u"28/02/2025 Recibo de la luz"_s}));
    writeReceipts(next.db(), {{carried[1].id, day("31/01/2025"), day("31/01/2025"), 4600}});
    QCOMPARE(entryLines(next.db()),
             QStringList{u"2025-01-31|Recibo de la luz|Luz|Caja Rural|4600|G"_s});
}

// The year window's new year takes the receipts with the balances, once each,
// and none of last year's written months, though its file starts as a copy.
void TestReceiptStore::yearWindowTakesThem() {
    Household h;
    writeReceipts(h.ledger.db(), {{h.light, day("31/12/2024"), day("31/12/2024"), 4530}});
    YearDatabase(h.ledger.session()).create(u"2025"_s, h.ledger.state().newYearStep);
    QCOMPARE(h.ledger.session().year(), u"2025"_s);
    const std::vector<Receipt> carried = listReceipts(h.ledger.db());
    QCOMPARE(carried.size(), size_t(2));
    QCOMPARE(carried[0].description, u"Alquiler"_s);
    QCOMPARE(carried[1].schedule.day, 31);
    QCOMPARE(h.ledger.rows(u"SELECT COUNT(*) FROM recibosescritos"_s), QStringList{u"0"_s});
}

void TestReceiptStore::refusedWritesNothing_data() {
    QTest::addColumn<QString>("goesInto");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("detail");
    // Money out of an expense account into the bank: no movement the ledger allows.
    QTest::newRow("a pair the rule refuses")
        << u"Banco"_s << qint64(100)
        << u"el recibo «Raro» no es un movimiento que se pueda apuntar entre Banco y Alquiler"_s;
    QTest::newRow("no amount") << u"Luz"_s << qint64(0)
                               << u"la fecha o el importe de un recibo no valen"_s;
    QTest::newRow("past the largest amount")
        << u"Luz"_s << kMaxAmountCents + 1 << u"la fecha o el importe de un recibo no valen"_s;
}

// A write that cannot be made leaves the rows before it unwritten too.
void TestReceiptStore::refusedWritesNothing() {
    QFETCH(QString, goesInto);
    QFETCH(qint64, cents);
    Household h;
    const qint64 odd = saveReceipt(
        h.ledger.db(),
        {0, u"Raro"_s, goesInto, u"Alquiler"_s, std::nullopt, {1, 10, day("01/01/2024"), {}}});
    try {
        writeReceipts(h.ledger.db(), {{h.light, day("31/01/2024"), day("31/01/2024"), 4530},
                                      {odd, day("10/01/2024"), day("10/01/2024"), cents}});
        QFAIL("the write went through");
    } catch (const DbError& error) {
        QTEST(error.detail(), "detail");
    }
    QCOMPARE(h.ledger.countEntries(), 0);
    QCOMPARE(dueReceipts(h.ledger.db(), {day("01/01/2024"), day("31/01/2024")}).size(), size_t(3));
}

QTEST_GUILESS_MAIN(TestReceiptStore)
#include "tst_receiptstore.moc"
