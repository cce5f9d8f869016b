// The year-name rule: a name it accepts is exactly one folder right under the data
// root, so that creating the year never writes elsewhere or over the root itself.

#include "FuzzCheck.h"

#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const QString name = fuzz::textOf(data, size);
    const std::optional<YearNameRefusal> refusal = refusalOf(name);
    if (refusal) {
        FUZZ_CHECK((*refusal == YearNameRefusal::Empty) == name.isEmpty());
        FUZZ_CHECK(!refusalText(*refusal).isEmpty());
        return 0;
    }
    const QString root = QStringLiteral("/datos/Velmora");
    const QString folder = yearFolderPath(root, name);
    FUZZ_CHECK(QDir::cleanPath(folder) == folder);
    const QFileInfo info(folder);
    FUZZ_CHECK(info.path() == root);
    FUZZ_CHECK(info.fileName() == name);
    FUZZ_CHECK(databasePathFor(root, name) == folder + QStringLiteral("/Devedur.mdb"));
    return 0;
}
