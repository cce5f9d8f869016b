#include "exchange/XlsxReader.h"

#include "exchange/SheetRules.h"
#include "state/Logging.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>
#include <memory>
#include <unistd.h>

namespace velmora {

namespace {

// The sheet and its shared strings may be large; the parts that only name
// other parts are small. Past these a part is not inflated at all.
constexpr qint64 kLargestPart = 256LL * 1024 * 1024;
constexpr qint64 kLargestIndexPart = 4LL * 1024 * 1024;
// The longest stretch of a part's bytes inside one text, tag, comment or CDATA
// section: a cell of kLongestSheetCell characters written out with character
// references stays well under it. Checked on the bytes as they are inflated,
// since the XML reader would otherwise gather a whole text before handing it
// over.
constexpr qint64 kLongestMarkupRun = 8 * kLongestSheetCell;
constexpr int kDeepestElement = 64;
// Excel's own last row; a reference past it is not Excel's.
constexpr int kLastSheetRow = 1'048'576;

[[noreturn]] void refuse(const QString& reason) {
    throw SheetError(reason);
}

QString zipError(zip_t* zip) {
    return QString::fromUtf8(zip_error_strerror(zip_get_error(zip)));
}

struct ZipClose {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
using Archive = std::unique_ptr<zip_t, ZipClose>;

// Keeps track of where the inflated bytes are in the XML's lexical structure,
// just enough to bound every text, tag, comment and CDATA section and to refuse
// a document type declaration before the XML reader takes it in.
class MarkupGuard {
public:
    // Empty when the bytes may go on; otherwise the reason to stop.
    QString take(const char* data, qint64 size) {
        for (qint64 i = 0; i < size; ++i) {
            const char c = data[i];
            if (++run_ > kLongestMarkupRun) {
                return longCellReason();
            }
            switch (state_) {
            case State::Text:
                if (c == '<') {
                    state_ = State::TagStart;
                    run_ = 0;
                }
                break;
            case State::TagStart:
                state_ = c == '!' ? State::Bang : State::Tag;
                pending_.clear();
                if (c == '>') {
                    state_ = State::Text;
                    run_ = 0;
                }
                break;
            case State::Bang: {
                pending_.append(c);
                static const QByteArray comment("--");
                static const QByteArray cdata("[CDATA[");
                if (pending_ == comment) {
                    state_ = State::Comment;
                } else if (pending_ == cdata) {
                    state_ = State::CData;
                } else if (!comment.startsWith(pending_) && !cdata.startsWith(pending_)) {
                    return dtdReason();
                }
                break;
            }
            case State::Tag:
                if (c == '"' || c == '\'') {
                    quote_ = c;
                    state_ = State::Quoted;
                } else if (c == '>') {
                    state_ = State::Text;
                    run_ = 0;
                }
                break;
            case State::Quoted:
                if (c == quote_) {
                    state_ = State::Tag;
                }
                break;
            case State::Comment:
            case State::CData: {
                const char closing = state_ == State::Comment ? '-' : ']';
                if (c == '>' && last_[0] == closing && last_[1] == closing) {
                    state_ = State::Text;
                    run_ = 0;
                }
                break;
            }
            }
            last_[0] = last_[1];
            last_[1] = c;
        }
        return {};
    }

    static QString dtdReason() {
        return QStringLiteral("el libro contiene declaraciones XML (DTD o entidades) que un "
                              "libro de Excel no lleva; no se lee por seguridad");
    }

private:
    enum class State { Text, TagStart, Bang, Tag, Quoted, Comment, CData };
    State state_ = State::Text;
    qint64 run_ = 0;
    char quote_ = 0;
    char last_[2] = {0, 0};
    QByteArray pending_;
};

// One part of the zip, inflated as it is read. Never hands over more bytes
// than the part declares, nor more than its cap: a part that inflates past
// either is refused there, whatever its compression ratio.
class PartDevice : public QIODevice {
public:
    PartDevice(zip_t* zip, zip_uint64_t index, const QString& name, qint64 declared)
        : name_(name), declared_(declared) {
        file_ = zip_fopen_index(zip, index, 0);
        if (file_ == nullptr) {
            qCWarning(lcExchange).noquote() << "xlsx: no se abre" << name << zipError(zip);
            if (zip_error_code_zip(zip_get_error(zip)) == ZIP_ER_NOPASSWD ||
                zip_error_code_zip(zip_get_error(zip)) == ZIP_ER_WRONGPASSWD) {
                refuse(passwordProtectedReason());
            }
            refuse(damagedReason());
        }
        open(QIODevice::ReadOnly);
    }
    ~PartDevice() override { zip_fclose(file_); }
    PartDevice(const PartDevice&) = delete;
    PartDevice& operator=(const PartDevice&) = delete;

