// Reading bank statements in the Cuaderno 43 format: signs, texts, several
// accounts, and the faults that must refuse the whole file.

#include "exchange/Norma43.h"
#include "support/Norma43Statement.h"

#include <QBuffer>
#include <QTest>

#include <optional>

using namespace velmora;
using namespace Qt::StringLiterals;
using namespace velmora::test::n43;

namespace {

N43Statement read(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readNorma43(buffer);
}

// One account with a payroll, a bill and a card payment; each layout below
// must read to the same thing.
Statement january() {
    Statement s;
    s.open({.initial = 150000})
        .move({.date = "240105", .cents = 210050, .reference2 = "NOMINA ENERO"})
        .complement("TRANSFERENCIA DE EMPRESA SL")
        .move({.date = "240112", .cents = -4512, .reference2 = "RECIBO LUZ"})
        .move({.date = "240120", .cents = -100000, .reference2 = "TARJETA"});
    return s;
}

// The account as "key|from|to|initial|final|currency|holder", then each movement
// as "line|date|value date|signed cents|description".
QStringList described(const N43Account& a) {
    QStringList lines{u"%1|%2|%3|%4|%5|%6|%7"_s
                          .arg(a.key(), a.from.toString(Qt::ISODate), a.to.toString(Qt::ISODate))
                          .arg(a.initialCents)
                          .arg(a.finalCents)
                          .arg(a.currency, a.holder)};
    for (const N43Movement& m : a.movements) {
        lines << u"%1|%2|%3|%4|%5"_s.arg(m.line)
                     .arg(m.operationDate.toString(Qt::ISODate), m.valueDate.toString(Qt::ISODate))
                     .arg(m.signedCents())
                     .arg(m.description);
    }
    return lines;
}

} // namespace

class TestNorma43 : public QObject {
    Q_OBJECT
private slots:
    void layouts_data();
    void layouts();
    void descriptions_data();
    void descriptions();
    void twoAccounts();
    void latin1();
    void refusals_data();
    void refusals();
    void recognises_data();
    void recognises();
};

void TestNorma43::layouts_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CRLF") << january().close().end().bytes("\r\n");
    QTest::newRow("LF") << january().close().end().bytes("\n");
    QTest::newRow("trailing spaces trimmed") << january().close().end().bytes("\r\n", true);
    QTest::newRow("no line end after the last record")
        << january().close().end().bytes("\r\n").chopped(2);
    QTest::newRow("blank lines after the end")
        << january().close().end().bytes() + "\r\n   \r\n\r\n";
    QTest::newRow("a currency equivalence after a movement")
        << january().equivalence().close().end().bytes();
    // Once read as one line: "el registro tiene 404 caracteres".
    QTest::newRow("CR alone") << january().close().end().bytes("\r");
}

void TestNorma43::layouts() {
    QFETCH(QByteArray, bytes);
    const N43Statement statement = read(bytes);
    QCOMPARE(statement.accounts.size(), 1);
    QCOMPARE(described(statement.accounts.first()),
             QStringList({"004915000512345678|2024-01-01|2024-01-31|150000|255538|978|ANA GARCIA "
                          "LOPEZ",
                          "2|2024-01-05|2024-01-05|210050|TRANSFERENCIA DE EMPRESA SL NOMINA ENERO",
                          "4|2024-01-12|2024-01-12|-4512|RECIBO LUZ",
                          "5|2024-01-20|2024-01-20|-100000|TARJETA"}));
}

