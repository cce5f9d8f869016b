#pragma once

// The class of a movement from the kinds of its two accounts: money from an
// income account into a cash account is income ("I"), from a cash account into
// an expense account is expense ("G"), between two accounts of the same kind a
// transfer ("T"). Any other pair is not a movement the ledger allows.

#include <QString>

#include <optional>

namespace velmora {

// goesIntoKind and comesOutOfKind are "I", "G", "C", or whatever the lookup gave.
std::optional<QString> classifyMovement(const QString& goesIntoKind, const QString& comesOutOfKind);

} // namespace velmora