    bool isSequential() const override { return true; }

    // Reads whatever is left of the part; false when that brings a refusal.
    bool drain() {
        char buffer[16 * 1024];
        qint64 got = 0;
        while ((got = read(buffer, sizeof buffer)) > 0) {
        }
        return refusal_.isEmpty();
    }
    const QString& refusal() const { return refusal_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!refusal_.isEmpty()) {
            return -1;
        }
        // One byte beyond the declared size is asked for, to see whether there is any.
        const qint64 room = declared_ + 1 - inflated_;
        const zip_int64_t got = zip_fread(file_, data, zip_uint64_t(qMin(maxSize, room)));
        if (got < 0) {
            qCWarning(lcExchange).noquote()
                << "xlsx: error al leer" << name_
                << QString::fromUtf8(zip_error_strerror(zip_file_get_error(file_)));
            refusal_ = damagedReason();
            return -1;
        }
        inflated_ += got;
        if (inflated_ > declared_) {
            qCWarning(lcExchange).noquote() << "xlsx:" << name_ << "da más de lo que declara";
            refusal_ = QStringLiteral("el libro está dañado: una de sus partes ocupa más de lo "
                                      "que declara, como en un archivo hecho para agotar la "
                                      "memoria");
            return -1;
        }
        refusal_ = guard_.take(data, got);
        return refusal_.isEmpty() ? got : -1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file_ = nullptr;
    QString name_;
    qint64 declared_ = 0;
    qint64 inflated_ = 0;
    MarkupGuard guard_;
    QString refusal_;
};

// The XML of one part, token by token, with every refusal in one place.
class XmlPart {
public:
    XmlPart(zip_t* zip, zip_uint64_t index, const QString& name, qint64 declared)
        : name_(name), device_(zip, index, name, declared), xml_(&device_) {
        xml_.setNamespaceProcessing(true);
    }

    // The next token; throws on anything the workbook must not contain.
    QXmlStreamReader::TokenType next() {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            fail();
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            refuse(MarkupGuard::dtdReason());
        case QXmlStreamReader::StartElement:
            if (++depth_ > kDeepestElement) {
                qCWarning(lcExchange).noquote() << "xlsx: anidado demasiado hondo en" << name_;
                refuse(damagedReason());
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth_;
            break;
        case QXmlStreamReader::EndDocument:
            // The zip checks a part's CRC only once it is read to its end,
            // which the XML reader need not reach.
            if (!device_.drain()) {
                fail();
            }
            break;
        default:
            break;
        }
        return token;
    }

    // Reads to the end of the document, for the XML to be checked whole.
    void finish() {
        while (next() != QXmlStreamReader::EndDocument) {
        }
    }

    // Skips the rest of the element just started.
    void skipElement() {
        const int depth = depth_;
        while (depth_ >= depth) {
            if (next() == QXmlStreamReader::EndDocument) {
                fail();
            }
        }
    }

    // The text of the element just started: all of it for a value, or for a
    // string (runs true) that of its <t> elements, plain or in rich text runs,
    // leaving out the phonetic guides (<rPh>) and the layout between elements.
    QString elementText(bool runs = false) {
        QString text;
        const int depth = depth_;
        bool inText = !runs;
        while (depth_ >= depth) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::Characters && inText) {
                text += xml_.text();
                if (text.size() > kLongestSheetCell) {
                    refuse(longCellReason());
                }
            } else if (token == QXmlStreamReader::StartElement && runs) {
                if (xml_.name() == u"rPh") {
                    skipElement();
                } else {
                    inText = xml_.name() == u"t";
                }
            } else if (token == QXmlStreamReader::EndElement && runs) {
                inText = false;
            } else if (token == QXmlStreamReader::EndDocument) {
                fail();
            }
        }
        return text;
    }

    QXmlStreamReader& xml() { return xml_; }
    bool at(QStringView element) const {
        return xml_.tokenType() == QXmlStreamReader::StartElement && xml_.name() == element;
    }
    QString attribute(const char* name) const {
        return xml_.attributes().value(QLatin1StringView(name)).toString();
    }

