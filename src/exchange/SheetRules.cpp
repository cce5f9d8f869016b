#include "exchange/SheetRules.h"

#include <QByteArray>
#include <QFile>
#include <QLocale>

namespace velmora {

namespace {

QString spanishNumber(qint64 n) {
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(n);
}

// The stream names are UTF-16 in the compound file's directory.
QByteArray utf16Name(const char* name) {
    QByteArray bytes;
    for (const char* c = name; *c != '\0'; ++c) {
        bytes.append(*c);
        bytes.append('\0');
    }
    return bytes;
}

} // namespace

void SheetBudget::keep(SheetTable& table, SheetRow&& row) {
    while (!row.cells.isEmpty() && row.cells.last().text.isEmpty()) {
        row.cells.removeLast();
    }
    if (row.cells.isEmpty()) {
        return;
    }
    if (qsizetype(table.rows.size()) >= kMostSheetRows) {
        throw SheetError(tooManyRowsReason());
    }
    if (row.cells.size() > kMostSheetColumns) {
        throw SheetError(tooManyColumnsReason());
    }
    cost_ += kSheetCellCost * row.cells.size();
    for (const SheetCell& cell : row.cells) {
        if (cell.text.size() > kLongestSheetCell) {
            throw SheetError(longCellReason());
        }
        cost_ += cell.text.size();
    }
    if (cost_ > kMostSheetBytes) {
        throw SheetError(tooMuchTextReason());
    }
    table.rows.push_back(std::move(row));
}

QString damagedReason() {
    return QStringLiteral("el libro está dañado o incompleto");
}

QString passwordProtectedReason() {
    return QStringLiteral("el libro está protegido con contraseña; guárdelo sin contraseña y "
                          "vuelva a importarlo");
}

QString noSheetReason() {
    return QStringLiteral("el libro no tiene ninguna hoja");
}

QString tooManyRowsReason() {
    return QStringLiteral("la hoja tiene más de %1 filas").arg(spanishNumber(kMostSheetRows));
}

QString tooManyColumnsReason() {
    return QStringLiteral("la hoja tiene datos más allá de la columna %1").arg(kMostSheetColumns);
}

QString longCellReason() {
    return QStringLiteral("una celda del libro tiene más de %1 caracteres")
        .arg(spanishNumber(kLongestSheetCell));
}

QString tooMuchTextReason() {
    return QStringLiteral("el libro tiene más de %1 MB de texto")
        .arg(kMostSheetBytes / (1024 * 1024));
}

bool isEncryptedOfficeFile(QFile& file) {
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    if (!file.seek(0) || file.read(signature.size()) != signature) {
        return false;
    }
    // Looked for in chunks that overlap by the name's length, so that a name
    // across two chunks is still found.
    const QByteArray name = utf16Name("EncryptionInfo");
    constexpr qint64 kChunk = 1 << 20;
    QByteArray tail;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            return false;
        }
        const QByteArray window = tail + chunk;
        if (window.contains(name)) {
            return true;
        }
        tail = window.right(name.size() - 1);
    }
    return false;
}

} // namespace velmora
