// A new year starts where the year it was made from ended, and takes its
// opening balances again from that year after late entries.

#include "analysis/CarryOver.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"
#include "years/YearOrigin.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace velmora;
using velmora::test::TestLedger;
using namespace Qt::StringLiterals;

namespace {

// Banco and Caja hold money, Nómina pays in, Luz is spent on.
void addAccounts(TestLedger& ledger) {
    ledger.addAccount(u"Banco"_s, u"C"_s);
    ledger.addAccount(u"Caja"_s, u"C"_s);
    ledger.addAccount(u"Nómina"_s, u"I"_s);
    ledger.addAccount(u"Luz"_s, u"G"_s);
}

// Each entry as "dd/MM/yyyy|into|out of|amount", written into db.
void addEntries(Database& db, const QStringList& entries) {
    // After the file's own, so that late entries added to a year never clash.
    Statement last(db, "SELECT IFNULL(MAX(Id), 1000) FROM apuntes", "test");
    qint64 id = last.step() ? last.columnInt(0) : 1000;
    for (const QString& entry : entries) {
        const QStringList f = entry.split(u'|');
        const QString kind = f[1] == u"Luz"_s ? u"G"_s : (f[2] == u"Nómina"_s ? u"I"_s : u"T"_s);
        const QDate day = QDate::fromString(f[0], u"dd/MM/yyyy"_s);
        Statement insert(db,
                         "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                         " VALUES (?1, ?2, 'x', ?3, ?4, ?5, ?6)",
                         "test");
        insert.bind(1, int64_t{++id})
            .bind(2, day.toString(u"yyyy-MM-dd"_s))
            .bind(3, f[1])
            .bind(4, f[2])
            .bind(5, f[3].toDouble())
            .bind(6, kind)
            .run();
    }
}

QStringList openingLines(Database& db) {
    QStringList lines;
    for (const OpeningBalance& b : openingBalances(db)) {
        lines.append(b.account + u'|' + QString::number(b.cents));
    }
    return lines;
}

QByteArray hashOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestCarryOver : public QObject {
    Q_OBJECT
private slots:
    void carriedAtCreation_data();
    void carriedAtCreation();
    void takenAgain_data();
    void takenAgain();
    void failedStepLeavesNoYear();
};

void TestCarryOver::carriedAtCreation_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("openings"); // of the year made from, "account|cents"
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected"); // the new year's openings
    QTest::newRow("balances at 31/12, the year's own opening counted")
        << u"2024"_s << QStringList{u"Banco|100000"_s}
        << QStringList{u"10/01/2024|Banco|Nómina|2000"_s, u"15/02/2024|Luz|Banco|50.25"_s,
                       u"20/03/2024|Caja|Banco|100"_s, u"31/12/2024|Luz|Caja|10"_s,
                       u"02/01/2025|Luz|Banco|500"_s}
        << QStringList{u"Banco|284975"_s, u"Caja|9000"_s};
    QTest::newRow("an account ending at nothing keeps no opening")
        << u"2024"_s << QStringList{u"Caja|5000"_s} << QStringList{u"01/06/2024|Luz|Caja|50"_s}
        << QStringList();
    QTest::newRow("overdrawn") << u"2024"_s << QStringList()
                               << QStringList{u"01/06/2024|Luz|Banco|20"_s}
                               << QStringList{u"Banco|-2000"_s};
    QTest::newRow("a year named Casa ends at its latest entry")
        << u"Casa"_s << QStringList()
        << QStringList{u"15/11/2023|Luz|Banco|3"_s, u"01/06/2023|Banco|Nómina|10"_s}
        << QStringList{u"Banco|700"_s};
    QTest::newRow("the largest amount")
        << u"2024"_s << QStringList{u"Banco|99999999999000"_s}
        << QStringList{u"01/06/2024|Banco|Nómina|9.99"_s} << QStringList{u"Banco|99999999999999"_s};
}

