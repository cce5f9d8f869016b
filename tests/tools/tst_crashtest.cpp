// The kill loop's check must see each kind of damage it is there to find,
// and take for sound what a kill may rightly leave.

#include "CrashCheck.h"
#include "CrashChild.h"
#include "budget/BudgetStore.h"
#include "maintenance/DriveBackup.h"
#include "receipts/ReceiptStore.h"
#include "state/Settings.h"
#include "store/AccountStore.h"
#include "store/BudgetTable.h"
#include "store/DatabaseFiles.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace velmora;
using namespace velmora::crashtest;
using namespace Qt::StringLiterals;

namespace {

enum class Damage {
    None,
    InsertWritten,
    RenameWhole,
    RenameGoesIntoOnly,
    ColourEmptied,
    ColourWritten,
    YearFileElsewhere,
    PageOverwritten,
    YearWithEntries,
    TenNewerCopies,
    BackupWritten,
    BackupDamaged,
    ImportWhole,
    ImportHalf,
    OpeningWritten,
    RenameOpeningLeftBehind,
    ReceiptWritten,
    ReceiptEntryOnly,
    ReceiptMonthOnly,
    BudgetWritten,
    BudgetHalf,
    RenameBudgetLeftBehind,
};

// The file of the import the rows below report, with two movements.
QString importFile(const CrashInstallation& installation) {
    return importFolderFor(installation.programFolder()) + u"/importar-1.csv"_s;
}

const QString kNewName = u"Caja-1-1"_s;

void damage(CrashInstallation& installation, Damage kind) {
    const QString program = installation.programFolder();
    Database db(installation.databasePath());
    switch (kind) {
    case Damage::None:
        break;
    case Damage::InsertWritten:
        db.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                " VALUES (500, '2024-01-02', 'Nuevo', 'Caja', 'Nomina', 12.34, 'I')",
                "test");
        break;
    case Damage::RenameWhole:
        updateAccount(db, u"Caja"_s, Account{kNewName, u"Efectivo"_s, u"C"_s});
        break;
    case Damage::RenameGoesIntoOnly:
        db.exec("UPDATE apuntes SET EntraEn = 'Caja-1-1' WHERE EntraEn = 'Caja';"
                "UPDATE Contas SET conNom = 'Caja-1-1' WHERE conNom = 'Caja'",
                "test");
        break;
    case Damage::ColourEmptied:
        QVERIFY(test::putBytes(program + u"/color.ini"_s, {}));
        break;
    case Damage::ColourWritten:
        QVERIFY(test::putBytes(program + u"/color.ini"_s, " 255 \r\n"));
        break;
    case Damage::YearFileElsewhere:
        QVERIFY(test::putBytes(program + u"/ano.ini"_s, "2031\r\n"));
        break;
    case Damage::PageOverwritten: {
        QFile file(installation.databasePath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(4096);
        file.write(QByteArray(4096, '\x5a'));
        break;
    }
    case Damage::TenNewerCopies:
        for (int second = 0; second < SafetyCopies::kKept; ++second) {
            SafetyCopies(installation.dataRoot(), installation.year())
                .write(db, QDateTime(QDate(2030, 1, 1), QTime(0, 0, second)));
        }
        break;
    case Damage::BackupWritten:
    case Damage::BackupDamaged: {
        const QString folder =
            yearBackupFolder(backupFolderFor(driveFor(program)), installation.year());
        QVERIFY(QDir().mkpath(folder));
        SettingsFiles(folder).writeYear(installation.year());
        if (kind == Damage::BackupWritten) {
            copyDatabase(db, folder + u"/Devedur.mdb"_s);
        } else {
            QVERIFY(test::putBytes(folder + u"/Devedur.mdb"_s, QByteArray(8192, 'x')));
        }
        break;
    }
    case Damage::ImportWhole:
    case Damage::ImportHalf:
        db.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                " VALUES (101, '2024-03-05', 'Importado-1', 'Caja', 'Nomina', 12.34, 'I')",
                "test");
        if (kind == Damage::ImportWhole) {
            db.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                    " VALUES (102, '2024-03-06', 'Importado-2', 'Luz', 'Caja', 5, 'G')",
                    "test");
        }
        break;
    case Damage::OpeningWritten:
        setOpeningBalance(db, u"Banco"_s, -1250);
        break;
    case Damage::RenameOpeningLeftBehind:
        updateAccount(db, u"Caja"_s, Account{kNewName, u"Efectivo"_s, u"C"_s});
        setOpeningBalance(db, u"Caja"_s, 500);
        break;
    case Damage::ReceiptWritten:
    case Damage::ReceiptEntryOnly:
    case Damage::ReceiptMonthOnly: {
        const qint64 receipt = saveReceipt(
            db, {0, u"Recibo-1"_s, u"Luz"_s, u"Caja"_s, 4530, {1, 31, QDate(2024, 1, 1), {}}});
        if (kind == Damage::ReceiptEntryOnly) {
            db.exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                    " VALUES (101, '2024-01-31', 'Recibo-1', 'Luz', 'Caja', 45.3, 'G')",
                    "test");
            break;
        }
        writeReceipts(db, {{receipt, QDate(2024, 1, 31), QDate(2024, 1, 31), 4530}});
        if (kind == Damage::ReceiptMonthOnly) {
            db.exec("DELETE FROM apuntes WHERE Id = 101", "test");
        }
        break;
    }
    case Damage::BudgetWritten:
        setBudgetEveryMonth(db, u"Luz"_s, 5000);
        break;
    case Damage::BudgetHalf:
        replaceStoredBudget(db, u"Luz"_s, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}});
        break;
    case Damage::RenameBudgetLeftBehind:
        updateAccount(db, u"Caja"_s, Account{kNewName, u"Efectivo"_s, u"C"_s});
        replaceStoredBudget(db, u"Caja"_s, {{0, 500}});
        break;
    case Damage::YearWithEntries: {
        const QString target = databasePathFor(installation.dataRoot(), u"N1-1"_s);
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        QVERIFY(QFile::copy(installation.databasePath(), target));
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestCrashCheck : public QObject {
    Q_OBJECT
private slots:
    void readsWhatTheChildWrites_data();
    void readsWhatTheChildWrites();
    void findsWhatAKillMustNotLeave_data();
    void findsWhatAKillMustNotLeave();
};

// A line read wrongly would make a confirmed write look lost, or a lost one look
// confirmed; one it cannot read at all is refused.
void TestCrashCheck::readsWhatTheChildWrites_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("readable");
    // Paths with spaces in them, as a user's folders have.
    for (const char* line :
         {"insert 12 2024-03-05 1050 Caja Nomina I Apunte-3",
          "update 7 2024-12-31 99 Luz Caja G Apunte-4", "delete 7", "rename Caja Caja-k2-1",
          "compact", "year N1-2", "colour 255", "backup 120",
          "copy 120 /tmp/a b/Copias de seguridad/2024/Devedur-20240101-000000.mdb",
          "import 3 401 /tmp/a b/importar.csv", "opening Banco -1250",
          "receipt 402 3 2024-05 2024-05-31 4530 Luz Caja G Recibo-7-2", "budget Luz 5000",
          "budget Luz -1 2 3 4 5 6 7 8 9 10 11 12", "budget Luz"}) {
        QTest::addRow("%s", line) << QString::fromUtf8(line) << true;
    }
    for (const char* line :
         {"import 3 /tmp/importar.csv", "backup", "insert 12 2024-03-05 mil Caja Nomina I Apunte-3",
          "insert 12 2024-03-05 1050 Caja", "delete", "rename Caja", "borrar 3", "opening Banco",
          "opening Banco mil", "receipt 402 3 2024-05",
          "receipt 402 tres 2024-05 2024-05-31 4530 Luz Caja G Recibo-7-2", "budget",
          "budget Luz mil", "budget Luz 1 2"}) {
        QTest::addRow("%s", line) << QString::fromUtf8(line) << false;
    }
}

