// Reading bank statements in the Cuaderno 43 format: signs, texts, several
// accounts, and the faults that must refuse the whole file.

#include "exchange/Norma43.h"

#include <QBuffer>
#include <QTest>

#include <optional>

using namespace velmora;

namespace {

// The fields of an account header; dates are written YYMMDD as in the file.
struct Header {
    const char* account = "0512345678";
    qint64 initial = 0; // cents, negative when owed
    QString holder = QStringLiteral("ANA GARCIA LOPEZ");
    const char* from = "240101";
    const char* to = "240131";
    const char* bank = "0049";
    const char* branch = "1500";
    const char* currency = "978";
};

struct Movement {
    const char* date = "240115";
    qint64 cents = 0; // negative: a debit
    QString reference2 = {};
    QString reference1 = {};
    const char* amount = nullptr; // written as it is instead of cents
    const char* common = "02";
    const char* own = "000";
    const char* document = "0000000000";
    const char* key = nullptr; // written as it is instead of from the sign
};

// What the closing record says when it should not say what the movements add up to.
struct Footer {
    std::optional<int> debitCount = {};
    std::optional<qint64> debits = {};
    std::optional<int> creditCount = {};
    std::optional<qint64> credits = {};
    std::optional<qint64> final = {};
    const char* account = nullptr;
};

// Writes a statement record by record, field by field, keeping the counts and
// sums that the closing records need.
class Statement {
public:
    Statement& open(const Header& h = {}) {
        header_ = h;
        balance_ = h.initial;
        debitCount_ = creditCount_ = 0;
        debits_ = credits_ = 0;
        return record(QByteArray("11") + h.bank + h.branch + h.account + h.from + h.to +
                      signedAmount(h.initial) + h.currency + "3" + text(h.holder, 26) + "   ");
    }
    Statement& move(const Movement& m) {
        const bool debit = m.cents < 0;
        (debit ? debitCount_ : creditCount_) += 1;
        (debit ? debits_ : credits_) += qAbs(m.cents);
        balance_ += m.cents;
        const QByteArray amount = m.amount ? QByteArray(m.amount) : digits(qAbs(m.cents), 14);
        return record(QByteArray("22") + "    " + header_.branch + m.date + m.date + m.common +
                      m.own +
                      (m.key   ? m.key
                       : debit ? "1"
                               : "2") +
                      amount + m.document + text(m.reference1, 12) + text(m.reference2, 16));
    }
    Statement& complement(const QString& one, const QString& two = {},
                          const QByteArray& code = "01") {
        return record(QByteArray("23") + code + text(one, 38) + text(two, 38));
    }
    Statement& equivalence() {
        return record(QByteArray("24") + "01" + "840" + digits(13512, 14) + QByteArray(59, ' '));
    }
    Statement& close(const Footer& f = {}) {
        const qint64 final = f.final.value_or(balance_);
        return record(QByteArray("33") + header_.bank + header_.branch +
                      (f.account ? f.account : header_.account) +
                      digits(f.debitCount.value_or(debitCount_), 5) +
                      digits(f.debits.value_or(debits_), 14) +
                      digits(f.creditCount.value_or(creditCount_), 5) +
                      digits(f.credits.value_or(credits_), 14) + signedAmount(final) +
                      header_.currency + "    ");
    }
    Statement& end(std::optional<int> count = {}) {
        lines_.append(QByteArray("88") + QByteArray(18, '9') +
                      digits(count.value_or(lines_.size()), 6) + QByteArray(54, ' '));
        return *this;
    }
    Statement& raw(const QByteArray& line) {
        lines_.append(line);
        return *this;
    }
    QByteArray bytes(const char* lineEnd = "\r\n", bool trimmed = false) const {
        QByteArray out;
        for (QByteArray line : lines_) {
            while (trimmed && line.endsWith(' ')) {
                line.chop(1);
            }
            out += line + lineEnd;
        }
        return out;
    }

private:
    static QByteArray digits(qint64 value, int width) {
        return QByteArray::number(value).rightJustified(width, '0');
    }
    static QByteArray text(const QString& value, int width) {
        return value.toLatin1().leftJustified(width, ' ', true);
    }
    static QByteArray signedAmount(qint64 cents) {
        return (cents < 0 ? "1" : "2") + digits(qAbs(cents), 14);
    }
    Statement& record(const QByteArray& line) {
        Q_ASSERT(line.size() == 80);
        lines_.append(line);
        return *this;
    }

