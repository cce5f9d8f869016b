#include "store/SpanishText.h"

#include <QChar>
#include <QCollator>
#include <QLocale>

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace velmora {

namespace {

char32_t foldCodePoint(char32_t c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    }
    return QChar::toLower(c);
}

// Reads the code point at s[i], folded, and moves i past it; a stray byte
// stands for itself.
char32_t nextFolded(const unsigned char* s, size_t n, size_t& i) {
    const unsigned char b = s[i];
    char32_t c = b;
    size_t len = 1;
    if (b >= 0xC0 && b < 0xE0 && i + 1 < n) {
        c = ((b & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
        len = 2;
    } else if (b >= 0xE0 && b < 0xF0 && i + 2 < n) {
        c = ((b & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
        len = 3;
    } else if (b >= 0xF0 && i + 3 < n) {
        c = ((b & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) |
            (s[i + 3] & 0x3Fu);
        len = 4;
    }
    i += len;
    return foldCodePoint(c);
}

const unsigned char* bytesOf(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

void foldUtf8(std::string_view text, std::u32string& out) {
    out.clear();
    size_t i = 0;
    while (i < text.size()) {
        out.push_back(nextFolded(bytesOf(text), text.size(), i));
    }
}

// Compares as it decodes, so most rows are told apart at their first letter.
bool sameFoldedUtf8(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (nextFolded(bytesOf(a), a.size(), i) != nextFolded(bytesOf(b), b.size(), j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

bool wildcardMatch(const std::u32string& p, const std::u32string& v) {
    size_t pi = 0;
    size_t vi = 0;
    size_t starP = std::u32string::npos;
    size_t starV = 0;
    while (vi < v.size()) {
        // "%" is looked at first: it is a wildcard even where the text holds a "%".
        if (pi < p.size() && p[pi] == U'%') {
            starP = pi++;
            starV = vi;
        } else if (pi < p.size() && (p[pi] == U'_' || p[pi] == v[vi])) {
            ++pi;
            ++vi;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            vi = ++starV;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'%') {
        ++pi;
    }
    return pi == p.size();
}

// "%%" (an empty filter) matches every text without looking at it; an empty
// pattern matches only the empty text, so it is not a shortcut.
bool onlyPercents(const std::u32string& p) {
    return !p.empty() && p.find_first_not_of(U'%') == std::u32string::npos;
}

std::string_view textArg(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) {
        return {};
    }
    return {text, static_cast<size_t>(sqlite3_value_bytes(value))};
}

void casefoldFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString folded = foldCase(QString::fromUtf8(textArg(argv[0])));
    const QByteArray bytes = folded.toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// sametext(a, b): a = b without regard to letter case, cheaply enough to run on
// every row of a year.
void sametextFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, sameFoldedUtf8(textArg(argv[0]), textArg(argv[1])) ? 1 : 0);
}

// like(pattern, value): the pattern is folded once per statement and kept as
// auxiliary data, since the list query runs it over every row.
void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* cached = static_cast<std::u32string*>(sqlite3_get_auxdata(ctx, 0));
    std::u32string* pattern = cached;
    if (pattern == nullptr) {
        pattern = new std::u32string;
        foldUtf8(textArg(argv[0]), *pattern);
    }
    bool matches = true;
    if (!onlyPercents(*pattern)) {
        thread_local std::u32string value;
        foldUtf8(textArg(argv[1]), value);
        matches = wildcardMatch(*pattern, value);
    }
    sqlite3_result_int(ctx, matches ? 1 : 0);
    if (cached == nullptr) {
        // SQLite may free it at once; it is not used after this call.
        sqlite3_set_auxdata(ctx, 0, pattern,
                            [](void* p) { delete static_cast<std::u32string*>(p); });
    }
}

} // namespace

QString foldCase(const QString& text) {
    std::u32string codes = text.toStdU32String();
    for (char32_t& c : codes) {
        c = foldCodePoint(c);
    }
    return QString::fromStdU32String(codes);
}

QString foldAccents(const QString& text) {
    const QString folded = foldCase(text).normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(folded.size());
    for (const QChar c : folded) {
        if (c.category() != QChar::Mark_NonSpacing) {
            plain.append(c);
        }
    }
    return plain;
}

bool sameText(const QString& a, const QString& b) {
    return foldCase(a) == foldCase(b);
}

bool spanishLess(const QString& a, const QString& b) {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

bool likeMatches(const QString& pattern, const QString& value) {
    std::u32string p;
    std::u32string v;
    const QByteArray pBytes = pattern.toUtf8();
    const QByteArray vBytes = value.toUtf8();
    foldUtf8({pBytes.constData(), static_cast<size_t>(pBytes.size())}, p);
    foldUtf8({vBytes.constData(), static_cast<size_t>(vBytes.size())}, v);
    return wildcardMatch(p, v);
}

void registerSpanishTextFunctions(sqlite3* db) {
    // Ours to call, never a file's: a schema from elsewhere cannot use them.
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    sqlite3_create_function_v2(db, "casefold", 1, flags, nullptr, casefoldFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "sametext", 2, flags, nullptr, sametextFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr,
                               nullptr);
}

} // namespace velmora
