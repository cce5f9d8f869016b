#include "exchange/TextEncoding.h"

#include <QIODevice>

#include <array>

namespace velmora {

namespace {

constexpr qsizetype kBlockSize = 64 * 1024;
const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// Windows-1252 where it differs from Latin-1; 0 for its five unused bytes.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// FF FE or FE FF, or text of Latin letters in UTF-16: a NUL in every other byte.
bool looksLikeUtf16(const QByteArray& start) {
    if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        return true;
    }
    const qsizetype pairs = std::min<qsizetype>(start.size(), 64) / 2;
    if (pairs < 2) {
        return false;
    }
    bool low = true;  // little endian: the second byte of each pair is 0
    bool high = true; // big endian: the first is
    for (qsizetype i = 0; i < pairs; ++i) {
        low = low && start[2 * i + 1] == 0 && start[2 * i] != 0;
        high = high && start[2 * i] == 0 && start[2 * i + 1] != 0;
    }
    return low || high;
}

} // namespace

void Utf8Check::take(unsigned char byte) {
    if (needed_ > 0) {
        if (byte >= lowest_ && byte <= highest_) {
            lowest_ = 0x80;
            highest_ = 0xBF;
            if (--needed_ == 0) {
                ++sequences_;
            }
            return;
        }
        // The sequence ends short; this byte may start the next one.
        ++invalid_;
        needed_ = 0;
        lowest_ = 0x80;
        highest_ = 0xBF;
    }
    if (byte < 0x80) {
        return;
    }
    // The lead byte says how many follow and, to refuse overlong forms,
    // surrogates and code points past U+10FFFF, the range of the first of them.
    if (byte >= 0xC2 && byte <= 0xDF) {
        needed_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        needed_ = 2;
        lowest_ = byte == 0xE0 ? 0xA0 : 0x80;
        highest_ = byte == 0xED ? 0x9F : 0xBF;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        needed_ = 3;
        lowest_ = byte == 0xF0 ? 0x90 : 0x80;
        highest_ = byte == 0xF4 ? 0x8F : 0xBF;
    } else {
        ++invalid_;
    }
}

void Utf8Check::feed(const char* bytes, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        take(static_cast<unsigned char>(bytes[i]));
    }
}

void Utf8Check::finish() {
    if (needed_ > 0) {
        ++invalid_;
        needed_ = 0;
        lowest_ = 0x80;
        highest_ = 0xBF;
    }
}

EncodingScan scanEncoding(QIODevice& in) {
    EncodingScan scan;
    const qint64 start = in.pos();
    QByteArray block(kBlockSize, Qt::Uninitialized);
    Utf8Check check;
    bool first = true;
    for (;;) {
        const qint64 read = in.read(block.data(), kBlockSize);
        if (read < 0) {
            scan.failed = true;
            break;
        }
        if (read == 0) {
            break;
        }
        qsizetype from = 0;
        if (first) {
            const QByteArray opening = block.left(qsizetype(read));
            if (looksLikeUtf16(opening)) {
                scan.encoding = TextEncoding::Utf16;
                break;
            }
            scan.byteOrderMark = opening.startsWith(kByteOrderMark);
            from = scan.byteOrderMark ? kByteOrderMark.size() : 0;
            first = false;
        }
        check.feed(block.constData() + from, qsizetype(read) - from);
    }
    check.finish();
    if (!in.seek(start)) {
        scan.failed = true;
    }
    if (scan.encoding == TextEncoding::Utf16) {
        return scan;
    }
    scan.invalidBytes = check.invalid() > 0;
    if (scan.invalidBytes && check.sequences() == 0 && !scan.byteOrderMark) {
        scan.encoding = TextEncoding::Windows1252;
        scan.invalidBytes = false;
    }
    return scan;
}

std::optional<QString> fromStrictUtf8(const QByteArray& bytes) {
    Utf8Check check;
    check.feed(bytes.constData(), bytes.size());
    check.finish();
    if (check.invalid() > 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

QString fromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        const char16_t high = code >= 0x80 && code < 0xA0 ? kWindows1252High[code - 0x80] : 0;
        text.append(high != 0 ? QChar(high) : QChar(code));
    }
    return text;
}

} // namespace velmora
