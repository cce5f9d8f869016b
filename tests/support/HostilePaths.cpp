#include "support/HostilePaths.h"

#include "state/PathGate.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/TestLedger.h"
#include "years/SafetyCopies.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

namespace {

void require(bool done, const char* what) {
    if (!done) {
        QTest::qFail(what, __FILE__, __LINE__);
    }
}

void link(const QString& target, const QString& at) {
    require(QFile::link(target, at), "HostilePaths: no se puede crear un enlace");
}

// The paths that are no file at all, for writing and reading alike.
QList<HostilePath> notFiles(const QString& scratch) {
    const QString pipe = scratch + QStringLiteral("/tuberia.csv");
    require(::mkfifo(QFile::encodeName(pipe).constData(), 0644) == 0,
            "HostilePaths: no se puede crear la tubería");
    const QString folder = scratch + QStringLiteral("/carpeta.csv");
    require(QDir().mkpath(folder), "HostilePaths: no se puede crear la carpeta");
    link(QStringLiteral("/dev/zero"), scratch + QStringLiteral("/cero.csv"));
    link(scratch + QStringLiteral("/nada.csv"), scratch + QStringLiteral("/roto.csv"));
    return {
        {"pipe", pipe, QStringLiteral("una tubería, no un archivo")},
        {"link to a device", scratch + QStringLiteral("/cero.csv"),
         QStringLiteral("un dispositivo, no un archivo")},
        {"folder", folder, QStringLiteral("una carpeta")},
    };
}

// One data row per path, with the column "refusal".
void addRows(const QList<HostilePath>& rows) {
    QTest::addColumn<QString>("refusal");
    for (const HostilePath& row : rows) {
        QTest::newRow(row.name.constData()) << row.refusal;
    }
}

// The path the current data row names.
HostilePath rowUnderTest(const QList<HostilePath>& rows) {
    for (const HostilePath& row : rows) {
        if (row.name == QTest::currentDataTag()) {
            return row;
        }
    }
    QTest::qFail("HostilePaths: no hay tal fila", __FILE__, __LINE__);
    return {};
}

} // namespace

