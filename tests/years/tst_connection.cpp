// The connection set-up: it follows ruta.ini and ano.ini to the year's database,
// and when that database cannot be used it says why and keeps the one it had.

#include "startup/AppState.h"
#include "startup/Settings.h"
#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "years/ConnectionSetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

using namespace velmora;
using namespace Qt::StringLiterals;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void switchYear_data();
    void switchYear();
};

namespace {

bool hasCaja(Database& db) {
    return ExisteValor(db, u"Contas"_s, u"conNom"_s, u"caja"_s);
}

// A ledger at path, with the tables the program expects.
std::unique_ptr<Database> createLedger(const QString& path) {
    auto db = std::make_unique<Database>(path, Database::Mode::CreateIfMissing);
    createLedgerSchema(*db);
    return db;
}

} // namespace

// The year window writes ano.ini, then runs the set-up again.
void TestConnection::switchYear_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason"); // empty: the new year opens
    const QString notALedger = u"no es una base de datos de contabilidad: "_s;
    QTest::newRow("a ledger") << u"none"_s << QString();
    QTest::newRow("year without folder") << u"no folder"_s << u"el archivo no existe"_s;
    QTest::newRow("text file")
        << u"text"_s << u"el archivo está dañado o no es una base de datos de contabilidad"_s;
    QTest::newRow("empty file") << u"empty"_s << notALedger + u"falta la tabla apuntes"_s;
    QTest::newRow("entries without class")
        << u"no GoI"_s << notALedger + u"faltan columnas en la tabla apuntes"_s;
    // Once this opened the ledger of a folder outside the data root.
    QTest::newRow("year outside the data root")
        << u"outside"_s << u"ano.ini no nombra un año de la carpeta de datos"_s;
    QTest::newRow("locked") << u"locked"_s
                            << u"la base de datos está bloqueada por otro programa"_s;
}

void TestConnection::switchYear() {
    QFETCH(QString, problem);
    QFETCH(QString, reason);
    test::TestLedger ledger;
    ledger.addAccount(u"Caja"_s, u"C"_s);
    AppState& state = ledger.state();
    const Database* before = state.connection.get();

    const QString year = problem == u"outside"_s ? u"../fuera"_s : u"2030"_s;
    const QString path = ledger.dataRoot() + u'/' + year + u"/Devedur.mdb"_s;
    const QByteArray text =
        QByteArray("Fecha;Concepto;Importe\r\n05/03/2024;Luz;45,10\r\n").repeated(40);
    std::unique_ptr<Database> holder;
    SettingsFiles(ledger.programFolder()).writeYear(year);
    if (problem != u"no folder"_s) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    }
    if (problem == u"text"_s || problem == u"empty"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(problem == u"text"_s ? text : QByteArray());
    } else if (problem == u"none"_s || problem == u"outside"_s) {
        createLedger(path);
    } else if (problem == u"no GoI"_s) {
        createLedger(path)->exec("ALTER TABLE apuntes DROP COLUMN GoI", "quitar la columna");
    } else if (problem == u"locked"_s) {
        holder = createLedger(path);
        holder->exec("BEGIN EXCLUSIVE; INSERT INTO Contas (conNom) VALUES ('Banco')", "bloquear");
    }

    try {
        setupConnection(state);
        QVERIFY(reason.isEmpty());
    } catch (const ConnectionError& error) {
        QCOMPARE(error.path(), path);
        QCOMPARE(error.reason(), reason);
        QCOMPARE(error.message(),
                 u"No se puede abrir la base de datos "_s + path + u": "_s + reason);
    }
    if (reason.isEmpty()) {
        QCOMPARE(state.year, u"2030"_s);
        QCOMPARE(state.databasePath, path);
        QCOMPARE(state.db().path(), path);
        QVERIFY(!hasCaja(state.db()));
        return;
    }
    QCOMPARE(state.dataRoot, ledger.dataRoot());
    QCOMPARE(state.year, u"2024"_s);
    QCOMPARE(state.databasePath, ledger.databasePath());
    QCOMPARE(state.connection.get(), before);
    QVERIFY(hasCaja(state.db()));
    if (problem == u"text"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text);
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
