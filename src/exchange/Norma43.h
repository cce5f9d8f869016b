#pragma once

// Account statements as Spanish banks export them: the AEB "Cuaderno 43"
// (Norma 43) file of fixed records of 80 characters in Latin-1. The reader
// checks the whole file before handing anything back, since an import that took
// half a statement would leave the books quietly wrong: every movement counted
// against the totals of its account's closing record, every balance against the
// movements, every record against the count at the end.

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

class QIODevice;

namespace velmora {

struct N43Movement {
    int line = 0; // the line of its 22 record, counted from 1
    QDate operationDate;
    QDate valueDate;
    QString commonConcept; // the two digits of the concept every bank shares
    QString ownConcept;    // the bank's own three characters
    bool debit = false;    // money out of the account
    qint64 cents = 0;      // never negative; debit gives the direction
    QString document;
    QString reference1;
    QString reference2;
    QStringList complementary; // the 23 records' concepts in order, trimmed, no empty ones

    // Credits positive, debits negative.
    qint64 signedCents() const { return debit ? -cents : cents; }
    // What a person reads of the movement: the complementary concepts, where
    // banks put their own text, then reference 2 and reference 1, joined by a
    // space. A reference made only of zeros is a placeholder and is left out,
    // and so is one whose text is already there.
    QString description() const;
};

struct N43Account {
    QString bank;    // entidad, 4 digits
    QString branch;  // oficina, 4 digits
    QString account; // 10 digits
    QDate from;
    QDate to;
    qint64 initialCents = 0; // negative when the balance is a debt
    qint64 finalCents = 0;   // the same
    QString currency;        // the ISO number: "978" is the euro
    QString holder;
    QList<N43Movement> movements;

    // The 18 digits of bank, branch and account that tell which bank account this
    // is, the same in every statement of it. The file carries no check digits,
    // so this is not the 20 digits of the CCC.
    QString key() const { return bank + branch + account; }
};

struct N43Statement {
    QList<N43Account> accounts;
};

// Why a statement is refused: the line (counted from 1, 0 for the file as a
// whole, as when it ends too soon) and the reason in Spanish.
class Norma43Error : public std::runtime_error {
public:
    Norma43Error(int line, QString reason);
    int line() const { return line_; }
    const QString& reason() const { return reason_; }
    // "línea 7: la fecha de operación 240231 no existe", or the reason alone.
    QString message() const;

private:
    int line_;
    QString reason_;
};

// Reads the whole device. Throws Norma43Error on the first fault.
N43Statement readNorma43(QIODevice& in);

// Whether a file starting with these bytes looks like such a statement: its
// first non-blank line is an account header with digits where digits go, no
// longer than a record. Lets an import tell it from a CSV file by its content.
bool looksLikeNorma43(const QByteArray& start);

} // namespace velmora
