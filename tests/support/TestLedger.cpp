#include "support/TestLedger.h"

#include "app/NewYearSteps.h"
#include "reports/ReportDefinition.h"
#include "state/Settings.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "years/ConnectionSetup.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace velmora::test {

QString privateRuntimeFolder() {
    static QTemporaryDir runtime;
    static const bool set = qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    Q_UNUSED(set);
    return runtime.path();
}

TestLedger::TestLedger(const QString& year)
    : year_(year), state_(dir_.path() + QStringLiteral("/bin")) {
    privateRuntimeFolder();
    QDir root(dir_.path());
    root.mkpath(QStringLiteral("bin/Datos"));
    root.mkpath(QStringLiteral("data/") + year);
    const SettingsFiles settings(programFolder());
    settings.writeDataRoot(dataRoot());
    settings.writeYear(year);
    if (!putBytes(reportFilePath(dataRoot()), defaultReportFile())) {
        QTest::qFail("TestLedger: no se puede escribir el archivo de reporte", __FILE__, __LINE__);
    }
    {
        Database created(databasePath(), Database::Mode::CreateIfMissing);
        createLedgerSchema(created);
    }
    state_.newYearStep = newYearSteps;
    state_.palette.setMain(0xC0C0C0);
    state_.palette.setSection(0xE0FFFF);
    setupConnection(state_.session);
}

QString TestLedger::programFolder() const {
    return dir_.path() + QStringLiteral("/bin");
}

QString TestLedger::dataRoot() const {
    return dir_.path() + QStringLiteral("/data");
}

QString TestLedger::databasePath() const {
    return dataRoot() + QLatin1Char('/') + year_ + QStringLiteral("/Devedur.mdb");
}

void TestLedger::addAccount(const QString& name, const QString& kind,
                            const QString& accountConcept) {
    Statement insert(db(), "INSERT INTO Contas (conNom, conCon, conTipo) VALUES (?1, ?2, ?3)",
                     "test: añadir cuenta");
    insert.bind(1, name).bind(2, accountConcept.isEmpty() ? name : accountConcept).bind(3, kind);
    insert.run();
}

void TestLedger::addEntry(qint64 id, const QString& date, const QString& description,
                          const QString& goesInto, const QString& comesOutOf, double amount,
                          const QString& movementClass) {
    const std::optional<QDate> day = parseDate(date);
    if (!day) {
        QTest::qFail("addEntry: fecha incorrecta", __FILE__, __LINE__);
        return;
    }
    Statement insert(db(),
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "test: añadir apunte");
    insert.bind(1, static_cast<int64_t>(id))
        .bind(2, toStoredDate(*day))
        .bind(3, description)
        .bind(4, goesInto)
        .bind(5, comesOutOf)
        .bind(6, amount)
        .bind(7, movementClass);
    insert.run();
}

void TestLedger::addBulkEntries(int count, const QString& date, const QString& account,
                                int length) {
    for (int id = 1; id <= count; ++id) {
        addEntry(id, date, QString(length, u'x'), account, account, id, QStringLiteral("C"));
    }
}

void TestLedger::addCashBook(int count) {
    addAccount(QStringLiteral("Caja"), QStringLiteral("C"));
    addBulkEntries(count, QStringLiteral("05/03/") + year_, QStringLiteral("Caja"), 200);
}

int TestLedger::countEntries() {
    return rows(QStringLiteral("SELECT COUNT(*) FROM apuntes")).value(0).toInt();
}

QStringList TestLedger::rows(const QString& sql) {
    Statement query(db(), sql.toStdString(), "test: leer");
    QStringList texts;
    while (query.step()) {
        texts.append(query.columnText(0));
    }
    return texts;
}

std::unique_ptr<Database> createYear(const QString& dataRoot, const QString& year) {
    QDir().mkpath(dataRoot + QLatin1Char('/') + year);
    auto created = std::make_unique<Database>(databasePathFor(dataRoot, year),
                                              Database::Mode::CreateIfMissing);
    createLedgerSchema(*created);
    return created;
}

QStringList entryLines(Database& db, const char* order, bool withNumber) {
    Statement query(db,
                    std::string("SELECT ") + (withNumber ? "Id||'|'||" : "") +
                        "Data||'|'||Des||'|'||EntraEn||'|'||SaleDe||'|'||amountcents(Importe)||"
                        "'|'||GoI FROM apuntes ORDER BY " +
                        order,
                    "test: leer los apuntes");
    QStringList lines;
    while (query.step()) {
        lines.append(query.columnText(0));
    }
    return lines;
}

void addTextRows(const char* column,
                 std::initializer_list<std::pair<const char*, const char*>> rows) {
    QTest::addColumn<QString>(column);
    for (const auto& [name, value] : rows) {
        QTest::newRow(name) << QString::fromUtf8(value);
    }
}

} // namespace velmora::test
