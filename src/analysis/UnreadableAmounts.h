#pragma once

// Finding and naming the entries whose amount is no number, once a sum has come
// back unreadable, so that the user knows which entries to put right.

#include <QString>

#include <functional>
#include <vector>

namespace velmora {

class Database;
class Statement;

// The numbers of the first few entries that `condition` (SQL over apuntes, its
// parameters bound by `bind`) selects and whose amount cannot be read.
std::vector<qint64> unreadableEntries(Database& db, const char* condition,
                                      const std::function<void(Statement&)>& bind);

// What the user is told when figures show kUnreadableAmount: the entries to put
// right, or, when none could be named, that the sums are too large to show.
QString unreadableFiguresNotice(const std::vector<qint64>& ids);

} // namespace velmora