void TestCrashCheck::readsWhatTheChildWrites() {
    QFETCH(QString, line);
    QFETCH(bool, readable);
    const std::optional<Step> step = stepOf(line);
    QCOMPARE(step.has_value(), readable);
    if (step) {
        QCOMPARE(lineOf(*step), line);
    }
}

// found: the one figure the check must raise (integrity, lost, half or settings);
// empty when the kill left nothing wrong.
void TestCrashCheck::findsWhatAKillMustNotLeave_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("found");
    const auto row = [](const char* name, const QString& report, Damage damage,
                        const char* found = "") {
        QTest::newRow(name) << report << damage << QString::fromLatin1(found);
    };
    const QString ready = u"ready\n"_s;
    const QString insert = u"insert 500 2024-01-02 1234 Caja Nomina I Nuevo"_s;
    row("killed before any write", ready, Damage::None);
    row("confirmed entry there", insert + u'\n', Damage::InsertWritten);
    row("confirmed entry lost", insert + u'\n', Damage::None, "lost");
    row("confirmation cut short by the kill", insert, Damage::None);
    row("entry under way, saved", u"intent "_s + insert + u'\n', Damage::InsertWritten);
    row("row nobody wrote", ready, Damage::InsertWritten, "lost");
    row("confirmed delete lost", u"delete 1\n"_s, Damage::None, "lost");
    const QString rename = u"rename Caja "_s + kNewName + u'\n';
    row("rename under way, done", u"intent "_s + rename, Damage::RenameWhole);
    row("rename under way, in Entra en only", u"intent "_s + rename, Damage::RenameGoesIntoOnly,
        "half");
    row("confirmed rename lost", rename, Damage::None, "lost");
    row("colour file emptied", ready, Damage::ColourEmptied, "settings");
    row("colour under way, written", u"intent colour 255\n"_s, Damage::ColourWritten);
    row("colour nobody wrote", ready, Damage::ColourWritten, "settings");
    row("ano.ini on a year nobody made", ready, Damage::YearFileElsewhere, "settings");
    row("page overwritten", ready, Damage::PageOverwritten, "integrity");
    row("confirmed year missing", u"year N1-1\n"_s, Damage::None, "lost");
    const QString oldCopy = u"copy 100 %1/Copias de seguridad/2024/Devedur-20240101-000000.mdb\n"_s;
    row("confirmed copy missing", oldCopy, Damage::None, "lost");
    row("confirmed copy pushed out by ten newer", oldCopy, Damage::TenNewerCopies);
    const QString backup = u"backup 100\n"_s;
    row("confirmed backup there", backup, Damage::BackupWritten);
    row("confirmed backup missing", backup, Damage::None, "lost");
    row("backup under way, done", u"intent "_s + backup, Damage::BackupWritten);
    row("backup under way, not yet", u"intent "_s + backup, Damage::None);
    row("backup nobody made", ready, Damage::BackupWritten, "lost");
    row("backup damaged", u"intent "_s + backup, Damage::BackupDamaged, "integrity");
    const QString import = u"import 2 101 %2\n"_s;
    row("import under way, whole", u"intent "_s + import, Damage::ImportWhole);
    row("import under way, not yet", u"intent "_s + import, Damage::None);
    row("import under way, half written", u"intent "_s + import, Damage::ImportHalf, "half");
    row("confirmed import there", import, Damage::ImportWhole);
    row("confirmed import lost", import, Damage::None, "lost");
    const QString opening = u"opening Banco -1250\n"_s;
    row("confirmed opening balance there", opening, Damage::OpeningWritten);
    row("confirmed opening balance lost", opening, Damage::None, "lost");
    row("opening balance under way, written", u"intent "_s + opening, Damage::OpeningWritten);
    row("opening balance under way, not yet", u"intent "_s + opening, Damage::None);
    row("opening balance nobody wrote", ready, Damage::OpeningWritten, "lost");
    row("rename under way, opening balance left behind", u"intent "_s + rename,
        Damage::RenameOpeningLeftBehind, "half");
    // The month is recorded with its entry in one transaction.
    const QString receipt = u"receipt 101 1 2024-01 2024-01-31 4530 Luz Caja G Recibo-1\n"_s;
    row("confirmed receipt there", receipt, Damage::ReceiptWritten);
    row("confirmed receipt lost", receipt, Damage::None, "lost");
    row("receipt under way, written", u"intent "_s + receipt, Damage::ReceiptWritten);
    row("receipt under way, not yet", u"intent "_s + receipt, Damage::None);
    row("receipt under way, entry without its month", u"intent "_s + receipt,
        Damage::ReceiptEntryOnly, "half");
    row("receipt under way, month without its entry", u"intent "_s + receipt,
        Damage::ReceiptMonthOnly, "half");
    const QString budget = u"budget Luz 5000\n"_s;
    row("confirmed budget there", budget, Damage::BudgetWritten);
    row("confirmed budget lost", budget, Damage::None, "lost");
    row("budget under way, written", u"intent "_s + budget, Damage::BudgetWritten);
    row("budget under way, not yet", u"intent "_s + budget, Damage::None);
    row("budget nobody wrote", ready, Damage::BudgetWritten, "lost");
    row("budget under way, some months only", u"intent budget Luz 1 2 3 4 5 6 7 8 9 10 11 12\n"_s,
        Damage::BudgetHalf, "half");
    row("rename under way, budget left behind", u"intent "_s + rename,
        Damage::RenameBudgetLeftBehind, "half");
    row("new year shows with entries", u"intent year N1-1\n"_s, Damage::YearWithEntries, "half");
}

