#include "admin/AdminCommands.h"
#include "entries/MovementRule.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome runAdmin(const QStringList& args, const QString& programFolder) {
    Outcome result{0, {}, {}};
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.code = admin::runAdmin(args, programFolder, out, err);
    out.flush();
    err.flush();
    return result;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

qint64 number(Database& db, const char* sql) {
    Statement query(db, sql, "test");
    query.step();
    return query.columnInt(0);
}

// Every stored class must be the rule's answer for the kinds the two accounts have
// in the ledger. Returns the classes seen.
QSet<QString> classesFollowingTheRule(Database& db) {
    Statement rows(db,
                   "SELECT DISTINCT a.GoI, i.conTipo, o.conTipo FROM apuntes a"
                   " LEFT JOIN Contas i ON i.conNom = a.EntraEn"
                   " LEFT JOIN Contas o ON o.conNom = a.SaleDe",
                   "test");
    QSet<QString> seen;
    while (rows.step()) {
        const QString stored = rows.columnText(0);
        if (classifyMovement(rows.columnText(1), rows.columnText(2)) != stored) {
            qWarning() << "clase" << stored << "para" << rows.columnText(1) << rows.columnText(2);
            return {};
        }
        seen.insert(stored);
    }
    return seen;
}

} // namespace

class TestAdmin : public QObject {
    Q_OBJECT

private slots:
    void initCreatesSettingsAndLedger_data();
    void initCreatesSettingsAndLedger();
    void initNeverReplacesALedger();
    void initKeepsAWorkingInstallation_data();
    void initKeepsAWorkingInstallation();
    void initFailingSettingsWriteChangesNothing_data();
    void initFailingSettingsWriteChangesNothing();
    void commandLine_data();
    void commandLine();
    void demoEntriesFollowTheMovementRule();
    void demoAppendsAfterTheLargestIdAndKeepsExistingAccounts();
};

void TestAdmin::initCreatesSettingsAndLedger_data() {
    QTest::addColumn<QStringList>("yearArgument");
    QTest::addColumn<QString>("year");
    QTest::newRow("año dado") << QStringList{u"2031"_s} << u"2031"_s;
    QTest::newRow("año actual") << QStringList{} << QString::number(QDate::currentDate().year());
}

void TestAdmin::initCreatesSettingsAndLedger() {
    QFETCH(QStringList, yearArgument);
    QFETCH(QString, year);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(u"bin"_s);
    QVERIFY(QDir().mkpath(program));
    writeBytes(program + u"/color.ini"_s, " 255 \r\n"); // the user's choice survives

    const Outcome result =
        runAdmin(QStringList{u"init"_s, tmp.filePath(u"datos/./"_s)} + yearArgument, program);
    QCOMPARE(result.code, 0);
    QCOMPARE(result.err, QString());

    const QString dataRoot = tmp.filePath(u"datos"_s);
    QCOMPARE(readBytes(program + u"/ruta.ini"_s), dataRoot.toUtf8() + "\r\n");
    QCOMPARE(readBytes(program + u"/ano.ini"_s), year.toUtf8() + "\r\n");
    QCOMPARE(readBytes(program + u"/color.ini"_s), QByteArray(" 255 \r\n"));
    QCOMPARE(readBytes(program + u"/color2.ini"_s),
             " " + QByteArray::number(admin::defaultSectionColour()) + " \r\n");
    QVERIFY(QFileInfo(dataRoot + u"/Informes"_s).isDir());
    const QString yearFolder = dataRoot + u'/' + year;
    QCOMPARE(QDir(yearFolder).entryList(QDir::Files), QStringList{u"Devedur.mdb"_s});

    Database db(yearFolder + u"/Devedur.mdb"_s);
    checkLedgerSchema(db);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes"), 0);
}

void TestAdmin::initNeverReplacesALedger() {
    test::TestLedger ledger;
    ledger.addAccount(u"Banco"_s, u"C"_s);
    const QByteArray ledgerBytes = readBytes(ledger.databasePath());
    const QByteArray routeBytes = readBytes(ledger.programFolder() + u"/ruta.ini"_s);
    QTemporaryDir otherProgram;

    for (const QString& program : {ledger.programFolder(), otherProgram.path()}) {
        const Outcome result = runAdmin({u"init"_s, ledger.dataRoot(), u"2024"_s}, program);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(u"ya existe la base de datos"_s), qPrintable(result.err));
    }
    QCOMPARE(readBytes(ledger.databasePath()), ledgerBytes);
    QCOMPARE(readBytes(ledger.programFolder() + u"/ruta.ini"_s), routeBytes);
    QCOMPARE(QDir(otherProgram.path()).entryList(QDir::Files), QStringList());
}

