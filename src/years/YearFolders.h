#pragma once

// A year's name is also the name of its folder under the data root, which holds
// the year's database Devedur.mdb. These are the rules and paths that follow.

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

inline constexpr int kYearNameMaxLength = 10;

QString yearFolderPath(const QString& dataRoot, const QString& year);
QString databasePathFor(const QString& dataRoot, const QString& year);

// Why a name cannot be a new year's folder, in the user's words: "Ponga un año"
// when empty, "Nombre de año no válido" when it would name a folder elsewhere
// ("..", a path) or none at all. Nothing when the name will do. Whether the
// year exists already is not looked at here.
enum class YearNameRefusal { Empty, Invalid };
std::optional<YearNameRefusal> refusalOf(const QString& year);
QString refusalText(YearNameRefusal refusal);

// For creating and switching a year exists when its folder does, with or without
// a database in it (a file of that name counts too: no folder can be made there).
bool yearExists(const QString& dataRoot, const QString& year);

// The years a user can choose: the sub-folders of the data root that hold a
// Devedur.mdb, in the order the file system gives them.
QStringList listedYears(const QString& dataRoot);

} // namespace velmora
