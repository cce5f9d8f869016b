#pragma once

// A year's name is also the name of its folder under the data root, which holds
// the year's database Devedur.mdb. These are the rules and paths that follow.

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

inline constexpr int kYearNameMaxLength = 10;

QString yearFolderPath(const QString& dataRoot, const QString& year);
QString databasePathFor(const QString& dataRoot, const QString& year);

// Why a name cannot be a new year's folder, in the user's words: "Ponga un año"
// when nothing but blanks was typed, "Nombre de año no válido" when it would name
// a folder elsewhere ("..", a path), a hidden folder that is never listed again
// (".oculto") or a folder easily mistaken for another (" 2025", "2025 ", a
// control character). Nothing when the name will do. Whether the year exists
// already is not looked at here. The window and velmora-admin both create years
// by this rule.
enum class YearNameRefusal { Empty, Invalid };
std::optional<YearNameRefusal> refusalOf(const QString& year);
QString refusalText(YearNameRefusal refusal);

// Whether an existing year's name (from ano.ini, the year list, a command line)
// names exactly one folder right under the data root. Looser than refusalOf():
// a year made before that rule grew stricter must still open.
bool namesYearFolder(const QString& year);

// The calendar year a year's name is, when it is four digits (not 0 first).
std::optional<int> calendarYearNamed(const QString& year);
// The calendar year of a year's dates (its date range, its demonstration
// entries): the name's, or today's for a name that is none, such as "Casa".
int calendarYearOf(const QString& year, QDate today);

// For creating and switching a year exists when its folder does, with or without
// a database in it (a file of that name counts too: no folder can be made there).
bool yearExists(const QString& dataRoot, const QString& year);

// The hidden folder a new year is built in before it is renamed into place;
// it is never listed as a year.
QString buildingFolderPath(const QString& dataRoot, const QString& year);

// Why a new year cannot be made in the data root as it is: its folder or its
// building folder is a link, which would lead the copy, or its removal after a
// failure, elsewhere. Nothing when neither is.
std::optional<QString> linkRefusalFor(const QString& dataRoot, const QString& year);

// The years a user can choose: the sub-folders of the data root that hold a
// Devedur.mdb, in the order the file system gives them.
QStringList listedYears(const QString& dataRoot);

} // namespace velmora