    [[noreturn]] void fail() {
        if (!device_.refusal().isEmpty()) {
            refuse(device_.refusal());
        }
        qCWarning(lcExchange).noquote() << "xlsx: XML no válido en" << name_ << "línea"
                                        << xml_.lineNumber() << xml_.errorString();
        refuse(QStringLiteral("el libro está dañado: %1 no es XML válido").arg(name_));
    }

private:
    QString name_;
    PartDevice device_;
    QXmlStreamReader xml_;
    int depth_ = 0;
};

class Workbook {
public:
    explicit Workbook(zip_t* zip) : zip_(zip) {}

    bool has(const QString& name) const {
        return zip_name_locate(zip_, name.toUtf8().constData(), 0) >= 0;
    }

    std::unique_ptr<XmlPart> open(const QString& name, qint64 cap) {
        const zip_int64_t index = zip_name_locate(zip_, name.toUtf8().constData(), 0);
        if (index < 0) {
            qCWarning(lcExchange).noquote() << "xlsx: falta la parte" << name;
            refuse(damagedReason());
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip_, zip_uint64_t(index), 0, &stat) != 0 ||
            (stat.valid & ZIP_STAT_SIZE) == 0) {
            qCWarning(lcExchange).noquote() << "xlsx: sin tamaño" << name << zipError(zip_);
            refuse(damagedReason());
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
            stat.encryption_method != ZIP_EM_NONE) {
            refuse(passwordProtectedReason());
        }
        if (stat.size > zip_uint64_t(cap)) {
            qCWarning(lcExchange).noquote()
                << "xlsx:" << name << "declara" << stat.size << "bytes descomprimida";
            refuse(QStringLiteral("una parte del libro ocupa más de %1 MB descomprimida; no "
                                  "parece un extracto bancario")
                       .arg(cap / (1024 * 1024)));
        }
        return std::make_unique<XmlPart>(zip_, zip_uint64_t(index), name, qint64(stat.size));
    }

private:
    zip_t* zip_;
};

// The relationships part beside a part: xl/workbook.xml → xl/_rels/workbook.xml.rels.
QString relationshipsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A relationship's target, relative to the folder of the part that names it
// unless it starts at the package's root.
QString resolveTarget(const QString& part, const QString& target) {
    if (target.startsWith(u'/')) {
        return QDir::cleanPath(target.mid(1));
    }
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString cleaned = QDir::cleanPath(part.left(slash + 1) + target);
    if (cleaned.startsWith(QStringLiteral("../")) || cleaned.startsWith(u'/')) {
        refuse(damagedReason());
    }
    return cleaned;
}

struct Relationship {
    QString type; // the last word of its type: "officeDocument", "worksheet"
    QString target;
};

// The relationships of part, by id, in the order written.
QList<std::pair<QString, Relationship>> readRelationships(Workbook& book, const QString& part) {
    QList<std::pair<QString, Relationship>> found;
    const QString name = relationshipsOf(part);
    if (!book.has(name)) {
        return found;
    }
    auto xml = book.open(name, kLargestIndexPart);
    while (xml->next() != QXmlStreamReader::EndDocument) {
        if (xml->at(u"Relationship")) {
            if (found.size() > 100'000) {
                refuse(damagedReason());
            }
            const QString type = xml->attribute("Type");
            found.append({xml->attribute("Id"),
                          {type.mid(type.lastIndexOf(u'/') + 1),
                           resolveTarget(part, xml->attribute("Target"))}});
        }
    }
    return found;
}

const Relationship* relationshipOf(const QList<std::pair<QString, Relationship>>& relationships,
                                   QStringView id) {
    for (const auto& [key, relationship] : relationships) {
        if (key == id) {
            return &relationship;
        }
    }
    return nullptr;
}

QString targetOfType(const QList<std::pair<QString, Relationship>>& relationships,
                     QStringView type) {
    for (const auto& [key, relationship] : relationships) {
        if (relationship.type == type) {
            return relationship.target;
        }
    }
    return {};
}

struct SheetPlace {
    QString sheet;         // the first sheet's part
    QString sharedStrings; // empty when the workbook has none
    bool date1904 = false;
};

bool xmlTrue(const QString& value) {
    return value == u"1" || value == u"true";
}

