// What an import decides and writes, and what the bank's movements are matched
// with, over a real ledger and without a window.

#include "entries/EntryList.h"
#include "exchange/AccountProposals.h"
#include "exchange/Csv.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportPlan.h"
#include "exchange/Norma43.h"
#include "store/AccountStore.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QBuffer>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

void addAccounts(TestLedger& ledger) {
    ledger.addAccount(QStringLiteral("Banco"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Luz"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("Supermercado"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("Nómina"), QStringLiteral("I"));
}

struct Row {
    int line;
    QDate date;
    QString description;
    QString into;
    QString outOf;
    qint64 cents;
};

ImportedRows rowsOf(const QList<Row>& list) {
    ImportedRows rows;
    for (const Row& row : list) {
        rows.append(row.line, row.date, row.description, row.into, row.outOf, row.cents);
    }
    return rows;
}

QStringList refusals(const ImportPlan& plan) {
    QStringList lines;
    for (const RefusedLine& line : plan.refused.kept()) {
        lines.append(QStringLiteral("%1: %2").arg(line.line).arg(line.reason));
    }
    return lines;
}

} // namespace

class TestImportPlan : public QObject {
    Q_OBJECT
private slots:
    void checksEveryRowAsTheEditor();
    void writesAllOrNothing();
    void exportThenImportGivesTheSameYear();
    void proposalsLearnFromTheYear_data();
    void proposalsLearnFromTheYear();
    void bankMovementsGoThroughTheRule();
    void refusedLinesPastAThousandAreCounted();
};

void TestImportPlan::checksEveryRowAsTheEditor() {
    TestLedger ledger;
    addAccounts(ledger);
    ledger.addEntry(1, "10/02/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
    const QDate day(2024, 2, 10);
    const ImportedRows rows = rowsOf({
        {2, day, "Recibo de la luz", "luz", "BANCO", 4550}, // in the year already
        {3, day, "Recibo de la luz", "Luz", "Banco", 4550}, // a second one is not
        {4, day, "Compra", "Supermercado", "Caja", -1999},  // a refund: negative amounts go in
        {5, QDate(2023, 12, 31), "Fin de año", "Luz", "Caja", 100},
        {6, day, "   ", "Luz", "Caja", 100},
        {7, day, "Sin cuenta", "", "Caja", 100},
        {8, day, "Al revés", "Nómina", "Luz", 100},
        {9, day, "Cuota", "Gimnasio", "Banco", 3000},
        {10, day, "Otra cuota", "GIMNASIO", "Banco", 3000},
        {11, day, "Regalo", "Amigos", "Gimnasio", 500},
    });

    const ImportPlan plan = planImport(ledger.db(), rows, 2024);
    QCOMPARE(plan.accepted.size(), 3);
    QCOMPARE(plan.accepted[0].duplicate, true);
    QCOMPARE(plan.accepted[1].duplicate, false);
    QCOMPARE(plan.duplicates(), 1);
    // Written as the year names its accounts, classed by the movement rule.
    QCOMPARE(plan.goesInto(plan.accepted[0]), QStringLiteral("Luz"));
    QCOMPARE(plan.comesOutOf(plan.accepted[0]), QStringLiteral("Banco"));
    QCOMPARE(plan.accepted[0].movementClass, 'G');
    QCOMPARE(rows.cents(plan.accepted[2].row), -1999);

    QCOMPARE(refusals(plan),
             QStringList({"5: la fecha 31/12/2023 no es del año 2024", "6: falta la descripción",
                          "7: falta la cuenta «Entra en»",
                          "8: este movimiento no se puede hacer, de «Luz» a «Nómina»"}));
    QCOMPARE(plan.waiting.size(), 3);
    QCOMPARE(plan.unknownAccounts.size(), 2);
    QCOMPARE(plan.unknownAccounts[0].name, QStringLiteral("Gimnasio"));
    QCOMPARE(plan.unknownAccounts[0].rows, 3);
    QCOMPARE(plan.unknownAccounts[1].name, QStringLiteral("Amigos"));

    // Gimnasio created as an expense: its two rows pass, the gift still waits for Amigos.
    const ImportPlan decided = planImport(ledger.db(), rows, 2024, {{"Gimnasio", "G"}});
    QCOMPARE(decided.accepted.size(), 5);
    QCOMPARE(decided.waiting.size(), 1);
    QCOMPARE(decided.unknownAccounts.size(), 1);
}

// " Supermercado " once became a new account beside "Supermercado", with no
// concept, which the account card then refused to save.
void TestImportPlan::writesAllOrNothing() {
    TestLedger ledger;
    addAccounts(ledger);
    ledger.addAccount(QStringLiteral(" Hucha"), QStringLiteral("C")); // as the card saved it
    ledger.addEntry(7, "10/02/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
    const QDate day(2024, 3, 1);
    const ImportedRows rows =
        rowsOf({{1, day, "Recibo de la luz", " Supermercado ", "banco  ", 4550},
                {2, QDate(2024, 2, 10), "Recibo de la luz", "Luz", "Banco", 4550},
                {3, day, "Ahorro", "Hucha", "Banco", 500},
                {4, day, "Cuota", " Gimnasio", "Banco", 3000},
                {5, day, "Cuota", "gimnasio ", "Banco", 3000}});
    const ImportPlan undecided = planImport(ledger.db(), rows, 2024);
    QCOMPARE(undecided.unknownAccounts.size(), 1);
    QCOMPARE(undecided.unknownAccounts[0].name, QStringLiteral("Gimnasio"));
    QCOMPARE(undecided.unknownAccounts[0].rows, 2);
    const NewAccounts created{{"Gimnasio", "G"}};
    const ImportPlan plan = planImport(ledger.db(), rows, 2024, created);
    const QStringList before = test::entryLines(ledger.db(), "Id", true);

    // A failure at the second row leaves neither the first row nor the new account.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             writeImport(ledger.db(), rows, plan, created, false, [](int written) {
                                 if (written == 2) {
                                     throw std::runtime_error("disco lleno");
                                 }
                             }));
    QCOMPARE(test::entryLines(ledger.db(), "Id", true), before);
    QVERIFY(!accountNameTaken(ledger.db(), QStringLiteral("Gimnasio")));

    const ImportResult result = writeImport(ledger.db(), rows, plan, created, false);
    QCOMPARE(result.written, 4);
    QCOMPARE(result.accountsCreated, 1);
    // Written as the year names its accounts, " Hucha" included.
    QCOMPARE(test::entryLines(ledger.db(), "Id", true),
             before + QStringList({"8|2024-03-01|Recibo de la luz|Supermercado|Banco|4550|G",
                                   "9|2024-03-01|Ahorro| Hucha|Banco|500|T",
                                   "10|2024-03-01|Cuota|Gimnasio|Banco|3000|G",
                                   "11|2024-03-01|Cuota|Gimnasio|Banco|3000|G"}));
    QCOMPARE(accountKind(ledger.db(), QStringLiteral("gimnasio")), QStringLiteral("G"));
    QCOMPARE(loadAccount(ledger.db(), QStringLiteral("Gimnasio"))->name,
             QStringLiteral("Gimnasio"));
    QCOMPARE(loadAccount(ledger.db(), QStringLiteral("Gimnasio"))->description,
             kImportedAccountConcept);
}

