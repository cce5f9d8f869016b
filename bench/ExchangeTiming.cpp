#include "ExchangeTiming.h"

#include "Measurements.h"
#include "Memory.h"

#include "SheetFiles.h"
#include "demo/DemoLedger.h"
#include "entries/EntryList.h"
#include "exchange/Csv.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportSession.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/DatabaseFiles.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <stdexcept>

namespace velmora::bench {

namespace {

qint64 entriesIn(Database& db) {
    Statement count(db, "SELECT COUNT(*) FROM apuntes", "contar los apuntes");
    count.step();
    return count.columnInt(0);
}

// A new ledger at path with the accounts of `from` and no entry.
void createEmptyYear(Database& from, const QString& path) {
    QFile::remove(path);
    Database db(path, Database::Mode::CreateIfMissing);
    createLedgerSchema(db);
    Transaction transaction(db);
    for (const Account& account : listAccounts(from, QString())) {
        insertAccount(db, account);
    }
    transaction.commit();
}

QByteArray digits(qint64 value, int width) {
    return QByteArray::number(value).rightJustified(width, '0');
}

QByteArray text(const QByteArray& value, int width) {
    return value.leftJustified(width, ' ', true);
}

QByteArray signedAmount(qint64 cents) {
    return (cents < 0 ? "1" : "2") + digits(qAbs(cents), 14);
}

// What a bank writes for the movements of the demonstration's current account,
// in capitals without accents as statements come; the last few match nothing.
struct BankText {
    const char* text;
    bool debit;
    int maxCents;
};
constexpr BankText kBankTexts[] = {
    {"NOMINA DE MARZO", false, 230000},
    {"RECIBO DE LA LUZ ABRIL", true, 14000},
    {"RECIBO DEL AGUA", true, 6000},
    {"FACTURA DE GAS NATURAL", true, 11000},
    {"ALQUILER DEL PISO MAYO", true, 75000},
    {"FACTURA DEL MOVIL JUNIO", true, 4500},
    {"FIBRA E INTERNET JULIO", true, 5000},
    {"CUOTA DEL COLEGIO SEPTIEMBRE", true, 25000},
    {"CUOTA DE COMUNIDAD OCTUBRE", true, 6500},
    {"CUOTA DEL GIMNASIO NOVIEMBRE", true, 4500},
    {"COMISION DE MANTENIMIENTO", true, 1200},
    {"REINTEGRO EN CAJERO", true, 25000},
    {"TRASPASO A AHORRO", true, 40000},
    {"CLASES PARTICULARES", false, 40000},
    {"DEVOLUCION DE HACIENDA", false, 90000},
    {"BIZUM QWXZ", true, 3000},
    {"TRANSF. KVRT PLN", false, 5000},
};

// One account's statement of `movements` movements over the year, every record
// where the layout puts it and the totals of the closing record right.
QByteArray statementOf(int year, int movements) {
    const QByteArray bank = "0049", branch = "1500", account = "0512345678";
    const QByteArray yy = digits(year % 100, 2);
    std::mt19937 random(43);
    QByteArray out;
    int records = 0;
    const auto record = [&](const QByteArray& line) {
        if (line.size() != 80) {
            throw std::logic_error("a Norma 43 record is 80 characters");
        }
        out += line + "\r\n";
        ++records;
    };
    const qint64 initial = 500000;
    record("11" + bank + branch + account + yy + "0101" + yy + "1231" + signedAmount(initial) +
           "978" + "3" + text("ANA GARCIA LOPEZ", 26) + "   ");
    qint64 debits = 0, credits = 0;
    int debitCount = 0, creditCount = 0;
    const QDate first(year, 1, 1);
    for (int i = 0; i < movements; ++i) {
        const BankText& kind = kBankTexts[random() % std::size(kBankTexts)];
        const qint64 cents = 100 + qint64(random() % uint32_t(kind.maxCents));
        const QByteArray date =
            first.addDays(qint64(i) * first.daysInYear() / movements).toString("yyMMdd").toLatin1();
        (kind.debit ? debits : credits) += cents;
        (kind.debit ? debitCount : creditCount) += 1;
        record("22" + QByteArray("    ") + branch + date + date + "02" + "000" +
               (kind.debit ? "1" : "2") + digits(cents, 14) + digits(i, 10) + text({}, 12) +
               text({}, 16));
        record("23" + QByteArray("01") + text(kind.text, 38) + text({}, 38));
    }
    record("33" + bank + branch + account + digits(debitCount, 5) + digits(debits, 14) +
           digits(creditCount, 5) + digits(credits, 14) + signedAmount(initial + credits - debits) +
           "978" + "    ");
    out += "88" + QByteArray(18, '9') + digits(records, 6) + QByteArray(54, ' ') + "\r\n";
    return out;
}

// The import as the window and velmora-admin run it, less the safety copy, which
// the backup figures time.
ImportSession importInto(Database& db, const QString& dataRoot, int year) {
    return ImportSession([&db]() -> Database& { return db; }, dataRoot, QString::number(year),
                         year);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("the statement cannot be written");
    }
}

// The statement read, matched against the year's entries and written into a copy
// of db, as the window and velmora-admin run it, less the safety copy, which the
// backup figures time.
StatementFigures timeStatement(Database& db, int year, int runs, const QString& folder) {
    const QDir dir(folder);
    const QString statementPath = dir.filePath(QStringLiteral("extracto.n43"));
    writeFile(statementPath, statementOf(year, kStatementMovements));
    const QString copyPath = dir.filePath(QStringLiteral("copia.mdb"));
    StatementFigures figures;
    figures.ms = median(repeatMeasure(runs, [&] {
        QFile::remove(copyPath);
        copyDatabase(db, copyPath);
        Database copy(copyPath);
        QElapsedTimer clock;
        clock.start();
        ImportSession session = importInto(copy, folder, year);
        if (session.open(statementPath)) {
            throw std::runtime_error("the statement cannot be read");
        }
        session.readStatement();
        session.mapStatement([&](const BankAccountQuestion& question) {
            figures.movements = int(question.account.movements.size());
            return std::optional<QString>(QStringLiteral("Banco"));
        });
        const ImportedRows& rows = session.rows();
        const ImportPlan plan = session.plan({}, [&rows](qsizetype row) {
            return !rows.goesInto(row).isEmpty() && !rows.comesOutOf(row).isEmpty();
        });
        figures.written = session.write(plan, {}, false).written;
        return double(clock.elapsed());
    }));
    QFile::remove(copyPath);
    return figures;
}

} // namespace

