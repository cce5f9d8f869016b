#include "exchange/BlockReader.h"

#include <QIODevice>

namespace velmora {

namespace {

constexpr qsizetype kBlockSize = 64 * 1024;

} // namespace

BlockReader::BlockReader(QIODevice& in) : in_(in), block_(kBlockSize, Qt::Uninitialized) {}

bool BlockReader::fill() {
    if (failed_) {
        return false;
    }
    const qint64 read = in_.read(block_.data(), kBlockSize);
    if (read < 0) {
        failed_ = true;
    }
    pos_ = 0;
    size_ = read > 0 ? qsizetype(read) : 0;
    return size_ > 0;
}

void BlockReader::finishLineEnd(int c) {
    if (c == '\r' && peek() == '\n') {
        ++pos_;
    }
}

bool BlockReader::nextLine(QByteArray& line, qint64& length, qsizetype keep) {
    line.clear();
    length = 0;
    int c = get();
    if (c < 0) {
        return false;
    }
    while (c >= 0 && c != '\n' && c != '\r') {
        if (length++ < keep) {
            line.append(char(c));
        }
        c = get();
    }
    finishLineEnd(c);
    return true;
}

} // namespace velmora