void TestAdmin::initKeepsAWorkingInstallation_data() {
    // ROOT holds the installation's 2024 ledger, OTHER is a new folder; in the
    // message, IN_USE and NEW stand for the ledger in use and the one init would make.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ledgerThere");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("newRoot");
    QTest::addColumn<QString>("newYear"); // empty: the current year
    QTest::addColumn<QString>("message");
    const QString leaving =
        u"la instalación ya usa la base de datos IN_USE y pasaría a usar NEW. No se ha cambiado "
        "nada. Para seguir de todos modos, repita la orden con --force; la base de datos "
        "actual no se borra."_s;
    QTest::newRow("otro año") << QStringList{u"init"_s, u"ROOT"_s, u"2025"_s} << true << 1
                              << u"ROOT"_s << u"2025"_s << leaving;
    QTest::newRow("otra carpeta") << QStringList{u"init"_s, u"OTHER"_s, u"2024"_s} << true << 1
                                  << u"OTHER"_s << u"2024"_s << leaving;
    QTest::newRow("--force al final") << QStringList{u"init"_s, u"ROOT"_s, u"2025"_s, u"--force"_s}
                                      << true << 0 << u"ROOT"_s << u"2025"_s << QString();
    QTest::newRow("--force en medio") << QStringList{u"init"_s, u"OTHER"_s, u"--force"_s, u"2024"_s}
                                      << true << 0 << u"OTHER"_s << u"2024"_s << QString();
    QTest::newRow("--force delante") << QStringList{u"init"_s, u"--force"_s, u"OTHER"_s} << true
                                     << 0 << u"OTHER"_s << QString() << QString();
    QTest::newRow("--force no sustituye")
        << QStringList{u"init"_s, u"ROOT"_s, u"2024"_s, u"--force"_s} << true << 1 << u"ROOT"_s
        << u"2024"_s
        << u"ya existe la base de datos NEW; no se ha cambiado nada (nunca se sustituye una "
           "base de datos)"_s;
    QTest::newRow("base de datos borrada") << QStringList{u"init"_s, u"ROOT"_s, u"2025"_s} << false
                                           << 0 << u"ROOT"_s << u"2025"_s << QString();
}

void TestAdmin::initKeepsAWorkingInstallation() {
    QFETCH(QStringList, args);
    QFETCH(bool, ledgerThere);
    QFETCH(int, code);
    QFETCH(QString, newRoot);
    QFETCH(QString, newYear);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(u"bin"_s);
    QVERIFY(QDir().mkpath(program));
    const QString root = tmp.filePath(u"datos"_s);
    const QString other = tmp.filePath(u"otros"_s);
    QCOMPARE(runAdmin({u"init"_s, root, u"2024"_s}, program).code, 0);
    const QString inUse = root + u"/2024/Devedur.mdb"_s;
    if (!ledgerThere) {
        QVERIFY(QFile::remove(inUse));
    }
    const QByteArray ledgerBytes = readBytes(inUse);
    const QByteArray routeBytes = readBytes(program + u"/ruta.ini"_s);
    const QByteArray yearBytes = readBytes(program + u"/ano.ini"_s);

    args.replaceInStrings(u"ROOT"_s, root).replaceInStrings(u"OTHER"_s, other);
    newRoot = newRoot == u"ROOT"_s ? root : other;
    if (newYear.isEmpty()) {
        newYear = QString::number(QDate::currentDate().year());
    }
    const QString created = newRoot + u'/' + newYear + u"/Devedur.mdb"_s;

    const Outcome result = runAdmin(args, program);
    QCOMPARE(result.code, code);
    QCOMPARE(readBytes(inUse), ledgerBytes);
    if (code != 0) {
        message.replace(u"IN_USE"_s, QDir::toNativeSeparators(inUse))
            .replace(u"NEW"_s, QDir::toNativeSeparators(created));
        QCOMPARE(result.err, u"velmora-admin: "_s + message + u'\n');
        QCOMPARE(readBytes(program + u"/ruta.ini"_s), routeBytes);
        QCOMPARE(readBytes(program + u"/ano.ini"_s), yearBytes);
        QCOMPARE(QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{u"2024"_s, u"Informes"_s}));
        QVERIFY(!QFileInfo::exists(other));
        return;
    }
    QCOMPARE(result.err, QString());
    QCOMPARE(readBytes(program + u"/ruta.ini"_s), newRoot.toUtf8() + "\r\n");
    QCOMPARE(readBytes(program + u"/ano.ini"_s), newYear.toUtf8() + "\r\n");
    Database db(created);
    checkLedgerSchema(db);
}

