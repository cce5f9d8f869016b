#include "years/YearFolders.h"

#include "state/PathGate.h"
#include "store/PathText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace velmora {

namespace {

// Characters that show as nothing, or as something else, in a list of years.
bool isInvisible(QChar c) {
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
        return true;
    default:
        return false;
    }
}

} // namespace

QString yearFolderPath(const QString& dataRoot, const QString& year) {
    return dataRoot + QLatin1Char('/') + year;
}

QString databasePathFor(const QString& dataRoot, const QString& year) {
    return yearFolderPath(dataRoot, year) + QStringLiteral("/Devedur.mdb");
}

bool namesYearFolder(const QString& year) {
    // Any of these would lead outside the data root, or onto it.
    return !year.isEmpty() && year != QLatin1String(".") && year != QLatin1String("..") &&
           !year.contains(QLatin1Char('/')) && !year.contains(QLatin1Char('\\')) &&
           !year.contains(QChar(u'\0'));
}

std::optional<YearNameRefusal> refusalOf(const QString& year) {
    if (year.trimmed().isEmpty()) {
        return YearNameRefusal::Empty;
    }
    // A hidden folder is never listed, so a year made under such a name could
    // never be chosen again; ".2025.nueva" is also where years are built.
    if (!namesYearFolder(year) || year.startsWith(QLatin1Char('.')) || year != year.trimmed() ||
        std::any_of(year.cbegin(), year.cend(), isInvisible)) {
        return YearNameRefusal::Invalid;
    }
    return std::nullopt;
}

QString refusalText(YearNameRefusal refusal) {
    switch (refusal) {
    case YearNameRefusal::Empty:
        return QStringLiteral("Ponga un año");
    case YearNameRefusal::Invalid:
        break;
    }
    return QStringLiteral("Nombre de año no válido");
}

std::optional<int> calendarYearNamed(const QString& year) {
    // Anchored as a whole: "$" alone would also let "2024\n" through.
    static const QRegularExpression fourDigits(
        QRegularExpression::anchoredPattern(QStringLiteral("[1-9][0-9]{3}")));
    if (!fourDigits.match(year).hasMatch()) {
        return std::nullopt;
    }
    return year.toInt();
}

int calendarYearOf(const QString& year, QDate today) {
    return calendarYearNamed(year).value_or(today.year());
}

bool yearExists(const QString& dataRoot, const QString& year) {
    const QFileInfo folder(yearFolderPath(dataRoot, year));
    return folder.exists() || folder.isSymLink();
}

QString buildingFolderPath(const QString& dataRoot, const QString& year) {
    return dataRoot + QStringLiteral("/.") + year + QStringLiteral(".nueva");
}

std::optional<QString> linkRefusalFor(const QString& dataRoot, const QString& year) {
    for (const QString& folder :
         {yearFolderPath(dataRoot, year), buildingFolderPath(dataRoot, year)}) {
        if (isLink(folder)) {
            return QStringLiteral("%1 es un enlace a otro sitio, no una carpeta del año; "
                                  "quítelo de la carpeta de datos y vuelva a intentarlo")
                .arg(pathForMessage(folder));
        }
    }
    return std::nullopt;
}

QStringList listedYears(const QString& dataRoot) {
    QStringList years;
    const QDir root(dataRoot);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted)) {
        if (QFileInfo(databasePathFor(dataRoot, name)).isFile()) {
            years.append(name);
        }
    }
    return years;
}

} // namespace velmora