QList<HostilePath> hostileOutputs(TestLedger& ledger, const QString& scratch) {
    const QString program = ledger.programFolder();
    const QString data = ledger.dataRoot();
    for (const char* file : {"color.ini", "color2.ini", "imp.ini", "bancos.ini"}) {
        require(putBytes(program + QLatin1Char('/') + QLatin1String(file), "1\r\n"),
                "HostilePaths: no se puede escribir un ajuste");
    }
    require(QDir().mkpath(data + QStringLiteral("/2023")), "HostilePaths: no se puede crear 2023");
    {
        Database other(data + QStringLiteral("/2023/Devedur.mdb"), Database::Mode::CreateIfMissing);
        other.exec("CREATE TABLE t (x)", "test");
    }
    require(putBytes(program + QStringLiteral("/Datos/DevedurC.mdb"), "compactada"),
            "HostilePaths: no se puede escribir la compactación");
    require(putBytes(data + QLatin1Char('/') + kHouseRulesFile, "IBERDROLA\tLuz\n"),
            "HostilePaths: no se pueden escribir las reglas");
    const QString copy =
        SafetyCopies(data, ledger.year()).folder() + QStringLiteral("/Devedur-20240101-000000.mdb");
    require(putBytes(copy, "copia"), "HostilePaths: no se puede escribir la copia");

    QList<HostilePath> own = {
        {"ledger", ledger.databasePath(),
         QStringLiteral("la base de datos del año ") + ledger.year()},
        {"another year's ledger", data + QStringLiteral("/2023/Devedur.mdb"),
         QStringLiteral("la base de datos del año 2023")},
        {"safety copy", copy, QStringLiteral("copias de seguridad del programa")},
        {"report file", data + QStringLiteral("/Informes/Datos.rpt"),
         QStringLiteral("el archivo de reporte Datos.rpt")},
        {"compaction file", program + QStringLiteral("/Datos/DevedurC.mdb"),
         QStringLiteral("donde el programa compacta")},
        {"import rules", data + QLatin1Char('/') + kHouseRulesFile,
         QStringLiteral("el archivo de reglas de importación del programa")},
    };
    for (const char* file :
         {"ruta.ini", "ano.ini", "color.ini", "color2.ini", "imp.ini", "bancos.ini"}) {
        own.append({QByteArray("settings file ") + file,
                    program + QLatin1Char('/') + QLatin1String(file),
                    QStringLiteral("el archivo de ajustes %1").arg(QLatin1String(file))});
    }
    // Another name for the program itself; replaced through it, the program stays.
    const QString executable = QCoreApplication::applicationDirPath() + QStringLiteral("/velmora");
    const QString hardLink = scratch + QStringLiteral("/programa.csv");
    if (::link(QFile::encodeName(executable).constData(),
               QFile::encodeName(hardLink).constData()) == 0) {
        own.append(
            {"executable under another name", hardLink, QStringLiteral("el programa velmora")});
    }

    QList<HostilePath> rows;
    int links = 0;
    for (HostilePath& row : own) {
        row.ownFile = true;
        const QString at = scratch + QStringLiteral("/enlace%1.csv").arg(++links);
        link(row.path, at);
        rows.append(row);
        rows.append({row.name + " through a link", at, row.refusal, true});
    }
    {
        Database elsewhere(scratch + QStringLiteral("/otra.csv"), Database::Mode::CreateIfMissing);
        elsewhere.exec("CREATE TABLE t (x)", "test");
    }
    rows.append({"a database elsewhere", scratch + QStringLiteral("/otra.csv"),
                 QStringLiteral("una base de datos"), true});
    rows += notFiles(scratch);
    rows.append({"missing folder", scratch + QStringLiteral("/no/existe.csv"),
                 QStringLiteral("no existe la carpeta")});
    rows.append({"link to nothing", scratch + QStringLiteral("/roto.csv"),
                 QStringLiteral("un enlace a un archivo que no existe")});
    return rows;
}

void addHostileOutputRows() {
    TestLedger ledger;
    QTemporaryDir scratch;
    addRows(hostileOutputs(ledger, scratch.path()));
}

HostilePath hostileOutput(TestLedger& ledger, const QString& scratch) {
    return rowUnderTest(hostileOutputs(ledger, scratch));
}

QList<HostilePath> hostileInputs(const QString& scratch) {
    QList<HostilePath> rows = notFiles(scratch);
    rows.append(
        {"device", QStringLiteral("/dev/zero"), QStringLiteral("un dispositivo, no un archivo")});
    rows.append({"missing file", scratch + QStringLiteral("/no-existe.csv"),
                 QStringLiteral("no existe el archivo")});
    rows.append({"link to nothing", scratch + QStringLiteral("/roto.csv"),
                 QStringLiteral("no existe el archivo")});
    return rows;
}

namespace {

const QByteArray kPastTheLimit = "past the size limit";

QList<HostilePath> inputRows(const QString& scratch, qint64 limit, bool make) {
    QList<HostilePath> rows = hostileInputs(scratch);
    if (limit > 0) {
        const QString path = scratch + QStringLiteral("/grande.csv");
        if (make) {
            QFile big(path);
            require(big.open(QIODevice::WriteOnly) && big.resize(limit + 1),
                    "HostilePaths: no se puede crear el archivo grande");
        }
        rows.append({kPastTheLimit, path, QStringLiteral("pasa de ") + sizeLimitText(limit)});
    }
    return rows;
}

} // namespace

void addHostileInputRows(qint64 limit) {
    QTemporaryDir scratch;
    addRows(inputRows(scratch.path(), limit, false));
}

HostilePath hostileInput(const QString& scratch, qint64 limit) {
    return rowUnderTest(inputRows(scratch, limit, QTest::currentDataTag() == kPastTheLimit));
}

} // namespace velmora::test
