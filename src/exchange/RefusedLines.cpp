#include "exchange/RefusedLines.h"

#include <algorithm>
#include <limits>

namespace velmora {

void RefusedLines::add(int line, const QString& reason) {
    ++count_;
    if (kept_.size() < kKept) {
        kept_.append({line, reason});
    }
}

RefusedLines RefusedLines::merged(const RefusedLines& a, const RefusedLines& b) {
    // Past the last line a list kept, lines of it are missing: what follows there
    // would not be the first lines refused.
    int last = std::numeric_limits<int>::max();
    for (const RefusedLines* lines : {&a, &b}) {
        if (lines->count_ > lines->kept_.size()) {
            last = std::min(last, lines->kept_.last().line);
        }
    }
    QList<RefusedLine> all = a.kept_ + b.kept_;
    std::stable_sort(all.begin(), all.end(),
                     [](const RefusedLine& x, const RefusedLine& y) { return x.line < y.line; });
    RefusedLines result;
    for (const RefusedLine& line : all) {
        if (line.line <= last && result.kept_.size() < kKept) {
            result.kept_.append(line);
        }
    }
    result.count_ = a.count_ + b.count_;
    return result;
}

} // namespace velmora