void TestAdmin::initFailingSettingsWriteChangesNothing_data() {
    QTest::addColumn<QByteArray>("oldRoute"); // empty: no ruta.ini
    QTest::addColumn<QString>("blocked");
    // The old settings point at a ledger that is gone, so init goes ahead.
    const QByteArray old("/srv/antigua\r\n");
    QTest::newRow("ano.ini") << old << u"ano.ini"_s;
    QTest::newRow("ano.ini, sin ruta.ini") << QByteArray() << u"ano.ini"_s;
    QTest::newRow("color2.ini") << old << u"color2.ini"_s;
}

void TestAdmin::initFailingSettingsWriteChangesNothing() {
    QFETCH(QByteArray, oldRoute);
    QFETCH(QString, blocked);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(u"bin"_s);
    QVERIFY(QDir().mkpath(program));
    if (!oldRoute.isEmpty()) {
        writeBytes(program + u"/ruta.ini"_s, oldRoute);
    }
    // Root writes anywhere: a folder in the file's place, or a link into a folder
    // that does not exist, stops the write all the same.
    if (blocked == u"ano.ini"_s) {
        QVERIFY(QDir(program).mkdir(blocked));
    } else {
        writeBytes(program + u"/ano.ini"_s, "2023\r\n");
        QVERIFY(QFile::link(tmp.filePath(u"no-existe/"_s) + blocked, program + u'/' + blocked));
    }

    const Outcome result = runAdmin({u"init"_s, tmp.filePath(u"datos"_s), u"2025"_s}, program);
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(u"No se puede escribir %1: "_s.arg(
                 QDir::toNativeSeparators(program + u'/' + blocked))),
             qPrintable(result.err));
    QCOMPARE(readBytes(program + u"/ruta.ini"_s), oldRoute);
    QCOMPARE(QFileInfo::exists(program + u"/ruta.ini"_s), !oldRoute.isEmpty());
    if (blocked != u"ano.ini"_s) {
        QCOMPARE(readBytes(program + u"/ano.ini"_s), QByteArray("2023\r\n"));
    }
    // Nobody would find the new ledger, so it is gone again.
    QVERIFY(!QFileInfo::exists(tmp.filePath(u"datos/2025/Devedur.mdb"_s)));
}

void TestAdmin::commandLine_data() {
    QTest::addColumn<QStringList>("args"); // DATOS stands for a temporary folder
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString usage = u"velmora-admin init CARPETA_DE_DATOS [AÑO]"_s;
    const struct {
        const char* name;
        QStringList args;
        int code;
        QString message;
    } rows[] = {
        {"--help", {u"--help"_s}, 0, usage},
        {"orden desconocida", {u"borrar"_s}, 2, u"orden desconocida: «borrar»"_s},
        {"init sin carpeta", {u"init"_s}, 2, u"falta la carpeta de datos"_s},
        {"init sobra", {u"init"_s, u"DATOS"_s, u"2024"_s, u"x"_s}, 2, u"sobran argumentos: x"_s},
        {"demo sin instalación", {u"demo"_s}, 1, u"no hay instalación en"_s},
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << row.args << row.code << row.message;
    }
    for (const char* year : {"20/4", "..", "24"}) {
        QTest::addRow("año «%s»", year)
            << QStringList{u"init"_s, u"DATOS"_s, QString::fromLatin1(year)} << 2
            << u"el año «%1» no vale: debe tener cuatro cifras"_s.arg(year);
    }
    // ruta.ini and ano.ini hold one line each, and a path with control characters
    // is a typing slip anyway.
    const QString controlMessage =
        u"la carpeta de datos no puede llevar caracteres de control, como saltos de línea o "
        "tabuladores"_s;
    for (const char* control : {"\n", "\r", "\t", "\x7F"}) {
        QTest::addRow("carpeta con el carácter %d", int(*control))
            << QStringList{u"init"_s, u"DATOS"_s + QLatin1String(control) + u"x"_s, u"2024"_s} << 2
            << controlMessage;
    }
    QTest::newRow("año con salto de línea")
        << QStringList{u"init"_s, u"DATOS"_s, u"2024\n"_s} << 2
        << u"el año «2024\n» no vale: debe tener cuatro cifras"_s;
    for (const char* count : {"0", "1000001"}) {
        QTest::addRow("demo «%s»", count) << QStringList{u"demo"_s, QString::fromLatin1(count)} << 2
                                          << u"el número de apuntes «%1» no vale"_s.arg(count);
    }
}

