#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

QString yearFolderPath(const QString& dataRoot, const QString& year) {
    return dataRoot + QLatin1Char('/') + year;
}

QString databasePathFor(const QString& dataRoot, const QString& year) {
    return yearFolderPath(dataRoot, year) + QStringLiteral("/Devedur.mdb");
}

std::optional<YearNameRefusal> refusalOf(const QString& year) {
    if (year.isEmpty()) {
        return YearNameRefusal::Empty;
    }
    // Any of these would write outside the data root, or over it.
    if (year == QLatin1String(".") || year == QLatin1String("..") ||
        year.contains(QLatin1Char('/')) || year.contains(QLatin1Char('\\')) ||
        year.contains(QChar(u'\0'))) {
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

bool yearExists(const QString& dataRoot, const QString& year) {
    const QFileInfo folder(yearFolderPath(dataRoot, year));
    return folder.exists() || folder.isSymLink();
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
