#include "exchange/ImportPlan.h"

#include "entries/MovementRule.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/EntryStore.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "store/TextPool.h"

#include <QSet>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace velmora {

namespace {

// How an account name is matched: no letter case, no spaces around it.
QString accountKey(const QString& name) {
    return foldCase(name.trimmed());
}

struct KnownAccount {
    QString name; // as stored, or as it will be created
    QString kind;
    qint64 index = -1; // in ImportPlan::accounts once an entry uses it
};

// The accounts the year has and the ones the user chose to create.
QHash<QString, KnownAccount> knownAccounts(Database& db, const NewAccounts& created) {
    QHash<QString, KnownAccount> accounts;
    for (const Account& account : listAccounts(db, QString())) {
        accounts.insert(accountKey(account.name), {account.name, account.kind});
    }
    for (auto it = created.begin(); it != created.end(); ++it) {
        const QString key = accountKey(it.key());
        if (!accounts.contains(key)) {
            accounts.insert(key, {it.key().trimmed(), it.value()});
        }
    }
    return accounts;
}

// An entry as a duplicate is told: date, both accounts whatever their letter
// case, amount to the cent and description.
struct EntryKey {
    QString storedDate;
    QString goesInto; // folded
    QString comesOutOf;
    qint64 cents = 0;
    QString description;

    size_t hash() const {
        return qHashMulti(0, storedDate, goesInto, comesOutOf, cents, description);
    }
    bool operator==(const EntryKey&) const = default;
};

// Marks the accepted entries the year already holds. Each entry of the year
// stands for one accepted entry with its key, the first not marked yet, so that
// a file with two equal rows against one in the year adds one. Only the file's
// keys are kept, so a large year costs no memory.
void markDuplicates(Database& db, const ImportedRows& rows, ImportPlan& plan) {
    if (plan.accepted.empty()) {
        return;
    }
    QStringList folded;
    folded.reserve(plan.accounts.size());
    for (const QString& name : std::as_const(plan.accounts)) {
        folded.append(foldCase(name));
    }
    const auto keyOf = [&](const PlannedEntry& entry) {
        return EntryKey{toStoredDate(rows.date(entry.row)), folded[entry.goesInto],
                        folded[entry.comesOutOf], rows.cents(entry.row),
                        rows.description(entry.row)};
    };
    // (hash of the key, position in accepted), the equal ones in file order.
    std::vector<std::pair<size_t, qint32>> hashes;
    hashes.reserve(plan.accepted.size());
    for (size_t i = 0; i < plan.accepted.size(); ++i) {
        hashes.emplace_back(keyOf(plan.accepted[i]).hash(), qint32(i));
    }
    std::sort(hashes.begin(), hashes.end());

    // Most of a large year's entries match no row of the file by date and amount,
    // and are passed over before any of their texts is made.
    const auto dayAndAmount = [](std::string_view storedDate, qint64 cents) {
        return texthash::hashOf(storedDate, quint64(cents));
    };
    std::unordered_set<quint64> daysAndAmounts;
    daysAndAmounts.reserve(plan.accepted.size());
    for (const PlannedEntry& entry : plan.accepted) {
        const QByteArray date = toStoredDate(rows.date(entry.row)).toUtf8();
        daysAndAmounts.insert(dayAndAmount(std::string_view(date.constData(), size_t(date.size())),
                                           rows.cents(entry.row)));
    }
    // Only the day and the amount of every entry; the texts of the few that match
    // are read afterwards, by their row.
    Statement query(db, "SELECT amountcents(Importe), Data, rowid FROM apuntes",
                    "leer los apuntes del año");
    Statement texts(db, "SELECT EntraEn, SaleDe, Des FROM apuntes WHERE rowid = ?1",
                    "leer un apunte del año");
    QHash<QString, QString> foldedNames; // the year names few accounts, over and over
    const auto foldedName = [&foldedNames](const QString& name) {
        auto found = foldedNames.find(name);
        if (found == foldedNames.end()) {
            found = foldedNames.insert(name, foldCase(name));
        }
        return *found;
    };
    while (query.step()) {
        // An unreadable amount is nobody's duplicate.
        if (query.isNull(0) ||
            !daysAndAmounts.contains(dayAndAmount(query.columnUtf8(1), query.columnInt(0)))) {
            continue;
        }
        texts.reset();
        texts.bind(1, query.columnInt(2));
        if (!texts.step()) {
            continue;
        }
        const EntryKey key{query.columnText(1), foldedName(texts.columnText(0)),
                           foldedName(texts.columnText(1)), query.columnInt(0),
                           texts.columnText(2)};
        const auto [from, to] =
            std::equal_range(hashes.begin(), hashes.end(), std::pair(key.hash(), qint32(0)),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto it = from; it != to; ++it) {
            PlannedEntry& entry = plan.accepted[size_t(it->second)];
            if (!entry.duplicate && keyOf(entry) == key) {
                entry.duplicate = true;
                break;
            }
        }
    }
}

} // namespace

