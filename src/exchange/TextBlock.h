#pragma once

// Texts kept one after another in one block of UTF-8, each found by its number:
// a million short texts cost their bytes and eight more each, where a QString
// each would cost an allocation and twice the bytes.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace velmora {

class TextBlock {
public:
    // Appends text and gives its number, counted from 0.
    qsizetype append(QStringView text);
    QString at(qsizetype index) const;
    qsizetype size() const { return qsizetype(ends_.size()); }

private:
    QByteArray bytes_;
    std::vector<qsizetype> ends_; // text i ends where text i + 1 starts
};

} // namespace velmora