void TestNorma43::descriptions_data() {
    QTest::addColumn<QString>("reference1");
    QTest::addColumn<QString>("reference2");
    // Pairs of the two halves of each 23; the movement keeps those not empty.
    QTest::addColumn<QStringList>("concepts");
    QTest::addColumn<QString>("description");
    QTest::newRow("references only")
        << u"B12345678"_s << u"RECIBO AGUA"_s << QStringList() << u"RECIBO AGUA B12345678"_s;
    QTest::newRow("a reference of zeros is left out")
        << u"000000000000"_s << u"COMPRA"_s << QStringList() << u"COMPRA"_s;
    QTest::newRow("concepts first, both halves, empty halves out")
        << u""_s << u"REF 77"_s
        << QStringList({"TRANSFERENCIA", "DE JUAN", "", "CONCEPTO ALQUILER"})
        << u"TRANSFERENCIA DE JUAN CONCEPTO ALQUILER REF 77"_s;
    QTest::newRow("a reference the concepts already say")
        << u""_s << u"SEGUROS SA"_s << QStringList({"ADEUDO SEGUROS SA", "POLIZA 4411"})
        << u"ADEUDO SEGUROS SA POLIZA 4411"_s;
    QTest::newRow("five concepts")
        << u""_s << u""_s
        << QStringList({"A1", "A2", "B1", "B2", "C1", "C2", "D1", "D2", "E1", "E2"})
        << u"A1 A2 B1 B2 C1 C2 D1 D2 E1 E2"_s;
    QTest::newRow("nothing at all") << u""_s << u""_s << QStringList() << u""_s;
}

void TestNorma43::descriptions() {
    QFETCH(QString, reference1);
    QFETCH(QString, reference2);
    QFETCH(QStringList, concepts);
    Statement s;
    s.open().move({.cents = -999, .reference2 = reference2, .reference1 = reference1});
    for (qsizetype i = 0; i < concepts.size(); i += 2) {
        s.complement(concepts.at(i), concepts.at(i + 1),
                     QByteArray::number(i / 2 + 1).rightJustified(2, '0'));
    }
    const N43Movement movement = read(s.close().end().bytes()).accounts.first().movements.first();
    QTEST(movement.description, "description");
}

void TestNorma43::twoAccounts() {
    const QByteArray bytes =
        Statement()
            .open({.initial = -25000})
            .move({.date = "240103", .cents = 30000, .reference2 = "INGRESO"})
            .close()
            .open({.account = "0598765432", .initial = 500000, .holder = "LUIS MARTIN"})
            .move({.date = "240110", .cents = -7000, .reference2 = "CUOTA"})
            .move({.date = "240111", .cents = -3000, .reference2 = "COMISION"})
            .close()
            .end()
            .bytes();
    const N43Statement statement = read(bytes);
    QCOMPARE(statement.accounts.size(), 2);
    QCOMPARE(
        described(statement.accounts.at(0)) + described(statement.accounts.at(1)),
        QStringList({"004915000512345678|2024-01-01|2024-01-31|-25000|5000|978|ANA GARCIA LOPEZ",
                     "2|2024-01-03|2024-01-03|30000|INGRESO",
                     "004915000598765432|2024-01-01|2024-01-31|500000|490000|978|LUIS MARTIN",
                     "5|2024-01-10|2024-01-10|-7000|CUOTA",
                     "6|2024-01-11|2024-01-11|-3000|COMISION"}));
}

// A Spanish bank writes Latin-1, as the statement writer does.
void TestNorma43::latin1() {
    Statement s;
    s.open({.holder = u"NUÑEZ DÍAZ MARÍA"_s})
        .move({.cents = -1250, .reference2 = u"PEQUEÑOS"_s})
        .complement(u"Camión de la Peña"_s, u"CAFÉ Ç"_s);
    const N43Account account = read(s.close().end().bytes()).accounts.first();
    QCOMPARE(account.holder, u"NUÑEZ DÍAZ MARÍA"_s);
    QCOMPARE(account.movements.first().description, u"Camión de la Peña CAFÉ Ç PEQUEÑOS"_s);
}

