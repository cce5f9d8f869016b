// The .xls reader on any bytes: it never fails, a file it cannot read gives a
// Spanish reason and nothing else, and what it reads keeps within the limits of
// a sheet, rows in order, every row with a cell and every number a number.
// FreeXL runs in this process here, as libFuzzer needs; the program itself reads
// through velmora-xls.

#include "FuzzCheck.h"
#include "SheetFuzz.h"

#include "exchange/XlsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmora::fuzz::checkSheetReader(velmora::fuzz::bytesOf(data, size), velmora::readXlsHere);
    return 0;
}