void TestCarryOver::carriedAtCreation() {
    QFETCH(QString, year);
    QFETCH(QStringList, openings);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);
    TestLedger ledger(year);
    addAccounts(ledger);
    for (const QString& opening : openings) {
        setOpeningBalance(ledger.db(), opening.section(u'|', 0, 0),
                          opening.section(u'|', 1).toLongLong());
    }
    addEntries(ledger.db(), entries);
    const QString oldFile = ledger.databasePath();
    const QByteArray before = hashOf(oldFile);

    YearDatabase(ledger.session()).create(u"Nuevo"_s, ledger.state().newYearStep);

    QCOMPARE(ledger.session().year(), u"Nuevo"_s);
    QCOMPARE(openingLines(ledger.db()), expected);
    QCOMPARE(recordedSourceYear(ledger.db()), std::optional<QString>(year));
    QCOMPARE(hashOf(oldFile), before);
}

void TestCarryOver::takenAgain_data() {
    QTest::addColumn<QString>("oldYear");
    QTest::addColumn<QString>("newYear");
    QTest::addColumn<QStringList>("late");     // entries added to the old year afterwards
    QTest::addColumn<QStringList>("newEdits"); // SQL run on the new year afterwards
    QTest::addColumn<QString>("breakOld");     // "", "missing", "corrupt", "forget origin"
    QTest::addColumn<QStringList>("lines");    // "account|before|after|note"
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QString>("error");

    const QStringList late{u"28/12/2024|Luz|Banco|40"_s};
    const QStringList unchanged{u"Banco|190000|190000|"_s, u"Caja|10000|10000|"_s};
    const QStringList lateLines{u"Banco|190000|186000|"_s, u"Caja|10000|10000|"_s};
    QTest::newRow("a late entry") << u"2024"_s << u"2025"_s << late << QStringList() << QString()
                                  << lateLines << QStringList() << QString();
    QTest::newRow("nothing to change") << u"2024"_s << u"2025"_s << QStringList() << QStringList()
                                       << QString() << unchanged << QStringList() << QString();
    QTest::newRow("renamed in another letter case")
        << u"2024"_s << u"2025"_s << late
        << QStringList{u"UPDATE Contas SET conNom = 'BANCO' WHERE conNom = 'Banco'"_s,
                       u"UPDATE saldosiniciales SET Cuenta = 'BANCO' WHERE Cuenta = 'Banco'"_s}
        << QString() << QStringList{u"BANCO|190000|186000|"_s, u"Caja|10000|10000|"_s}
        << QStringList() << QString();
    QTest::newRow("an account the new year lacks is listed, not made")
        << u"2024"_s << u"2025"_s << late
        << QStringList{u"DELETE FROM Contas WHERE conNom = 'Caja'"_s,
                       u"DELETE FROM saldosiniciales WHERE Cuenta = 'Caja'"_s}
        << QString() << QStringList{u"Banco|190000|186000|"_s} << QStringList{u"Caja (100,00)"_s}
        << QString();
    QTest::newRow("an account only the new year has stays")
        << u"2024"_s << u"2025"_s << QStringList()
        << QStringList{u"INSERT INTO Contas (conNom, conCon, conTipo) VALUES ('Hucha', '', 'C')"_s}
        << QString()
        << QStringList{u"Banco|190000|190000|"_s, u"Caja|10000|10000|"_s,
                       u"Hucha|0||no es una cuenta de caja del año 2024"_s}
        << QStringList() << QString();
    QTest::newRow("from a year named Casa, as recorded")
        << u"Casa"_s << u"Piso"_s << late << QStringList() << QString() << lateLines
        << QStringList() << QString();
    QTest::newRow("origin not recorded: the year before by its number")
        << u"2024"_s << u"2025"_s << late << QStringList() << u"forget origin"_s << lateLines
        << QStringList() << QString();
    QTest::newRow("origin not recorded, no number to go by")
        << u"Casa"_s << u"Piso"_s << late << QStringList() << u"forget origin"_s << QStringList()
        << QStringList() << u"No se sabe de qué año viene el año Piso"_s;
    QTest::newRow("previous year missing")
        << u"2024"_s << u"2025"_s << late << QStringList() << u"missing"_s << QStringList()
        << QStringList()
        << u"No existe el año 2024, del que se toman los saldos iniciales del año 2025."_s;
    QTest::newRow("previous year corrupt")
        << u"2024"_s << u"2025"_s << late << QStringList() << u"corrupt"_s << QStringList()
        << QStringList() << u"No se puede leer el año 2024: "_s;
}