ExchangeFigures timeExchange(Database& db, int year, int runs) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        throw std::runtime_error("no temporary folder for the exchange files");
    }
    ExchangeFigures figures;
    figures.yearEntries = entriesIn(db);
    const QString csvPath = dir.filePath(QStringLiteral("apuntes.csv"));
    const EntryFilter wholeYear{{}, {}, {}, QDate(year, 1, 1), QDate(year, 12, 31)};

    startPhase();
    figures.exportMs = median(repeatMeasure(runs, [&] {
        QElapsedTimer clock;
        clock.start();
        const CsvExportFile exported = exportCsvFile(db, wholeYear, csvPath);
        if (exported.outcome != CsvExportFile::Outcome::Written) {
            throw std::runtime_error("the CSV file was not written whole");
        }
        figures.exported = exported.rows.written;
        return double(clock.elapsed());
    }));
    figures.exportPeakMiB = phasePeakMiB();

    const QString emptyYear = dir.filePath(QStringLiteral("vacio.mdb"));
    startPhase();
    figures.importMs = median(repeatMeasure(runs, [&] {
        createEmptyYear(db, emptyYear);
        Database into(emptyYear);
        QElapsedTimer clock;
        clock.start();
        ImportSession session = importInto(into, dir.path(), year);
        if (session.open(csvPath) || session.readCsv() || !session.refused().isEmpty()) {
            throw std::runtime_error("the CSV file does not read back");
        }
        session.write(session.plan(), {}, false);
        const double ms = double(clock.elapsed());
        figures.imported = entriesIn(into);
        return ms;
    }));
    figures.importPeakMiB = phasePeakMiB();

    startPhase();
    const StatementFigures statement = timeStatement(db, year, runs, dir.path());
    figures.n43Ms = statement.ms;
    figures.n43Movements = statement.movements;
    figures.n43Written = statement.written;
    figures.n43PeakMiB = phasePeakMiB();
    return figures;
}

