#include "store/PathText.h"

#include <QDir>

namespace velmora {

QString pathForMessage(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() <= kPathTextMaxLength) {
        return native;
    }
    // The start says where it is, the end which file; both matter more than the middle.
    qsizetype head = kPathTextMaxLength / 3;
    qsizetype tail = kPathTextMaxLength - head - 1;
    // Never half a character made of two UTF-16 units.
    if (native.at(head - 1).isHighSurrogate()) {
        --head;
    }
    if (native.at(native.size() - tail).isLowSurrogate()) {
        --tail;
    }
    return native.left(head) + QChar(0x2026) + native.right(tail);
}

} // namespace velmora
