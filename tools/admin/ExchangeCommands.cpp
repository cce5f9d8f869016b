#include "admin/CommandLine.h"

#include "entries/EntryList.h"
#include "exchange/Csv.h"
#include "exchange/CsvExport.h"
#include "exchange/ImportSession.h"
#include "state/PathGate.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/DbErrorText.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <new>
#include <optional>

namespace velmora::admin {

namespace {

// The options of the exchange commands and their one file.
struct ExchangeArgs {
    std::optional<QString> year;
    std::optional<QString> account;
    bool dryRun = false;
    bool allowDuplicates = false;
    QString file;
};

// Reads options in any order around the one FILE. `valued` are the options taking
// a value ("--year", "--account"), `flags` the ones that do not. Complains and gives
// nothing on anything else.
std::optional<ExchangeArgs> parseExchangeArgs(const QStringList& args, const QStringList& valued,
                                              const QStringList& flags, QTextStream& err,
                                              int& code) {
    code = BadUsage;
    ExchangeArgs parsed;
    QStringList operands;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasValue = false;
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && equals > 0) {
            value = arg.mid(equals + 1);
            arg = arg.left(equals);
            hasValue = true;
        }
        if (valued.contains(arg)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    badUsage(err, QStringLiteral("falta el valor de %1").arg(arg));
                    return std::nullopt;
                }
                value = args[++i];
            }
            (arg == QLatin1String("--year") ? parsed.year : parsed.account) = value;
        } else if (flags.contains(arg) && !hasValue) {
            (arg == QLatin1String("--dry-run") ? parsed.dryRun : parsed.allowDuplicates) = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            badUsage(err, QStringLiteral("opción desconocida: «%1»").arg(args[i]));
            return std::nullopt;
        } else {
            operands.append(arg);
        }
    }
    if (operands.isEmpty() || operands[0].trimmed().isEmpty()) {
        badUsage(err, QStringLiteral("falta el archivo"));
        return std::nullopt;
    }
    if (operands.size() > 1) {
        badUsage(err, QStringLiteral("sobran argumentos: %1").arg(operands.mid(1).join(u' ')));
        return std::nullopt;
    }
    if (parsed.year && !namesYearFolder(*parsed.year)) {
        badUsage(err, yearArgumentRefusal(*parsed.year));
        return std::nullopt;
    }
    if (parsed.account && parsed.account->trimmed().isEmpty()) {
        badUsage(err, QStringLiteral("falta el nombre de la cuenta en --account"));
        return std::nullopt;
    }
    parsed.file = QDir::cleanPath(QDir(operands[0]).absolutePath());
    code = Success;
    return parsed;
}

QString entryNumbers(const std::vector<qint64>& ids) {
    QStringList numbers;
    for (const qint64 id : ids) {
        numbers.append(QString::number(id));
    }
    return numbers.join(QStringLiteral(", "));
}

const QString kNoMemory = QStringLiteral("no queda memoria libre");

// Lists a count's first lines, then how many more there are.
template <typename Line>
void printLines(QTextStream& out, const QList<Line>& lines, qsizetype count,
                const std::function<QString(const Line&)>& text) {
    for (qsizetype i = 0; i < lines.size() && i < RefusedLines::kKept; ++i) {
        out << "  " << text(lines[i]) << '\n';
    }
    if (count > lines.size() || lines.size() > RefusedLines::kKept) {
        out << QStringLiteral("  … y %1 más\n")
                   .arg(formatCount(count - std::min(lines.size(), RefusedLines::kKept)));
    }
}

