#pragma once

// Entries as CSV text, the way a spreadsheet opens them: our own files (UTF-8
// with a byte-order mark, ";" between fields, "1234,56", dd/MM/yyyy) and, when
// reading, also the international layout ("," between fields, "1234.56",
// yyyy-MM-dd). Both start with the header Fecha, Concepto, Entra en, Sale de,
// Importe. No window and no database here: the caller opens the file and checks
// the rows against the year.
//
// A text cell that a spreadsheet would take for a formula ("=", "+", "-", "@",
// a tab or a carriage return first) is written after an apostrophe, which
// spreadsheets show as text; so is one that starts with an apostrophe itself,
// so that reading our layout can take the apostrophe off again and every text
// comes back as it was. Amounts stay numbers.

#include "exchange/CsvRecords.h"
#include "exchange/ImportedRows.h"
#include "exchange/RefusedLines.h"

class QIODevice;

namespace velmora {

enum class CsvDialect {
    Spanish,       // ";"  "1.234,56"  dd/MM/yyyy
    International, // ","  "1234.56"   yyyy-MM-dd
};

// The dialect as the user is told it, e.g. "separador punto y coma, decimales
// con coma, fechas dd/mm/aaaa".
QString describeDialect(CsvDialect dialect);

struct CsvRead {
    // Why nothing in the file could be read (no header, an empty file, text in
    // UTF-16), in Spanish and ready to show; empty when the file was read.
    QString failure;
    CsvDialect dialect = CsvDialect::Spanish;
    ImportedRows rows;
    RefusedLines refused;
};

// Reads the device as it streams, a block at a time, twice: once to tell its
// encoding (see TextEncoding.h), once for the rows; it must be a file or a
// buffer. Blank lines are skipped; every other line after the header becomes a
// row or a refused line. Past mostRows rows the file is refused whole.
CsvRead readCsv(QIODevice& in, qsizetype mostRows = kMostImportedRows);

// Whether the device's first line is the header of our own layout, in either
// dialect; anything else is a bank's own file. Puts the device back where it was;
// it must be a file or a buffer.
bool startsWithOurHeader(QIODevice& in);

// Writes our own dialect. Every field comes back from readCsv exactly as written.
class CsvWriter {
public:
    explicit CsvWriter(QIODevice& out);

    // The byte-order mark and the header line.
    void writeHeader();
    void writeRow(const QDate& date, const QString& description, const QString& goesInto,
                  const QString& comesOutOf, qint64 cents);

    // No write has failed so far. A file keeps bytes back: call finish() before
    // telling the user that the export is complete.
    bool ok() const { return ok_; }
    // Hands the bytes held back to the system; true when every byte got there.
    bool finish();

private:
    void write(const QByteArray& bytes);

    QIODevice& out_;
    bool ok_ = true;
};

} // namespace velmora