void TestCarryOver::takenAgain() {
    QFETCH(QString, oldYear);
    QFETCH(QString, newYear);
    QFETCH(QStringList, late);
    QFETCH(QStringList, newEdits);
    QFETCH(QString, breakOld);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, missing);
    QFETCH(QString, error);
    TestLedger ledger(oldYear);
    addAccounts(ledger);
    addEntries(ledger.db(), {u"10/01/2024|Banco|Nómina|2000"_s, u"20/03/2024|Caja|Banco|100"_s});
    YearDatabase(ledger.session()).create(newYear, ledger.state().newYearStep);
    const QString oldFile = databasePathFor(ledger.dataRoot(), oldYear);
    {
        Database old(oldFile);
        addEntries(old, late);
    }
    for (const QString& sql : newEdits) {
        ledger.db().exec(sql.toUtf8().constData(), "test");
    }
    if (breakOld == u"missing"_s) {
        QVERIFY(QFile::remove(oldFile));
    } else if (breakOld == u"corrupt"_s) {
        QVERIFY(test::putBytes(oldFile, QByteArray(8192, 'x')));
    } else if (breakOld == u"forget origin"_s) {
        ledger.db().exec("DELETE FROM datosano", "test");
    }
    const QByteArray oldBytes = hashOf(oldFile);
    const QStringList openingsBefore = openingLines(ledger.db());

    CarryOverPlan plan;
    try {
        plan = planFromPreviousYear(ledger.db(), ledger.dataRoot(), newYear);
    } catch (const CarryOverError& refused) {
        QVERIFY2(!error.isEmpty(), qPrintable(refused.message()));
        QVERIFY2(refused.message().startsWith(error), qPrintable(refused.message()));
        QCOMPARE(openingLines(ledger.db()), openingsBefore);
        return;
    }
    QVERIFY(error.isEmpty());
    QCOMPARE(plan.previousYear, oldYear);
    QStringList shown;
    for (const CarriedBalance& line : plan.accounts) {
        shown.append(u"%1|%2|%3|%4"_s.arg(line.account, QString::number(line.before),
                                          line.after ? QString::number(*line.after) : QString(),
                                          line.note));
    }
    QCOMPARE(shown, lines);
    QCOMPARE(plan.missing, missing);

    applyCarryOver(ledger.db(), plan);
    for (const CarriedBalance& line : plan.accounts) {
        QCOMPARE(openingBalance(ledger.db(), line.account), line.after.value_or(line.before));
    }
    // Only ever read, never changed.
    QCOMPARE(hashOf(oldFile), oldBytes);
}

// The balances are part of making the year: when they cannot be written, no year
// is left behind and the program stays where it was.
void TestCarryOver::failedStepLeavesNoYear() {
    TestLedger ledger(u"2024"_s);
    addAccounts(ledger);
    const NewYearStep failing = [](Database&, const QString&, Database&) {
        throw DbError(u"guardar el saldo inicial"_s, u"disk I/O error"_s, 10);
    };
    QVERIFY_THROWS_EXCEPTION(YearError, YearDatabase(ledger.session()).create(u"2025"_s, failing));
    QVERIFY(!yearExists(ledger.dataRoot(), u"2025"_s));
    QCOMPARE(ledger.session().year(), u"2024"_s);
}

QTEST_GUILESS_MAIN(TestCarryOver)
#include "tst_carryover.moc"
