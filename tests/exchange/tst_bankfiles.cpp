// A bank's own movements files: cells read as amounts and dates however the bank
// wrote them, the header found under the lines above it, the movements in the
// order they happened, the layout remembered per account, and the bank's balance
// set against ours.

#include "exchange/AccountProposals.h"
#include "exchange/BalanceCheck.h"
#include "exchange/BankLayout.h"
#include "exchange/BankMovements.h"
#include "exchange/CellValues.h"
#include "exchange/CsvTable.h"
#include "exchange/ImportSession.h"
#include "exchange/Norma43.h"
#include "state/Settings.h"
#include "store/OpeningBalances.h"
#include "support/Norma43Statement.h"
#include "support/TestLedger.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

SheetTable tableOf(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readCsvTable(buffer).table;
}

// "date|description|cents|balance" for each movement, oldest first.
QStringList movementLines(const BankMovementsRead& read) {
    QStringList lines;
    for (const BankMovement& m : read.movements) {
        lines.append(u"%1|%2|%3|%4"_s.arg(m.date.toString(u"yyyy-MM-dd"_s), m.description)
                         .arg(m.cents)
                         .arg(m.balance ? QString::number(*m.balance) : u"-"_s));
    }
    return lines;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// March in the bank's own words, newest first as most banks list it, with the
// balance after each movement.
QByteArray marchFile(qint64 openingCents = 200000) {
    const auto euros = [](qint64 cents) {
        return QString::number(cents / 100) + u',' +
               QString::number(qAbs(cents % 100)).rightJustified(2, u'0');
    };
    const qint64 afterPay = openingCents + 150000;
    const qint64 afterShop = afterPay - 6215;
    const qint64 afterLight = afterShop - 4530;
    return (u"Titular: ANA GARCÍA\r\nF. Operación;Concepto;Importe;Saldo\r\n"
            "05/03/2024;RECIBO IBERDROLA;-45,30;%1\r\n"
            "03/03/2024;COMPRA MERCADONA;-62,15;%2\r\n"
            "01/03/2024;NOMINA MARZO;1.500,00;%3\r\n"_s)
        .arg(euros(afterLight), euros(afterShop), euros(afterPay))
        .toUtf8();
}

} // namespace

class TestBankFiles : public QObject {
    Q_OBJECT
private slots:
    void amounts_data();
    void amounts();
    void dates_data();
    void dates();
    void layouts_data();
    void layouts();
    void balanceCheck_data();
    void balanceCheck();
    void layoutRememberedPerAccount();
    void rulesComeBeforeEntries_data();
    void rulesComeBeforeEntries();
    void statementBalance();
};

void TestBankFiles::amounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");  // a spreadsheet's numeric cell
    QTest::addColumn<bool>("points");  // the rest of the column uses a decimal point
    QTest::addColumn<QString>("read"); // cents, or the start of the reason
    QTest::newRow("Spanish") << u"-1.234,56"_s << false << false << u"-123456"_s;
    QTest::newRow("euro sign") << u"1.234,56 €"_s << false << false << u"123456"_s;
    QTest::newRow("EUR in front") << u"EUR 12,00"_s << false << false << u"1200"_s;
    QTest::newRow("parentheses") << u"(12,00)"_s << false << false << u"-1200"_s;
    QTest::newRow("sign last") << u"45,30-"_s << false << false << u"-4530"_s;
    QTest::newRow("typeset minus") << u"−7,00"_s << false << false << u"-700"_s;
    QTest::newRow("plus") << u"+5"_s << false << false << u"500"_s;
    QTest::newRow("spaces between thousands") << u"1 234,56"_s << false << false << u"123456"_s;
    QTest::newRow("international") << u"1,234.56"_s << false << true << u"123456"_s;
    QTest::newRow("point and two figures") << u"1234.5"_s << false << false << u"123450"_s;
    // "1.234" is a thousand in a Spanish column and one and a bit in another.
    QTest::newRow("thousand, Spanish column") << u"1.234"_s << false << false << u"123400"_s;
    QTest::newRow("thousand, point column") << u"1.234"_s << false << true << u"123"_s;
    QTest::newRow("many groups") << u"1.234.567"_s << false << true << u"123456700"_s;
    QTest::newRow("spreadsheet number") << u"-1234.5"_s << true << false << u"-123450"_s;
    QTest::newRow("largest") << u"999.999.999.999,99"_s << false << false << u"99999999999999"_s;
    QTest::newRow("past the largest") << u"1.000.000.000.000,00"_s << false << false
                                      << u"el importe «1.000.000.000.000,00» pasa"_s;
    QTest::newRow("text") << u"Total"_s << false << false << u"el importe «Total» no es"_s;
    QTest::newRow("marks in the wrong places")
        << u"1,2,3.4.5"_s << false << false << u"el importe «1,2,3.4.5» no es"_s;
    QTest::newRow("empty") << u"  "_s << false << false << u"falta el importe"_s;
}

