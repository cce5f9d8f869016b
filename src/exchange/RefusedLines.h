#pragma once

// The lines of a file that could not be taken, each with the reason in Spanish.
// A file of a million bad lines must not cost a million reasons: the first
// kKept are kept to show, the others only counted.

#include <QList>
#include <QString>

namespace velmora {

struct RefusedLine {
    int line = 0;
    QString reason; // reads after "Línea N: ", e.g. "tiene 4 campos y se esperaban 5"
};

class RefusedLines {
public:
    static constexpr qsizetype kKept = 1000;

    // Lines come in file order.
    void add(int line, const QString& reason);

    // Every line refused, kept or not.
    qsizetype count() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    // The first lines refused, in file order; count() - kept().size() more were not kept.
    const QList<RefusedLine>& kept() const { return kept_; }

    // The lines of both in file order, as far as both kept them.
    static RefusedLines merged(const RefusedLines& a, const RefusedLines& b);

private:
    QList<RefusedLine> kept_;
    qsizetype count_ = 0;
};

} // namespace velmora
