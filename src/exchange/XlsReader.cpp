#include "exchange/XlsReader.h"

#include "exchange/SheetRules.h"
#include "state/Logging.h"

#include <QFile>
#include <QLocale>

#include <freexl.h>

#include <cmath>
#include <memory>

namespace velmora {

namespace {

// FreeXL lays out a cell for every place of the sheet's declared dimensions
// when it opens the workbook, so those are bounded too, not just its rows and
// its columns: a bank's sheet has a few thousand rows of a dozen columns.
constexpr qint64 kMostSheetPlaces = 4'000'000;

[[noreturn]] void refuse(const QString& reason) {
    throw SheetError(reason);
}

QString spanishNumber(qint64 n) {
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(n);
}

struct FreeXlClose {
    void operator()(const void* handle) const { freexl_close(handle); }
};
using Handle = std::unique_ptr<const void, FreeXlClose>;

// FreeXL's failures in the user's words; the code goes to the log.
[[noreturn]] void refuseFreeXl(int code, const char* step, QFile& file) {
    qCWarning(lcExchange).noquote() << "xls: FreeXL" << step << "falló con" << code;
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        refuse(QStringLiteral("no hay memoria suficiente para leer el libro"));
    case FREEXL_FILE_NOT_FOUND:
        refuse(QStringLiteral("no se pudo abrir el archivo"));
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
        refuse(QStringLiteral("el libro usa una codificación de caracteres que no se puede leer"));
    default:
        break;
    }
    // A workbook saved with a password is an encrypted package, which FreeXL
    // sees as a compound file without a workbook in it.
    if (isEncryptedOfficeFile(file)) {
        refuse(passwordProtectedReason());
    }
    if (code == FREEXL_BIFF_WORKBOOK_NOT_FOUND || code == FREEXL_INVALID_CFBF_HEADER) {
        refuse(QStringLiteral("no es un libro de Excel (.xls)"));
    }
    refuse(damagedReason());
}

// Opened again through the descriptor the path gate checked, so that the file
// read is the one checked, whatever has since happened to its name.
QByteArray pathOf(QFile& file) {
    return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(file.handle());
}

Handle open(QFile& file, bool cells) {
    const QByteArray path = pathOf(file);
    const void* raw = nullptr;
    const int code =
        cells ? freexl_open(path.constData(), &raw) : freexl_open_info(path.constData(), &raw);
    Handle handle(raw);
    if (code != FREEXL_OK) {
        refuseFreeXl(code, cells ? "open" : "open_info", file);
    }
    return handle;
}

unsigned info(const Handle& handle, unsigned short what, QFile& file) {
    unsigned value = 0;
    if (const int code = freexl_get_info(handle.get(), what, &value); code != FREEXL_OK) {
        refuseFreeXl(code, "get_info", file);
    }
    return value;
}

struct SheetSize {
    unsigned rows = 0;
    unsigned short columns = 0;
};

// Selects the first sheet and gives its size, within the limits of a sheet.
SheetSize firstSheet(const Handle& handle, QFile& file) {
    if (info(handle, FREEXL_BIFF_PASSWORD, file) == FREEXL_BIFF_OBFUSCATED) {
        refuse(passwordProtectedReason());
    }
    if (info(handle, FREEXL_BIFF_SHEET_COUNT, file) == 0) {
        refuse(noSheetReason());
    }
    if (const int code = freexl_select_active_worksheet(handle.get(), 0); code != FREEXL_OK) {
        refuseFreeXl(code, "select_active_worksheet", file);
    }
    SheetSize size;
    if (const int code = freexl_worksheet_dimensions(handle.get(), &size.rows, &size.columns);
        code != FREEXL_OK) {
        refuseFreeXl(code, "worksheet_dimensions", file);
    }
    const auto [rows, columns] = size;
    if (rows > unsigned(kMostSheetRows)) {
        refuse(tooManyRowsReason());
    }
    if (columns > kMostSheetColumns) {
        refuse(tooManyColumnsReason());
    }
    if (qint64(rows) * columns > kMostSheetPlaces) {
        refuse(QStringLiteral("la hoja es demasiado grande: %1 filas de %2 columnas")
                   .arg(spanishNumber(rows))
                   .arg(columns));
    }
    return size;
}

SheetCell cellOf(const FreeXL_CellValue& value) {
    switch (value.type) {
    case FREEXL_CELL_INT:
        return {QString::number(value.value.int_value), true};
    case FREEXL_CELL_DOUBLE:
        // A NUMBER record can hold any eight bytes, a NaN or an infinity among
        // them, which are no amount: shown as Excel shows a broken number.
        if (!std::isfinite(value.value.double_value)) {
            return {QStringLiteral("#NUM!"), false};
        }
        return {QString::number(value.value.double_value, 'g', QLocale::FloatingPointShortest),
                true};
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_TIME:
        return {QString::fromUtf8(value.value.text_value), false};
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
        // "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss": a movement's day is its date.
        return {QString::fromUtf8(value.value.text_value).left(10), false};
    default:
        return {};
    }
}

} // namespace

bool looksLikeXls(const QByteArray& start) {
    return start.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
}

SheetTable readXlsHere(QFile& file) {
    // The size is checked on a handle opened for the workbook's description
    // only, before FreeXL lays out the sheet's cells.
    firstSheet(open(file, false), file);
    const Handle handle = open(file, true);
    const auto [rows, columns] = firstSheet(handle, file);
    SheetTable table;
    table.date1904 = info(handle, FREEXL_BIFF_DATEMODE, file) == FREEXL_BIFF_DATEMODE_1904;
    SheetBudget budget;
    for (unsigned r = 0; r < rows; ++r) {
        SheetRow row;
        row.line = int(r) + 1;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (const int code = freexl_get_cell_value(handle.get(), r, c, &value);
                code != FREEXL_OK) {
                refuseFreeXl(code, "get_cell_value", file);
            }
            row.cells.append(cellOf(value));
        }
        budget.keep(table, std::move(row));
    }
    return table;
}

} // namespace velmora
