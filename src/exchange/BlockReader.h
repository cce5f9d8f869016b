#pragma once

// A file read a block at a time, so that one of any size passes through the same
// small buffer: byte by byte for the CSV reader, line by line for the bank
// statement reader. A line ends at LF, CR LF or a CR alone, as files from old
// Macs and some banks end them.

#include <QByteArray>

class QIODevice;

namespace velmora {

class BlockReader {
public:
    explicit BlockReader(QIODevice& in);

    // The next byte, or -1 at the end of the device.
    int get() { return pos_ < size_ || fill() ? static_cast<unsigned char>(block_[pos_++]) : -1; }
    int peek() { return pos_ < size_ || fill() ? static_cast<unsigned char>(block_[pos_]) : -1; }
    // Takes a line end that starts with c, already taken: the LF after a CR.
    void finishLineEnd(int c);

    // The next line without its end. Only its first `keep` bytes are kept in
    // `line`; `length` counts them all. False at the end of the device.
    bool nextLine(QByteArray& line, qint64& length, qsizetype keep);

    // Reading stopped before the end: the device failed.
    bool failed() const { return failed_; }

private:
    bool fill();

    QIODevice& in_;
    QByteArray block_;
    qsizetype pos_ = 0;
    qsizetype size_ = 0;
    bool failed_ = false;
};

} // namespace velmora