void TestNorma43::refusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    // What looksLikeNorma43 checks, so that a file read whole is never taken for CSV.
    QTest::newRow("letter for the information mode")
        << january().close().end().bytes().replace(50, 1, "A") << 1
        << "la modalidad de información «A» no es un número";
    QTest::newRow("debit total of the 33 wrong")
        << january().close({.debits = 123456}).end().bytes() << 6
        << "el total de cargos del registro 33 es 1.234,56 y los movimientos suman 1.045,12";
    QTest::newRow("credit total of the 33 wrong")
        << january().close({.credits = 210000}).end().bytes() << 6
        << "el total de abonos del registro 33 es 2.100,00 y los movimientos suman 2.100,50";
    QTest::newRow("number of debits of the 33 wrong")
        << january().close({.debitCount = 3}).end().bytes() << 6
        << "el número de cargos del registro 33 es 3 y en los movimientos hay 2";
    QTest::newRow("final balance not what the movements leave")
        << january().close({.final = 250000}).end().bytes() << 6
        << "el saldo final del registro 33 es 2.500,00 y el saldo inicial más los abonos menos "
           "los cargos da 2.555,38";
    QTest::newRow("final balance with the wrong sign")
        << january().close({.final = -255538}).end().bytes() << 6
        << "el saldo final del registro 33 es -2.555,38 y el saldo inicial más los abonos menos "
           "los cargos da 2.555,38";
    QTest::newRow("33 of another account")
        << january().close({.account = "0598765432"}).end().bytes() << 6
        << "el registro 33 cierra la cuenta 0049 1500 0598765432, pero la abierta es la 0049 1500 "
           "0512345678";
    QTest::newRow("file cut before the 33")
        << january().bytes() << 0
        << "el archivo está incompleto: falta el registro 33 que cierra la cuenta 0049 1500 "
           "0512345678";
    QTest::newRow("file cut before the 88")
        << january().close().bytes() << 0
        << "el archivo está incompleto: falta el registro 88 de fin de archivo";
    QTest::newRow("empty file") << QByteArray("\r\n") << 0 << "el archivo está vacío";
    QTest::newRow("88 counts one record too few")
        << january().close().end(5).bytes() << 7
        << "el registro 88 cuenta 5 registros y antes de él hay 6";
    QTest::newRow("88 before the 33")
        << january().end().bytes() << 6
        << "el fin de archivo (registro 88) llega sin que la cuenta 0049 1500 0512345678 se haya "
           "cerrado con su registro 33";
    QTest::newRow("text after the 88") << january().close().end().raw("\r\nFIN").bytes() << 9
                                       << "hay más texto después del registro 88 de fin de archivo";
    QTest::newRow("impossible operation date")
        << Statement().open().move({.date = "240231", .cents = 100}).close().end().bytes() << 2
        << "la fecha de operación 240231 no existe";
    QTest::newRow("letters in a date")
        << Statement().open().move({.date = "24O115", .cents = 100}).close().end().bytes() << 2
        << "la fecha de operación «24O115» no es una fecha AAMMDD";
    QTest::newRow("letter in an amount")
        << Statement().open().move({.cents = 100, .amount = "0000000012A456"}).close().end().bytes()
        << 2 << "el importe «0000000012A456» no es un número";
    QTest::newRow("debit or credit key neither 1 nor 2")
        << Statement().open().move({.cents = 100, .key = "3"}).close().end().bytes() << 2
        << "la clave de cargo o abono es «3» y debe ser 1 (cargo) o 2 (abono)";
    QTest::newRow("unknown record")
        << january().raw(QByteArray("45").leftJustified(80, '0')).close().end().bytes() << 6
        << "«45» no es un tipo de registro conocido (11, 22, 23, 24, 33 u 88)";
    QTest::newRow("line longer than a record")
        << january().raw(QByteArray("23").leftJustified(85, ' ')).close().end().bytes() << 6
        << "el registro tiene 85 caracteres y no puede pasar de 80";
    // Read as it streams: only its length is kept.
    QTest::newRow("a line of a million characters")
        << january().raw(QByteArray(1000000, '2')).close().end().bytes() << 6
        << "el registro tiene 1.000.000 caracteres y no puede pasar de 80";
    QTest::newRow("movement before any account")
        << Statement().move({.cents = 100}).open().close().end().bytes() << 1
        << "el movimiento (registro 22) no pertenece a ninguna cuenta: falta antes el registro 11 "
           "de cabecera";
    QTest::newRow("concept right after the header")
        << Statement().open().complement("SUELTO").close().end().bytes() << 2
        << "el concepto complementario (registro 23) debe seguir a su movimiento (registro 22)";
    QTest::newRow("concept after a currency equivalence")
        << january().equivalence().complement("TARDE").close().end().bytes() << 7
        << "el concepto complementario (registro 23) debe seguir a su movimiento (registro 22)";
    Statement six;
    six.open().move({.cents = 100});
    for (const char* code : {"01", "02", "03", "04", "05", "05"}) {
        six.complement(code, "", code);
    }
    QTest::newRow("six concepts")
        << six.close().end().bytes() << 8
        << "un movimiento no puede llevar más de cinco conceptos complementarios (registro 23)";
    QTest::newRow("concept code beyond 05")
        << Statement().open().move({.cents = 100}).complement("X", "", "07").close().end().bytes()
        << 3 << "el código de dato del concepto complementario es 07 y debe ir de 01 a 05";
    QTest::newRow("header inside an open account")
        << january().open({.account = "0598765432"}).close().end().bytes() << 6
        << "empieza otra cuenta (registro 11) sin que la cuenta 0049 1500 0512345678 se haya "
           "cerrado con su registro 33";
    QTest::newRow("33 with no account open")
        << january().close().close().end().bytes() << 7
        << "el fin de cuenta (registro 33) no cierra ninguna cuenta: falta antes el registro 11 "
           "de cabecera";
    // What a statement of a million accounts would cost is refused at the first
    // account past the most.
    Statement many;
    for (int i = 0; i <= kMostStatementAccounts; ++i) {
        many.open().close();
    }
    QTest::newRow("one account past the most")
        << many.end().bytes() << 2001 << "un extracto no puede tener más de 1.000 cuentas";
}

