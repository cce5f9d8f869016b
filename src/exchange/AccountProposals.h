#pragma once

// Which of our accounts a bank movement goes with: the first of the household's
// rules that matches it, or else what the year's own entries teach: the account on the other side
// of the most recent entry with the same description, or else with the most similar one. "MERCADONA
// VALENCIA 1234" finds "Mercadona" typed last month.

#include "exchange/HouseRules.h"
#include "exchange/ImportedRows.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

class Database;
struct N43Account;

// An account proposed for a movement, and why, as the preview says it.
struct Proposal {
    QString account; // empty when nothing is close enough
    QString reason;  // "como «Mercadona» del 12/03/2026"
};

class AccountProposals {
public:
    // Reads the year's entries; throws DbError. The household's rules come before
    // what the entries teach.
    explicit AccountProposals(Database& db, HouseRules rules = {});

    // For money out of bankAccount, the account it went into; for money in, the
    // one it came from. Never bankAccount itself; empty when no entry is close
    // enough.
    Proposal propose(const QString& description, bool moneyOut, const QString& bankAccount) const;

    // The words a description is compared by: no letter case, no accents, no
    // numbers, nothing shorter than three letters.
    static QStringList words(const QString& description);

private:
    struct Use {
        qint64 order = 0; // later entries have larger numbers
        QString goesInto;
        QString comesOutOf;
        QString description; // as typed
        QDate date;
    };
    struct Known {
        QString text; // the words joined
        int wordCount = 0;
        std::vector<Use> uses; // the most recent last
    };
    Proposal pick(const Known& known, bool moneyOut, const QString& bankAccount) const;

    HouseRules rules_;
    std::vector<Known> known_;
    QHash<QString, int> byText_;
    QHash<QString, std::vector<int>> byWord_;
};

// A bank movement as a row to import into ourAccount, appended to rows: money out
// (cents below 0) leaves it, money in enters it, the other account proposed where
// one is found (empty where none is), with the reason.
void appendBankRow(int line, const QDate& date, const QString& description, qint64 signedCents,
                   const QString& ourAccount, const AccountProposals& proposals,
                   ImportedRows& rows);

// The movements of one account of a statement, each through appendBankRow.
void appendStatementRows(const N43Account& account, const QString& ourAccount,
                         const AccountProposals& proposals, ImportedRows& rows);

} // namespace velmora