void TestBankFiles::amounts() {
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(bool, points);
    QFETCH(QString, read);
    const auto got =
        readBankAmount(SheetCell{text, number}, points ? DecimalMark::Point : DecimalMark::Comma);
    const QString shown = std::holds_alternative<qint64>(got)
                              ? QString::number(std::get<qint64>(got))
                              : std::get<QString>(got);
    QVERIFY2(shown.startsWith(read), qPrintable(shown));

    // The column's mark as the vote finds it from its plain texts.
    DecimalMarkVote vote;
    for (const char* plain : {"1,5", "2,00", "1.234"}) {
        vote.see(SheetCell{QString::fromLatin1(plain), false});
    }
    QCOMPARE(vote.mark(), DecimalMark::Comma);
    vote.see(SheetCell{u"1,234.50"_s, false});
    vote.see(SheetCell{u"3.25"_s, false});
    vote.see(SheetCell{u"7.5"_s, false});
    QCOMPARE(vote.mark(), DecimalMark::Point);
}

void TestBankFiles::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<bool>("from1904");
    QTest::addColumn<QString>("read"); // yyyy-MM-dd, or the start of the reason
    QTest::newRow("dd/mm/yyyy") << u"05/03/2026"_s << false << false << u"2026-03-05"_s;
    QTest::newRow("d-m-yy") << u"5-3-26"_s << false << false << u"2026-03-05"_s;
    QTest::newRow("dd.mm.yyyy") << u"05.03.2026"_s << false << false << u"2026-03-05"_s;
    QTest::newRow("yyyy-mm-dd") << u"2026-03-05"_s << false << false << u"2026-03-05"_s;
    QTest::newRow("with its time") << u"05/03/2026 10:22:01"_s << false << false << u"2026-03-05"_s;
    QTest::newRow("serial") << u"46086"_s << true << false << u"2026-03-05"_s;
    QTest::newRow("serial with time") << u"46086.75"_s << true << false << u"2026-03-05"_s;
    QTest::newRow("serial from 1904") << u"44624"_s << true << true << u"2026-03-05"_s;
    QTest::newRow("31 February") << u"31/02/2024"_s << false << false
                                 << u"la fecha «31/02/2024» no existe"_s;
    QTest::newRow("mixed marks") << u"05/03-2026"_s << false << false
                                 << u"la fecha «05/03-2026» no se entiende"_s;
    QTest::newRow("a total line") << u"Saldo final"_s << false << false
                                  << u"la fecha «Saldo final» no se entiende"_s;
    QTest::newRow("negative serial")
        << u"-3"_s << true << false << u"la fecha «-3» no es una fecha"_s;
    QTest::newRow("empty") << QString() << false << false << u"falta la fecha"_s;
}

void TestBankFiles::dates() {
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(bool, from1904);
    QFETCH(QString, read);
    const auto got = readBankDate(SheetCell{text, number}, from1904);
    const QString shown = std::holds_alternative<QDate>(got)
                              ? std::get<QDate>(got).toString(u"yyyy-MM-dd"_s)
                              : std::get<QString>(got);
    QVERIFY2(shown.startsWith(read), qPrintable(shown));
}

