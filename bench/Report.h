#pragma once

// The benchmark's figures in the order they were added, printed as a table for a
// reader and as one JSON line for scripts. New figures are one add() call away.

#include <QString>

#include <optional>
#include <vector>

namespace velmora::bench {

struct Target {
    enum class Kind { AtMost, Below };
    Kind kind;
    double limit;

    bool met(double value) const { return kind == Kind::AtMost ? value <= limit : value < limit; }
    QString text() const;
};

struct Figure {
    QString key;
    double value;
    int decimals;
    std::optional<Target> target;
};

class Report {
public:
    void add(const QString& key, double value, int decimals = 2,
             std::optional<Target> target = std::nullopt);

    const std::vector<Figure>& figures() const { return figures_; }

    // figure | value | target | ok/NO
    QString table() const;
    // {"entries":100000,"raw_ms":12.34,...}, keys in the order they were added.
    QString jsonLine() const;

private:
    std::vector<Figure> figures_;
};

} // namespace velmora::bench
