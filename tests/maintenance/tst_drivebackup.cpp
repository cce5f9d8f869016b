// The backup to a drive and the restore from it, on a temporary folder as the drive.

#include "maintenance/DriveBackup.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QVERIFY(putBytes(path, bytes));
}

const QDateTime now{QDate(2024, 5, 17), QTime(10, 30)};

// A year with a temporary folder as the drive.
struct Installation {
    TestLedger ledger;
    QTemporaryDir drive;
    QString folder = backupFolderFor(drive.path());
    void addEntry(int id) { ledger.addEntry(id, "02/01/2024", "Agua", "Agua", "Banco", 30, "G"); }
};

} // namespace

class TestDriveBackup : public QObject {
    Q_OBJECT
private slots:
    void everyYearOnOneDrive_data();
    void everyYearOnOneDrive();
    void failureChangesNothing_data();
    void failureChangesNothing();
};

// One drive holds the copy of every year: a backup replaces only its own year's,
// and the restore brings the year back to it and keeps a copy of what it
// replaced. Once a backup of 2025 replaced 2024's copy on the same drive without
// a word, and the restore then refused every other year's copy, so 2024's was
// gone. The copies written before each year had its own folder ({folder}/
// Devedur.mdb and its ano.ini) are still found, and a backup of another year
// leaves them alone.
void TestDriveBackup::everyYearOnOneDrive_data() {
    QTest::addColumn<QString>("before"); // the year of the drive's copy; " flat": as written so far
    QTest::newRow("this year's copy") << "2024";
    QTest::newRow("another year's copy") << "2025";
    QTest::newRow("another year's copy, as written so far") << "2025 flat";
    QTest::newRow("this year's copy, as written so far") << "2024 flat";
}

void TestDriveBackup::everyYearOnOneDrive() {
    QFETCH(QString, before);
    Installation i;
    auto& [ledger, drive, folder] = i;
    QCOMPARE(backupFolderFor(drive.path() + '/'), drive.path() + "/CopiaVelmora/Datos");
    const bool flat = before.endsWith(" flat");
    const QString year = before.section(' ', 0, 0);
    const QString other = flat ? folder : folder + '/' + year;
    // The drive's earlier copy, with two entries.
    i.addEntry(1);
    i.addEntry(2);
    QVERIFY(QDir().mkpath(other));
    copyDatabase(ledger.db(), other + "/Devedur.mdb");
    QVERIFY(putBytes(other + "/ano.ini", year.toUtf8() + "\r\n"));
    const QByteArray otherCopy = fileBytes(other + "/Devedur.mdb");
    ledger.db().exec("DELETE FROM apuntes WHERE Id = 2", "test");

    const bool backedUp = before != "2024 flat";
    if (backedUp) {
        backUpYear(ledger.session(), drive.path(), folder);
        QCOMPARE(entriesIn(folder + "/2024/Devedur.mdb"), 1);
        QCOMPARE(fileBytes(folder + "/2024/ano.ini"), QByteArray("2024\r\n"));
    }
    if (year != "2024") {
        QCOMPARE(fileBytes(other + "/Devedur.mdb"), otherCopy);
        QCOMPARE(fileBytes(other + "/ano.ini"), year.toUtf8() + "\r\n");
    }

    i.addEntry(3);
    const QString safety = restoreYear(ledger.session(), drive.path(), folder, now);
    QCOMPARE(ledger.countEntries(), backedUp ? 1 : 2);
    QCOMPARE(SafetyCopies(ledger.dataRoot(), "2024").list(), QStringList{safety});
    QCOMPARE(entriesIn(safety), 2);

    // And the year on the drive is restored into that year, its own copy found.
    if (year == "2025") {
        YearDatabase(ledger.session()).create("2025");
        restoreYear(ledger.session(), drive.path(), folder, now);
        QCOMPARE(ledger.session().year(), QString("2025"));
        QCOMPARE(ledger.countEntries(), 2);
    }
}

