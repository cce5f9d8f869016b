#include "admin/CommandLine.h"

#include "analysis/CarryOver.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::admin {

namespace {

void printPlan(const CarryOverPlan& plan, const QString& year, QTextStream& out) {
    out << QStringLiteral("Saldos iniciales del año %1, tomados del año %2 a %3:\n")
               .arg(printable(year), printable(plan.previousYear), formatDate(plan.lastDay));
    for (const CarriedBalance& account : plan.accounts) {
        out << QStringLiteral("  %1: %2")
                   .arg(printable(account.account), formatCents(account.before));
        if (account.changes()) {
            out << QStringLiteral(" → %1\n").arg(formatCents(*account.after));
        } else if (!account.note.isEmpty()) {
            out << QStringLiteral(" (sin cambios: %1)\n").arg(account.note);
        } else {
            out << QStringLiteral(" (sin cambios)\n");
        }
    }
    if (!plan.missing.isEmpty()) {
        out << QStringLiteral("Cuentas de caja del año %1 que el año %2 no tiene (no se crean): "
                              "%3\n")
                   .arg(printable(plan.previousYear), printable(year),
                        printable(plan.missing.join(QStringLiteral(", "))));
    }
}

} // namespace

int runCarryOver(const QStringList& args, const QString& programFolder, QTextStream& out,
                 QTextStream& err) {
    std::optional<QString> chosen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--year") && !chosen) {
            if (i + 1 == args.size()) {
                return badUsage(err, QStringLiteral("falta el año después de --year"));
            }
            chosen = args[++i];
        } else {
            return badUsage(err, extraArguments(args, i));
        }
    }
    if (chosen && !namesYearFolder(*chosen)) {
        return badUsage(err, yearArgumentRefusal(*chosen));
    }
    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return Failure;
    }
    const QString year = chosen.value_or(installed->year);
    const QString path = databasePathFor(installed->dataRoot, year);
    if (!QFileInfo(path).isFile()) {
        return failure(err, QStringLiteral("no existe la base de datos del año %1: %2")
                                .arg(printable(year), QDir::toNativeSeparators(path)));
    }
    Database db(path);
    checkLedgerSchema(db);
    CarryOverPlan plan;
    try {
        plan = planFromPreviousYear(db, installed->dataRoot, year);
    } catch (const CarryOverError& error) {
        return failure(err,
                       printable(error.message()) + QStringLiteral(" No se ha cambiado nada."));
    }
    if (!plan.lastDay.isValid()) {
        out << QStringLiteral("El año %1 no tiene apuntes: no hay saldos que tomar. No se ha "
                              "cambiado nada.\n")
                   .arg(printable(plan.previousYear));
        out.flush();
        return Success;
    }
    printPlan(plan, year, out);
    int changed = 0;
    for (const CarriedBalance& account : plan.accounts) {
        changed += account.changes() ? 1 : 0;
    }
    if (changed == 0) {
        out << QStringLiteral("Los saldos iniciales ya son esos. No se ha cambiado nada.\n");
    } else {
        applyCarryOver(db, plan);
        out << QStringLiteral("Cambiados %1 saldos iniciales.\n").arg(changed);
    }
    out.flush();
    return Success;
}

} // namespace velmora::admin