void TestBankFiles::layouts_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("columns"); // as remembered
    QTest::addColumn<QStringList>("movements");
    QTest::addColumn<QStringList>("refused"); // "line: reason"

    QTest::newRow("Fecha;Concepto;Importe;Saldo")
        << "Fecha;Concepto;Importe;Saldo\r\n"
           "02/01/2024;Recibo agua;-20,00;980,00\r\n"
           "03/01/2024;Transferencia recibida;100,00;1.080,00\r\n"_ba
        << u"Fecha|Concepto|Importe|Saldo"_s
        << QStringList{u"2024-01-02|Recibo agua|-2000|98000"_s,
                       u"2024-01-03|Transferencia recibida|10000|108000"_s}
        << QStringList{};
    // Windows-1252, with the holder, the account and the period above the table,
    // newest first, and a total under it.
    QTest::newRow("two dates, lines above, newest first, Windows-1252")
        << "Titular: JOS\xC9 NU\xD1"
           "EZ\r\nIBAN ES12 0049 1500 0512 3456 7890\r\n"
           "Periodo: 01/01/2024 - 31/01/2024\r\n\r\n"
           "F. Operaci\xF3n;F. Valor;Concepto;Importe;Saldo\r\n"
           "15/01/2024;16/01/2024;CAF\xC9 ESPA\xD1"
           "A;-3,50 \x80;1.496,50 \x80\r\n"
           "10/01/2024;10/01/2024;N\xD3MINA;1.500,00 \x80;1.500,00 \x80\r\n"
           "Saldo final;;;;1.496,50 \x80\r\n"_ba
        << u"Fecha|Fecha valor|Concepto|Importe|Saldo"_s
        << QStringList{u"2024-01-10|NÓMINA|150000|150000"_s,
                       u"2024-01-15|CAFÉ ESPAÑA|-350|149650"_s}
        << QStringList{u"8: la fecha «Saldo final» no se entiende; se esperaba dd/mm/aaaa o "
                       "aaaa-mm-dd"_s};
    // A charge comes with its sign or without; a line with neither is refused.
    QTest::newRow("charge and credit columns")
        << "Fecha;Concepto;Concepto ampliado;Cargo;Abono;Saldo\r\n"
           "02/01/2024;Compra;SUPER SOL;12,30;;87,70\r\n"
           "03/01/2024;Bizum;DE MARTA;;50,00;137,70\r\n"
           "04/01/2024;Comisi\xC3\xB3n;;-2,00;;135,70\r\n"
           "05/01/2024;Nada;;;;135,70\r\n"_ba
        << u"Fecha|Concepto|Más concepto|Cargo|Abono|Saldo"_s
        << QStringList{u"2024-01-02|Compra SUPER SOL|-1230|8770"_s,
                       u"2024-01-03|Bizum DE MARTA|5000|13770"_s,
                       u"2024-01-04|Comisión|-200|13570"_s}
        << QStringList{u"5: no tiene cargo ni abono"_s};
    QTest::newRow("international, commas, quoted amounts")
        << "Date,Description,Amount,Balance\r\n"
           "2024-01-02,\"Shop, Madrid\",\"-1,234.56\",\"8,765.44\"\r\n"
           "2024-01-03,Refund,12.5,\"8,777.94\"\r\n"_ba
        << u"Fecha|Concepto|Importe|Saldo"_s
        << QStringList{u"2024-01-02|Shop, Madrid|-123456|876544"_s,
                       u"2024-01-03|Refund|1250|877794"_s}
        << QStringList{};
    QTest::newRow("tabs, no balance")
        << "Fecha\tMovimiento\tImporte (EUR)\r\n"
           "07/02/2024\tRecibo \"IBI\"\t-310,00\r\n"_ba
        << u"Fecha|Concepto|Importe"_s << QStringList{u"2024-02-07|Recibo \"IBI\"|-31000|-"_s}
        << QStringList{};
}

void TestBankFiles::layouts() {
    QFETCH(QByteArray, file);
    QFETCH(QString, columns);
    QFETCH(QStringList, movements);
    QFETCH(QStringList, refused);
    const SheetTable table = tableOf(file);
    const std::optional<BankLayout> layout = findBankLayout(table);
    QVERIFY(layout);
    QCOMPARE(layout->columnsText(), columns);
    QCOMPARE(layout->problem(), QString());
    const BankMovementsRead read = readBankMovements(table, *layout);
    QCOMPARE(movementLines(read), movements);
    QStringList refusedLines;
    for (const RefusedLine& line : read.refused.kept()) {
        refusedLines.append(u"%1: %2"_s.arg(line.line).arg(line.reason));
    }
    QCOMPARE(refusedLines, refused);
}