StatementFigures timeStatementOnLargeYear(int year, int entries, int runs) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        throw std::runtime_error("no temporary folder for the large year");
    }
    Database large(dir.filePath(QStringLiteral("grande.mdb")), Database::Mode::CreateIfMissing);
    createLedgerSchema(large);
    fillDemoLedger(large, year, entries);
    return timeStatement(large, year, runs, dir.path());
}

BankFileFigures timeBankFiles(Database& db, int year, int runs) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        throw std::runtime_error("no temporary folder for the bank files");
    }
    // The bank's own layout: the holder and the account above the table, newest
    // first, with the balance after each movement.
    std::mt19937 random(47);
    test::SheetGrid grid{{QStringLiteral("Titular: ANA GARCIA LOPEZ")},
                         {QStringLiteral("Cuenta: ES12 0049 1500 0512 3456 7890")},
                         {QStringLiteral("F. Operación"), QStringLiteral("F. Valor"),
                          QStringLiteral("Concepto"), QStringLiteral("Importe"),
                          QStringLiteral("Saldo")}};
    QByteArray csv = "Titular: ANA GARCIA LOPEZ\r\nCuenta: ES12 0049 1500 0512 3456 7890\r\n"
                     "F. Operaci\xC3\xB3n;F. Valor;Concepto;Importe;Saldo\r\n";
    qint64 balance = 500000;
    const QDate last(year, 12, 31);
    for (int i = 0; i < kBankFileRows; ++i) {
        const BankText& kind = kBankTexts[random() % std::size(kBankTexts)];
        const qint64 cents =
            (100 + qint64(random() % uint32_t(kind.maxCents))) * (kind.debit ? -1 : 1);
        balance += cents;
        const QDate date = last.addDays(-qint64(i) * last.daysInYear() / kBankFileRows);
        const QString day = date.toString(QStringLiteral("dd/MM/yyyy"));
        csv += (day + u';' + day + u';' + QString::fromLatin1(kind.text) + u';' +
                formatCents(cents) + u';' + formatCents(balance) + QStringLiteral("\r\n"))
                   .toUtf8();
        grid.append({day, day, QString::fromLatin1(kind.text),
                     QString::number(double(cents) / 100, 'f', 2),
                     QString::number(double(balance) / 100, 'f', 2)});
    }
    const QString csvPath = dir.filePath(QStringLiteral("movimientos.csv"));
    const QString xlsxPath = dir.filePath(QStringLiteral("movimientos.xlsx"));
    writeFile(csvPath, csv);
    test::XlsxBook book;
    book.grid = grid;
    writeFile(xlsxPath, test::xlsxBytes(book));

    BankFileFigures figures;
    const auto readAndPlan = [&](const QString& path) {
        return median(repeatMeasure(runs, [&] {
            QElapsedTimer clock;
            clock.start();
            ImportSession session = importInto(db, dir.path(), year);
            if (session.open(path) || session.readBankFile()) {
                throw std::runtime_error("the bank file cannot be read");
            }
            session.mapBankFile([](const BankFileQuestion&) {
                return std::optional<QString>(QStringLiteral("Banco"));
            });
            const ImportedRows& rows = session.rows();
            const ImportPlan plan = session.plan({}, [&rows](qsizetype row) {
                return !rows.goesInto(row).isEmpty() && !rows.comesOutOf(row).isEmpty();
            });
            session.describeBalances(plan);
            figures.rows = int(rows.size());
            figures.planned = int(plan.accepted.size());
            return double(clock.elapsed());
        }));
    };
    figures.csvMs = readAndPlan(csvPath);
    figures.xlsxMs = readAndPlan(xlsxPath);
    return figures;
}

} // namespace velmora::bench