// What an import will do, before it does it.
void printPlan(const ImportPlan& plan, const RefusedLines& refused, bool allowDuplicates,
               QTextStream& out) {
    const int duplicates = plan.duplicates();
    const int toWrite = int(plan.accepted.size()) - (allowDuplicates ? 0 : duplicates);
    out << QStringLiteral("Apuntes para añadir: %1\n").arg(formatCount(toWrite));
    if (duplicates > 0) {
        out << (allowDuplicates
                    ? QStringLiteral(
                          "Duplicados (el año ya tiene uno igual): %1; se añaden igualmente "
                          "(--allow-duplicates).\n")
                    : QStringLiteral(
                          "Duplicados (el año ya tiene uno igual): %1; no se añaden (con "
                          "--allow-duplicates se añadirían).\n"))
                   .arg(formatCount(duplicates));
    }
    if (!refused.isEmpty()) {
        out << QStringLiteral("Filas rechazadas: %1\n").arg(formatCount(refused.count()));
        printLines<RefusedLine>(out, refused.kept(), refused.count(), [](const RefusedLine& line) {
            return QStringLiteral("línea %1: %2")
                .arg(formatCount(line.line), printable(line.reason));
        });
    }
    if (!plan.unknownAccounts.isEmpty()) {
        out << QStringLiteral("Cuentas que el año no tiene: %1\n")
                   .arg(formatCount(plan.unknownAccounts.size()));
        printLines<UnknownAccount>(out, plan.unknownAccounts, plan.unknownAccounts.size(),
                                   [](const UnknownAccount& account) {
                                       return QStringLiteral("«%1»: %2 %3")
                                           .arg(printable(account.name), formatCount(account.rows),
                                                account.rows == 1 ? QStringLiteral("fila")
                                                                  : QStringLiteral("filas"));
                                   });
        out << QStringLiteral(
            "Las filas que las nombran no se importan: cree esas cuentas en el "
            "programa (Opciones, Cuentas, Nuevo), con su tipo, y repita la orden; los "
            "apuntes ya importados saldrán como duplicados.\n");
    }
}

// Unless only a preview was asked for: a safety copy of the year, then the
// accepted rows in one transaction.
int writePlan(const ImportSession& session, const TargetYear& target, const ImportPlan& plan,
              bool allowDuplicates, bool dryRun, QTextStream& out, QTextStream& err) {
    const int toWrite = int(plan.accepted.size()) - (allowDuplicates ? 0 : plan.duplicates());
    if (dryRun) {
        out << QStringLiteral("Solo vista previa (--dry-run): no se ha escrito nada.\n");
        out.flush();
        return Success;
    }
    if (toWrite == 0) {
        out << QStringLiteral("No hay apuntes que escribir; la base de datos no se ha cambiado.\n");
        out.flush();
        return Success;
    }
    QString copy;
    try {
        copy = session.writeSafetyCopy(QDateTime::currentDateTime());
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se puede guardar la copia de seguridad antes de "
                                           "importar: %1. No se ha escrito nada.")
                                .arg(describeFailure(error)));
    }
    out << QStringLiteral("Copia de seguridad guardada en %1.\n")
               .arg(QDir::toNativeSeparators(copy));
    ImportResult result;
    try {
        result = session.write(plan, {}, allowDuplicates);
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se han podido escribir los apuntes: %1. No se ha "
                                           "escrito ninguno.")
                                .arg(describeFailure(error)));
    } catch (const std::bad_alloc&) {
        // The transaction has rolled back.
        out.flush();
        return failure(err, QStringLiteral("no se han podido escribir los apuntes: %1. No se ha "
                                           "escrito ninguno.")
                                .arg(kNoMemory));
    }
    out << QStringLiteral("Escritos %1 apuntes en el año %2 (%3).\n")
               .arg(formatCount(result.written), target.year,
                    QDir::toNativeSeparators(target.databasePath));
    out.flush();
    return Success;
}

// An import from the command line: the year, its ledger (opened when first
// needed, as the import reads it) and the session over the file.
struct ImportRun {
    TargetYear target;
    std::optional<Database> db;
    std::optional<ImportSession> session;

    Database& ledger() {
        if (!db) {
            db.emplace(target.databasePath);
            checkLedgerSchema(*db);
        }
        return *db;
    }
};

// Finds the year and opens the file to import through the path gate: a regular
// file no larger than an import reads. Complains and gives false otherwise.
bool startImport(ImportRun& run, const QString& programFolder, const ExchangeArgs& args,
                 QTextStream& err) {
    const std::optional<TargetYear> target = targetYear(programFolder, args.year, err);
    if (!target) {
        return false;
    }
    run.target = *target;
    run.session.emplace([&run]() -> Database& { return run.ledger(); }, run.target.dataRoot,
                        run.target.year, run.target.calendarYear());
    if (const auto refusal = run.session->open(args.file)) {
        failure(err, QStringLiteral("no se importa: %1. No se ha escrito nada.").arg(*refusal));
        return false;
    }
    return true;
}

int noMemoryToRead(const QString& nativeFile, QTextStream& out, QTextStream& err) {
    out.flush();
    return failure(
        err, QStringLiteral("%1 para leer %2; no se ha escrito nada.").arg(kNoMemory, nativeFile));
}

