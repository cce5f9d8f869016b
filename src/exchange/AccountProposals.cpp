#include "exchange/AccountProposals.h"

#include "exchange/Norma43.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QRegularExpression>
#include <QSet>

namespace velmora {

namespace {

// Below this share of words in common a description is not the same movement.
constexpr double kLeastLikeness = 0.5;
// Enough of the recent uses of one description to find one not naming the bank.
constexpr size_t kUsesKept = 4;

} // namespace

QStringList AccountProposals::words(const QString& description) {
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}]+"));
    QString plain;
    for (const QChar c : foldCase(description).normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            plain.append(c);
        }
    }
    QStringList result;
    for (const QString& word : plain.split(separators, Qt::SkipEmptyParts)) {
        if (word.size() >= 3 && !result.contains(word)) {
            result.append(word);
        }
    }
    return result;
}

AccountProposals::AccountProposals(Database& db) {
    Statement query(db, "SELECT Des, EntraEn, SaleDe FROM apuntes ORDER BY Data, Id",
                    "leer los apuntes del año");
    qint64 order = 0;
    while (query.step()) {
        const QStringList described = words(query.columnText(0));
        if (described.isEmpty()) {
            continue;
        }
        const QString text = described.join(QLatin1Char(' '));
        auto found = byText_.constFind(text);
        int index = 0;
        if (found == byText_.constEnd()) {
            index = int(known_.size());
            byText_.insert(text, index);
            known_.push_back({text, int(described.size()), {}});
            for (const QString& word : described) {
                byWord_[word].push_back(index);
            }
        } else {
            index = *found;
        }
        std::vector<Use>& uses = known_[size_t(index)].uses;
        uses.push_back({++order, query.columnText(1), query.columnText(2)});
        if (uses.size() > kUsesKept) {
            uses.erase(uses.begin());
        }
    }
}

QString AccountProposals::pick(const Known& known, bool moneyOut,
                               const QString& bankAccount) const {
    for (auto use = known.uses.rbegin(); use != known.uses.rend(); ++use) {
        const QString& other = moneyOut ? use->goesInto : use->comesOutOf;
        if (!other.trimmed().isEmpty() && !sameText(other, bankAccount)) {
            return other;
        }
    }
    return {};
}

QString AccountProposals::propose(const QString& description, bool moneyOut,
                                  const QString& bankAccount) const {
    const QStringList described = words(description);
    if (described.isEmpty()) {
        return {};
    }
    const auto same = byText_.constFind(described.join(QLatin1Char(' ')));
    if (same != byText_.constEnd()) {
        const QString account = pick(known_[size_t(*same)], moneyOut, bankAccount);
        if (!account.isEmpty()) {
            return account;
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
    QString best;
    for (auto it = shared.begin(); it != shared.end(); ++it) {
        const Known& known = known_[size_t(it.key())];
        const double likeness = 2.0 * it.value() / double(known.wordCount + described.size());
        if (likeness < kLeastLikeness || known.uses.empty()) {
            continue;
        }
        const qint64 order = known.uses.back().order;
        if (likeness > bestLikeness || (likeness == bestLikeness && order > bestOrder)) {
            const QString account = pick(known, moneyOut, bankAccount);
            if (!account.isEmpty()) {
                bestLikeness = likeness;
                bestOrder = order;
                best = account;
            }
        }
    }
    return best;
}

void appendStatementRows(const N43Account& account, const QString& ourAccount,
                         const AccountProposals& proposals, ImportedRows& rows) {
    for (const N43Movement& movement : account.movements) {
        const QString other = proposals.propose(movement.description, movement.debit, ourAccount);
        rows.append(movement.line, movement.operationDate, movement.description,
                    movement.debit ? other : ourAccount, movement.debit ? ourAccount : other,
                    movement.cents);
    }
}

} // namespace velmora
