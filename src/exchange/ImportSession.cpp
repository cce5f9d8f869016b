#include "exchange/ImportSession.h"

#include "exchange/AccountProposals.h"
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

ImportFormat ImportSession::format() {
    if (!format_) {
        format_ = isNorma43(file_) ? ImportFormat::Norma43 : ImportFormat::Csv;
    }
    return *format_;
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
    QString firstCash; // a bank account is kept as a "Caja" account
    for (const Account& account : listAccounts(db(), QString())) {
        if (account.kind == QLatin1String("C")) {
            firstCash = account.name;
            break;
        }
    }
    const AccountProposals proposals(db());
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
        appendStatementRows(account, *chosen, proposals, rows_);
    }
    return true;
}

ImportPlan ImportSession::plan(const NewAccounts& created,
                               const std::function<bool(qsizetype)>& include) const {
    return planImport(db(), rows_, calendarYear_, created, include);
}

QString ImportSession::writeSafetyCopy(const QDateTime& now) const {
    return SafetyCopies(dataRoot_, year_).write(db(), now);
}

ImportResult ImportSession::write(const ImportPlan& plan, const NewAccounts& created,
                                  bool withDuplicates) const {
    return writeImport(db(), rows_, plan, created, withDuplicates);
}

} // namespace velmora