// The options of an import into one account named by --account, and the run over
// its file; nothing, with the exit code set, when they are wrong.
std::optional<ExchangeArgs> startAccountImport(const QStringList& args,
                                               const QString& programFolder,
                                               const QString& missingAccount, ImportRun& run,
                                               QTextStream& err, int& code) {
    std::optional<ExchangeArgs> parsed = parseExchangeArgs(
        args, {QStringLiteral("--year"), QStringLiteral("--account")},
        {QStringLiteral("--dry-run"), QStringLiteral("--allow-duplicates")}, err, code);
    if (!parsed) {
        return std::nullopt;
    }
    if (!parsed->account) {
        code = badUsage(err, missingAccount);
        return std::nullopt;
    }
    if (!startImport(run, programFolder, *parsed, err)) {
        code = Failure;
        return std::nullopt;
    }
    return parsed;
}

// The year's account named so, in any letter case; empty when it has none.
QString accountNamed(Database& db, const QString& name) {
    for (const Account& account : listAccounts(db, QString())) {
        if (foldCase(account.name.trimmed()) == foldCase(name.trimmed())) {
            return account.name;
        }
    }
    return {};
}

int noSuchAccount(const TargetYear& target, const QString& name, QTextStream& err) {
    return failure(err, QStringLiteral("el año %1 no tiene la cuenta «%2». Créela en el "
                                       "programa (Opciones, Cuentas, Nuevo) o nombre en --account "
                                       "una que exista. No se ha escrito nada.")
                            .arg(target.year, printable(name)));
}

// A bank's movements, read into the session's rows for ourAccount: the plan of
// those with a proposed account, the ones without listed, the bank's balance
// against ours, and the write.
int planBankRows(const ImportSession& session, const TargetYear& target, const QString& ourAccount,
                 const ExchangeArgs& args, const QString& nativeFile, QTextStream& out,
                 QTextStream& err) {
    std::optional<ImportPlan> plan;
    try {
        const ImportedRows& rows = session.rows();
        // A movement with no proposal is not planned: the user enters it by hand.
        const auto proposed = [&rows](qsizetype row) {
            return !rows.goesInto(row).isEmpty() && !rows.comesOutOf(row).isEmpty();
        };
        plan = session.plan({}, proposed);
        printPlan(*plan, RefusedLines::merged(session.refused(), plan->refused),
                  args.allowDuplicates, out);
        // Each movement with the account proposed for it and why, as the preview
        // shows them.
        const QList<PlannedEntry> accepted(plan->accepted.begin(), plan->accepted.end());
        printLines<PlannedEntry>(out, accepted, accepted.size(), [&](const PlannedEntry& entry) {
            const bool in = sameText(plan->goesInto(entry), ourAccount);
            const QString& reason = rows.reason(entry.row);
            return QStringLiteral("línea %1: %2 %3 %4 %5 «%6»%7%8")
                .arg(formatCount(rows.line(entry.row)), formatDate(rows.date(entry.row)),
                     printable(rows.description(entry.row)),
                     formatCents(in ? rows.cents(entry.row) : -rows.cents(entry.row)),
                     in ? QStringLiteral("desde") : QStringLiteral("a"),
                     printable(in ? plan->comesOutOf(entry) : plan->goesInto(entry)),
                     reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(printable(reason)),
                     entry.duplicate ? QStringLiteral(", ya está") : QString());
        });
        QList<qsizetype> unproposed;
        qsizetype unproposedCount = 0;
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (!proposed(row) && ++unproposedCount <= RefusedLines::kKept) {
                unproposed.append(row);
            }
        }
        if (unproposedCount > 0) {
            out << QStringLiteral("Movimientos sin cuenta propuesta, que no se importan: %1\n")
                       .arg(formatCount(unproposedCount));
            printLines<qsizetype>(out, unproposed, unproposedCount, [&](const qsizetype& row) {
                const qint64 signedCents =
                    rows.goesInto(row) == ourAccount ? rows.cents(row) : -rows.cents(row);
                return QStringLiteral("línea %1: sin cuenta propuesta: %2 %3")
                    .arg(formatCount(rows.line(row)), printable(rows.description(row)),
                         formatCents(signedCents));
            });
            out << QStringLiteral("Apúntelos en el programa; las importaciones siguientes "
                                  "propondrán la cuenta que usen.\n");
        }
        const QString balances = session.describeBalances(*plan);
        if (!balances.isEmpty()) {
            out << printable(balances) << '\n';
        }
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    } catch (const DbError& error) {
        out.flush();
        return failure(err, QStringLiteral("no se puede leer el año: %1. No se ha escrito nada.")
                                .arg(describeFailure(error)));
    }
    return writePlan(session, target, *plan, args.allowDuplicates, args.dryRun, out, err);
}

} // namespace

