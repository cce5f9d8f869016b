#include "admin/CommandLine.h"

#include "analysis/AccountBalances.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <optional>

namespace velmora::admin {

namespace {

void printSection(QTextStream& out, const std::vector<AccountFigures>& accounts,
                  const QString& totalLabel) {
    AmountTotal total;
    for (const AccountFigures& account : accounts) {
        out << QStringLiteral("  %1: entradas %2; salidas %3; total %4\n")
                   .arg(printable(account.account), account.moneyIn.text(), account.moneyOut.text(),
                        account.figure().text());
        total.add(account.figure());
    }
    out << totalLabel << total.text() << '\n';
}

} // namespace

int runBalances(const QStringList& args, const QString& programFolder, QTextStream& out,
                QTextStream& err) {
    const std::optional<Options> parsed =
        parseOptions(args, {QStringLiteral("--year"), QStringLiteral("--date")}, {}, err);
    if (!parsed) {
        return BadUsage;
    }
    if (!parsed->operands.isEmpty()) {
        return badUsage(err, extraArguments(parsed->operands, 0));
    }
    std::optional<QDate> date;
    if (!dateOption(*parsed, QStringLiteral("--date"), date, err)) {
        return BadUsage;
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    if (!date) {
        date = QDate(target->calendarYear(), 12, 31);
    }
    Database db(target->databasePath, Database::Mode::ReadOnly);
    checkLedgerSchema(db);
    const BalanceSheet sheet = balancesOfYearAt(db, *date);
    const QString from = formatDate(QDate(date->year(), 1, 1));
    const QString to = formatDate(*date);
    out << QStringLiteral("Saldos del año %1 al %2\n").arg(target->year, to);
    out << QStringLiteral("Cuentas de caja:\n");
    for (const AccountFigures& account : sheet.cash) {
        out << QStringLiteral("  %1: saldo inicial %2; entradas %3; salidas %4; saldo %5\n")
                   .arg(printable(account.account), account.opening.text(), account.moneyIn.text(),
                        account.moneyOut.text(), account.figure().text());
    }
    out << QStringLiteral("Total en caja: ") << sheet.cashTotal().text() << '\n';
    out << QStringLiteral("Ingresos del %1 al %2:\n").arg(from, to);
    printSection(out, sheet.income, QStringLiteral("Total de ingresos: "));
    out << QStringLiteral("Gastos del %1 al %2:\n").arg(from, to);
    printSection(out, sheet.expense, QStringLiteral("Total de gastos: "));
    out.flush();
    return Success;
}

int runOpeningBalance(const QStringList& args, const QString& programFolder, QTextStream& out,
                      QTextStream& err) {
    const std::optional<Options> parsed = parseOptions(args, {QStringLiteral("--year")}, {}, err);
    if (!parsed) {
        return BadUsage;
    }
    const QStringList& operands = parsed->operands;
    if (operands.size() < 2 || operands[0].trimmed().isEmpty()) {
        return badUsage(err, QStringLiteral("faltan la cuenta y el importe del saldo inicial"));
    }
    if (operands.size() > 2) {
        return badUsage(err, extraArguments(operands, 2));
    }
    const std::optional<double> amount = parseAmount(operands[1]);
    const std::optional<qint64> cents = amount ? amountCents(*amount) : std::nullopt;
    if (!cents) {
        return badUsage(err, QStringLiteral("el importe «%1» no vale: escríbalo como 1.234,56 o "
                                            "-5,00")
                                 .arg(printable(operands[1])));
    }
    const std::optional<TargetYear> target = targetYear(programFolder, parsed->year, err);
    if (!target) {
        return Failure;
    }
    Database db(target->databasePath);
    checkLedgerSchema(db);
    const std::optional<Account> account = loadAccount(db, operands[0]);
    if (!account) {
        return failure(err, QStringLiteral("el año %1 no tiene la cuenta «%2». No se ha escrito "
                                           "nada.")
                                .arg(target->year, printable(operands[0])));
    }
    if (account->kind != QLatin1String("C")) {
        return failure(err, QStringLiteral("«%1» no es una cuenta de caja: solo las cuentas de "
                                           "caja tienen saldo inicial. No se ha escrito nada.")
                                .arg(printable(account->name)));
    }
    const qint64 before = openingBalance(db, account->name);
    setOpeningBalance(db, account->name, *cents);
    out << QStringLiteral("Saldo inicial de «%1» en el año %2: %3 (antes %4).\n")
               .arg(printable(account->name), target->year, formatCents(*cents),
                    formatCents(before));
    out.flush();
    return Success;
}

} // namespace velmora::admin
