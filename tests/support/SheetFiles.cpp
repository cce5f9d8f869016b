#include "SheetFiles.h"

#include <QRegularExpression>
#include <QtEndian>

#include <zip.h>

#include <algorithm>
#include <cstring>

namespace velmora::test {

namespace {

const QRegularExpression kNumber(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?$"));

QByteArray escaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

QString columnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        name.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return name;
}

const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRelations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray worksheet(const QByteArray& sheetData) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"" +
           kMain + "\" xmlns:r=\"" + kRelations + "\"><dimension ref=\"A1\"/>\n<sheetData>" +
           sheetData + "</sheetData>\n</worksheet>";
}

} // namespace

QByteArray sheetDataXml(const SheetGrid& grid, int firstLine, QStringList& sharedStrings) {
    QByteArray xml;
    for (qsizetype r = 0; r < grid.size(); ++r) {
        const int line = firstLine + int(r);
        xml += "<row r=\"" + QByteArray::number(line) + "\">";
        for (qsizetype c = 0; c < grid[r].size(); ++c) {
            const QString& cell = grid[r][c];
            if (cell.isEmpty()) {
                continue;
            }
            const QByteArray ref = (columnName(int(c)) + QString::number(line)).toLatin1();
            if (cell.startsWith(u'\'')) {
                xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + escaped(cell.mid(1)) +
                       "</t></is></c>";
            } else if (cell.startsWith(u'=')) {
                const QString formula = cell.section(u'|', 0, 0).mid(1);
                const QString value = cell.section(u'|', 1);
                const bool number = kNumber.match(value).hasMatch();
                xml += "<c r=\"" + ref + (number ? "\">" : "\" t=\"str\">") + "<f>" +
                       escaped(formula) + "</f><v>" + escaped(value) + "</v></c>";
            } else if (cell.startsWith(QStringLiteral("d:"))) {
                xml += "<c r=\"" + ref + "\" s=\"1\"><v>" + cell.mid(2).toLatin1() + "</v></c>";
            } else if (kNumber.match(cell).hasMatch()) {
                xml += "<c r=\"" + ref + "\"><v>" + cell.toLatin1() + "</v></c>";
            } else {
                qsizetype index = sharedStrings.indexOf(cell);
                if (index < 0) {
                    index = sharedStrings.size();
                    sharedStrings.append(cell);
                }
                xml += "<c r=\"" + ref + "\" t=\"s\"><v>" + QByteArray::number(index) + "</v></c>";
            }
        }
        xml += "</row>\n";
    }
    return xml;
}

QByteArray sharedStringsXml(const QStringList& strings) {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"" + kMain +
        "\" count=\"" + QByteArray::number(strings.size()) + "\" uniqueCount=\"" +
        QByteArray::number(strings.size()) + "\">\n";
    for (const QString& text : strings) {
        if (!text.contains(u'^')) {
            xml += "<si><t xml:space=\"preserve\">" + escaped(text) + "</t></si>\n";
            continue;
        }
        // Rich text: a run at each "^", laid out on lines as Excel's own files
        // are not, and a phonetic guide that is no part of the text.
        xml += "<si>\n";
        for (const QString& run : text.split(u'^')) {
            xml += "  <r>\n    <rPr><b/><sz val=\"11\"/></rPr>\n    <t xml:space=\"preserve\">" +
                   escaped(run) + "</t>\n  </r>\n";
        }
        xml += "  <rPh sb=\"0\" eb=\"1\"><t>よみ</t></rPh>\n</si>\n";
    }
    return xml + "</sst>";
}

QByteArray zipBytes(const QList<std::pair<QString, QByteArray>>& parts, bool encrypt, bool stored) {
    zip_error_t error;
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    zip_source_keep(source);
    for (const auto& [name, data] : parts) {
        zip_source_t* part = zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = zip_file_add(zip, name.toUtf8().constData(), part, 0);
        if (stored) {
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        if (encrypt) {
            zip_file_set_encryption(zip, zip_uint64_t(index), ZIP_EM_AES_256, "secreto");
        }
    }
    zip_close(zip);
    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) == 0 && zip_source_open(source) == 0) {
        bytes.resize(qsizetype(stat.size));
        const zip_int64_t got = zip_source_read(source, bytes.data(), stat.size);
        bytes.resize(got < 0 ? 0 : qsizetype(got));
        zip_source_close(source);
    }
    zip_source_free(source);
    return bytes;
}

