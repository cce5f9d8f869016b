// The five settings file readers: the input is written as each file of a program
// folder. No reader may fail on any bytes, a line read never holds its line end,
// and what is read, written back unchanged and read again is the same, so that
// accepting a setting as it stands never changes it.

#include "FuzzCheck.h"

#include "state/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void put(const velmora::SettingsFiles& settings, const char* fileName, const QByteArray& bytes) {
    QFile file(settings.pathOf(QString::fromLatin1(fileName)));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

void checkLine(const QString& line) {
    FUZZ_CHECK(!line.contains(QLatin1Char('\n')));
    FUZZ_CHECK(!line.endsWith(QLatin1Char('\r')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    // Writers sync every file to disk; files in memory keep the runs fast.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/velmora-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/velmora-fuzz-XXXXXX"));
    const SettingsFiles settings(folder.path());
    const QByteArray bytes = fuzz::bytesOf(data, size);
    for (const char* name : {"ruta.ini", "ano.ini", "color.ini", "color2.ini", "imp.ini"}) {
        put(settings, name, bytes);
    }

    const QString dataRoot = settings.readDataRoot();
    const QString year = settings.readYear();
    const std::optional<qint32> mainColour = settings.readMainColour();
    const std::optional<qint32> sectionColour = settings.readSectionColour();
    const std::optional<QString> reportPrinter = settings.readPrinterLine(false);
    const std::optional<QString> pdfPrinter = settings.readPrinterLine(true);
    checkLine(dataRoot);
    checkLine(year);
    FUZZ_CHECK(dataRoot == year);
    FUZZ_CHECK(mainColour == sectionColour);
    FUZZ_CHECK(reportPrinter.value_or(QString()) == dataRoot);
    if (pdfPrinter) {
        FUZZ_CHECK(reportPrinter);
        checkLine(*pdfPrinter);
    }

    settings.writeDataRootAndYear(dataRoot, year);
    FUZZ_CHECK(settings.readDataRoot() == dataRoot);
    FUZZ_CHECK(settings.readYear() == year);
    if (mainColour) {
        settings.writeMainColour(*mainColour);
        FUZZ_CHECK(settings.readMainColour() == mainColour);
    }
    return 0;
}
