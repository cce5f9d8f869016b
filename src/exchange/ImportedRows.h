#pragma once

// What a reader of a bank or spreadsheet file hands over: the movements it could
// read, each with the line it starts on so that the user can find it. They are
// kept compact, since a file may hold a million of them: dates and amounts as
// integers, each account name once, the descriptions in one block of UTF-8. A
// row costs 32 bytes and its description.

#include "exchange/TextBlock.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

// The largest file an import reads, and the most rows it keeps from one: a file
// past either is refused before it can take the machine's memory.
inline constexpr qint64 kLargestImportFile = 256LL * 1024 * 1024;
inline constexpr qsizetype kMostImportedRows = 2'000'000;

class ImportedRows {
public:
    // A row of the file; date must be valid. An account the file does not name
    // is empty.
    void append(int line, const QDate& date, QStringView description, const QString& goesInto,
                const QString& comesOutOf, qint64 cents);

    qsizetype size() const { return qsizetype(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }

    int line(qsizetype row) const { return rows_[size_t(row)].line; }
    QDate date(qsizetype row) const { return QDate::fromJulianDay(rows_[size_t(row)].day); }
    QString description(qsizetype row) const { return descriptions_.at(row); }
    const QString& goesInto(qsizetype row) const { return names_[rows_[size_t(row)].goesInto]; }
    const QString& comesOutOf(qsizetype row) const { return names_[rows_[size_t(row)].comesOutOf]; }
    qint64 cents(qsizetype row) const { return rows_[size_t(row)].cents; }

    // Why the other account was proposed, as the preview says it; empty when the
    // file named both accounts or nothing was proposed.
    const QString& reason(qsizetype row) const { return names_[rows_[size_t(row)].reason]; }
    void setReason(qsizetype row, const QString& reason);

    // The account a user picked for a side the file left empty.
    void setGoesInto(qsizetype row, const QString& name);
    void setComesOutOf(qsizetype row, const QString& name);

private:
    struct Row {
        qint64 cents = 0; // as signed in the file
        qint32 line = 0;  // from 1
        qint32 day = 0;   // Julian day
        quint32 goesInto = 0;
        quint32 comesOutOf = 0;
        quint32 reason = 0; // among the names, which repeat as much
    };
    quint32 nameIndex(const QString& name);

    std::vector<Row> rows_;
    TextBlock descriptions_; // row i's is text i
    QStringList names_{QString()};
    QHash<QString, quint32> nameIndexes_{{QString(), 0}};
};

} // namespace velmora