void TestAdmin::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString dataRoot = tmp.filePath(u"datos"_s);
    args.replaceInStrings(u"DATOS"_s, dataRoot);

    const Outcome result = runAdmin(args, tmp.path());
    QCOMPARE(result.code, code);
    // Help on standard output, complaints on standard error; a wrong command line
    // also says where to find help.
    const QString& said = code == 0 ? result.out : result.err;
    QVERIFY2(said.contains(message), qPrintable(said));
    QCOMPARE(code == 0 ? result.err : result.out, QString());
    QCOMPARE(result.err.contains(u"velmora-admin --help"_s), code == 2);
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

void TestAdmin::demoEntriesFollowTheMovementRule() {
    test::TestLedger ledger(u"2024"_s);
    const Outcome result = runAdmin({u"demo"_s, u"1500"_s}, ledger.programFolder());
    QCOMPARE(result.code, 0);
    QVERIFY2(result.out.contains(u"Añadidos 1.500 apuntes de ejemplo (del 1 al 1.500) y 40 "
                                 "cuentas nuevas al año 2024"_s),
             qPrintable(result.out));

    Database& db = ledger.db();
    QCOMPARE(number(db, "SELECT COUNT(DISTINCT Id) FROM apuntes"), 1500);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes WHERE Id BETWEEN 1 AND 1500"), 1500);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM Contas"), 40);
    QCOMPARE(classesFollowingTheRule(db), (QSet<QString>{u"I"_s, u"G"_s, u"T"_s}));
    QVERIFY(number(db, "SELECT COUNT(*) FROM apuntes WHERE Des LIKE '%luz%'") > 0);

    // Dates inside the year from January to December, amounts in whole cents.
    Statement rows(db, "SELECT Data, Importe FROM apuntes", "test");
    QSet<int> months;
    while (rows.step()) {
        const QDate date = fromStoredDate(rows.columnUtf8(0));
        QVERIFY2(date.year() == 2024, rows.columnUtf8(0).data());
        months.insert(date.month());
        const double amount = rows.columnDouble(1);
        QVERIFY(amount > 0);
        QCOMPARE(qRound64(amount * 100) / 100.0, amount);
    }
    QCOMPARE(months.size(), 12);
}

void TestAdmin::demoAppendsAfterTheLargestIdAndKeepsExistingAccounts() {
    test::TestLedger ledger(u"2024"_s);
    // Ours are "Banco" and "Tarjeta", both cash: the user's own spelling and kind
    // win, and movements the rule refuses for them are not generated.
    ledger.addAccount(u"BANCO"_s, u"C"_s);
    ledger.addAccount(u"tarjeta"_s, u"I"_s);
    ledger.addEntry(7, u"02/01/2024"_s, u"Saldo inicial"_s, u"BANCO"_s, u"BANCO"_s, 1000, u"T"_s);

    QCOMPARE(runAdmin({u"demo"_s, u"300"_s}, ledger.programFolder()).code, 0);
    const Outcome second = runAdmin({u"demo"_s, u"50"_s}, ledger.programFolder());
    QCOMPARE(second.code, 0);
    QVERIFY2(second.out.contains(u"(del 308 al 357) y 0 cuentas nuevas"_s), qPrintable(second.out));

    Database& db = ledger.db();
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes"), 351);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM apuntes WHERE Id BETWEEN 8 AND 357"), 350);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM Contas"), 40);
    QCOMPARE(number(db, "SELECT COUNT(*) FROM Contas WHERE conNom IN ('Banco', 'Tarjeta')"), 0);
    QVERIFY(number(db, "SELECT COUNT(*) FROM apuntes WHERE SaleDe = 'BANCO'") > 0);
    QVERIFY(!classesFollowingTheRule(db).isEmpty());
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
