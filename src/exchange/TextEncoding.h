#pragma once

// How the bytes of a text file are read as text, decided on the file as a whole:
// UTF-8 when it holds UTF-8 sequences (or starts with UTF-8's byte-order mark),
// Windows-1252, which Spanish spreadsheets save by default, when it holds bytes
// past ASCII and not one UTF-8 sequence. A UTF-8 file with a stray byte stays
// UTF-8, and the lines holding such bytes are the ones refused: read whole as
// Windows-1252 instead, every accent of it would have become two wrong letters
// without a word.

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace velmora {

enum class TextEncoding { Utf8, Windows1252, Utf16 };

struct EncodingScan {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false; // UTF-8's, EF BB BF, opens the file
    bool invalidBytes = false;  // in UTF-8: some bytes are no UTF-8 at all
    bool failed = false;        // the device could not be read to its end
};

// Reads the device to its end a block at a time and puts it back at its start;
// it must be a file or a buffer, not a pipe. UTF-16 is told by its byte-order
// mark or by NULs in every other byte of its first characters.
EncodingScan scanEncoding(QIODevice& in);

// Counts UTF-8 sequences and bytes that belong to none, fed in pieces of any size.
class Utf8Check {
public:
    void feed(const char* bytes, qsizetype size);
    // A sequence the end cut short is no UTF-8 either.
    void finish();
    qint64 sequences() const { return sequences_; } // of two bytes or more
    qint64 invalid() const { return invalid_; }

private:
    void take(unsigned char byte);

    int needed_ = 0; // continuation bytes still to come
    unsigned char lowest_ = 0x80;
    unsigned char highest_ = 0xBF;
    qint64 sequences_ = 0;
    qint64 invalid_ = 0;
};

// The text of bytes that are UTF-8 through and through; nothing otherwise.
std::optional<QString> fromStrictUtf8(const QByteArray& bytes);
QString fromWindows1252(const QByteArray& bytes);

} // namespace velmora
