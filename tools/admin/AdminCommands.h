#pragma once

// velmora-admin: prepares an installation (ruta.ini and ano.ini beside the
// program, the first year's ledger, the reports folder with its report file),
// fills a year with demonstration entries, lists and restores safety copies, and
// exports and imports CSV files and bank statements through the same sessions as
// the windows. The commands live in a library rather than in main() so that tests
// run them over a temporary program folder and read what they print.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace velmora::admin {

enum ExitCode : int {
    Success = 0,
    Failure = 1,  // the database or a settings file could not be used
    BadUsage = 2, // the command line is wrong; nothing was touched
};

inline constexpr int kDefaultDemoEntries = 1200;
inline constexpr int kMaxDemoEntries = 1000000;

QString usageText();

// args without the program's own name. Settings are read and written in
// programFolder. Returns an ExitCode; reports go to out, complaints to err.
int runAdmin(const QStringList& args, const QString& programFolder, QTextStream& out,
             QTextStream& err);

} // namespace velmora::admin
