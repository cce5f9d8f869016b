#include "analysis/CarryOver.h"

#include "analysis/AccountBalances.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/DbErrorText.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"
#include "years/YearOrigin.h"

#include <QFileInfo>
#include <QHash>

#include <optional>

namespace velmora {

namespace {

// A figure that cannot become an opening balance says why.
std::optional<qint64> usableCents(const AmountTotal& figure, QString& note) {
    const std::optional<qint64> cents = figure.cents();
    if (!cents) {
        note = QStringLiteral("tiene importes que no son números");
    } else if (*cents > kMaxAmountCents || *cents < -kMaxAmountCents) {
        note = QStringLiteral("el saldo pasa de 999.999.999.999,99");
        return std::nullopt;
    }
    return cents;
}

} // namespace

CarryOverError::CarryOverError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

std::optional<QDate> lastDayOf(Database& db, const QString& year) {
    if (const auto calendar = calendarYearNamed(year)) {
        return QDate(*calendar, 12, 31);
    }
    Statement latest(db,
                     "SELECT max(Data) FROM apuntes WHERE Data GLOB"
                     " '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'",
                     "buscar el último apunte");
    if (!latest.step() || latest.isNull(0)) {
        return std::nullopt;
    }
    const QDate day = fromStoredDate(latest.columnText(0).toStdString());
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

bool CarryOverPlan::changesAnything() const {
    for (const CarriedBalance& account : accounts) {
        if (account.changes()) {
            return true;
        }
    }
    return false;
}

CarryOverPlan planCarryOver(Database& previous, const QString& previousYear, Database& next) {
    CarryOverPlan plan;
    plan.previousYear = previousYear;
    if (const auto last = lastDayOf(previous, previousYear)) {
        plan.lastDay = *last;
    }
    QHash<QString, const AccountFigures*> before;
    BalanceSheet old;
    if (plan.lastDay.isValid()) {
        old = balancesAt(previous, plan.lastDay, plan.lastDay);
        for (const AccountFigures& account : old.cash) {
            before.insert(foldCase(account.account), &account);
        }
    }
    const QHash<QString, qint64> openings = openingBalancesByName(next);
    for (const Account& account : listAccounts(next, QString())) {
        if (account.kind != QLatin1String("C")) {
            continue;
        }
        const QString key = foldCase(account.name);
        CarriedBalance line{account.name, openings.value(key), {}, {}};
        if (const AccountFigures* figures = before.value(key)) {
            line.after = usableCents(figures->figure(), line.note);
            before.remove(key);
        } else if (plan.lastDay.isValid()) {
            line.note = QStringLiteral("no es una cuenta de caja del año %1").arg(previousYear);
        }
        plan.accounts.push_back(line);
    }
    for (const AccountFigures& account : old.cash) {
        const AmountTotal figure = account.figure();
        if (before.contains(foldCase(account.account)) && figure.cents() != 0) {
            plan.missing.append(QStringLiteral("%1 (%2)").arg(account.account, figure.text()));
        }
    }
    return plan;
}

void applyCarryOver(Database& next, const CarryOverPlan& plan) {
    // Within the new year's making when it is made, on its own afterwards.
    Transaction change(next, Transaction::Join::IfOpen);
    for (const CarriedBalance& account : plan.accounts) {
        if (account.changes()) {
            setOpeningBalance(next, account.account, *account.after);
        }
    }
    change.commit();
}

CarryOverPlan planFromPreviousYear(Database& db, const QString& dataRoot, const QString& year) {
    const std::optional<QString> previous = previousYearOf(db, year);
    if (!previous) {
        throw CarryOverError(
            QStringLiteral("No se sabe de qué año viene el año %1: no se creó desde otro año "
                           "y su nombre no es un año como 2024.")
                .arg(year));
    }
    const QString path = databasePathFor(dataRoot, *previous);
    if (!namesYearFolder(*previous) || *previous == year) {
        throw CarryOverError(
            QStringLiteral("El año %1 no dice bien de qué año viene («%2»).").arg(year, *previous));
    }
    if (!QFileInfo(path).isFile()) {
        throw CarryOverError(
            QStringLiteral("No existe el año %1, del que se toman los saldos iniciales del año %2.")
                .arg(*previous, year));
    }
    try {
        Database old(path, Database::Mode::ReadOnly);
        checkLedgerSchema(old);
        return planCarryOver(old, *previous, db);
    } catch (const DbError& error) {
        qCWarning(lcYears).noquote() << "no se puede leer el año" << path << "|" << error.what();
        throw CarryOverError(QStringLiteral("No se puede leer el año %1: %2")
                                 .arg(*previous, describeFailure(error)));
    }
}

void carryIntoNewYear(Database& current, const QString& currentYear, Database& fresh) {
    CarryOverPlan plan = planCarryOver(current, currentYear, fresh);
    if (!plan.lastDay.isValid()) {
        return; // no entries: the copied openings are where it ended
    }
    // A figure that cannot be taken leaves no stale opening behind: the copied one
    // is where the current year started, not where the new one does.
    for (CarriedBalance& account : plan.accounts) {
        if (!account.after) {
            qCWarning(lcYears).noquote()
                << "saldo inicial no arrastrado:" << account.account << account.note;
            account.after = 0;
        }
    }
    applyCarryOver(fresh, plan);
}

} // namespace velmora