void TestImportPlan::exportThenImportGivesTheSameYear() {
    TestLedger from;
    addAccounts(from);
    TestLedger into;
    addAccounts(into);
    from.addEntry(1, "01/01/2024", "Año nuevo; \"fiesta\"\r\ncon salto", "Caja", "Banco", 0.01,
                  "T");
    from.addEntry(2, "15/06/2024", "Piso", "Luz", "Banco", 999999999999.99, "G");
    from.addEntry(3, "31/12/2024", "  Devolución  ", "Luz", "Caja", -0.01, "G");
    from.addEntry(4, "31/12/2024", QString(300, QChar(0xf1)), "Banco", "Nómina", 1234.56, "I");
    // Texts a spreadsheet would run, the lowest amount and one binary fractions
    // round; the last day keeps the numbers in the order of the file.
    from.addAccount(QStringLiteral("+Ahorro"), QStringLiteral("C"));
    into.addAccount(QStringLiteral("+Ahorro"), QStringLiteral("C"));
    from.addEntry(5, "31/12/2024", "=HIPERVINCULO(\"http://x\")", "+Ahorro", "Banco", -20.5, "T");
    from.addEntry(6, "31/12/2024", "'citado", "Caja", "+Ahorro", 0.1 + 0.2, "T");
    from.addEntry(7, "31/12/2024", "@usuario -1", "Luz", "Caja", -999999999999.99, "G");
    from.addEntry(8, "31/12/2024", "-\t=1", "Luz", "Caja", 1, "G");
    QBuffer file;
    QVERIFY(file.open(QIODevice::ReadWrite));
    const CsvExport exported =
        exportCsv(from.db(), {{}, {}, {}, QDate(2024, 1, 1), QDate(2024, 12, 31)}, file);
    QCOMPARE(exported.written, 8);
    QVERIFY(exported.complete);

    file.seek(0);
    const CsvRead read = readCsv(file);
    QVERIFY(read.refused.isEmpty());
    const ImportPlan plan = planImport(into.db(), read.rows, 2024);
    QCOMPARE(plan.accepted.size(), qsizetype(exported.written));
    writeImport(into.db(), read.rows, plan, {}, false);
    QCOMPARE(test::entryLines(into.db(), "Id", true), test::entryLines(from.db(), "Id", true));
}