void TestBankFiles::balanceCheck_data() {
    QTest::addColumn<bool>("billEntered"); // the light bill is already in the year
    QTest::addColumn<qint64>("opening");   // Velmora's opening balance of the account
    QTest::addColumn<QString>("told");

    QTest::newRow("matching")
        << false << qint64(200000)
        << u"Saldo de Banco antes del 01/03/2024: banco 2.000,00, Velmora 2.000,00: coinciden. "
           "Después de importar, al 05/03/2024: banco 3.392,55, Velmora 3.392,55: coinciden."_s;
    // The bill is a duplicate and is not added again: the balances still match.
    QTest::newRow("one already in the year")
        << true << qint64(200000)
        << u"Saldo de Banco antes del 01/03/2024: banco 2.000,00, Velmora 2.000,00: coinciden. "
           "Después de importar, al 05/03/2024: banco 3.392,55, Velmora 3.392,55: coinciden."_s;
    QTest::newRow("opening balance missing")
        << false << qint64(0)
        << u"Saldo de Banco antes del 01/03/2024: banco 2.000,00, Velmora 0,00: difieren en "
           "2.000,00. Después de importar, al 05/03/2024: banco 3.392,55, Velmora 1.392,55: "
           "difieren en 2.000,00. Dejan de coincidir el 01/03/2024 (línea 5)."_s;
}

void TestBankFiles::balanceCheck() {
    QFETCH(bool, billEntered);
    QFETCH(qint64, opening);
    QFETCH(QString, told);
    TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    setOpeningBalance(ledger.db(), u"Banco"_s, opening);
    if (billEntered) {
        ledger.addEntry(1, u"05/03/2024"_s, u"RECIBO IBERDROLA"_s, u"Luz"_s, u"Banco"_s, 45.30,
                        u"G"_s);
    }
    const SheetTable table = tableOf(marchFile());
    const BankMovementsRead read = readBankMovements(table, *findBankLayout(table));
    QVERIFY(read.newestFirst);
    std::vector<bool> added(read.movements.size(), true);
    added.back() = !billEntered; // the bill, last to happen
    QCOMPARE(describeBalanceCheck(
                 checkBankFileBalance(ledger.db(), u"Banco"_s, read.movements, added), u"Banco"_s),
             told);

    // Leaving out the purchase parts them from its day on.
    added[1] = false;
    if (opening == 200000) {
        const BalanceCheck parted =
            checkBankFileBalance(ledger.db(), u"Banco"_s, read.movements, added);
        QCOMPARE(parted.partingLine, std::optional<int>(4));
        QCOMPARE(parted.partingDate, QDate(2024, 3, 3));
    }
}

// The columns the user set for one account are used for its next file with the
// same headers, which then goes to that account; another account's file is read
// by its names.
void TestBankFiles::layoutRememberedPerAccount() {
    TestLedger ledger;
    ledger.addAccount(u"Caja"_s, u"C"_s);
    ledger.addAccount(u"Cuenta BBVA"_s, u"C"_s);
    const QString file = writeFile(ledger.dataRoot() + u"/movimientos.csv"_s,
                                   "Fecha;Texto libre;Cantidad;Disponible\r\n"
                                   "02/01/2024;Recibo agua;-20,00;980,00\r\n"_ba);
    const auto importInto = [&](const QString& account, QString* proposed) {
        auto session = std::make_unique<ImportSession>(ledger.session(), 2024);
        if (session->open(file) || session->readBankFile(ledger.programFolder())) {
            qFatal("the bank file was not read");
        }
        session->mapBankFile(
            [&](const BankFileQuestion& question) {
                *proposed = question.proposed;
                return std::optional<QString>(account);
            },
            ledger.programFolder());
        return session;
    };
    QString proposed;
    auto first = importInto(u"Cuenta BBVA"_s, &proposed);
    QCOMPARE(proposed, u"Caja"_s); // nothing remembered: the first cash account
    QCOMPARE(first->layout().columnsText(), u"Fecha|Concepto|Importe|No se usa"_s);
    BankLayout changed = first->layout();
    changed.columns[3] = BankColumn::Balance;
    QCOMPARE(first->relayout(changed, ledger.programFolder()), std::nullopt);
    QCOMPARE(first->bankMovements().front().balance, std::optional<qint64>(98000));
    // A layout that cannot be read is refused and the one in use stays.
    BankLayout broken = changed;
    broken.columns[0] = BankColumn::Unused;
    QCOMPARE(first->relayout(broken, ledger.programFolder()),
             std::optional<QString>(u"ninguna columna se lee como «Fecha»"_s));
    QCOMPARE(first->layout().columnsText(), u"Fecha|Concepto|Importe|Saldo"_s);

    auto again = importInto(u"Cuenta BBVA"_s, &proposed);
    QCOMPARE(proposed, u"Cuenta BBVA"_s);
    QCOMPARE(again->layout().columnsText(), u"Fecha|Concepto|Importe|Saldo"_s);

    // The same headers into another account are read as they were set, and
    // remembered for it too.
    auto other = importInto(u"Caja"_s, &proposed);
    QCOMPARE(other->layout().columnsText(), u"Fecha|Concepto|Importe|Saldo"_s);
    QCOMPARE(SettingsFiles(ledger.programFolder()).readBankFileLayouts().size(), 2);

    // A damaged memory is only a convenience lost.
    writeFile(SettingsFiles(ledger.programFolder()).pathOf(u"columnas.json"_s), "[{\"cuenta\":"_ba);
    auto damaged = importInto(u"Cuenta BBVA"_s, &proposed);
    QCOMPARE(proposed, u"Caja"_s);
    QCOMPARE(damaged->layout().columnsText(), u"Fecha|Concepto|Importe|No se usa"_s);
}

