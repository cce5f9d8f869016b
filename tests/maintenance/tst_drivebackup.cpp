// The backup to a drive and the restore from it, on a temporary folder as the drive.

#include "maintenance/DriveBackup.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "years/SafetyCopies.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QDateTime kNow(QDate(2024, 5, 17), QTime(10, 30));

int entriesIn(const QString& file) {
    Database db(file);
    Statement count(db, "SELECT COUNT(*) FROM apuntes", "test: contar");
    count.step();
    return static_cast<int>(count.columnInt(0));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

struct BackupDrive {
    TestLedger ledger;
    QTemporaryDir dir;
    QString root() const { return dir.path(); }
    QString folder() const { return backupFolderFor(root()); }
    QString backup() const { return folder() + "/Devedur.mdb"; }
    BackupDrive() { ledger.addEntry(1, "02/01/2024", "Nómina", "Banco", "Nómina", 1200, "I"); }
};

} // namespace

class TestDriveBackup : public QObject {
    Q_OBJECT
private slots:
    void backupFolder_data();
    void backupFolder();
    void roundTrip();
    void restoreRefused_data();
    void restoreRefused();
    void backupFails_data();
    void backupFails();
};

void TestDriveBackup::backupFolder_data() {
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("folder");
    QTest::newRow("system root") << "/"
                                 << "/CopiaVelmora/Datos";
    QTest::newRow("mount point") << "/media/ana/USB"
                                 << "/media/ana/USB/CopiaVelmora/Datos";
    QTest::newRow("trailing slash") << "/media/ana/USB/"
                                    << "/media/ana/USB/CopiaVelmora/Datos";
}

void TestDriveBackup::backupFolder() {
    QFETCH(QString, root);
    QTEST(backupFolderFor(root), "folder");
}

// A second backup replaces the first; the restore brings the year back to the
// backed-up state and keeps a copy of what it replaced.
void TestDriveBackup::roundTrip() {
    BackupDrive d;
    backUpYear(d.ledger.state(), d.root(), d.folder());
    d.ledger.addEntry(2, "03/01/2024", "Agua", "Agua", "Banco", 30, "G");
    backUpYear(d.ledger.state(), d.root(), d.folder());
    QCOMPARE(entriesIn(d.backup()), 2);
    QFile year(d.folder() + "/ano.ini");
    QVERIFY(year.open(QIODevice::ReadOnly));
    QCOMPARE(year.readAll(), QByteArray("2024\r\n"));
    QCOMPARE(QDir(d.folder()).entryList(QDir::Files, QDir::Name),
             (QStringList{"Devedur.mdb", "ano.ini"}));

    d.ledger.addEntry(3, "04/01/2024", "Luz", "Luz", "Banco", 45, "G");
    const QString safety = restoreYear(d.ledger.state(), d.root(), d.folder(), kNow);
    QCOMPARE(d.ledger.countEntries(), 2);
    QCOMPARE(SafetyCopies(d.ledger.dataRoot(), "2024").list(), QStringList{safety});
    QCOMPARE(entriesIn(safety), 3);
}

void TestDriveBackup::restoreRefused_data() {
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QString>("message");
    const QString lead = "No se puede recuperar la copia de seguridad: ";
    QTest::newRow("no mark on the drive") << "mark"
                                          << "No se encontraron datos en la unidad indicada";
    QTest::newRow("another year")
        << "year"
        << lead + "la copia de {folder} es del año 2023 y está trabajando en "
                  "el año 2024";
    QTest::newRow("no year file") << "no year"
                                  << lead + "la copia de {folder} no indica de qué año es";
    QTest::newRow("corrupted file")
        << "corrupt" << lead + "el archivo está dañado o no es una base de datos de contabilidad";
    QTest::newRow("no safety copy possible")
        << "safety"
        << lead + "no se puede guardar antes una copia de los datos actuales (no se puede crear "
                  "la carpeta {safety})";
}