void TestNorma43::refusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    try {
        read(bytes);
        QFAIL("the statement was accepted");
    } catch (const Norma43Error& error) {
        QCOMPARE(error.reason(), reason);
        QCOMPARE(error.line(), line);
        QCOMPARE(error.message(),
                 line > 0 ? QStringLiteral("línea %1: %2").arg(line).arg(reason) : reason);
    }
}

void TestNorma43::recognises_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("statement");
    const QByteArray statement = january().close().end().bytes();
    QTest::newRow("its first 100 bytes") << statement.left(100) << true;
    QTest::newRow("trimmed lines") << january().close().end().bytes("\n", true) << true;
    QTest::newRow("after 600 blank lines")
        << QByteArray("  \r\n").repeated(600) + statement << true;
    QTest::newRow("CR alone") << january().close().end().bytes("\r") << true;
    QTest::newRow("CSV of digits")
        << QByteArray("11;0049;1500;0512345678;240101;240131;2;150000;978\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("starts with a movement") << statement.mid(statement.indexOf('\n') + 1) << false;
    QTest::newRow("header with a letter in the balance")
        << QByteArray(statement).replace(40, 1, "X") << false;
}

void TestNorma43::recognises() {
    QFETCH(QByteArray, start);
    QTEST(looksLikeNorma43(start), "statement");
    // A file looked at is read from where it was.
    QBuffer buffer;
    buffer.setData(start);
    buffer.open(QIODevice::ReadOnly);
    QTEST(isNorma43(buffer), "statement");
    QCOMPARE(buffer.pos(), 0);
}

QTEST_GUILESS_MAIN(TestNorma43)
#include "tst_norma43.moc"
