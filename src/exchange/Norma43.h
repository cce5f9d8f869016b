#pragma once

// Account statements as Spanish banks export them: the AEB "Cuaderno 43"
// (Norma 43) file of fixed records of 80 characters in Latin-1. The reader
// checks the whole file before handing anything back, since an import that took
// half a statement would leave the books quietly wrong: every movement counted
// against the totals of its account's closing record, every balance against the
// movements, every record against the count at the end.

#include "exchange/TextBlock.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <stdexcept>
#include <vector>

class QIODevice;

namespace velmora {

// One movement as the reader hands it over.
struct N43Movement {
    int line = 0; // the line of its 22 record, counted from 1
    QDate operationDate;
    QDate valueDate;
    bool debit = false; // money out of the account
    qint64 cents = 0;   // never negative; debit gives the direction
    // What a person reads of the movement: the complementary concepts (23
    // records), where banks put their own text, then reference 2 and reference
    // 1, joined by a space. A reference made only of zeros is a placeholder and
    // is left out, and so is one whose text is already there.
    QString description;

    // Credits positive, debits negative.
    qint64 signedCents() const { return debit ? -cents : cents; }
};

// The movements of one account, kept compact: a statement may be large, and a
// movement costs 32 bytes and its description here.
class N43Movements {
public:
    void append(const N43Movement& movement);
    qsizetype size() const { return qsizetype(stored_.size()); }
    bool isEmpty() const { return stored_.empty(); }
    N43Movement at(qsizetype index) const;
    N43Movement first() const { return at(0); }

    class const_iterator {
    public:
        const_iterator(const N43Movements& movements, qsizetype index)
            : movements_(&movements), index_(index) {}
        N43Movement operator*() const { return movements_->at(index_); }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return index_ != other.index_; }

    private:
        const N43Movements* movements_;
        qsizetype index_;
    };
    const_iterator begin() const { return {*this, 0}; }
    const_iterator end() const { return {*this, size()}; }

private:
    struct Stored {
        qint64 cents = 0;
        qint32 line = 0;
        qint32 operationDay = 0; // Julian days
        qint32 valueDay = 0;
        bool debit = false;
    };
    std::vector<Stored> stored_;
    TextBlock descriptions_; // movement i's is text i
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
    N43Movements movements;

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

// The most accounts one statement may hold; past them it is refused.
inline constexpr int kMostStatementAccounts = 1000;

// Reads the device to its end a line at a time; a line ends at LF, CR LF or a
// CR alone. Throws Norma43Error on the first fault.
N43Statement readNorma43(QIODevice& in);

// Whether the device holds such a statement rather than a CSV file: its first
// non-blank line, however many blank lines come first, is an account header
// with digits where digits go, no longer than a record. Reads from where the
// device is and puts it back there; it must be a file or a buffer. The import
// window and velmora-admin both tell a statement from a CSV file by this.
bool isNorma43(QIODevice& in);
// The same for a file that starts with these bytes.
bool looksLikeNorma43(const QByteArray& start);

} // namespace velmora