void TestBankFiles::rulesComeBeforeEntries_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("moneyOut");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a rule over a learned entry") << u"RECIBO IBERDROLA MARZO"_s << true << u"Luz"_s
                                                 << u"regla: concepto contiene «iberdrola» → Luz"_s;
    // The first rule in order wins, whatever the letter case or accents.
    QTest::newRow("the first rule of two")
        << u"Compra Mercadona Súper"_s << true << u"Supermercado"_s
        << u"regla: concepto contiene «MERCADONA» → Supermercado"_s;
    // A rule that names the bank's own account would make a movement from the
    // account to itself: the entries are asked instead.
    QTest::newRow("a rule naming the bank itself")
        << u"TRASPASO PROPIO"_s << false << u"Caja"_s << u"como «Traspaso propio» del 02/01/2024"_s;
    QTest::newRow("no rule: the entries")
        << u"RECIBO AGUA"_s << true << u"Agua"_s << u"como «Recibo agua» del 05/01/2024"_s;
    QTest::newRow("nothing") << u"CUOTA PADEL"_s << true << QString() << QString();
}

void TestBankFiles::rulesComeBeforeEntries() {
    QFETCH(QString, description);
    QFETCH(bool, moneyOut);
    TestLedger ledger;
    ledger.addEntry(1, u"03/01/2024"_s, u"Recibo Iberdrola"_s, u"Gas"_s, u"Banco"_s, 10, u"G"_s);
    ledger.addEntry(2, u"05/01/2024"_s, u"Recibo agua"_s, u"Agua"_s, u"Banco"_s, 10, u"G"_s);
    ledger.addEntry(3, u"02/01/2024"_s, u"Traspaso propio"_s, u"Banco"_s, u"Caja"_s, 10, u"T"_s);
    HouseRules rules;
    rules.rules = {{u"iberdrola"_s, u"Luz"_s},
                   {u"MERCADONA"_s, u"Supermercado"_s},
                   {u"super"_s, u"Otros"_s},
                   {u"traspaso"_s, u"banco"_s}};
    const Proposal proposal =
        AccountProposals(ledger.db(), rules).propose(description, moneyOut, u"Banco"_s);
    QTEST(proposal.account, "account");
    QTEST(proposal.reason, "reason");
}

// A Norma 43 statement gives its initial and final balances only: compared before
// and after, with no day on which they part.
void TestBankFiles::statementBalance() {
    TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    setOpeningBalance(ledger.db(), u"Banco"_s, 100000);
    test::n43::Statement statement;
    statement.open({.initial = 100000})
        .move({.date = "240110", .cents = -4512, .reference2 = u"MERCADONA"_s})
        .move({.date = "240115", .cents = 200000, .reference2 = u"NOMINA"_s})
        .close()
        .end();
    QBuffer buffer;
    buffer.setData(statement.bytes());
    buffer.open(QIODevice::ReadOnly);
    const N43Statement read = readNorma43(buffer);
    const N43Account& account = read.accounts.first();
    QCOMPARE(describeBalanceCheck(
                 checkStatementBalance(ledger.db(), u"Banco"_s, account, {true, true}), u"Banco"_s),
             u"Saldo de Banco antes del 01/01/2024: banco 1.000,00, Velmora 1.000,00: coinciden. "
             "Después de importar, al 31/01/2024: banco 2.954,88, Velmora 2.954,88: coinciden."_s);
    QVERIFY(describeBalanceCheck(
                checkStatementBalance(ledger.db(), u"Banco"_s, account, {true, false}), u"Banco"_s)
                .endsWith(u"banco 2.954,88, Velmora 954,88: difieren en 2.000,00."_s));
}

QTEST_GUILESS_MAIN(TestBankFiles)
#include "tst_bankfiles.moc"
