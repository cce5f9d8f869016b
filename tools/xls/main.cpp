// velmora-xls: reads the .xls workbook on its standard input with FreeXL and
// writes its first sheet to standard output as a sheet stream, or the reason it
// cannot be read and the exit status kSheetRefusedExit. The program runs it
// rather than FreeXL itself, so that a hostile workbook can at worst bring this
// process down. It reads nothing else and writes nothing else.
//
//   velmora-xls < banco.xls

#include "exchange/SheetStream.h"
#include "exchange/XlsReader.h"

#include <QFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kUsageExit = 2;

} // namespace

int main(int argc, char*[]) {
    struct stat input {};
    if (argc != 1 || ::fstat(STDIN_FILENO, &input) != 0 || !S_ISREG(input.st_mode)) {
        std::fputs("Uso: velmora-xls < LIBRO.xls (un archivo normal)\n", stderr);
        return kUsageExit;
    }
    QFile in;
    QFile out;
    if (!in.open(STDIN_FILENO, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) ||
        !out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        return kUsageExit;
    }
    try {
        const velmora::SheetTable table = velmora::readXlsHere(in);
        return velmora::writeSheetTable(out, table) && out.flush() ? 0 : 1;
    } catch (const velmora::SheetError& error) {
        return velmora::writeSheetRefusal(out, error.reason()) && out.flush()
                   ? velmora::kSheetRefusedExit
                   : 1;
    }
}