void TestDriveBackup::failureChangesNothing_data() {
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QString>("message");
    const QString copy = "No se puede hacer la copia de seguridad: ";
    const QString back = "No se puede recuperar la copia de seguridad: ";
    QTest::newRow("copy, folder cannot be made")
        << "blocked" << copy + "no se puede crear la carpeta {drive}/otra/CopiaVelmora";
    QTest::newRow("copy, read-only folder")
        << "read-only" << copy + "no se puede escribir en la carpeta {folder}/2024";
    // Found once the new copy is built: it must go, the previous one stay.
    QTest::newRow("copy, year file cannot be replaced")
        << "year file" << copy + "no se puede sustituir {folder}/2024/ano.ini";
    QTest::newRow("copy over another year's copy in its place")
        << "other copy" << copy + "{folder}/2024 guarda la copia del año 2023, que no se sustituye";
    // Once this made 2023's ledger hold 2024's entries and said it was done.
    QTest::newRow("copy over another year")
        << "other" << copy + "{data}/2023 está dentro de la carpeta de datos del programa ({data})";
    QTest::newRow("restore, another year")
        << "2023" << back + "la copia de {folder} es del año 2023 y está trabajando en el año 2024";
    QTest::newRow("restore, only other years' copies")
        << "2023 apart"
        << back + "no hay ninguna copia del año 2024 en {folder} (solo hay copia del año 2023)";
    QTest::newRow("restore, corrupted")
        << "corrupt" << back + "el archivo está dañado o no es una base de datos de contabilidad";
    QTest::newRow("restore, no safety copy possible")
        << "safety"
        << back + "no se puede guardar antes una copia de los datos actuales (no se "
                  "puede crear la carpeta {data}/Copias de seguridad/2024)";
}

// Whatever fails, the user is told why, the year keeps its data, the backup
// stays as it was and no half-written file or safety copy is left.
void TestDriveBackup::failureChangesNothing() {
    QFETCH(QString, sabotage);
    QFETCH(QString, message);
    Installation i;
    auto& [ledger, drive, folder] = i;
    i.addEntry(1);
    backUpYear(ledger.session(), drive.path(), folder);
    i.addEntry(2);
    QString root = drive.path();
    QString target = folder;
    QString copyFile = folder + "/2024/Devedur.mdb"; // the copy that must stay as it is
    const bool restore = !message.startsWith("No se puede hacer");
    if (sabotage == "blocked") {
        root += "/otra";
        QVERIFY(QDir(drive.path()).mkdir("otra"));
        writeFile(root + "/CopiaVelmora", "no es una carpeta");
        target = backupFolderFor(root);
    } else if (sabotage == "read-only") {
        QVERIFY(QFile::setPermissions(folder + "/2024", QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(folder + "/2024/prueba").open(QIODevice::WriteOnly)) {
            QSKIP("permissions do not stop this user writing");
        }
    } else if (sabotage == "year file") {
        QVERIFY(QFile::remove(folder + "/2024/ano.ini") && QDir(folder).mkdir("2024/ano.ini"));
    } else if (sabotage == "other copy") {
        writeFile(folder + "/2024/ano.ini", "2023\r\n");
    } else if (sabotage == "other") {
        target = ledger.dataRoot() + "/2023";
        writeFile(target + "/Devedur.mdb", "el libro de 2023");
        writeFile(target + "/ano.ini", "2023\r\n");
    } else if (sabotage == "2023") {
        // Written before each year had its folder, and by another year.
        QVERIFY(QDir(folder + "/2024").removeRecursively());
        copyFile = folder + "/Devedur.mdb";
        copyDatabase(ledger.db(), copyFile);
        writeFile(folder + "/ano.ini", "2023\r\n");
    } else if (sabotage == "2023 apart") {
        copyFile = folder + "/2023/Devedur.mdb";
        QVERIFY(QDir(folder).rename("2024", "2023"));
        writeFile(folder + "/2023/ano.ini", "2023\r\n");
    } else if (sabotage == "corrupt") {
        writeFile(folder + "/2024/Devedur.mdb", QByteArray(8192, 'x'));
    } else if (sabotage == "safety") {
        writeFile(ledger.dataRoot() + "/Copias de seguridad", "no es una carpeta");
    }
    const QByteArray backup = fileBytes(copyFile);
    try {
        if (restore) {
            restoreYear(ledger.session(), root, target, now);
        } else {
            backUpYear(ledger.session(), root, target);
        }
        QFAIL("done");
    } catch (const BackupError& error) {
        QCOMPARE(error.message(), message.replace("{drive}", drive.path())
                                      .replace("{folder}", folder)
                                      .replace("{data}", ledger.dataRoot()));
    }
    QFile::setPermissions(folder + "/2024", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(ledger.countEntries(), 2);
    QCOMPARE(fileBytes(copyFile), backup);
    QVERIFY(!QFile::exists(copyFile + ".nueva"));
    QVERIFY(SafetyCopies(ledger.dataRoot(), "2024").list().isEmpty());
    if (sabotage == "other") {
        QCOMPARE(fileBytes(target + "/Devedur.mdb"), QByteArray("el libro de 2023"));
        QCOMPARE(fileBytes(target + "/ano.ini"), QByteArray("2023\r\n"));
    }
}

QTEST_GUILESS_MAIN(TestDriveBackup)
#include "tst_drivebackup.moc"