int ImportPlan::duplicates() const {
    return int(std::count_if(accepted.begin(), accepted.end(),
                             [](const PlannedEntry& entry) { return entry.duplicate; }));
}

ImportPlan planImport(Database& db, const ImportedRows& rows, int year, const NewAccounts& created,
                      const std::function<bool(qsizetype)>& include) {
    QHash<QString, KnownAccount> accounts = knownAccounts(db, created);
    ImportPlan plan;
    const auto indexOf = [&plan](KnownAccount& account) {
        if (account.index < 0) {
            account.index = plan.accounts.size();
            plan.accounts.append(account.name);
        }
        return quint32(account.index);
    };
    QHash<QString, int> unknownIndex; // key → position in plan.unknownAccounts
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (include && !include(i)) {
            continue;
        }
        const auto refuse = [&](const QString& reason) { plan.refused.add(rows.line(i), reason); };
        const QString& goesInto = rows.goesInto(i);
        const QString& comesOutOf = rows.comesOutOf(i);
        const QDate date = rows.date(i);
        const qint64 cents = rows.cents(i);
        if (rows.description(i).trimmed().isEmpty()) {
            refuse(QStringLiteral("falta la descripción"));
            continue;
        }
        if (date.year() != year) {
            refuse(QStringLiteral("la fecha %1 no es del año %2").arg(formatDate(date)).arg(year));
            continue;
        }
        if (cents > kMaxAmountCents || cents < -kMaxAmountCents) {
            refuse(QStringLiteral("el importe %1 no es válido").arg(formatCents(cents)));
            continue;
        }
        if (goesInto.trimmed().isEmpty() || comesOutOf.trimmed().isEmpty()) {
            refuse(goesInto.trimmed().isEmpty() ? QStringLiteral("falta la cuenta «Entra en»")
                                                : QStringLiteral("falta la cuenta «Sale de»"));
            continue;
        }
        const QString intoKey = accountKey(goesInto);
        const QString outOfKey = accountKey(comesOutOf);
        bool waits = false;
        for (const QString& key : {intoKey, outOfKey}) {
            if (accounts.contains(key) || (waits && key == intoKey)) {
                continue; // known, or both sides name the same unknown account
            }
            waits = true;
            const auto found = unknownIndex.constFind(key);
            if (found == unknownIndex.constEnd()) {
                unknownIndex.insert(key, int(plan.unknownAccounts.size()));
                plan.unknownAccounts.append(
                    {(key == intoKey ? goesInto : comesOutOf).trimmed(), 1});
            } else {
                ++plan.unknownAccounts[*found].rows;
            }
        }
        if (waits) {
            plan.waiting.push_back(qint32(i));
            continue;
        }
        KnownAccount& into = accounts[intoKey];
        KnownAccount& outOf = accounts[outOfKey];
        const std::optional<QString> movementClass = classifyMovement(into.kind, outOf.kind);
        if (!movementClass) {
            refuse(QStringLiteral("este movimiento no se puede hacer, de «%1» a «%2»")
                       .arg(outOf.name, into.name));
            continue;
        }
        // Under the names as the year writes them, as the entry editor would save them.
        plan.accepted.push_back(
            {qint32(i), indexOf(into), indexOf(outOf), movementClass->at(0).toLatin1(), false});
    }
    markDuplicates(db, rows, plan);
    return plan;
}

ImportResult writeImport(Database& db, const ImportedRows& rows, const ImportPlan& plan,
                         const NewAccounts& created, bool withDuplicates,
                         const std::function<void(int)>& afterRow) {
    Transaction transaction(db);
    ImportResult result;
    QSet<QString> needed;
    for (const PlannedEntry& entry : plan.accepted) {
        needed << accountKey(plan.goesInto(entry)) << accountKey(plan.comesOutOf(entry));
    }
    for (auto it = created.begin(); it != created.end(); ++it) {
        const QString name = it.key().trimmed();
        if (needed.contains(accountKey(name)) && !accountNameTaken(db, name)) {
            insertAccount(db, Account{name, kImportedAccountConcept, it.value()});
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
            .bind(2, toStoredDate(rows.date(entry.row)))
            .bind(3, rows.description(entry.row))
            .bind(4, plan.goesInto(entry))
            .bind(5, plan.comesOutOf(entry))
            .bind(6, double(rows.cents(entry.row)) / 100.0)
            .bind(7, QString(QLatin1Char(entry.movementClass)));
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
