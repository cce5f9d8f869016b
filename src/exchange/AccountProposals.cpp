#include "exchange/AccountProposals.h"

#include "exchange/Norma43.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"
#include "store/TextPool.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstdlib>

namespace velmora {

namespace {

// Below this share of words in common a description is not the same movement.
constexpr double kLeastLikeness = 0.5;
// Enough of the recent uses of one description to find one not naming the bank.
constexpr size_t kUsesKept = 4;

} // namespace

QStringList AccountProposals::words(const QString& description) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}]+"));
    const QString plain = foldAccents(description);
    QStringList result;
    for (const QString& word : plain.split(separators, Qt::SkipEmptyParts)) {
        if (word.size() >= 3 && !result.contains(word)) {
            result.append(word);
        }
    }
    return result;
}

namespace {

// One use of a description as read: its accounts kept in a pool, made into
// strings only for the few uses a description keeps.
struct ReadUse {
    qint64 order = 0; // later entries have larger numbers
    quint32 goesInto = 0;
    quint32 comesOutOf = 0;
    quint32 description = 0; // in the descriptions' pool
};

// The date before the number: an entry typed late for an earlier day is older.
qint64 orderOf(const QDate& date, qint64 id) {
    return (qint64(date.isValid() ? date.toJulianDay() : 0) << 32) + id;
}

} // namespace

AccountProposals::AccountProposals(Database& db, HouseRules rules) : rules_(std::move(rules)) {
    // Newest typed first, in the table's own order, which needs no sorting: once a
    // description has its latest few uses, the older ones are passed over with a
    // comparison. A year of a million entries repeats a few thousand descriptions,
    // whose words are found once.
    Statement query(db, "SELECT Des, Data, Id FROM apuntes ORDER BY Id DESC",
                    "leer los apuntes del año");
    // The accounts of the uses kept only, by their entry's number.
    Statement accounts(db, "SELECT EntraEn, SaleDe FROM apuntes WHERE Id = ?1",
                       "leer un apunte del año");
    TextPool descriptions;
    TextPool names;
    // By description: its known, or -1; description 0 is the empty one.
    std::vector<qint32> knownOf{-1};
    std::vector<std::vector<ReadUse>> uses; // by known, latest first
    StoredDates dates;
    while (query.step()) {
        const quint32 description = descriptions.add(query.columnUtf8(0));
        if (description >= knownOf.size()) {
            const std::string_view bytes = descriptions.bytes(description);
            const QStringList described =
                words(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
            qint32 index = -1;
            if (!described.isEmpty()) {
                const QString text = described.join(QLatin1Char(' '));
                const auto found = byText_.constFind(text);
                if (found == byText_.constEnd()) {
                    index = qint32(known_.size());
                    byText_.insert(text, index);
                    known_.push_back({text, int(described.size()), {}});
                    uses.emplace_back();
                    for (const QString& word : described) {
                        byWord_[word].push_back(index);
                    }
                } else {
                    index = *found;
                }
            }
            knownOf.push_back(index);
        }
        const qint32 known = knownOf[description];
        if (known < 0) {
            continue;
        }
        std::vector<ReadUse>& kept = uses[size_t(known)];
        const qint64 order = orderOf(dates.read(query.columnUtf8(1)), query.columnInt(2));
        if (kept.size() == kUsesKept && order < kept.back().order) {
            continue;
        }
        accounts.reset();
        accounts.bind(1, query.columnInt(2));
        if (!accounts.step()) {
            continue;
        }
        const ReadUse use{order, names.add(accounts.columnUtf8(0)),
                          names.add(accounts.columnUtf8(1)), description};
        const auto at =
            std::upper_bound(kept.begin(), kept.end(), use,
                             [](const ReadUse& a, const ReadUse& b) { return a.order > b.order; });
        kept.insert(at, use);
        if (kept.size() > kUsesKept) {
            kept.pop_back();
        }
    }
    for (size_t i = 0; i < known_.size(); ++i) {
        for (auto use = uses[i].rbegin(); use != uses[i].rend(); ++use) {
            known_[i].uses.push_back(
                {use->order, names.text(use->goesInto), names.text(use->comesOutOf),
                 descriptions.text(use->description), QDate::fromJulianDay(use->order >> 32)});
        }
    }
}

Proposal AccountProposals::pick(const Known& known, bool moneyOut,
                                const QString& bankAccount) const {
    for (auto use = known.uses.rbegin(); use != known.uses.rend(); ++use) {
        const QString& other = moneyOut ? use->goesInto : use->comesOutOf;
        if (!other.trimmed().isEmpty() && !sameText(other, bankAccount)) {
            const QDate& date = use->date;
            return {other, QStringLiteral("como «%1»%2")
                               .arg(use->description.simplified(),
                                    date.isValid() ? QStringLiteral(" del ") + formatDate(date)
                                                   : QString())};
        }
    }
    return {};
}

Proposal AccountProposals::propose(const QString& description, bool moneyOut,
                                   const QString& bankAccount) const {
    // The household's own rules first, in their order.
    if (const std::optional<qsizetype> rule = rules_.match(description)) {
        const HouseRule& chosen = rules_.rules.at(*rule);
        if (!sameText(chosen.account, bankAccount)) {
            return {chosen.account, QStringLiteral("regla: ") + describeRule(chosen)};
        }
    }
    const QStringList described = words(description);
    if (described.isEmpty()) {
        return {};
    }
    const auto same = byText_.constFind(described.join(QLatin1Char(' ')));
    if (same != byText_.constEnd()) {
        Proposal proposal = pick(known_[size_t(*same)], moneyOut, bankAccount);
        if (!proposal.account.isEmpty()) {
            return proposal;
        }
    }
    // Words in common with each description that shares any.
    QHash<int, int> shared;
    for (const QString& word : described) {
        const auto found = byWord_.constFind(word);
        if (found != byWord_.constEnd()) {
            for (int index : *found) {
                ++shared[index];
            }
        }
    }
    double bestLikeness = 0;
    qint64 bestOrder = 0;
    Proposal best;
    for (auto it = shared.begin(); it != shared.end(); ++it) {
        const Known& known = known_[size_t(it.key())];
        const double likeness = 2.0 * it.value() / double(known.wordCount + described.size());
        if (likeness < kLeastLikeness || known.uses.empty()) {
            continue;
        }
        const qint64 order = known.uses.back().order;
        if (likeness > bestLikeness || (likeness == bestLikeness && order > bestOrder)) {
            Proposal proposal = pick(known, moneyOut, bankAccount);
            if (!proposal.account.isEmpty()) {
                bestLikeness = likeness;
                bestOrder = order;
                best = std::move(proposal);
            }
        }
    }
    return best;
}

void appendBankRow(int line, const QDate& date, const QString& description, qint64 signedCents,
                   const QString& ourAccount, const AccountProposals& proposals,
                   ImportedRows& rows) {
    const bool moneyOut = signedCents < 0;
    const Proposal other = proposals.propose(description, moneyOut, ourAccount);
    rows.append(line, date, description, moneyOut ? other.account : ourAccount,
                moneyOut ? ourAccount : other.account, std::abs(signedCents));
    rows.setReason(rows.size() - 1, other.reason);
}

void appendStatementRows(const N43Account& account, const QString& ourAccount,
                         const AccountProposals& proposals, ImportedRows& rows) {
    for (const N43Movement& movement : account.movements) {
        appendBankRow(movement.line, movement.operationDate, movement.description,
                      movement.signedCents(), ourAccount, proposals, rows);
    }
}

} // namespace velmora