QByteArray xlsxBytes(const XlsxBook& book, bool stored) {
    QStringList strings;
    const QByteArray first = worksheet(sheetDataXml(book.grid, book.firstLine, strings));
    const bool two = !book.secondSheet.isEmpty();
    const QByteArray second = worksheet(sheetDataXml(book.secondSheet, 1, strings));
    // With secondFirst the first sheet of the workbook lives in sheet2.xml and
    // comes after the other in the zip, so that neither order finds it by luck.
    const QByteArray firstPart = book.secondFirst ? "sheet2.xml" : "sheet1.xml";
    const QByteArray secondPart = book.secondFirst ? "sheet1.xml" : "sheet2.xml";

    QByteArray workbook = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<workbook xmlns=\"" +
                          kMain + "\" xmlns:r=\"" + kRelations + "\">" +
                          (book.date1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>") +
                          "<sheets><sheet name=\"Movimientos\" sheetId=\"1\" r:id=\"rId1\"/>";
    if (two) {
        workbook += "<sheet name=\"Resumen\" sheetId=\"2\" r:id=\"rId2\"/>";
    }
    workbook += "</sheets></workbook>";

    const QByteArray relationship = "<Relationship Type=\"" + kRelations;
    QByteArray workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
        relationship + "/worksheet\" Id=\"rId1\" Target=\"worksheets/" + firstPart + "\"/>" +
        relationship + "/sharedStrings\" Id=\"rId3\" Target=\"sharedStrings.xml\"/>";
    if (two) {
        workbookRels += relationship + "/worksheet\" Id=\"rId2\" Target=\"/xl/worksheets/" +
                        secondPart + "\"/>";
    }
    workbookRels += "</Relationships>";

    QList<std::pair<QString, QByteArray>> parts{
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"},
        {QStringLiteral("_rels/.rels"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
             relationship + "/officeDocument\" Id=\"rId1\" Target=\"xl/workbook.xml\"/>" +
             "</Relationships>"},
        {QStringLiteral("xl/workbook.xml"), workbook},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels},
        {QStringLiteral("xl/sharedStrings.xml"), sharedStringsXml(strings)},
    };
    if (two) {
        parts.append(
            {QStringLiteral("xl/worksheets/sheet1.xml"), book.secondFirst ? second : first});
        parts.append(
            {QStringLiteral("xl/worksheets/sheet2.xml"), book.secondFirst ? first : second});
    } else {
        parts.append({QStringLiteral("xl/worksheets/sheet1.xml"), first});
    }
    for (const auto& [name, data] : book.parts) {
        auto same = std::find_if(parts.begin(), parts.end(),
                                 [&](const auto& part) { return part.first == name; });
        if (same != parts.end()) {
            same->second = data;
        } else {
            parts.append({name, data});
        }
    }
    return zipBytes(parts, false, stored);
}

void declareSize(QByteArray& zip, const QString& part, quint32 size) {
    const QByteArray name = part.toUtf8();
    // The end of central directory record, with no comment, closes the zip.
    const qsizetype end = zip.size() - 22;
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    qsizetype at = u32(end + 16);
    for (int entry = 0; entry < u16(end + 10); ++entry) {
        const quint16 nameLength = u16(at + 28);
        if (zip.mid(at + 46, nameLength) == name) {
            qToLittleEndian<quint32>(size, zip.data() + at + 24);
            qToLittleEndian<quint32>(size, zip.data() + u32(at + 42) + 22);
        }
        at += 46 + nameLength + u16(at + 30) + u16(at + 32);
    }
}

namespace {

void put16(QByteArray& bytes, quint16 value) {
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void put32(QByteArray& bytes, quint32 value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void putDouble(QByteArray& bytes, double value) {
    char raw[8];
    std::memcpy(raw, &value, 8);
    bytes.append(raw, 8); // the machines this runs on are little-endian
}

void putUtf16(QByteArray& bytes, const QString& text) {
    for (const QChar c : text) {
        put16(bytes, c.unicode());
    }
}

QByteArray record(quint16 type, const QByteArray& payload) {
    QByteArray bytes;
    put16(bytes, type);
    put16(bytes, quint16(payload.size()));
    return bytes + payload;
}

QByteArray bof(quint16 kind) {
    QByteArray payload;
    put16(payload, 0x0600); // BIFF8
    put16(payload, kind);   // 0x0005 workbook globals, 0x0010 worksheet
    put16(payload, 0x0DBB);
    put16(payload, 0x07CC);
    put32(payload, 0);
    put32(payload, 6);
    return record(0x0809, payload);
}

QByteArray xf(quint16 format) {
    QByteArray payload;
    put16(payload, 0);      // font
    put16(payload, format); // number format: 0 General, 14 a date
    put16(payload, 0x0001); // locked
    payload.append(14, '\0');
    return record(0x00E0, payload);
}

QByteArray cellHead(int row, int column, quint16 format) {
    QByteArray payload;
    put16(payload, quint16(row));
    put16(payload, quint16(column));
    put16(payload, format);
    return payload;
}

// A number as BIFF writes it most compactly: an RK value when it is a whole
// number or has two decimals, a NUMBER record otherwise.
QByteArray numberRecord(int row, int column, quint16 format, double value) {
    const double hundreds = value * 100;
    if (qAbs(value) < (1 << 29) && value == double(qint32(value))) {
        QByteArray payload = cellHead(row, column, format);
        put32(payload, quint32(qint32(value)) << 2 | 0x2);
        return record(0x027E, payload);
    }
    if (format == 0 && qAbs(hundreds) < (1 << 29) && hundreds == double(qint64(hundreds))) {
        QByteArray payload = cellHead(row, column, format);
        put32(payload, quint32(qint32(hundreds)) << 2 | 0x3);
        return record(0x027E, payload);
    }
    QByteArray payload = cellHead(row, column, format);
    putDouble(payload, value);
    return record(0x0203, payload);
}

} // namespace

QByteArray biffStream(const XlsBook& book) {
    QStringList strings;
    QByteArray cells;
    int columns = 0;
    for (qsizetype r = 0; r < book.grid.size(); ++r) {
        columns = std::max(columns, int(book.grid[r].size()));
        for (qsizetype c = 0; c < book.grid[r].size(); ++c) {
            const QString& cell = book.grid[r][c];
            if (cell.isEmpty()) {
                continue;
            }
            if (cell.startsWith(u'=')) {
                // Stored value first, then the formula 1+1 it is said to come
                // from: a reader that ran the formula would give 2.
                QByteArray payload = cellHead(int(r), int(c), 0);
                putDouble(payload, cell.section(u'|', 1).toDouble());
                put16(payload, 0);
                put32(payload, 0);
                put16(payload, 7);
                payload.append("\x1E\x01\x00\x1E\x01\x00\x03", 7);
                cells += record(0x0006, payload);
            } else if (cell.startsWith(QStringLiteral("d:"))) {
                cells += numberRecord(int(r), int(c), 1, cell.mid(2).toDouble());
            } else if (cell.startsWith(QStringLiteral("n:"))) {
                QByteArray payload = cellHead(int(r), int(c), 0);
                putDouble(payload, cell.mid(2).toDouble());
                cells += record(0x0203, payload);
            } else if (kNumber.match(cell).hasMatch()) {
                cells += numberRecord(int(r), int(c), 0, cell.toDouble());
            } else {
                const QString text = cell.startsWith(u'\'') ? cell.mid(1) : cell;
                qsizetype index = strings.indexOf(text);
                if (index < 0) {
                    index = strings.size();
                    strings.append(text);
                }
                QByteArray payload = cellHead(int(r), int(c), 0);
                put32(payload, quint32(index));
                cells += record(0x00FD, payload);
            }
        }
    }

    QByteArray sst;
    put32(sst, quint32(strings.size()));
    put32(sst, quint32(strings.size()));
    for (const QString& text : strings) {
        put16(sst, quint16(text.size()));
        sst.append('\x01'); // UTF-16LE characters
        putUtf16(sst, text);
    }
    Q_ASSERT(sst.size() <= 8224); // past it a CONTINUE record would be needed

    QByteArray globals = bof(0x0005);
    if (book.password) {
        QByteArray filepass;
        put16(filepass, 0); // XOR obfuscation
        put16(filepass, 0x1234);
        put16(filepass, 0x5678);
        globals += record(0x002F, filepass);
    }
    QByteArray codepage;
    put16(codepage, 1200);
    globals += record(0x0042, codepage);
    QByteArray datemode;
    put16(datemode, book.date1904 ? 1 : 0);
    globals += record(0x0022, datemode);
    globals += xf(0) + xf(14);
    QByteArray boundsheet;
    const qsizetype sheetOffsetAt = globals.size() + 4;
    put32(boundsheet, 0); // the sheet's offset, set below
    boundsheet.append('\0');
    boundsheet.append('\0');
    const QString name = QStringLiteral("Movimientos");
    boundsheet.append(char(name.size()));
    boundsheet.append('\0');
    boundsheet.append(name.toLatin1());
    globals += record(0x0085, boundsheet);
    globals += record(0x00FC, sst);
    globals += record(0x000A, {});
    qToLittleEndian<quint32>(quint32(globals.size()), globals.data() + sheetOffsetAt);

    QByteArray dimensions;
    put32(dimensions, 0);
    put32(dimensions, quint32(book.declaredRows >= 0 ? book.declaredRows : book.grid.size()));
    put16(dimensions, 0);
    put16(dimensions, quint16(book.declaredColumns >= 0 ? book.declaredColumns : columns));
    put16(dimensions, 0);
    return globals + bof(0x0010) + record(0x0200, dimensions) + cells + record(0x000A, {});
}

QByteArray compoundFile(const QList<std::pair<QString, QByteArray>>& given) {
    constexpr quint32 kEnd = 0xFFFFFFFE;
    constexpr quint32 kFree = 0xFFFFFFFF;
    constexpr quint32 kFatSector = 0xFFFFFFFD;
    auto streams = given;
    // Siblings in the directory are ordered by name length, then by name.
    std::sort(streams.begin(), streams.end(), [](const auto& a, const auto& b) {
        if (a.first.size() != b.first.size()) {
            return a.first.size() < b.first.size();
        }
        return a.first.toUpper() < b.first.toUpper();
    });
    QList<quint32> sectorsOf;
    quint32 streamSectors = 0;
    for (auto& [name, data] : streams) {
        // At 4096 bytes and over a stream lives in ordinary sectors.
        data.append(QByteArray(std::max<qsizetype>(0, 4096 - data.size()), '\0'));
        sectorsOf.append(quint32((data.size() + 511) / 512));
        streamSectors += sectorsOf.last();
    }
    const quint32 directorySectors = quint32((streams.size() + 1 + 3) / 4);
    quint32 fatSectors = 1;
    while (fatSectors * 128 < fatSectors + directorySectors + streamSectors) {
        ++fatSectors;
    }
    Q_ASSERT(fatSectors <= 109);

    QList<quint32> fat(qsizetype(fatSectors * 128), kFree);
    quint32 next = 0;
    for (quint32 i = 0; i < fatSectors; ++i) {
        fat[next++] = kFatSector;
    }
    auto chain = [&](quint32 count) {
        const quint32 start = next;
        for (quint32 i = 0; i < count; ++i, ++next) {
            fat[next] = i + 1 == count ? kEnd : next + 1;
        }
        return start;
    };
    const quint32 directoryStart = chain(directorySectors);
    QList<quint32> starts;
    for (const quint32 count : sectorsOf) {
        starts.append(chain(count));
    }

    QByteArray header("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(16, '\0');
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header.append(6, '\0');
    put32(header, 0);
    put32(header, fatSectors);
    put32(header, directoryStart);
    put32(header, 0);
    put32(header, 4096);
    put32(header, kEnd);
    put32(header, 0);
    put32(header, kEnd);
    put32(header, 0);
    for (quint32 i = 0; i < 109; ++i) {
        put32(header, i < fatSectors ? i : kFree);
    }

    QByteArray body;
    for (const quint32 entry : fat) {
        put32(body, entry);
    }
    auto directoryEntry = [&](const QString& name, quint8 type, quint32 right, quint32 child,
                              quint32 start, quint32 size) {
        QByteArray entry;
        putUtf16(entry, name);
        entry.append(64 - entry.size(), '\0');
        put16(entry, quint16(name.isEmpty() ? 0 : (name.size() + 1) * 2));
        entry.append(char(type));
        entry.append('\x01'); // black
        put32(entry, kFree);  // left sibling
        put32(entry, right);
        put32(entry, child);
        entry.append(16 + 4 + 8 + 8, '\0');
        put32(entry, start);
        put32(entry, size);
        put32(entry, 0);
        return entry;
    };
    QByteArray directory = directoryEntry(QStringLiteral("Root Entry"), 5, kFree,
                                          streams.isEmpty() ? kFree : 1, kEnd, 0);
    for (qsizetype i = 0; i < streams.size(); ++i) {
        const quint32 right = i + 1 < streams.size() ? quint32(i + 2) : kFree;
        directory += directoryEntry(streams[i].first, 2, right, kFree, starts[i],
                                    quint32(streams[i].second.size()));
    }
    while (directory.size() < qsizetype(directorySectors) * 512) {
        directory += directoryEntry(QString(), 0, kFree, kFree, 0, 0);
    }
    body += directory;
    for (const auto& [name, data] : streams) {
        body += data;
        body.append(QByteArray((512 - data.size() % 512) % 512, '\0'));
    }
    return header + body;
}

QByteArray xlsBytes(const XlsBook& book) {
    return compoundFile({{QStringLiteral("Workbook"), biffStream(book)}});
}

} // namespace velmora::test
