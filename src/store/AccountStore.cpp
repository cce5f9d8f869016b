#include "store/AccountStore.h"

#include "store/Funciones.h"
#include "store/OpeningBalances.h"
#include "store/SpanishText.h"
#include "store/Sqlite.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace velmora {

namespace {

struct KindName {
    const char* letter;
    const char* word;
};

constexpr KindName kKinds[] = {{"I", "Ingreso"}, {"G", "Gasto"}, {"C", "Caja"}};

// The one account row that the name bound as ?1 stands for. A file written by
// another program may hold two names that differ only in letter case; the one
// spelt as given wins.
std::string whereRowNamed1(std::string_view statement) {
    return std::string(statement) +
           " WHERE rowid = (SELECT rowid FROM Contas WHERE sametext(conNom, ?1)"
           " ORDER BY conNom = ?1 DESC LIMIT 1)";
}

Account readAccount(const Statement& row) {
    return Account{row.columnText(0), row.columnText(1), row.columnText(2)};
}

void bindKind(Statement& statement, int index, const QString& kind) {
    if (kind.isEmpty()) {
        statement.bindNull(index);
    } else {
        statement.bind(index, kind);
    }
}

// The recurring receipts name their accounts as the entries do.
void renameInReceipts(Database& db, const QString& from, const QString& to) {
    if (!db.hasTable(QStringLiteral("recibos"))) {
        return;
    }
    for (const char* sql : {"UPDATE recibos SET EntraEn = ?1 WHERE sametext(EntraEn, ?2)",
                            "UPDATE recibos SET SaleDe = ?1 WHERE sametext(SaleDe, ?2)"}) {
        Statement rename(db, sql, "cambiar la cuenta en los recibos");
        rename.bind(1, to).bind(2, from).run();
    }
}

} // namespace

QString kindWord(const QString& letter) {
    for (const KindName& k : kKinds) {
        if (letter == QLatin1String(k.letter)) {
            return QString::fromLatin1(k.word);
        }
    }
    return QString();
}

QString kindLetter(const QString& word) {
    for (const KindName& k : kKinds) {
        if (word == QLatin1String(k.word)) {
            return QString::fromLatin1(k.letter);
        }
    }
    return QString();
}

std::vector<Account> listAccounts(Database& db, const QString& nameFilter) {
    Statement query(db,
                    "SELECT conNom, conCon, conTipo FROM Contas"
                    " WHERE IFNULL(conNom, '') LIKE ?1",
                    "leer la lista de cuentas");
    query.bind(1, QLatin1Char('%') + nameFilter + QLatin1Char('%'));
    std::vector<Account> accounts;
    while (query.step()) {
        accounts.push_back(readAccount(query));
    }
    std::stable_sort(accounts.begin(), accounts.end(), [](const Account& a, const Account& b) {
        return spanishLess(a.name, b.name);
    });
    return accounts;
}

std::optional<Account> loadAccount(Database& db, const QString& name) {
    Statement query(db, whereRowNamed1("SELECT conNom, conCon, conTipo FROM Contas"),
                    "leer la cuenta");
    query.bind(1, name);
    if (!query.step()) {
        return std::nullopt;
    }
    return readAccount(query);
}

QStringList accountNames(Database& db) {
    return ListaCombo(db, QStringLiteral("Contas"), QStringLiteral("conNom"),
                      QStringLiteral("conNom"));
}

QString accountKind(Database& db, const QString& name) {
    return BuscaDescripcion(db, QStringLiteral("contas"), QStringLiteral("conTipo"),
                            QStringLiteral("conNom"), name);
}

bool accountNameTaken(Database& db, const QString& name) {
    return ExisteValor(db, QStringLiteral("Contas"), QStringLiteral("conNom"), name);
}

void insertAccount(Database& db, const Account& account) {
    Statement insert(db, "INSERT INTO Contas (conNom, conCon, conTipo) VALUES (?1, ?2, ?3)",
                     "añadir la cuenta");
    insert.bind(1, account.name).bind(2, account.description);
    bindKind(insert, 3, account.kind);
    insert.run();
}

std::optional<StoredAccount> takeAccount(Database& db, const QString& name) {
    Transaction transaction(db);
    Statement query(db, whereRowNamed1("SELECT conNom, conCon, conTipo FROM Contas"),
                    "leer la cuenta");
    query.bind(1, name);
    if (!query.step()) {
        return std::nullopt;
    }
    StoredAccount taken{query.columnText(0), query.copyRow()};
    // The row just read: the same name picks the same row.
    Statement remove(db, whereRowNamed1("DELETE FROM Contas"), "borrar la cuenta");
    remove.bind(1, name);
    remove.run();
    // Another row of the same name in other letter case, which a foreign file may
    // hold, still stands for the account: its opening balance stays.
    if (!accountNameTaken(db, name)) {
        taken.openingCents = openingBalance(db, name);
        renameOpeningBalance(db, name, QString());
        taken.budget = storedBudgetOf(db, name);
        renameBudget(db, name, QString());
    }
    transaction.commit();
    return taken;
}

bool putBackAccount(Database& db, const StoredAccount& account) {
    Transaction transaction(db);
    if (accountNameTaken(db, account.name)) {
        return false;
    }
    Statement insert(db, "INSERT INTO Contas (conNom, conCon, conTipo) VALUES (?1, ?2, ?3)",
                     "recuperar la cuenta");
    insert.bindValues(1, account.columns);
    insert.run();
    if (account.openingCents != 0) {
        setOpeningBalance(db, account.name, account.openingCents);
    }
    if (!account.budget.empty()) {
        replaceStoredBudget(db, account.name, account.budget);
    }
    transaction.commit();
    return true;
}

void updateAccount(Database& db, const QString& originalName, const Account& account) {
    Transaction transaction(db);
    if (account.name != originalName) {
        // EntraEn first, then SaleDe, then the account: the order the user was told.
        Statement goesInto(db, "UPDATE apuntes SET EntraEn = ?1 WHERE sametext(EntraEn, ?2)",
                           "cambiar la cuenta en los apuntes (Entra en)");
        goesInto.bind(1, account.name).bind(2, originalName);
        goesInto.run();
        Statement comesOutOf(db, "UPDATE apuntes SET SaleDe = ?1 WHERE sametext(SaleDe, ?2)",
                             "cambiar la cuenta en los apuntes (Sale de)");
        comesOutOf.bind(1, account.name).bind(2, originalName);
        comesOutOf.run();
        renameOpeningBalance(db, originalName, account.name);
        renameInReceipts(db, originalName, account.name);
        renameBudget(db, originalName, account.name);
    }
    Statement update(db,
                     whereRowNamed1("UPDATE Contas SET conNom = ?2, conCon = ?3,"
                                    " conTipo = IFNULL(?4, conTipo)"),
                     "guardar la cuenta");
    update.bind(1, originalName).bind(2, account.name).bind(3, account.description);
    bindKind(update, 4, account.kind);
    update.run();
    if (db.changes() == 0) {
        throw DbError(QStringLiteral("guardar la cuenta"), QStringLiteral("la cuenta ya no existe"),
                      0);
    }
    transaction.commit();
}

} // namespace velmora
