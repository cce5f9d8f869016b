// The kill loop's check must see each kind of damage it is there to find,
// and take for sound what a kill may rightly leave.

#include "CrashCheck.h"
#include "CrashChild.h"
#include "maintenance/DriveBackup.h"
#include "startup/Settings.h"
#include "store/AccountStore.h"
#include "store/DatabaseFiles.h"
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
    QTest::newRow("insert") << u"insert 12 2024-03-05 1050 Caja Nomina I Apunte-3"_s << true;
    QTest::newRow("update") << u"update 7 2024-12-31 99 Luz Caja G Apunte-4"_s << true;
    QTest::newRow("delete") << u"delete 7"_s << true;
    QTest::newRow("rename") << u"rename Caja Caja-k2-1"_s << true;
    QTest::newRow("compact") << u"compact"_s << true;
    QTest::newRow("year") << u"year N1-2"_s << true;
    QTest::newRow("copy into a folder with spaces")
        << u"copy 120 /tmp/a b/Copias de seguridad/2024/Devedur-20240101-000000.mdb"_s << true;
    QTest::newRow("colour") << u"colour 255"_s << true;
    QTest::newRow("backup") << u"backup 120"_s << true;
    QTest::newRow("import from a folder with spaces")
        << u"import 3 401 /tmp/a b/importar.csv"_s << true;
    QTest::newRow("import without its first number") << u"import 3 /tmp/importar.csv"_s << false;
    QTest::newRow("backup of nothing") << u"backup"_s << false;
    QTest::newRow("amount not a number")
        << u"insert 12 2024-03-05 mil Caja Nomina I Apunte-3"_s << false;
    QTest::newRow("entry cut short") << u"insert 12 2024-03-05 1050 Caja"_s << false;
    QTest::newRow("delete of nothing") << u"delete"_s << false;
    QTest::newRow("rename without new name") << u"rename Caja"_s << false;
    QTest::newRow("unknown write") << u"borrar 3"_s << false;
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

void TestCrashCheck::findsWhatAKillMustNotLeave_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<bool>("integrity");
    QTest::addColumn<bool>("lost");
    QTest::addColumn<bool>("half");
    QTest::addColumn<bool>("settings");

    const QString insert = u"insert 500 2024-01-02 1234 Caja Nomina I Nuevo"_s;
    QTest::newRow("killed before any write")
        << u"ready\n"_s << Damage::None << false << false << false << false;
    QTest::newRow("confirmed entry there")
        << insert + u'\n' << Damage::InsertWritten << false << false << false << false;
    QTest::newRow("confirmed entry lost")
        << insert + u'\n' << Damage::None << false << true << false << false;
    QTest::newRow("confirmation cut short by the kill")
        << insert << Damage::None << false << false << false << false;
    QTest::newRow("entry under way, saved")
        << u"intent "_s + insert + u'\n' << Damage::InsertWritten << false << false << false
        << false;
    QTest::newRow("row nobody wrote")
        << u"ready\n"_s << Damage::InsertWritten << false << true << false << false;
    QTest::newRow("confirmed delete lost")
        << u"delete 1\n"_s << Damage::None << false << true << false << false;
    QTest::newRow("rename under way, done")
        << u"intent rename Caja "_s + kNewName + u'\n' << Damage::RenameWhole << false << false
        << false << false;
    QTest::newRow("rename under way, in Entra en only")
        << u"intent rename Caja "_s + kNewName + u'\n' << Damage::RenameGoesIntoOnly << false
        << false << true << false;
    QTest::newRow("confirmed rename lost")
        << u"rename Caja "_s + kNewName + u'\n' << Damage::None << false << true << false << false;
    QTest::newRow("colour file emptied")
        << u"ready\n"_s << Damage::ColourEmptied << false << false << false << true;
    QTest::newRow("colour under way, written")
        << u"intent colour 255\n"_s << Damage::ColourWritten << false << false << false << false;
    QTest::newRow("colour nobody wrote")
        << u"ready\n"_s << Damage::ColourWritten << false << false << false << true;
    QTest::newRow("ano.ini on a year nobody made")
        << u"ready\n"_s << Damage::YearFileElsewhere << false << false << false << true;
    QTest::newRow("page overwritten")
        << u"ready\n"_s << Damage::PageOverwritten << true << false << false << false;
    QTest::newRow("confirmed year missing")
        << u"year N1-1\n"_s << Damage::None << false << true << false << false;
    const QString oldCopy = u"copy 100 %1/Copias de seguridad/2024/Devedur-20240101-000000.mdb\n"_s;
    QTest::newRow("confirmed copy missing")
        << oldCopy << Damage::None << false << true << false << false;
    QTest::newRow("confirmed copy pushed out by ten newer")
        << oldCopy << Damage::TenNewerCopies << false << false << false << false;
    QTest::newRow("confirmed backup there")
        << u"backup 100\n"_s << Damage::BackupWritten << false << false << false << false;
    QTest::newRow("confirmed backup missing")
        << u"backup 100\n"_s << Damage::None << false << true << false << false;
    QTest::newRow("backup under way, done")
        << u"intent backup 100\n"_s << Damage::BackupWritten << false << false << false << false;
    QTest::newRow("backup under way, not yet")
        << u"intent backup 100\n"_s << Damage::None << false << false << false << false;
    QTest::newRow("backup nobody made")
        << u"ready\n"_s << Damage::BackupWritten << false << true << false << false;
    QTest::newRow("backup damaged")
        << u"intent backup 100\n"_s << Damage::BackupDamaged << true << false << false << false;
    const QString import = u"import 2 101 %2\n"_s;
    QTest::newRow("import under way, whole")
        << u"intent "_s + import << Damage::ImportWhole << false << false << false << false;
    QTest::newRow("import under way, not yet")
        << u"intent "_s + import << Damage::None << false << false << false << false;
    QTest::newRow("import under way, half written")
        << u"intent "_s + import << Damage::ImportHalf << false << false << true << false;
    QTest::newRow("confirmed import there")
        << import << Damage::ImportWhole << false << false << false << false;
    QTest::newRow("confirmed import lost")
        << import << Damage::None << false << true << false << false;
    QTest::newRow("new year shows with entries")
        << u"intent year N1-1\n"_s << Damage::YearWithEntries << false << false << true << false;
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
    QTEST(figures.integrityFailures > 0, "integrity");
    QTEST(figures.lostCommits > 0, "lost");
    QTEST(figures.halfApplied > 0, "half");
    QTEST(figures.badSettings > 0, "settings");

    // What was found is counted once: the next kill over the same files finds nothing new.
    if (damage != Damage::PageOverwritten) {
        Figures again;
        model.check(parseReport("ready\n"), again);
        QVERIFY(again.clean());
    }
}

QTEST_GUILESS_MAIN(TestCrashCheck)
#include "tst_crashtest.moc"
