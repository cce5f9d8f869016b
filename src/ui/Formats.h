#pragma once

// Spanish (Spain) conventions, whatever the system's locale: "." groups thousands,
// "," is the decimal comma, dates are dd/MM/yyyy.

#include <QDate>
#include <QString>

#include <optional>

namespace velmora {

// Grouped thousands and two decimals: 1200 → "1.200,00", -450.5 → "-450,50".
QString formatAmount(double value);

QString formatDate(const QDate& date);

// A real calendar date typed day first as dd/MM/yyyy; nothing for 31/02/2024 or a
// text with blanks.
std::optional<QDate> parseDate(const QString& text);

// An amount typed the Spanish way: "1.234,50", "1234,5", "-20", "0,99". Thousands
// groups must be whole; nothing for "abc", "1,2,3", "1.2.3,4" or an empty text.
std::optional<double> parseAmount(const QString& text);

// Converts a 1/1440-inch design measure to pixels at the usual 96 dots per inch.
constexpr int twips(int value) {
    return (value + 7) / 15;
}

} // namespace velmora
