#pragma once

// Which of our accounts a bank movement goes with, learned from the year's own
// entries rather than configured: the account on the other side of the most
// recent entry with the same description, or else with the most similar one.
// "MERCADONA VALENCIA 1234" finds "Mercadona" typed last month.

#include "exchange/ImportedRows.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

class Database;
struct N43Account;

class AccountProposals {
public:
    // Reads the year's entries; throws DbError.
    explicit AccountProposals(Database& db);

    // For money out of bankAccount, the account it went into; for money in, the
    // one it came from. Never bankAccount itself; empty when no entry is close
    // enough.
    QString propose(const QString& description, bool moneyOut, const QString& bankAccount) const;

    // The words a description is compared by: no letter case, no accents, no
    // numbers, nothing shorter than three letters.
    static QStringList words(const QString& description);

private:
    struct Use {
        qint64 order = 0; // later entries have larger numbers
        QString goesInto;
        QString comesOutOf;
    };
    struct Known {
        QString text; // the words joined
        int wordCount = 0;
        std::vector<Use> uses; // the most recent last
    };
    QString pick(const Known& known, bool moneyOut, const QString& bankAccount) const;

    std::vector<Known> known_;
    QHash<QString, int> byText_;
    QHash<QString, std::vector<int>> byWord_;
};

// The movements of one bank account as rows to import into ourAccount, appended
// to rows: a debit leaves it, a credit enters it, the other account proposed
// where one is found (empty where none is). The description is the movement's.
void appendStatementRows(const N43Account& account, const QString& ourAccount,
                         const AccountProposals& proposals, ImportedRows& rows);

} // namespace velmora