void TestImportPlan::proposalsLearnFromTheYear_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("moneyOut");
    QTest::addColumn<QString>("proposed");

    QTest::newRow("the same words, the latest wins") << "MERCADONA" << true << "Supermercado";
    QTest::newRow("most words in common")
        << "COMPRA TARJ. 4012 MERCADONA VALENCIA" << true << "Supermercado";
    QTest::newRow("accents and case do not count") << "recibo iberdrola LUZ" << true << "Luz";
    QTest::newRow("money in comes from the other side") << "NOMINA EMPRESA SL" << false << "Nómina";
    QTest::newRow("never the bank account itself") << "Traspaso ahorro" << true << "";
    QTest::newRow("nothing alike") << "Farmacia Central" << true << "";
    QTest::newRow("numbers alone say nothing") << "1234 5678" << true << "";
}

void TestImportPlan::proposalsLearnFromTheYear() {
    QFETCH(QString, description);
    QFETCH(bool, moneyOut);
    QFETCH(QString, proposed);
    TestLedger ledger;
    ledger.addEntry(1, "02/01/2024", "Mercadona", "Caja", "Banco", 50, "T");
    ledger.addEntry(2, "05/01/2024", "Mercadona", "Supermercado", "Banco", 50, "G");
    ledger.addEntry(3, "06/01/2024", "Compra Mercadona Valencia", "Supermercado", "Caja", 20, "G");
    ledger.addEntry(4, "07/01/2024", "Recibo Iberdrola luz", "Luz", "Banco", 60, "G");
    ledger.addEntry(5, "31/01/2024", "Nómina empresa", "Banco", "Nómina", 1500, "I");
    ledger.addEntry(6, "01/02/2024", "Traspaso ahorro", "Banco", "Caja", 100, "T");
    const AccountProposals proposals(ledger.db());
    QCOMPARE(proposals.propose(description, moneyOut, QStringLiteral("Banco")).account, proposed);
}

// A debit leaves the bank account and a credit enters it; a proposal the movement
// rule refuses is shown as refused, and a movement without one waits.
void TestImportPlan::bankMovementsGoThroughTheRule() {
    TestLedger ledger;
    addAccounts(ledger);
    ledger.addEntry(1, "07/01/2024", "Recibo Iberdrola luz", "Luz", "Banco", 60, "G");
    // Written by another program: money out of an expense account.
    ledger.addEntry(2, "08/01/2024", "Devolución luz", "Caja", "Luz", 5, "G");
    N43Account account;
    const auto move = [&](int line, bool debit, qint64 cents, const QString& text) {
        N43Movement movement;
        movement.line = line;
        movement.operationDate = QDate(2024, 2, line);
        movement.debit = debit;
        movement.cents = cents;
        movement.description = text;
        account.movements.append(movement);
    };
    move(2, true, 6210, QStringLiteral("RECIBO IBERDROLA LUZ"));
    move(4, false, 500, QStringLiteral("DEVOLUCION LUZ"));
    move(6, true, 999, QStringLiteral("TIENDA DESCONOCIDA"));

    ImportedRows rows;
    appendStatementRows(account, QStringLiteral("Banco"), AccountProposals(ledger.db()), rows);
    const ImportPlan plan = planImport(ledger.db(), rows, 2024);
    QCOMPARE(plan.accepted.size(), 1);
    QCOMPARE(plan.goesInto(plan.accepted[0]), QStringLiteral("Luz"));
    QCOMPARE(plan.comesOutOf(plan.accepted[0]), QStringLiteral("Banco"));
    QCOMPARE(rows.date(plan.accepted[0].row), QDate(2024, 2, 2));
    QCOMPARE(plan.accepted[0].movementClass, 'G');
    QCOMPARE(refusals(plan),
             QStringList({"4: este movimiento no se puede hacer, de «Luz» a «Banco»",
                          "6: falta la cuenta «Entra en»"}));
    QCOMPARE(rows.goesInto(2), QString()); // nothing like it in the year: the user picks
}

// A file of a million bad lines kept a million reasons. The reader's and the
// plan's lines, merged, are the first ones of both, and all of them are counted.
void TestImportPlan::refusedLinesPastAThousandAreCounted() {
    RefusedLines reader;
    for (int line = 1; line <= 2400; line += 2) {
        reader.add(line, QStringLiteral("lectura"));
    }
    QCOMPARE(reader.count(), 1200);
    QCOMPARE(reader.kept().size(), RefusedLines::kKept);
    QCOMPARE(reader.kept().last().line, 1999);
    RefusedLines plan;
    for (const int line : {2, 4, 6, 3000}) {
        plan.add(line, QStringLiteral("plan"));
    }
    const RefusedLines merged = RefusedLines::merged(reader, plan);
    QCOMPARE(merged.count(), 1204);
    QCOMPARE(merged.kept().size(), RefusedLines::kKept);
    QList<int> first;
    for (const RefusedLine& line : merged.kept().mid(0, 8)) {
        first.append(line.line);
    }
    QCOMPARE(first, (QList<int>{1, 2, 3, 4, 5, 6, 7, 9}));
    // Past the reader's last kept line, the lines it dropped would come first.
    QVERIFY(merged.kept().last().line <= 1999);
}

QTEST_MAIN(TestImportPlan)
#include "tst_importplan.moc"