SheetPlace findFirstSheet(Workbook& book) {
    const QString workbookPart = [&] {
        const QString named = targetOfType(readRelationships(book, QString()), u"officeDocument");
        return named.isEmpty() ? QStringLiteral("xl/workbook.xml") : named;
    }();
    if (!book.has(workbookPart)) {
        qCWarning(lcExchange).noquote() << "xlsx: no hay" << workbookPart;
        refuse(QStringLiteral("no es un libro de Excel (.xlsx)"));
    }
    SheetPlace place;
    QStringList sheetIds;
    auto xml = book.open(workbookPart, kLargestIndexPart);
    while (xml->next() != QXmlStreamReader::EndDocument) {
        if (xml->at(u"workbookPr")) {
            place.date1904 = xmlTrue(xml->attribute("date1904"));
        } else if (xml->at(u"sheet")) {
            // The relationship id is in the relationships namespace, whose URI
            // differs between the transitional and the strict forms.
            QString id;
            for (const QXmlStreamAttribute& attribute : xml->xml().attributes()) {
                if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty()) {
                    id = attribute.value().toString();
                }
            }
            if (id.isEmpty()) {
                refuse(damagedReason());
            }
            sheetIds.append(id);
        }
    }
    const auto relationships = readRelationships(book, workbookPart);
    place.sharedStrings = targetOfType(relationships, u"sharedStrings");
    // A chart may be a sheet of its own, even the first: the movements are on
    // the first worksheet.
    for (const QString& id : sheetIds) {
        const Relationship* relationship = relationshipOf(relationships, id);
        if (relationship == nullptr) {
            qCWarning(lcExchange).noquote() << "xlsx: la hoja" << id << "no está";
            refuse(damagedReason());
        }
        if (relationship->type == u"worksheet") {
            place.sheet = relationship->target;
            break;
        }
    }
    if (place.sheet.isEmpty()) {
        refuse(noSheetReason());
    }
    if (!book.has(place.sheet)) {
        qCWarning(lcExchange).noquote() << "xlsx: falta la hoja" << place.sheet;
        refuse(damagedReason());
    }
    return place;
}

QList<QString> readSharedStrings(Workbook& book, const QString& part) {
    QList<QString> strings;
    if (part.isEmpty() || !book.has(part)) {
        return strings;
    }
    qint64 cost = 0;
    auto xml = book.open(part, kLargestPart);
    while (xml->next() != QXmlStreamReader::EndDocument) {
        if (xml->at(u"si")) {
            strings.append(xml->elementText(true));
            cost += strings.last().size() + kSheetCellCost;
            if (cost > kMostSheetBytes) {
                refuse(tooMuchTextReason());
            }
        }
    }
    return strings;
}

// "C7" → 2 (the column, from 0); -1 when the reference is not one.
int columnOf(QStringView reference) {
    qint64 column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i] >= u'A' && reference[i] <= u'Z'; ++i) {
        column = column * 26 + (reference[i].unicode() - u'A' + 1);
        if (column > 16384) {
            return int(kMostSheetColumns) + 1;
        }
    }
    if (i == 0 || i == reference.size()) {
        return -1;
    }
    for (; i < reference.size(); ++i) {
        if (!reference[i].isDigit()) {
            return -1;
        }
    }
    return int(column - 1);
}

// A number as the sheet stores it, kept in its own C form; text that is not
// a finite number is kept as text.
SheetCell numberCell(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return {text, ok && std::isfinite(value)};
}

class SheetReader {
public:
    SheetReader(XmlPart& xml, const QList<QString>& strings) : xml_(xml), strings_(strings) {}