int runExportCsv(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    const std::optional<ExchangeArgs> parsed =
        parseExchangeArgs(args, {QStringLiteral("--year")}, {}, err, code);
    if (!parsed) {
        return code;
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    const PathGate gate({programFolder, target->dataRoot, QCoreApplication::applicationDirPath()});
    if (const auto refusal = gate.refuseOutput(parsed->file)) {
        return failure(err,
                       QStringLiteral("no se exporta: %1. No se ha escrito nada.").arg(*refusal));
    }
    Database db(target->databasePath, Database::Mode::ReadOnly);
    checkLedgerSchema(db);
    const int year = target->calendarYear();
    const CsvExportFile written = exportCsvFile(
        db, EntryFilter{{}, {}, {}, QDate(year, 1, 1), QDate(year, 12, 31)}, parsed->file);
    if (written.outcome == CsvExportFile::Outcome::CannotOpen) {
        return failure(err, QStringLiteral("no se puede escribir el archivo %1").arg(nativeFile));
    }
    if (written.outcome == CsvExportFile::Outcome::Incomplete) {
        return failure(err, QStringLiteral("no se ha podido escribir entero el archivo %1; no se "
                                           "ha guardado nada en él")
                                .arg(nativeFile));
    }
    const CsvExport& exported = written.rows;
    out << QStringLiteral("Exportados %1 apuntes a %2.\n")
               .arg(formatCount(exported.written), nativeFile);
    if (!exported.unreadable.empty()) {
        out << QStringLiteral("No se han exportado %1 apuntes cuyo importe no es un número "
                              "(números %2); corríjalos en el programa y exporte de nuevo.\n")
                   .arg(formatCount(qint64(exported.unreadable.size())),
                        entryNumbers(exported.unreadable));
    }
    out.flush();
    return Success;
}

int runImportCsv(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    const std::optional<ExchangeArgs> parsed = parseExchangeArgs(
        args, {QStringLiteral("--year")},
        {QStringLiteral("--dry-run"), QStringLiteral("--allow-duplicates")}, err, code);
    if (!parsed) {
        return code;
    }
    ImportRun run;
    if (!startImport(run, programFolder, *parsed, err)) {
        return Failure;
    }
    const TargetYear& target = run.target;
    ImportSession& session = *run.session;
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    if (session.format() == ImportFormat::Norma43) {
        return failure(err, QStringLiteral("%1 es un extracto bancario en Norma 43; impórtelo con "
                                           "«%2 import-n43 --account CUENTA %1». No se ha "
                                           "escrito nada.")
                                .arg(nativeFile, kProgram));
    }
    run.ledger();
    std::optional<ImportPlan> plan;
    try {
        if (const std::optional<QString> unreadable = session.readCsv()) {
            const QString bankHint =
                session.format() == ImportFormat::BankFile
                    ? QStringLiteral(" Si son los movimientos que da el banco, impórtelos con "
                                     "«%1 import-bank --account CUENTA %2».")
                          .arg(kProgram, nativeFile)
                    : QString();
            return failure(err,
                           QStringLiteral("no se puede importar %1: %2%3 No se ha escrito nada.")
                               .arg(nativeFile, *unreadable, bankHint));
        }
        plan = session.plan();
        out << QStringLiteral("Importación de %1 en el año %2.\n").arg(nativeFile, target.year);
        out << QStringLiteral("Formato detectado: CSV, %1.\n")
                   .arg(describeDialect(session.dialect()));
        printPlan(*plan, RefusedLines::merged(session.refused(), plan->refused),
                  parsed->allowDuplicates, out);
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    }
    return writePlan(session, target, *plan, parsed->allowDuplicates, parsed->dryRun, out, err);
}

int runImportN43(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    int code = Success;
    ImportRun run;
    const std::optional<ExchangeArgs> parsed = startAccountImport(
        args, programFolder,
        QStringLiteral("falta --account CUENTA: la cuenta del año que es la del banco"), run, err,
        code);
    if (!parsed) {
        return code;
    }
    const TargetYear& target = run.target;
    ImportSession& session = *run.session;
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    const QString ourAccount = accountNamed(run.ledger(), *parsed->account);
    try {
        try {
            session.readStatement();
        } catch (const Norma43Error& error) {
            return failure(err, QStringLiteral("no se puede importar %1 como extracto Norma 43: "
                                               "%2. No se ha escrito nada.")
                                    .arg(nativeFile, printable(error.message())));
        }
        if (ourAccount.isEmpty()) {
            return noSuchAccount(target, *parsed->account, err);
        }
        const N43Statement& statement = session.statement();
        out << QStringLiteral("Importación de %1 en el año %2, cuenta «%3».\n")
                   .arg(nativeFile, target.year, printable(ourAccount));
        out << QStringLiteral("Formato detectado: Norma 43 (cuaderno 43), %1 %2 del banco.\n")
                   .arg(formatCount(statement.accounts.size()), statement.accounts.size() == 1
                                                                    ? QStringLiteral("cuenta")
                                                                    : QStringLiteral("cuentas"));
        // Every bank account of the statement is the one account named.
        session.mapStatement([&](const BankAccountQuestion& question) {
            const N43Account& account = question.account;
            out << QStringLiteral("  %1 %2 %3: %4 movimientos del %5 al %6\n")
                       .arg(account.bank, account.branch, account.account,
                            formatCount(account.movements.size()), formatDate(account.from),
                            formatDate(account.to));
            return std::optional<QString>(ourAccount);
        });
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    }
    return planBankRows(session, target, ourAccount, *parsed, nativeFile, out, err);
}

int runImportBank(const QStringList& args, const QString& programFolder, QTextStream& out,
                  QTextStream& err) {
    int code = Success;
    ImportRun run;
    const std::optional<ExchangeArgs> parsed = startAccountImport(
        args, programFolder,
        QStringLiteral("falta --account CUENTA: la cuenta del año en la que se importan los "
                       "movimientos del banco"),
        run, err, code);
    if (!parsed) {
        return code;
    }
    const TargetYear& target = run.target;
    ImportSession& session = *run.session;
    const QString nativeFile = QDir::toNativeSeparators(parsed->file);
    if (session.format() != ImportFormat::BankFile) {
        return failure(err,
                       QStringLiteral("%1 es %2; impórtelo con «%3 %4». No se ha escrito nada.")
                           .arg(nativeFile,
                                session.format() == ImportFormat::Norma43
                                    ? QStringLiteral("un extracto bancario en Norma 43")
                                    : QStringLiteral("un archivo CSV con la cabecera de Velmora"),
                                kProgram,
                                session.format() == ImportFormat::Norma43
                                    ? QStringLiteral("import-n43 --account CUENTA ") + nativeFile
                                    : QStringLiteral("import-csv ") + nativeFile));
    }
    const QString ourAccount = accountNamed(run.ledger(), *parsed->account);
    try {
        if (const std::optional<QString> unreadable = session.readBankFile(programFolder)) {
            return failure(err,
                           QStringLiteral("no se puede importar %1: %2. No se ha escrito nada.")
                               .arg(nativeFile, printable(*unreadable)));
        }
        if (ourAccount.isEmpty()) {
            return noSuchAccount(target, *parsed->account, err);
        }
        out << QStringLiteral("Importación de %1 en el año %2, cuenta «%3».\n")
                   .arg(nativeFile, target.year, printable(ourAccount));
        session.mapBankFile(
            [&](const BankFileQuestion&) { return std::optional<QString>(ourAccount); },
            programFolder);
        const BankLayout& layout = session.layout();
        QStringList columns;
        for (qsizetype i = 0; i < layout.headers.size(); ++i) {
            if (layout.columns.at(i) != BankColumn::Unused) {
                columns.append(QStringLiteral("«%1» como %2")
                                   .arg(printable(layout.headers.at(i)),
                                        bankColumnName(layout.columns.at(i)).toLower()));
            }
        }
        out << QStringLiteral("Formato detectado: %1, cabecera en la línea %2: %3.\n")
                   .arg(session.bankFileKind(),
                        formatCount(session.table().rows[size_t(layout.headerRow)].line),
                        columns.join(QStringLiteral(", ")));
        out << QStringLiteral("Movimientos leídos: %1%2.\n")
                   .arg(formatCount(qint64(session.bankMovements().size())),
                        session.bankMovements().empty()
                            ? QString()
                            : QStringLiteral(", del %1 al %2")
                                  .arg(formatDate(session.bankMovements().front().date),
                                       formatDate(session.bankMovements().back().date)));
    } catch (const std::bad_alloc&) {
        return noMemoryToRead(nativeFile, out, err);
    }
    return planBankRows(session, target, ourAccount, *parsed, nativeFile, out, err);
}

} // namespace velmora::admin
