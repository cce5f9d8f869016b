#include "store/TextPool.h"

namespace velmora {

using texthash::hashOf;

TextPool::TextPool() : ends_{0} {}

std::string_view TextPool::bytes(quint32 index) const {
    const quint32 start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_).substr(start, ends_[index] - start);
}

QString TextPool::text(quint32 index) const {
    const std::string_view utf8 = bytes(index);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

quint32 TextPool::add(std::string_view utf8) {
    texthash::makeRoom(slots_, ends_.size(),
                       [this](quint32 index) { return hashOf(bytes(index)); });
    quint32& slot = texthash::slotFor(slots_, hashOf(utf8), [&](quint32 index) {
        return texthash::sameBytes(bytes(index), utf8);
    });
    if (slot == 0) {
        bytes_.append(utf8);
        ends_.push_back(static_cast<quint32>(bytes_.size()));
        slot = static_cast<quint32>(ends_.size());
    }
    return slot - 1;
}

void TextPool::reserveLike(const TextPool& like) {
    bytes_.reserve(like.bytes_.size());
    ends_.reserve(like.ends_.size());
}

} // namespace velmora