// Whatever is wrong, the year keeps its data and no safety copy is left behind.
void TestDriveBackup::restoreRefused() {
    QFETCH(QString, sabotage);
    QFETCH(QString, message);
    BackupDrive d;
    backUpYear(d.ledger.state(), d.root(), d.folder());
    d.ledger.addEntry(2, "03/01/2024", "Agua", "Agua", "Banco", 30, "G");
    const QString safetyRoot = d.ledger.dataRoot() + "/Copias de seguridad";
    if (sabotage == "mark") {
        QVERIFY(QDir(d.root() + "/CopiaVelmora").removeRecursively());
    } else if (sabotage == "year") {
        writeFile(d.folder() + "/ano.ini", "2023\r\n");
    } else if (sabotage == "no year") {
        QVERIFY(QFile::remove(d.folder() + "/ano.ini"));
    } else if (sabotage == "corrupt") {
        writeFile(d.backup(), QByteArray(8192, 'x'));
    } else {
        writeFile(safetyRoot, "no es una carpeta");
    }
    try {
        restoreYear(d.ledger.state(), d.root(), d.folder(), kNow);
        QFAIL("restored");
    } catch (const BackupError& error) {
        QCOMPARE(error.message(),
                 message.replace("{folder}", d.folder()).replace("{safety}", safetyRoot + "/2024"));
    }
    QCOMPARE(d.ledger.countEntries(), 2);
    QVERIFY(SafetyCopies(d.ledger.dataRoot(), "2024").list().isEmpty());
}

void TestDriveBackup::backupFails_data() {
    QTest::addColumn<QString>("sabotage");
    QTest::addColumn<QString>("message");
    const QString lead = "No se puede hacer la copia de seguridad: ";
    QTest::newRow("no disk") << "no disk"
                             << lead +
                                    "no se encuentra la unidad {drive}/fuera; compruebe que hay un "
                                    "disco en ella";
    QTest::newRow("folder cannot be made")
        << "blocked" << lead + "no se puede crear la carpeta {drive}/CopiaVelmora";
    QTest::newRow("path names no folder")
        << "path" << lead + "no existe la carpeta {drive}/CopiaVelmora/Otra";
    QTest::newRow("read-only folder")
        << "read-only" << lead + "no se puede escribir en la carpeta {drive}/CopiaVelmora/Datos";
    // Found once the new copy is built: it must go, the previous one stay.
    QTest::newRow("year file cannot be replaced")
        << "year file" << lead + "no se puede sustituir {drive}/CopiaVelmora/Datos/ano.ini";
}

// A failed backup says why and leaves the previous one as it was.
void TestDriveBackup::backupFails() {
    QFETCH(QString, sabotage);
    QFETCH(QString, message);
    BackupDrive d;
    QString root = d.root();
    QString folder = d.folder();
    if (sabotage == "blocked") {
        writeFile(root + "/CopiaVelmora", "no es una carpeta");
    } else {
        backUpYear(d.ledger.state(), d.root(), d.folder());
    }
    d.ledger.addEntry(2, "03/01/2024", "Agua", "Agua", "Banco", 30, "G");
    if (sabotage == "no disk") {
        root += "/fuera";
    } else if (sabotage == "path") {
        folder = root + "/CopiaVelmora/Otra";
    } else if (sabotage == "read-only") {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(folder + "/prueba").open(QIODevice::WriteOnly)) {
            QSKIP("permissions do not stop this user writing");
        }
    } else if (sabotage == "year file") {
        QVERIFY(QFile::remove(folder + "/ano.ini"));
        QVERIFY(QDir(folder).mkdir("ano.ini"));
    }
    try {
        backUpYear(d.ledger.state(), root, folder);
        QFAIL("backed up");
    } catch (const BackupError& error) {
        QCOMPARE(error.message(), message.replace("{drive}", d.root()));
    }
    QFile::setPermissions(d.folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (sabotage != "blocked") {
        QCOMPARE(entriesIn(d.backup()), 1);
        QVERIFY(!QFile::exists(d.backup() + ".nueva"));
    }
}

QTEST_GUILESS_MAIN(TestDriveBackup)
#include "tst_drivebackup.moc"