    QList<QByteArray> lines_;
    Header header_;
    qint64 balance_ = 0;
    int debitCount_ = 0;
    int creditCount_ = 0;
    qint64 debits_ = 0;
    qint64 credits_ = 0;
};

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

// Each movement as "date|signed cents|description".
QStringList summary(const N43Account& account) {
    QStringList lines;
    for (const N43Movement& m : account.movements) {
        lines << m.operationDate.toString(Qt::ISODate) + u'|' + QString::number(m.signedCents()) +
                     u'|' + m.description();
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
}

void TestNorma43::layouts() {
    QFETCH(QByteArray, bytes);
    const N43Statement statement = read(bytes);
    QCOMPARE(statement.accounts.size(), 1);
    const N43Account& account = statement.accounts.first();
    QCOMPARE(account.key(), QStringLiteral("004915000512345678"));
    QCOMPARE(account.from, QDate(2024, 1, 1));
    QCOMPARE(account.to, QDate(2024, 1, 31));
    QCOMPARE(account.initialCents, 150000);
    QCOMPARE(account.finalCents, 150000 + 210050 - 4512 - 100000);
    QCOMPARE(account.currency, QStringLiteral("978"));
    QCOMPARE(account.holder, QStringLiteral("ANA GARCIA LOPEZ"));
    QCOMPARE(summary(account),
             QStringList({"2024-01-05|210050|TRANSFERENCIA DE EMPRESA SL NOMINA ENERO",
                          "2024-01-12|-4512|RECIBO LUZ", "2024-01-20|-100000|TARJETA"}));
    const N43Movement& bill = account.movements.at(1);
    QVERIFY(bill.debit);
    QCOMPARE(bill.cents, 4512);
    QCOMPARE(bill.valueDate, QDate(2024, 1, 12));
}

void TestNorma43::descriptions_data() {
    QTest::addColumn<QString>("reference1");
    QTest::addColumn<QString>("reference2");
    QTest::addColumn<QStringList>("concepts"); // pairs of the two halves of each 23
    QTest::addColumn<QStringList>("complementary");
    QTest::addColumn<QString>("description");
    QTest::newRow("references only")
        << "B12345678"
        << "RECIBO AGUA" << QStringList() << QStringList() << "RECIBO AGUA B12345678";
    QTest::newRow("a reference of zeros is left out")
        << "000000000000"
        << "COMPRA" << QStringList() << QStringList() << "COMPRA";
    QTest::newRow("concepts first, both halves, empty halves out")
        << ""
        << "REF 77" << QStringList({"TRANSFERENCIA", "DE JUAN", "", "CONCEPTO ALQUILER"})
        << QStringList({"TRANSFERENCIA", "DE JUAN", "CONCEPTO ALQUILER"})
        << "TRANSFERENCIA DE JUAN CONCEPTO ALQUILER REF 77";
    QTest::newRow("a reference the concepts already say")
        << ""
        << "SEGUROS SA" << QStringList({"ADEUDO SEGUROS SA", "POLIZA 4411"})
        << QStringList({"ADEUDO SEGUROS SA", "POLIZA 4411"}) << "ADEUDO SEGUROS SA POLIZA 4411";
    QTest::newRow("five concepts")
        << ""
        << "" << QStringList({"A1", "A2", "B1", "B2", "C1", "C2", "D1", "D2", "E1", "E2"})
        << QStringList({"A1", "A2", "B1", "B2", "C1", "C2", "D1", "D2", "E1", "E2"})
        << "A1 A2 B1 B2 C1 C2 D1 D2 E1 E2";
    QTest::newRow("nothing at all") << ""
                                    << "" << QStringList() << QStringList() << "";
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
    QTEST(movement.complementary, "complementary");
    QTEST(movement.description(), "description");
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
    const N43Account& first = statement.accounts.at(0);
    const N43Account& second = statement.accounts.at(1);
    QCOMPARE(first.account, QStringLiteral("0512345678"));
    QCOMPARE(first.initialCents, -25000);
    QCOMPARE(first.finalCents, 5000);
    QCOMPARE(summary(first), QStringList({"2024-01-03|30000|INGRESO"}));
    QCOMPARE(second.account, QStringLiteral("0598765432"));
    QCOMPARE(second.holder, QStringLiteral("LUIS MARTIN"));
    QCOMPARE(second.finalCents, 490000);
    QCOMPARE(summary(second), QStringList({"2024-01-10|-7000|CUOTA", "2024-01-11|-3000|COMISION"}));
    QCOMPARE(second.movements.at(1).line, 6);
}

void TestNorma43::latin1() {
    // The bytes as a Spanish bank writes them: Ñ is 0xD1, Í 0xCD, ó 0xF3, Ç 0xC7.
    const QByteArray holder("NU\xD1"
                            "EZ D\xCD"
                            "AZ MAR\xCD"
                            "A");
    Statement s;
    s.open({.holder = QString::fromLatin1(holder)})
        .move({.cents = -1250,
               .reference2 = QString::fromLatin1("PEQUE\xD1"
                                                 "OS")})
        .complement(QString::fromLatin1("Cami\xF3n de la Pe\xF1"
                                        "a"),
                    QString::fromLatin1("CAF\xC9 \xC7"));
    const QByteArray bytes = s.close().end().bytes();
    QVERIFY(bytes.contains(holder));
    const N43Account account = read(bytes).accounts.first();
    QCOMPARE(account.holder, QStringLiteral("NUÑEZ DÍAZ MARÍA"));
    QCOMPARE(account.movements.first().description(),
             QStringLiteral("Camión de la Peña CAFÉ Ç PEQUEÑOS"));
}

void TestNorma43::refusals_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

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
    QTest::newRow("six concepts")
        << Statement()
               .open()
               .move({.cents = 100})
               .complement("1", "", "01")
               .complement("2", "", "02")
               .complement("3", "", "03")
               .complement("4", "", "04")
               .complement("5", "", "05")
               .complement("6", "", "05")
               .close()
               .end()
               .bytes()
        << 8
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
    QTest::newRow("statement") << statement << true;
    QTest::newRow("its first 100 bytes") << statement.left(100) << true;
    QTest::newRow("trimmed lines") << january().close().end().bytes("\n", true) << true;
    QTest::newRow("after blank lines") << "\r\n  \r\n" + statement << true;
    QTest::newRow("CSV") << QByteArray("Fecha;Concepto;Importe\r\n05/01/2024;NOMINA;2100,50\r\n")
                         << false;
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
}

QTEST_GUILESS_MAIN(TestNorma43)
#include "tst_norma43.moc"
