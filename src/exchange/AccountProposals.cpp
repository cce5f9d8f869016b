#include "exchange/AccountProposals.h"

#include "exchange/Norma43.h"
#include "store/Formats.h"
#include "store/Schema.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <QRegularExpression>
#include <QSet>

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
    Statement query(db, "SELECT Des, EntraEn, SaleDe, Data FROM apuntes ORDER BY Data, Id",
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
        uses.push_back({++order, query.columnText(1), query.columnText(2), query.columnText(0),
                        query.columnText(3)});
        if (uses.size() > kUsesKept) {
            uses.erase(uses.begin());
        }
    }
}

Proposal AccountProposals::pick(const Known& known, bool moneyOut,
                                const QString& bankAccount) const {
    for (auto use = known.uses.rbegin(); use != known.uses.rend(); ++use) {
        const QString& other = moneyOut ? use->goesInto : use->comesOutOf;
        if (!other.trimmed().isEmpty() && !sameText(other, bankAccount)) {
            const QByteArray stored = use->date.toUtf8();
            const QDate date =
                fromStoredDate(std::string_view(stored.constData(), size_t(stored.size())));
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
