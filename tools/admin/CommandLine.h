#pragma once

// What the commands of velmora-admin share: how they complain, how they show text
// that came from a file, and the installation they work on. Each group of commands
// lives in a file of its own; Dispatch.cpp runs the one the command line names.

#include "admin/AdminCommands.h"
#include "years/YearFolders.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace velmora::admin {

inline const QString kProgram = QStringLiteral("velmora-admin");

// Prints the complaint and where to find the usage; gives BadUsage.
int badUsage(QTextStream& err, const QString& message);
// Prints the complaint; gives Failure.
int failure(QTextStream& err, const QString& message);

// Text that came from a file or a ledger, fit for a terminal: a control
// character could move the cursor, clear the screen or cut the line, so each is
// shown as its escape instead ("\n", "\x1B").
QString printable(const QString& text);

QString extraArguments(const QStringList& args, qsizetype from);

// Year names follow the year window's rules: a new year's name is one the window
// would create, an existing year's one that names a folder of the data root.
QString newYearRefusal(const QString& year);
QString yearArgumentRefusal(const QString& year);
QString yearFileRefusal(const QString& year);

// The year a command works on when the command line names none: ano.ini's.
struct Installed {
    QString dataRoot;
    QString year;
};

// Complains and gives nothing when there is no installation to work on.
std::optional<Installed> readInstallation(const QString& programFolder, QTextStream& err);

// The ledger a command works on: the year of --year, or ano.ini's.
struct TargetYear {
    QString dataRoot;
    QString year;
    QString databasePath;
    // The calendar year of its dates, as the main window's range has it.
    int calendarYear() const { return calendarYearOf(year, QDate::currentDate()); }
};
// Complains and gives nothing when the year has no ledger.
std::optional<TargetYear> targetYear(const QString& programFolder,
                                     const std::optional<QString>& year, QTextStream& err);

// Each option of `valued` with its value after a blank or "=", each of `flags`
// alone, and the operands. A negative amount ("-5,00") is an operand, not an
// option. Complains and gives nothing for an unknown option, a missing value or
// a --year that names no year.
struct Options {
    std::optional<QString> year;
    QMap<QString, QString> values;
    QStringList flags;
    QStringList operands;
};
std::optional<Options> parseOptions(const QStringList& args, const QStringList& valued,
                                    const QStringList& flags, QTextStream& err);

// The date given with option `name`, left as it is when the option is absent.
// False, after complaining, when it is no date.
bool dateOption(const Options& parsed, const QString& name, std::optional<QDate>& date,
                QTextStream& err);

// The commands: args as runAdmin() has them; each gives an ExitCode.
using CommandArgs = const QStringList&;
int runInit(CommandArgs args, const QString& programFolder, QTextStream& out, QTextStream& err);
int runDemo(CommandArgs args, const QString& programFolder, QTextStream& out, QTextStream& err);
int runCopies(CommandArgs args, const QString& programFolder, QTextStream& out, QTextStream& err);
int runRestoreCopy(CommandArgs args, const QString& programFolder, QTextStream& out,
                   QTextStream& err);
int runExportCsv(CommandArgs args, const QString& programFolder, QTextStream& out,
                 QTextStream& err);
int runImportCsv(CommandArgs args, const QString& programFolder, QTextStream& out,
                 QTextStream& err);
int runImportN43(CommandArgs args, const QString& programFolder, QTextStream& out,
                 QTextStream& err);
int runImportBank(CommandArgs args, const QString& programFolder, QTextStream& out,
                  QTextStream& err);
int runBalances(CommandArgs args, const QString& programFolder, QTextStream& out, QTextStream& err);
int runOpeningBalance(CommandArgs args, const QString& programFolder, QTextStream& out,
                      QTextStream& err);
int runCarryOver(CommandArgs args, const QString& programFolder, QTextStream& out,
                 QTextStream& err);
int runReceipts(CommandArgs args, const QString& programFolder, QTextStream& out, QTextStream& err);

} // namespace velmora::admin
