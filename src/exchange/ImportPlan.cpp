#include "exchange/ImportPlan.h"

#include "entries/MovementRule.h"
#include "store/Amount.h"
#include "store/EntryStore.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "ui/Formats.h"

#include <QSet>

#include <algorithm>

namespace velmora {

namespace {

// An entry as a duplicate is told: date, both accounts whatever their letter
// case, amount to the cent and description.
QString duplicateKey(const QString& storedDate, const QString& goesInto, const QString& comesOutOf,
                     qint64 cents, const QString& description) {
    return storedDate + QChar(0x1f) + foldCase(goesInto) + QChar(0x1f) + foldCase(comesOutOf) +
           QChar(0x1f) + QString::number(cents) + QChar(0x1f) + description;
}

// How many entries of the year there are of each key.
QHash<QString, int> entriesByKey(Database& db) {
    Statement query(db, "SELECT Data, EntraEn, SaleDe, amountcents(Importe), Des FROM apuntes",
                    "leer los apuntes del año");
    QHash<QString, int> counts;
    while (query.step()) {
        if (query.isNull(3)) {
            continue; // an unreadable amount is nobody's duplicate
        }
        ++counts[duplicateKey(query.columnText(0), query.columnText(1), query.columnText(2),
                              query.columnInt(3), query.columnText(4))];
    }
    return counts;
}

struct KnownAccount {
    QString name; // as stored
    QString kind;
};

} // namespace

int ImportPlan::duplicates() const {
    return int(std::count_if(accepted.begin(), accepted.end(),
                             [](const PlannedEntry& entry) { return entry.duplicate; }));
}

ImportPlan planImport(Database& db, const QList<ImportedRow>& rows, int year,
                      const NewAccounts& created) {
    QHash<QString, KnownAccount> accounts;
    for (const Account& account : listAccounts(db, QString())) {
        accounts.insert(foldCase(account.name), {account.name, account.kind});
    }
    for (auto it = created.begin(); it != created.end(); ++it) {
        if (!accounts.contains(foldCase(it.key()))) {
            accounts.insert(foldCase(it.key()), {it.key(), it.value()});
        }
    }
    QHash<QString, int> existing = entriesByKey(db);

    ImportPlan plan;
    QHash<QString, int> unknownIndex; // folded name → position in plan.unknownAccounts
    for (const ImportedRow& row : rows) {
        const auto refuse = [&](const QString& reason) { plan.refused.append({row.line, reason}); };
        if (row.description.trimmed().isEmpty()) {
            refuse(QStringLiteral("falta la descripción"));
            continue;
        }
        if (!row.date.isValid()) {
            refuse(QStringLiteral("falta la fecha"));
            continue;
        }
        if (row.date.year() != year) {
            refuse(
                QStringLiteral("la fecha %1 no es del año %2").arg(formatDate(row.date)).arg(year));
            continue;
        }
        if (row.cents > kMaxAmountCents || row.cents < -kMaxAmountCents) {
            refuse(QStringLiteral("el importe %1 no es válido").arg(formatCents(row.cents)));
            continue;
        }
        if (row.goesInto.trimmed().isEmpty() || row.comesOutOf.trimmed().isEmpty()) {
            refuse(row.goesInto.trimmed().isEmpty() ? QStringLiteral("falta la cuenta «Entra en»")
                                                    : QStringLiteral("falta la cuenta «Sale de»"));
            continue;
        }
        QStringList unknown; // folded, each once even when both sides name it
        for (const QString& name : {row.goesInto, row.comesOutOf}) {
            const QString folded = foldCase(name);
            if (accounts.contains(folded) || unknown.contains(folded)) {
                continue;
            }
            unknown.append(folded);
            const auto found = unknownIndex.constFind(folded);
            if (found == unknownIndex.constEnd()) {
                unknownIndex.insert(folded, int(plan.unknownAccounts.size()));
                plan.unknownAccounts.append({name, 1});
            } else {
                ++plan.unknownAccounts[*found].rows;
            }
        }
        const bool waits = !unknown.isEmpty();
        if (waits) {
            plan.waiting.append(row);
            continue;
        }
        const KnownAccount& into = accounts[foldCase(row.goesInto)];
        const KnownAccount& outOf = accounts[foldCase(row.comesOutOf)];
        const std::optional<QString> movementClass = classifyMovement(into.kind, outOf.kind);
        if (!movementClass) {
            refuse(QStringLiteral("este movimiento no se puede hacer, de «%1» a «%2»")
                       .arg(outOf.name, into.name));
            continue;
        }
        PlannedEntry entry{row, *movementClass, false};
        // The names as the year writes them, as the entry editor would save them.
        entry.row.goesInto = into.name;
        entry.row.comesOutOf = outOf.name;
        int& same = existing[duplicateKey(toStoredDate(row.date), into.name, outOf.name, row.cents,
                                          row.description)];
        if (same > 0) {
            entry.duplicate = true;
            --same;
        }
        plan.accepted.append(entry);
    }
    return plan;
}

ImportResult writeImport(Database& db, const ImportPlan& plan, const NewAccounts& created,
                         bool withDuplicates, const std::function<void(int)>& afterRow) {
    Transaction transaction(db);
    ImportResult result;
    QSet<QString> needed;
    for (const PlannedEntry& entry : plan.accepted) {
        needed << foldCase(entry.row.goesInto) << foldCase(entry.row.comesOutOf);
    }
    for (auto it = created.begin(); it != created.end(); ++it) {
        if (needed.contains(foldCase(it.key())) && !accountNameTaken(db, it.key())) {
            insertAccount(db, Account{it.key(), QString(), it.value()});
            ++result.accountsCreated;
        }
    }
    Statement insert(db,
                     "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                     "importar los apuntes");
    qint64 id = nextEntryId(db);
    for (const PlannedEntry& entry : plan.accepted) {
        if (entry.duplicate && !withDuplicates) {
            continue;
        }
        insert.reset();
        insert.bind(1, static_cast<int64_t>(id++))
            .bind(2, toStoredDate(entry.row.date))
            .bind(3, entry.row.description)
            .bind(4, entry.row.goesInto)
            .bind(5, entry.row.comesOutOf)
            .bind(6, double(entry.row.cents) / 100.0)
            .bind(7, entry.movementClass);
        insert.run();
        ++result.written;
        if (afterRow) {
            afterRow(result.written);
        }
    }
    transaction.commit();
    return result;
}

} // namespace velmora
