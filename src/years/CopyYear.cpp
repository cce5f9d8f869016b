#include "years/CopyYear.h"

#include "state/Settings.h"
#include "store/Sqlite.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QFileInfo>
#include <QStringList>

namespace velmora {

namespace {

QString canonicalFolder(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

// The calendar years of the entries' dates, oldest first.
QStringList entryYears(const QString& file) {
    Database db(file, Database::Mode::ReadOnly);
    Statement years(db,
                    "SELECT DISTINCT substr(Data, 1, 4) FROM apuntes"
                    " WHERE Data GLOB '[0-9][0-9][0-9][0-9]-*' ORDER BY 1",
                    "leer las fechas de la copia");
    QStringList found;
    while (years.step()) {
        found.append(years.columnText(0));
    }
    return found;
}

// "2022", "2022 y 2023", "2021, 2022 y 2023"
QString listed(const QStringList& years) {
    if (years.size() == 1) {
        return years.first();
    }
    return years.mid(0, years.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" y ") +
           years.last();
}

} // namespace

std::optional<CopyYear> yearByPlace(const QString& file, const QString& dataRoot) {
    const QFileInfo info(file);
    const QFileInfo folder(info.absolutePath());
    if (QFileInfo(folder.absolutePath()).fileName() == SafetyCopies::folderName()) {
        return CopyYear{folder.fileName(),
                        QStringLiteral("según la carpeta de copias en la que está")};
    }
    const SettingsFiles beside(folder.absoluteFilePath());
    if (QFileInfo::exists(beside.pathOf(QStringLiteral("ano.ini")))) {
        const QString year = beside.readYear();
        if (!year.isEmpty()) {
            return CopyYear{year, QStringLiteral("según el ano.ini que tiene al lado")};
        }
    }
    if (!dataRoot.isEmpty() &&
        canonicalFolder(folder.absolutePath()) == canonicalFolder(dataRoot)) {
        return CopyYear{folder.fileName(),
                        QStringLiteral("según la carpeta del año en la que está")};
    }
    return std::nullopt;
}

std::optional<QString> otherYearRefusal(const QString& file, const QString& dataRoot,
                                        const QString& year) {
    if (const std::optional<CopyYear> placed = yearByPlace(file, dataRoot)) {
        if (placed->year == year) {
            return std::nullopt;
        }
        return QStringLiteral("es del año %1 (%2), no del año %3")
            .arg(placed->year, placed->how, year);
    }
    // Dates only tell a year whose name is one.
    const std::optional<int> calendar = calendarYearNamed(year);
    if (!calendar) {
        return std::nullopt;
    }
    const QStringList years = entryYears(file);
    if (years.isEmpty() || years.contains(QString::number(*calendar))) {
        return std::nullopt;
    }
    return QStringLiteral("sus apuntes son %1 %2, no del año %3")
        .arg(years.size() == 1 ? QStringLiteral("del año") : QStringLiteral("de los años"),
             listed(years), year);
}

} // namespace velmora
