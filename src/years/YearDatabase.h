#pragma once

// The one owner of the year database's life cycle. Everything that closes,
// replaces or reopens the shared connection (switching or creating a year,
// compacting, restoring a backup) goes through here, and each of them ends with
// the program on a year: the new one when the operation succeeded, the one it
// was on otherwise. The lock that keeps other copies of the program off a year
// moves with the program from one year to the next. Holds nothing of its own;
// build one over the shared state whenever it is needed.

#include "state/YearSession.h"

#include <QString>

#include <memory>
#include <stdexcept>

namespace velmora {

class YearSession;
class SingleInstance;

// An operation that did not happen, with the Spanish reason for the user.
class YearError : public std::runtime_error {
public:
    explicit YearError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The operation was done, but the year's database could not be opened again
// afterwards. The connection stays closed until YearSession::db() manages to open it.
class ReopenError : public YearError {
public:
    using YearError::YearError;
};

class YearDatabase {
public:
    explicit YearDatabase(YearSession& session);

    // Closes the shared connection, at the end of the run.
    void close();

    // Closes the shared connection and opens the database of the year the program
    // is on again. Throws ReopenError when it cannot.
    void reopen();

    // Writes year to ano.ini and opens its database, once it holds the year's lock;
    // then lets go of the old year's. Refused while another copy of the program
    // works on that year. When that database cannot be opened, ano.ini, the
    // connection and the lock stay on the year they were on.
    void switchTo(const QString& year);

    // Makes a new year from the current one: its folder holds a copy of every file
    // of the current year's folder (links made again as links, never followed), its
    // database keeps the accounts and company data and has no entries. Then it
    // becomes the current year. Any failure removes what was made and leaves the
    // program on the year it was on. The name must pass refusalOf() and not exist,
    // and neither its folder nor its building folder may be a link. The new year
    // records the year it was made from (YearOrigin.h), and step adds what else it
    // takes from it.
    void create(const QString& year, const NewYearStep& step = {});

    // Puts a compacted copy of the current year's database in its place, built in
    // {settings folder}/Datos/DevedurC.mdb, which is left there afterwards. The old
    // file is replaced in one step, only once the new one is on disk and sound.
    // While another program holds the database nothing is closed and YearError
    // says so; after a replacement the database is opened again (ReopenError).
    void compact();

    // Puts the sound ledger in file in place of the current year's database and
    // reopens it. On failure the database is as it was and still open.
    void replaceWith(const QString& file);

    QString compactionFile() const;

private:
    // The lock of year's database, taken now; null when the program holds it already.
    std::unique_ptr<SingleInstance> lockFor(const QString& year) const;
    void open(const QString& year, std::unique_ptr<SingleInstance> lock);

    YearSession& session_;
};

} // namespace velmora
