#pragma once

// Spanish (Spain) date conventions, whatever the system's locale: dd/MM/yyyy.
// Amounts have their own module, store/Amount.h.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

QString formatDate(const QDate& date);

// A real calendar date typed day first as dd/MM/yyyy; nothing for 31/02/2024 or a
// text with blanks.
std::optional<QDate> parseDate(const QString& text);

// Entry numbers as a message names them: the first five, "3, 7, 9, 12, 15 y
// otros" when there are more.
QString namedEntries(const std::vector<qint64>& ids);

// Converts a 1/1440-inch design measure to pixels at the usual 96 dots per inch.
constexpr int twips(int value) {
    return (value + 7) / 15;
}

} // namespace velmora
