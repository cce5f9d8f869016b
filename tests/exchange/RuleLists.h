#pragma once

// Import rules written in a test as "TEXT=Account", one string a rule.

#include "exchange/HouseRules.h"

#include <QStringList>

namespace velmora::test {

// Split at the last "=", so that a text may hold one.
inline HouseRules rulesOf(const QStringList& pairs) {
    HouseRules rules;
    for (const QString& pair : pairs) {
        const qsizetype at = pair.lastIndexOf(QLatin1Char('='));
        rules.rules.append({pair.left(at), pair.mid(at + 1)});
    }
    return rules;
}

inline QStringList pairsOf(const HouseRules& rules) {
    QStringList pairs;
    for (const HouseRule& rule : rules.rules) {
        pairs.append(rule.contains + QLatin1Char('=') + rule.account);
    }
    return pairs;
}

} // namespace velmora::test