void TestCrashCheck::findsWhatAKillMustNotLeave() {
    QFETCH(QString, report);
    QFETCH(Damage, damage);
    CrashInstallation installation(1);
    CrashModel model(installation);
    ::damage(installation, damage);
    QVERIFY(test::putBytes(importFile(installation), "Fecha;Concepto;Entra en;Sale de;Importe\r\n"
                                                     "05/03/2024;Importado-1;Caja;Nomina;12,34\r\n"
                                                     "06/03/2024;Importado-2;Luz;Caja;5,00\r\n"));

    Figures figures;
    report.replace(u"%1"_s, installation.dataRoot()).replace(u"%2"_s, importFile(installation));
    model.check(parseReport(report.toUtf8()), figures);
    QCOMPARE(figures.kills, 1);
    QFETCH(QString, found);
    QCOMPARE(figures.integrityFailures > 0, found == u"integrity"_s);
    QCOMPARE(figures.lostCommits > 0, found == u"lost"_s);
    QCOMPARE(figures.halfApplied > 0, found == u"half"_s);
    QCOMPARE(figures.badSettings > 0, found == u"settings"_s);

    // What was found is counted once: the next kill over the same files finds nothing new.
    if (damage != Damage::PageOverwritten) {
        Figures again;
        model.check(parseReport("ready\n"), again);
        QVERIFY(again.clean());
    }
}

QTEST_GUILESS_MAIN(TestCrashCheck)
#include "tst_crashtest.moc"
