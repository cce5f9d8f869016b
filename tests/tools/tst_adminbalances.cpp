// velmora-admin balances and opening-balance: the figures of every account as the
// balances window shows them, opening balances set from the command line, and
// each refusal with its Spanish reason, the exit code and nothing written.

#include "admin/AdminCommands.h"
#include "store/OpeningBalances.h"
#include "support/TestLedger.h"

#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestAdminBalances : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
};

void TestAdminBalances::commands_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");        // the start of what it complains
    QTest::addColumn<QStringList>("stored"); // opening balances afterwards
    const QStringList before{u"Banco|100000"_s};
    const QString income = u"Ingresos del 01/01/2024 al %1:\n"
                           "  Nómina: entradas 0,00; salidas 2.100,50; total 2.100,50\n"
                           "Total de ingresos: 2.100,50\n"
                           "Gastos del 01/01/2024 al %1:\n"
                           "  Luz: entradas %2; salidas 0,00; total %2\n"
                           "Total de gastos: %2\n"_s;
    QTest::newRow("balances at the year's end")
        << QStringList{u"balances"_s} << 0
        << u"Saldos del año 2024 al 31/12/2024\n"
           "Cuentas de caja:\n"
           "  Banco: saldo inicial 1.000,00; entradas 2.100,50; salidas 145,12; saldo 2.955,38\n"
           "  Caja: saldo inicial 0,00; entradas 100,00; salidas 150,00; saldo -50,00\n"
           "Total en caja: 2.905,38\n"_s +
               income.arg(u"31/12/2024"_s, u"195,12"_s)
        << QString() << before;
    // Entries after the date stay out; the 31st itself counts.
    QTest::newRow("balances at a date")
        << QStringList{u"balances"_s, u"--date=31/01/2024"_s, u"--year"_s, u"2024"_s} << 0
        << u"Saldos del año 2024 al 31/01/2024\n"
           "Cuentas de caja:\n"
           "  Banco: saldo inicial 1.000,00; entradas 2.100,50; salidas 45,12; saldo 3.055,38\n"
           "  Caja: saldo inicial 0,00; entradas 0,00; salidas 0,00; saldo 0,00\n"
           "Total en caja: 3.055,38\n"_s +
               income.arg(u"31/01/2024"_s, u"45,12"_s)
        << QString() << before;
    QTest::newRow("balances: no such date")
        << QStringList{u"balances"_s, u"--date"_s, u"31/02/2024"_s} << 2 << QString()
        << u"velmora-admin: la fecha «31/02/2024» no vale"_s << before;
    QTest::newRow("balances: a year without a ledger")
        << QStringList{u"balances"_s, u"--year"_s, u"2030"_s} << 1 << QString()
        << u"velmora-admin: no existe la base de datos del año 2030"_s << before;
    QTest::newRow("balances: too many") << QStringList{u"balances"_s, u"Banco"_s} << 2 << QString()
                                        << u"velmora-admin: sobran argumentos: Banco"_s << before;
    QTest::newRow("set, other letter case, negative")
        << QStringList{u"opening-balance"_s, u"caja"_s, u"-5,00"_s} << 0
        << u"Saldo inicial de «Caja» en el año 2024: -5,00 (antes 0,00).\n"_s << QString()
        << QStringList{u"Banco|100000"_s, u"Caja|-500"_s};
    QTest::newRow("set again, the largest amount")
        << QStringList{u"opening-balance"_s, u"--year=2024"_s, u"Banco"_s, u"999.999.999.999,99"_s}
        << 0 << u"Saldo inicial de «Banco» en el año 2024: 999.999.999.999,99 (antes 1.000,00).\n"_s
        << QString() << QStringList{u"Banco|99999999999999"_s};
    QTest::newRow("zero clears it")
        << QStringList{u"opening-balance"_s, u"Banco"_s, u"0"_s} << 0
        << u"Saldo inicial de «Banco» en el año 2024: 0,00 (antes 1.000,00).\n"_s << QString()
        << QStringList{};
    QTest::newRow("unknown account")
        << QStringList{u"opening-balance"_s, u"Gas"_s, u"5,00"_s} << 1 << QString()
        << u"velmora-admin: el año 2024 no tiene la cuenta «Gas»"_s << before;
    QTest::newRow("not a cash account")
        << QStringList{u"opening-balance"_s, u"Luz"_s, u"5,00"_s} << 1 << QString()
        << u"velmora-admin: «Luz» no es una cuenta de caja"_s << before;
    QTest::newRow("bad amount") << QStringList{u"opening-balance"_s, u"Banco"_s, u"1,2,3"_s} << 2
                                << QString() << u"velmora-admin: el importe «1,2,3» no vale"_s
                                << before;
    QTest::newRow("amount past the largest")
        << QStringList{u"opening-balance"_s, u"Banco"_s, u"1.000.000.000.000,00"_s} << 2
        << QString() << u"velmora-admin: el importe «1.000.000.000.000,00» no vale"_s << before;
    QTest::newRow("no amount") << QStringList{u"opening-balance"_s, u"Banco"_s} << 2 << QString()
                               << u"velmora-admin: faltan la cuenta y el importe"_s << before;
    QTest::newRow("unknown option")
        << QStringList{u"opening-balance"_s, u"--fecha"_s, u"Banco"_s, u"5"_s} << 2 << QString()
        << u"velmora-admin: opción desconocida: «--fecha»"_s << before;
}

void TestAdminBalances::commands() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, err);
    test::TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Caja"_s, u"C"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
    ledger.addEntry(1, u"02/01/2024"_s, u"Nómina"_s, u"Banco"_s, u"Nómina"_s, 2100.5, u"I"_s);
    ledger.addEntry(2, u"31/01/2024"_s, u"Recibo"_s, u"Luz"_s, u"Banco"_s, 45.12, u"G"_s);
    ledger.addEntry(3, u"15/03/2024"_s, u"Cajero"_s, u"Caja"_s, u"Banco"_s, 100, u"T"_s);
    ledger.addEntry(4, u"20/06/2024"_s, u"Recibo"_s, u"Luz"_s, u"caja"_s, 150, u"G"_s);
    setOpeningBalance(ledger.db(), u"Banco"_s, 100000);

    QString out, complaint;
    QTextStream outStream(&out), errStream(&complaint);
    QCOMPARE(admin::runAdmin(args, ledger.programFolder(), outStream, errStream), code);
    outStream.flush();
    errStream.flush();
    QTEST(out, "out");
    QVERIFY2(err.isEmpty() ? complaint.isEmpty() : complaint.startsWith(err),
             qPrintable(complaint));
    QTEST(ledger.rows(u"SELECT Cuenta || '|' || Centimos FROM saldosiniciales ORDER BY Cuenta"_s),
          "stored");
}

QTEST_GUILESS_MAIN(TestAdminBalances)
#include "tst_adminbalances.moc"
