#include "exchange/TextBlock.h"

namespace velmora {

qsizetype TextBlock::append(QStringView text) {
    bytes_ += text.toUtf8();
    ends_.push_back(bytes_.size());
    return size() - 1;
}

QString TextBlock::at(qsizetype index) const {
    const qsizetype start = index == 0 ? 0 : ends_[size_t(index - 1)];
    return QString::fromUtf8(bytes_.constData() + start, ends_[size_t(index)] - start);
}

} // namespace velmora
