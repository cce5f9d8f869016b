// The backup to a drive and the restore from it, on a temporary folder as the drive.

#include "maintenance/DriveBackup.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/SafetyCopies.h"

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
    void roundTrip();
    void failureChangesNothing_data();
    void failureChangesNothing();
};

// A second backup replaces the first; the restore brings the year back to the
// backed-up state and keeps a copy of what it replaced.
void TestDriveBackup::roundTrip() {
    Installation i;
    auto& [ledger, drive, folder] = i;
    QCOMPARE(backupFolderFor(drive.path() + '/'), drive.path() + "/CopiaVelmora/Datos");
    i.addEntry(1);
    backUpYear(ledger.state(), drive.path(), folder);
    i.addEntry(2);
    backUpYear(ledger.state(), drive.path(), folder);
    QCOMPARE(entriesIn(folder + "/Devedur.mdb"), 2);
    QCOMPARE(fileBytes(folder + "/ano.ini"), QByteArray("2024\r\n"));
    i.addEntry(3);
    const QString safety = restoreYear(ledger.state(), drive.path(), folder, now);
    QCOMPARE(ledger.countEntries(), 2);
    QCOMPARE(SafetyCopies(ledger.dataRoot(), "2024").list(), QStringList{safety});
    QCOMPARE(entriesIn(safety), 3);
}

void TestDriveBackup::failureChangesNothing_data() {
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QString>("message");
    const QString copy = "No se puede hacer la copia de seguridad: ";
    const QString back = "No se puede recuperar la copia de seguridad: ";
    QTest::newRow("copy, folder cannot be made")
        << "blocked" << copy + "no se puede crear la carpeta {drive}/otra/CopiaVelmora";
    QTest::newRow("copy, read-only folder")
        << "read-only" << copy + "no se puede escribir en la carpeta {folder}";
    // Found once the new copy is built: it must go, the previous one stay.
    QTest::newRow("copy, year file cannot be replaced")
        << "year file" << copy + "no se puede sustituir {folder}/ano.ini";
    const QString inData = "{data}/%1 está dentro de la carpeta de datos del programa ({data})";
    QTest::newRow("copy over the year's own database") << "own" << copy + inData.arg("2024");
    // Once this made 2023's ledger hold 2024's entries and said it was done.
    QTest::newRow("copy over another year") << "other" << copy + inData.arg("2023");
    QTest::newRow("restore, another year")
        << "2023" << back + "la copia de {folder} es del año 2023 y está trabajando en el año 2024";
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
    backUpYear(ledger.state(), drive.path(), folder);
    i.addEntry(2);
    QString root = drive.path();
    QString target = folder;
    const bool restore = !message.startsWith("No se puede hacer");
    if (sabotage == "blocked") {
        root += "/otra";
        QVERIFY(QDir(drive.path()).mkdir("otra"));
        writeFile(root + "/CopiaVelmora", "no es una carpeta");
        target = backupFolderFor(root);
    } else if (sabotage == "read-only") {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(folder + "/prueba").open(QIODevice::WriteOnly)) {
            QSKIP("permissions do not stop this user writing");
        }
    } else if (sabotage == "year file") {
        QVERIFY(QFile::remove(folder + "/ano.ini") && QDir(folder).mkdir("ano.ini"));
    } else if (sabotage == "own") {
        target = ledger.dataRoot() + "/2024";
    } else if (sabotage == "other") {
        target = ledger.dataRoot() + "/2023";
        writeFile(target + "/Devedur.mdb", "el libro de 2023");
        writeFile(target + "/ano.ini", "2023\r\n");
    } else if (sabotage == "2023") {
        writeFile(folder + "/ano.ini", "2023\r\n");
    } else if (sabotage == "corrupt") {
        writeFile(folder + "/Devedur.mdb", QByteArray(8192, 'x'));
    } else if (sabotage == "safety") {
        writeFile(ledger.dataRoot() + "/Copias de seguridad", "no es una carpeta");
    }
    const QByteArray backup = fileBytes(folder + "/Devedur.mdb");
    try {
        if (restore) {
            restoreYear(ledger.state(), root, target, now);
        } else {
            backUpYear(ledger.state(), root, target);
        }
        QFAIL("done");
    } catch (const BackupError& error) {
        QCOMPARE(error.message(), message.replace("{drive}", drive.path())
                                      .replace("{folder}", folder)
                                      .replace("{data}", ledger.dataRoot()));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(ledger.countEntries(), 2);
    QCOMPARE(fileBytes(folder + "/Devedur.mdb"), backup);
    QVERIFY(!QFile::exists(folder + "/Devedur.mdb.nueva"));
    QVERIFY(SafetyCopies(ledger.dataRoot(), "2024").list().isEmpty());
    if (sabotage == "other") {
        QCOMPARE(fileBytes(target + "/Devedur.mdb"), QByteArray("el libro de 2023"));
        QCOMPARE(fileBytes(target + "/ano.ini"), QByteArray("2023\r\n"));
    }
}

QTEST_GUILESS_MAIN(TestDriveBackup)
#include "tst_drivebackup.moc"