    void read(SheetTable& table) {
        while (xml_.next() != QXmlStreamReader::EndDocument) {
            if (xml_.at(u"sheetData")) {
                readRows(table);
            }
        }
    }

private:
    void readRows(SheetTable& table) {
        int lastLine = 0;
        for (;;) {
            const QXmlStreamReader::TokenType token = xml_.next();
            if (token == QXmlStreamReader::EndElement) {
                return; // </sheetData>
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (!xml_.at(u"row")) {
                xml_.skipElement();
                continue;
            }
            SheetRow row;
            row.line = lastLine + 1;
            const QString number = xml_.attribute("r");
            if (!number.isEmpty()) {
                bool ok = false;
                row.line = number.toInt(&ok);
                if (!ok || row.line <= lastLine || row.line > kLastSheetRow) {
                    qCWarning(lcExchange).noquote() << "xlsx: fila fuera de orden" << number;
                    refuse(damagedReason());
                }
            }
            lastLine = row.line;
            readCells(row);
            budget_.keep(table, std::move(row));
        }
    }

    void readCells(SheetRow& row) {
        int column = -1;
        for (;;) {
            const QXmlStreamReader::TokenType token = xml_.next();
            if (token == QXmlStreamReader::EndElement) {
                return; // </row>
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (!xml_.at(u"c")) {
                xml_.skipElement();
                continue;
            }
            const QString reference = xml_.attribute("r");
            column = reference.isEmpty() ? column + 1 : columnOf(reference);
            if (column < 0) {
                qCWarning(lcExchange).noquote() << "xlsx: referencia de celda" << reference;
                refuse(damagedReason());
            }
            SheetCell cell = readCell(xml_.attribute("t"));
            if (cell.text.isEmpty()) {
                continue;
            }
            if (column >= kMostSheetColumns) {
                refuse(tooManyColumnsReason());
            }
            while (row.cells.size() < column) {
                row.cells.append(SheetCell{});
            }
            if (row.cells.size() == column) {
                row.cells.append(std::move(cell));
            } else {
                row.cells[column] = std::move(cell);
            }
        }
    }

    // The cell just started, to its end: its stored value, never its formula.
    SheetCell readCell(const QString& type) {
        QString value;
        QString inlineText;
        bool hasInline = false;
        for (;;) {
            const QXmlStreamReader::TokenType token = xml_.next();
            if (token == QXmlStreamReader::EndElement) {
                break; // </c>
            }
            if (token != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml_.at(u"v")) {
                value = xml_.elementText();
            } else if (xml_.at(u"is")) {
                inlineText = xml_.elementText(true);
                hasInline = true;
            } else {
                xml_.skipElement(); // <f>, <extLst>
            }
        }
        if (type == u"s") {
            if (value.isEmpty()) {
                return {};
            }
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= strings_.size()) {
                qCWarning(lcExchange).noquote() << "xlsx: texto compartido" << value << "no existe";
                refuse(damagedReason());
            }
            return {strings_[index], false};
        }
        if (type == u"inlineStr") {
            return {hasInline ? inlineText : value, false};
        }
        if (type == u"str" || type == u"e") {
            return {value, false};
        }
        if (type == u"b") {
            if (value.isEmpty()) {
                return {};
            }
            return {value.trimmed() == u"0" ? QStringLiteral("FALSO") : QStringLiteral("VERDADERO"),
                    false};
        }
        if (type == u"d") {
            // An ISO 8601 date, written so only by the strict form; its day is
            // what a bank's movement needs.
            return {value.left(value.indexOf(u'T')), false};
        }
        return value.isEmpty() ? SheetCell{} : numberCell(value.trimmed());
    }

    XmlPart& xml_;
    const QList<QString>& strings_;
    SheetBudget budget_;
};

} // namespace

bool looksLikeXlsx(const QByteArray& start) {
    return start.startsWith(QByteArrayLiteral("PK\x03\x04"));
}

SheetTable readXlsx(QFile& file) {
    QByteArray start;
    if (file.seek(0)) {
        start = file.peek(8);
    }
    const int fd = ::dup(file.handle());
    if (fd < 0) {
        qCWarning(lcExchange) << "xlsx: dup falló";
        refuse(QStringLiteral("no se pudo leer el archivo"));
    }
    int error = 0;
    Archive zip(zip_fdopen(fd, 0, &error));
    if (!zip) {
        ::close(fd);
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, error);
        qCWarning(lcExchange).noquote() << "xlsx:" << zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        if (isEncryptedOfficeFile(file)) {
            refuse(passwordProtectedReason());
        }
        if (looksLikeXlsx(start)) {
            refuse(damagedReason());
        }
        refuse(QStringLiteral("no es un libro de Excel (.xlsx)"));
    }
    // A part written with a password cannot be read, and says so in the zip.
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip.get(), 0); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip.get(), zip_uint64_t(i), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
            stat.encryption_method != ZIP_EM_NONE) {
            refuse(passwordProtectedReason());
        }
    }
    Workbook book(zip.get());
    const SheetPlace place = findFirstSheet(book);
    const QList<QString> strings = readSharedStrings(book, place.sharedStrings);
    SheetTable table;
    table.date1904 = place.date1904;
    auto sheet = book.open(place.sheet, kLargestPart);
    SheetReader(*sheet, strings).read(table);
    return table;
}

} // namespace velmora
