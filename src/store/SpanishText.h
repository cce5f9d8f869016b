#pragma once

// Text comparison that ignores letter case for every Spanish letter (Ñ/ñ, Á/á, Ü/ü …),
// not only ASCII as SQLite does by itself. The same functions are registered on
// every connection, so that "=" through casefold() and LIKE agree with what the
// user sees: CAJA = Caja, AÑO = año, ÁGUEDA = águeda.

#include <QString>

struct sqlite3;

namespace velmora {

QString foldCase(const QString& text);
// foldCase, and the accents and tildes gone as well: "Ñandú" → "nandu". Bank
// files drop them as often as they keep them.
QString foldAccents(const QString& text);
bool sameText(const QString& a, const QString& b);

// Alphabetical order as a Spanish reader expects it: letter case ignored, Á beside A,
// Ñ after N.
bool spanishLess(const QString& a, const QString& b);

// SQL LIKE with "%" for any run and "_" for one character, ignoring letter case.
bool likeMatches(const QString& pattern, const QString& value);

// Registers casefold(x) and sametext(a, b) and replaces like(pattern, value) on
// this connection.
void registerSpanishTextFunctions(sqlite3* db);

} // namespace velmora
