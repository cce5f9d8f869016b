// The one gate every user-named path goes through: what it refuses to write,
// read, remove or back up into, and the ordinary paths it lets through.

#include "state/PathGate.h"
#include "support/Files.h"
#include "support/HostilePaths.h"
#include "support/TestLedger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

class TestPathGate : public QObject {
    Q_OBJECT
private slots:
    void refusesHostileOutputs_data();
    void refusesHostileOutputs();
    void letsOrdinaryOutputsThrough_data();
    void letsOrdinaryOutputsThrough();
    void readsOnlyRegularFiles_data();
    void readsOnlyRegularFiles();
    void removesWithoutFollowingLinks();
    void keepsBackupsOutOfTheProgramsFolders_data();
    void keepsBackupsOutOfTheProgramsFolders();

private:
    TestLedger ledger_;
    QTemporaryDir scratch_;
    QTemporaryDir inputs_;
    QList<HostilePath> outputs_ = hostileOutputs(ledger_, scratch_.path());
    PathGate gate() { return PathGate(ledger_.state().session.places()); }
};

void TestPathGate::refusesHostileOutputs_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal");
    for (const HostilePath& row : outputs_) {
        QTest::newRow(row.name.constData()) << row.path << row.refusal;
    }
}

void TestPathGate::refusesHostileOutputs() {
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    const std::optional<QString> reason = gate().refuseOutput(path);
    QVERIFY2(reason && reason->contains(refusal), qPrintable(reason.value_or(u"(nada)"_s)));
    // The reason names the path as the user gave it.
    QVERIFY2(reason->contains(QDir::toNativeSeparators(path)) ||
                 reason->startsWith(u"no existe la carpeta"_s),
             qPrintable(*reason));
}

void TestPathGate::letsOrdinaryOutputsThrough_data() {
    QTest::addColumn<QString>("path");
    const QString folder = scratch_.filePath(u"corriente"_s);
    QVERIFY(putBytes(folder + u"/viejo.csv"_s, "Fecha;Concepto\r\n"));
    QVERIFY(putBytes(folder + u"/Devedur.mdb"_s, "no es una base de datos"));
    QVERIFY(putBytes(folder + u"/ano.ini"_s, "2024\r\n"));
    QVERIFY(QFile::link(folder + u"/viejo.csv"_s, folder + u"/enlace.csv"_s));
    QTest::newRow("new file") << folder + u"/nuevo.csv"_s;
    QTest::newRow("existing CSV") << folder + u"/viejo.csv"_s;
    QTest::newRow("link to an ordinary file") << folder + u"/enlace.csv"_s;
    QTest::newRow("a text named like the ledger") << folder + u"/Devedur.mdb"_s;
    QTest::newRow("a text named like a setting") << folder + u"/ano.ini"_s;
    QTest::newRow("a text named like the import rules") << folder + u"/reglas.txt"_s;
    QTest::newRow("relative path") << u"exportado.csv"_s;
}

void TestPathGate::letsOrdinaryOutputsThrough() {
    QFETCH(QString, path);
    const std::optional<QString> reason = gate().refuseOutput(path);
    QVERIFY2(!reason, qPrintable(reason.value_or(QString())));
}

void TestPathGate::readsOnlyRegularFiles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("refusal"); // empty: read
    for (const HostilePath& row : hostileInputs(inputs_.path())) {
        QTest::newRow(row.name.constData()) << row.path << kSmallFileLimit << row.refusal;
    }
    const QString file = inputs_.filePath(u"datos.csv"_s);
    QVERIFY(putBytes(file, QByteArray(2048, 'x')));
    QTest::newRow("exactly at the limit") << file << qint64(2048) << QString();
    QTest::newRow("past the limit") << file << qint64(1024) << u"pasa de 1 KB"_s;
}

void TestPathGate::readsOnlyRegularFiles() {
    QFETCH(QString, path);
    QFETCH(qint64, limit);
    QFETCH(QString, refusal);
    QFile file;
    const std::optional<QString> reason = openRegularFile(path, limit, file);
    if (refusal.isEmpty()) {
        QVERIFY2(!reason, qPrintable(reason.value_or(QString())));
        QCOMPARE(file.readAll().size(), 2048);
        return;
    }
    QVERIFY2(reason && reason->contains(refusal), qPrintable(reason.value_or(u"(nada)"_s)));
    QVERIFY(!file.isOpen());
}

// A folder planted as a link, or a link planted inside a folder, must never lead
// a removal to the files it points at.
void TestPathGate::removesWithoutFollowingLinks() {
    QTemporaryDir dir;
    const QString precious = dir.filePath(u"ajenos"_s);
    QVERIFY(putBytes(precious + u"/importante.txt"_s, "no borrar"));
    const QString tree = dir.filePath(u"arbol"_s);
    QVERIFY(putBytes(tree + u"/a/b/archivo"_s, "x"));
    QVERIFY(QFile::link(precious, tree + u"/a/enlace"_s));
    QVERIFY(QFile::link(precious + u"/importante.txt"_s, tree + u"/enlace-archivo"_s));

    QVERIFY(QFile::link(precious, dir.filePath(u"plantado"_s)));
    QVERIFY(!removeFolderTree(dir.filePath(u"plantado"_s)));
    QVERIFY(isLink(dir.filePath(u"plantado"_s)));

    QVERIFY(removeFolderTree(tree));
    QVERIFY(nothingAt(tree));
    QCOMPARE(fileBytes(precious + u"/importante.txt"_s), QByteArray("no borrar"));
    QVERIFY(!removeFolderTree(tree)); // nothing left to remove
}

void TestPathGate::keepsBackupsOutOfTheProgramsFolders_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("refusal"); // empty: allowed
    const QString data = ledger_.dataRoot();
    const QString inside = u"dentro de la carpeta de datos"_s;
    QVERIFY(QFile::link(data + u"/2023"_s, scratch_.filePath(u"otro-ano"_s)));
    // A year's folder inside it is the drive backup's test.
    QTest::newRow("the data root") << data << inside;
    QTest::newRow("a new folder in the data root") << data + u"/Copia/Datos"_s << inside;
    QTest::newRow("a link to a year") << scratch_.filePath(u"otro-ano"_s) << inside;
    QTest::newRow("the settings folder")
        << ledger_.programFolder() << u"dentro de la carpeta de ajustes"_s;
    QTest::newRow("a drive's folder") << scratch_.filePath(u"CopiaVelmora/Datos"_s) << QString();
}

void TestPathGate::keepsBackupsOutOfTheProgramsFolders() {
    QFETCH(QString, folder);
    QFETCH(QString, refusal);
    const std::optional<QString> reason = gate().refuseBackupFolder(folder);
    if (refusal.isEmpty()) {
        QVERIFY2(!reason, qPrintable(reason.value_or(QString())));
    } else {
        QVERIFY2(reason && reason->contains(refusal), qPrintable(reason.value_or(u"(nada)"_s)));
    }
}

QTEST_GUILESS_MAIN(TestPathGate)
#include "tst_pathgate.moc"
