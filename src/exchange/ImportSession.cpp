#include "exchange/ImportSession.h"

#include "exchange/AccountProposals.h"
#include "exchange/BalanceCheck.h"
#include "exchange/CsvTable.h"
#include "exchange/XlsReader.h"
#include "exchange/XlsxReader.h"
#include "state/Logging.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "state/YearSession.h"
#include "store/AccountStore.h"
#include "years/SafetyCopies.h"

namespace velmora {

ImportSession::ImportSession(std::function<Database&()> db, QString dataRoot, QString year,
                             int calendarYear)
    : database_(std::move(db)), dataRoot_(std::move(dataRoot)), year_(std::move(year)),
      calendarYear_(calendarYear) {}

ImportSession::ImportSession(const YearSession& session, int calendarYear)
    : database_([&session]() -> Database& { return session.db(); }), dataRoot_(session.dataRoot()),
      year_(session.year()), calendarYear_(calendarYear) {}

std::optional<QString> ImportSession::open(const QString& path) {
    format_.reset();
    return openRegularFile(path, kLargestImportFile, file_);
}

namespace {

// A zip (an .xlsx workbook) or a compound file (an .xls one, or an .xlsx
// workbook with a password).
bool looksLikeSpreadsheet(const QByteArray& start) {
    return start.startsWith("PK\x03\x04") || start.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

} // namespace

ImportFormat ImportSession::format() {
    if (!format_) {
        if (looksLikeSpreadsheet(file_.peek(8))) {
            format_ = ImportFormat::BankFile;
        } else if (isNorma43(file_)) {
            format_ = ImportFormat::Norma43;
        } else {
            format_ = startsWithOurHeader(file_) ? ImportFormat::Csv : ImportFormat::BankFile;
        }
    }
    return *format_;
}

std::optional<QString> ImportSession::readBankFile(const QString& rememberIn) {
    try {
        const QByteArray start = file_.peek(8);
        tableRefused_ = RefusedLines();
        if (looksLikeXlsx(start)) {
            table_ = readXlsx(file_);
            bankFileKind_ = QStringLiteral("hoja de cálculo .xlsx");
        } else if (looksLikeXls(start)) {
            table_ = readXls(file_);
            bankFileKind_ = QStringLiteral("hoja de cálculo .xls");
        } else {
            CsvTableRead read = readCsvTable(file_);
            table_ = std::move(read.table);
            tableRefused_ = std::move(read.refused);
            bankFileKind_ =
                QStringLiteral("CSV del banco, separador %1").arg(separatorName(read.separator));
        }
    } catch (const SheetError& error) {
        return error.reason();
    }
    return findLayout(rememberIn);
}

std::optional<QString> ImportSession::findLayout(const QString& rememberIn) {
    std::optional<BankLayout> layout;
    if (!rememberIn.isEmpty()) {
        const SettingsFiles memory(rememberIn);
        for (const SettingsFiles::BankFileLayout& kept : memory.readBankFileLayouts()) {
            layout = rememberedBankLayout(table_, kept.headers, kept.columns);
            if (layout && layout->problem().isEmpty()) {
                proposedAccount_ = kept.account;
                break;
            }
            layout.reset();
        }
    }
    if (!layout) {
        layout = findBankLayout(table_);
    }
    if (!layout) {
        return QStringLiteral(
            "no se encuentra la fila de cabecera: ninguna de las primeras filas nombra una fecha "
            "y un importe (o un cargo y un abono), como «Fecha;Concepto;Importe;Saldo»");
    }
    layout_ = *layout;
    return std::nullopt;
}

namespace {

QString firstCashAccount(Database& db) {
    for (const Account& account : listAccounts(db, QString())) {
        if (account.kind == QLatin1String("C")) {
            return account.name;
        }
    }
    return {};
}

} // namespace

bool ImportSession::mapBankFile(const BankFileChooser& choose, const QString& rememberIn) {
    const QStringList accounts = accountNames(db());
    BankFileQuestion question{
        accounts, proposedAccount_.isEmpty() ? firstCashAccount(db()) : proposedAccount_, {}};
    QList<SettingsFiles::BankFileLayout> remembered;
    if (!rememberIn.isEmpty()) {
        const SettingsFiles memory(rememberIn);
        remembered = memory.readBankFileLayouts();
        question.memoryProblem = memory.problems().join(QStringLiteral("; "));
    }
    const std::optional<QString> chosen = choose(question);
    if (!chosen || chosen->isEmpty()) {
        return false;
    }
    bankAccount_ = *chosen;
    // The columns as they were last set for this account, when its file has not
    // changed its headers since.
    for (const SettingsFiles::BankFileLayout& kept : remembered) {
        if (kept.account == bankAccount_ && kept.headers == layout_.headers) {
            if (const auto layout = rememberedBankLayout(table_, kept.headers, kept.columns);
                layout && layout->problem().isEmpty()) {
                layout_ = *layout;
            }
            break;
        }
    }
    proposals_ = makeProposals();
    return !relayout(layout_, question.memoryProblem.isEmpty() ? rememberIn : QString());
}

std::optional<QString> ImportSession::relayout(const BankLayout& layout,
                                               const QString& rememberIn) {
    const QString problem = layout.problem();
    if (!problem.isEmpty()) {
        return problem;
    }
    layout_ = layout;
    if (!proposals_) {
        proposals_ = makeProposals();
    }
    BankMovementsRead read = readBankMovements(table_, layout_);
    bankMovements_ = std::move(read.movements);
    refused_ = RefusedLines::merged(tableRefused_, read.refused);
    rows_ = ImportedRows();
    for (const BankMovement& movement : bankMovements_) {
        appendBankRow(movement.line, movement.date, movement.description, movement.cents,
                      bankAccount_, *proposals_, rows_);
    }
    if (!rememberIn.isEmpty()) {
        try {
            SettingsFiles(rememberIn)
                .writeBankFileLayout({bankAccount_, layout_.headers, layout_.columnsText()});
        } catch (const SettingsError& error) {
            // Only a convenience for the next file: the import goes on.
            qCWarning(lcExchange).noquote() << error.message();
        }
    }
    return std::nullopt;
}

std::optional<QString> ImportSession::readCsv() {
    CsvRead read = velmora::readCsv(file_);
    if (!read.failure.isEmpty()) {
        return read.failure;
    }
    dialect_ = read.dialect;
    rows_ = std::move(read.rows);
    refused_ = std::move(read.refused);
    return std::nullopt;
}

const N43Statement& ImportSession::readStatement() {
    statement_ = readNorma43(file_);
    return statement_;
}

bool ImportSession::mapStatement(const BankAccountChooser& choose, const QString& rememberIn) {
    const QStringList accounts = accountNames(db());
    // A bank account is kept as a "Caja" account.
    const QString firstCash = firstCashAccount(db());
    const std::unique_ptr<AccountProposals> proposals = makeProposals();
    std::optional<SettingsFiles> memory;
    if (!rememberIn.isEmpty()) {
        memory.emplace(rememberIn);
    }
    for (const N43Account& account : statement_.accounts) {
        BankAccountQuestion question{account, accounts, firstCash, {}};
        if (memory) {
            const QString remembered = memory->readBankAccount(account.key());
            if (!remembered.isEmpty()) {
                question.proposed = remembered;
            }
            if (!memory->problems().isEmpty()) {
                // Not even rewritten: what is in its place is no file of ours to replace.
                question.memoryProblem = memory->problems().join(QStringLiteral("; "));
                memory.reset();
            }
        }
        const std::optional<QString> chosen = choose(question);
        if (!chosen || chosen->isEmpty()) {
            return false;
        }
        if (memory) {
            try {
                memory->writeBankAccount(account.key(), *chosen);
            } catch (const SettingsError& error) {
                // Only a convenience for the next statement: the import goes on.
                qCWarning(lcExchange).noquote() << error.message();
            }
        }
        appendStatementRows(account, *chosen, *proposals, rows_);
        statementAccounts_.append(*chosen);
    }
    return true;
}

std::unique_ptr<AccountProposals> ImportSession::makeProposals() const {
    HouseRulesRead rules = readHouseRules(dataRoot_);
    if (!rules.problem.isEmpty()) {
        // The rules window names it; the import uses the rules that could be read.
        qCWarning(lcExchange).noquote() << rules.problem;
    }
    return std::make_unique<AccountProposals>(db(), std::move(rules.rules));
}

ImportPlan ImportSession::plan(const NewAccounts& created,
                               const std::function<bool(qsizetype)>& include) const {
    return planImport(db(), rows_, calendarYear_, created, include);
}

QString ImportSession::describeBalances(const ImportPlan& plan) const {
    std::vector<bool> added(size_t(rows_.size()), false);
    for (const PlannedEntry& entry : plan.accepted) {
        added[size_t(entry.row)] = !entry.duplicate;
    }
    QStringList texts;
    if (format_ == ImportFormat::BankFile) {
        texts.append(describeBalanceCheck(
            checkBankFileBalance(db(), bankAccount_, bankMovements_, added), bankAccount_));
    } else if (format_ == ImportFormat::Norma43) {
        // The statement's rows are its accounts' movements, one account after another.
        size_t first = 0;
        for (qsizetype i = 0; i < statementAccounts_.size(); ++i) {
            const N43Account& account = statement_.accounts.at(i);
            const size_t count = size_t(account.movements.size());
            const std::vector<bool> own(added.begin() + qsizetype(first),
                                        added.begin() + qsizetype(first + count));
            texts.append(describeBalanceCheck(
                checkStatementBalance(db(), statementAccounts_.at(i), account, own),
                statementAccounts_.at(i)));
            first += count;
        }
    }
    texts.removeAll(QString());
    return texts.join(QLatin1Char(' '));
}

QString ImportSession::writeSafetyCopy(const QDateTime& now) const {
    return SafetyCopies(dataRoot_, year_).write(db(), now);
}

ImportResult ImportSession::write(const ImportPlan& plan, const NewAccounts& created,
                                  bool withDuplicates) const {
    return writeImport(db(), rows_, plan, created, withDuplicates);
}

} // namespace velmora
