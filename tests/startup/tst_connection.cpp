// The connection set-up: it follows ruta.ini and ano.ini to the year's database,
// and when that database cannot be used it says why and keeps the one it had.

#include "startup/AppState.h"
#include "startup/ConnectionSetup.h"
#include "startup/Settings.h"
#include "store/Funciones.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace velmora;
using velmora::test::TestLedger;

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void followsAnoIni();
    void failureKeepsPreviousState_data();
    void failureKeepsPreviousState();
    void colourValues();
};

namespace {

bool hasAccount(Database& db, const QString& name) {
    return ExisteValor(db, QStringLiteral("Contas"), QStringLiteral("conNom"), name);
}

} // namespace

void TestConnection::followsAnoIni() {
    TestLedger ledger;
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    AppState state;
    state.programFolder = ledger.programFolder();
    setupConnection(state);
    QCOMPARE(state.dataRoot, ledger.dataRoot());
    QCOMPARE(state.year, QStringLiteral("2024"));
    QCOMPARE(state.databasePath, ledger.dataRoot() + QStringLiteral("/2024/Devedur.mdb"));
    QCOMPARE(state.db().path(), state.databasePath);
    QVERIFY(hasAccount(state.db(), QStringLiteral("caja")));

    // The year window writes ano.ini, then runs the set-up again.
    const QString newPath = ledger.dataRoot() + QStringLiteral("/2025/Devedur.mdb");
    QVERIFY(QDir().mkpath(QFileInfo(newPath).path()));
    {
        Database created(newPath, Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    }
    SettingsFiles(ledger.programFolder()).writeYear(QStringLiteral("2025"));
    setupConnection(state);
    QCOMPARE(state.year, QStringLiteral("2025"));
    QCOMPARE(state.databasePath, newPath);
    QCOMPARE(state.db().path(), newPath);
    QVERIFY(!hasAccount(state.db(), QStringLiteral("Caja")));
}

void TestConnection::failureKeepsPreviousState_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* name, const char* problem, const QString& reason) {
        QTest::newRow(name) << QString::fromUtf8(problem) << reason;
    };
    const QString notALedger =
        QStringLiteral("no es una base de datos de contabilidad: falta la tabla ");
    row("year without folder", "missing", QStringLiteral("el archivo no existe"));
    row("ano.ini removed", "no ano.ini", QStringLiteral("el archivo no existe"));
    row("ruta.ini removed", "no ruta.ini", QStringLiteral("el archivo no existe"));
    row("text file", "text",
        QStringLiteral("el archivo está dañado o no es una base de datos de contabilidad"));
    row("empty file", "empty", notALedger + "apuntes");
    row("no company table", "no tblTitulos", notALedger + "tblTitulos");
    row("entries without class", "no GoI",
        QStringLiteral("no es una base de datos de contabilidad: faltan columnas en la tabla "
                       "apuntes"));
    row("locked", "locked", QStringLiteral("la base de datos está bloqueada por otro programa"));
}

void TestConnection::failureKeepsPreviousState() {
    QFETCH(QString, problem);
    QFETCH(QString, reason);
    TestLedger ledger;
    ledger.addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    AppState& state = ledger.state();
    const Database* before = state.connection.get();
    const SettingsFiles settings(ledger.programFolder());

    QString path = ledger.dataRoot() + QStringLiteral("/2030/Devedur.mdb");
    std::unique_ptr<Database> holder;
    if (problem == QLatin1String("no ano.ini")) {
        QVERIFY(QFile::remove(settings.pathOf(QStringLiteral("ano.ini"))));
        path = ledger.dataRoot() + QStringLiteral("//Devedur.mdb");
    } else if (problem == QLatin1String("no ruta.ini")) {
        QVERIFY(QFile::remove(settings.pathOf(QStringLiteral("ruta.ini"))));
        path = QStringLiteral("/2024/Devedur.mdb");
    } else {
        settings.writeYear(QStringLiteral("2030"));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    }
    if (problem == QLatin1String("text") || problem == QLatin1String("empty")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (problem == QLatin1String("text")) {
            file.write(
                QByteArray("Fecha;Concepto;Importe\r\n05/03/2024;Luz;45,10\r\n").repeated(40));
        }
    } else if (problem == QLatin1String("no tblTitulos") || problem == QLatin1String("locked") ||
               problem == QLatin1String("no GoI")) {
        holder = std::make_unique<Database>(path, Database::Mode::CreateIfMissing);
        createLedgerSchema(*holder);
        if (problem == QLatin1String("locked")) {
            holder->exec("BEGIN EXCLUSIVE; INSERT INTO Contas (conNom) VALUES ('Banco')",
                         "bloquear");
        } else if (problem == QLatin1String("no GoI")) {
            holder->exec("ALTER TABLE apuntes DROP COLUMN GoI", "quitar la columna");
        } else {
            holder->exec("DROP TABLE tblTitulos", "borrar");
        }
    }
    const QByteArray fileBefore = problem == QLatin1String("text") ? [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }() : QByteArray();

    bool thrown = false;
    try {
        setupConnection(state);
    } catch (const ConnectionError& error) {
        thrown = true;
        QCOMPARE(error.path(), path);
        QCOMPARE(error.reason(), reason);
        QCOMPARE(error.message(), QStringLiteral("No se puede abrir la base de datos ") + path +
                                      QStringLiteral(": ") + reason);
    }
    QVERIFY(thrown);
    QCOMPARE(state.dataRoot, ledger.dataRoot());
    QCOMPARE(state.year, QStringLiteral("2024"));
    QCOMPARE(state.databasePath, ledger.databasePath());
    QCOMPARE(state.connection.get(), before);
    QVERIFY(hasAccount(state.db(), QStringLiteral("Caja")));
    if (problem == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fileBefore);
    }
}

// Colours are stored red in the lowest byte, as the settings files hold them.
void TestConnection::colourValues() {
    const QList<std::pair<qint32, QColor>> colours{{12632256, QColor(192, 192, 192)},
                                                   {255, QColor(255, 0, 0)},
                                                   {16711680, QColor(0, 0, 255)},
                                                   {12648447, QColor(255, 255, 192)}};
    for (const auto& [value, colour] : colours) {
        QCOMPARE(colourFromValue(value), colour);
        QCOMPARE(valueFromColour(colour), value);
    }
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
