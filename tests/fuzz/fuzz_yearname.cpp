// The year-name rule: a name it accepts is exactly one folder right under the data
// root, so that creating the year never writes elsewhere or over the root itself,
// and one the year list shows again: never hidden, never padded with blanks. The
// calendar year of any name is a year the date fields can show.

#include "FuzzCheck.h"

#include "years/YearFolders.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const QString name = fuzz::textOf(data, size);
    const int calendar = calendarYearOf(name, QDate(2024, 5, 17));
    FUZZ_CHECK(calendar >= 1000 && calendar <= 9999);
    const std::optional<YearNameRefusal> refusal = refusalOf(name);
    if (refusal) {
        FUZZ_CHECK((*refusal == YearNameRefusal::Empty) == name.trimmed().isEmpty());
        FUZZ_CHECK(!refusalText(*refusal).isEmpty());
        return 0;
    }
    FUZZ_CHECK(namesYearFolder(name));
    FUZZ_CHECK(!name.startsWith(QLatin1Char('.')) && name == name.trimmed());
    const QString root = QStringLiteral("/datos/Velmora");
    const QString folder = yearFolderPath(root, name);
    FUZZ_CHECK(QDir::cleanPath(folder) == folder);
    const QFileInfo info(folder);
    FUZZ_CHECK(info.path() == root);
    FUZZ_CHECK(info.fileName() == name);
    FUZZ_CHECK(databasePathFor(root, name) == folder + QStringLiteral("/Devedur.mdb"));
    return 0;
}
