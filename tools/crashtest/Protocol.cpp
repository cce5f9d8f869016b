#include "Protocol.h"

#include <array>
#include <utility>

namespace velmora::crashtest {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<std::pair<StepKind, const char*>, 13> kWords{{
    {StepKind::Insert, "insert"},
    {StepKind::Update, "update"},
    {StepKind::Delete, "delete"},
    {StepKind::Rename, "rename"},
    {StepKind::Compact, "compact"},
    {StepKind::Year, "year"},
    {StepKind::Copy, "copy"},
    {StepKind::Colour, "colour"},
    {StepKind::Backup, "backup"},
    {StepKind::Import, "import"},
    {StepKind::Opening, "opening"},
    {StepKind::Receipt, "receipt"},
    {StepKind::Budget, "budget"},
}};

QString wordOf(StepKind kind) {
    for (const auto& [k, word] : kWords) {
        if (k == kind) {
            return QString::fromLatin1(word);
        }
    }
    return {};
}

QString valuesText(const EntryValues& v) {
    return QStringList{v.date,       QString::number(v.cents), v.goesInto,
                       v.comesOutOf, v.movementClass,          v.description}
        .join(u' ');
}

std::optional<qint64> numberOf(const QString& word) {
    bool ok = false;
    const qint64 value = word.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

QString lineOf(const Step& step) {
    const QString word = wordOf(step.kind);
    switch (step.kind) {
    case StepKind::Insert:
    case StepKind::Update:
        return word + u' ' + QString::number(step.id) + u' ' + valuesText(step.values);
    case StepKind::Delete:
        return word + u' ' + QString::number(step.id);
    case StepKind::Rename:
        return word + u' ' + step.oldName + u' ' + step.newName;
    case StepKind::Compact:
        return word;
    case StepKind::Year:
        return word + u' ' + step.newName;
    case StepKind::Copy:
        // The path last: the copies' folder has spaces in its name.
        return word + u' ' + QString::number(step.id) + u' ' + step.newName;
    case StepKind::Import:
        return word + u' ' + QString::number(step.id) + u' ' + QString::number(step.number) + u' ' +
               step.newName;
    case StepKind::Backup:
        return word + u' ' + QString::number(step.id);
    case StepKind::Colour:
        return word + u' ' + QString::number(step.number);
    case StepKind::Opening:
        return word + u' ' + step.oldName + u' ' + QString::number(step.number);
    case StepKind::Receipt:
        return word + u' ' + QString::number(step.id) + u' ' + QString::number(step.number) + u' ' +
               step.oldName + u' ' + valuesText(step.values);
    case StepKind::Budget: {
        QString line = word + u' ' + step.oldName;
        for (qint64 cents : step.amounts) {
            line += u' ' + QString::number(cents);
        }
        return line;
    }
    }
    return word;
}

std::optional<Step> stepOf(const QString& line) {
    const QStringList words = line.split(u' ');
    Step step;
    bool known = false;
    for (const auto& [kind, word] : kWords) {
        if (words.first() == QLatin1String(word)) {
            step.kind = kind;
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    const auto number = [&](qsizetype at) {
        return words.size() > at ? numberOf(words[at]) : std::nullopt;
    };
    switch (step.kind) {
    case StepKind::Insert:
    case StepKind::Update: {
        const auto id = number(1);
        const auto cents = number(3);
        if (!id || !cents || words.size() != 8) {
            return std::nullopt;
        }
        step.id = *id;
        step.values = EntryValues{words[2], *cents, words[4], words[5], words[6], words[7]};
        return step;
    }
    case StepKind::Delete:
    case StepKind::Backup:
    case StepKind::Colour: {
        const auto value = number(1);
        if (!value || words.size() != 2) {
            return std::nullopt;
        }
        (step.kind == StepKind::Colour ? step.number : step.id) = *value;
        return step;
    }
    case StepKind::Rename:
        if (words.size() != 3) {
            return std::nullopt;
        }
        step.oldName = words[1];
        step.newName = words[2];
        return step;
    case StepKind::Compact:
        return words.size() == 1 ? std::optional<Step>(step) : std::nullopt;
    case StepKind::Year:
        if (words.size() != 2) {
            return std::nullopt;
        }
        step.newName = words[1];
        return step;
    case StepKind::Copy: {
        const auto entries = number(1);
        if (!entries) {
            return std::nullopt;
        }
        step.id = *entries;
        step.newName = words.mid(2).join(u' ');
        return step;
    }
    case StepKind::Import: {
        const auto rows = number(1);
        const auto first = number(2);
        if (!rows || !first || words.size() < 4) {
            return std::nullopt;
        }
        step.id = *rows;
        step.number = *first;
        step.newName = words.mid(3).join(u' ');
        return step;
    }
    case StepKind::Receipt: {
        const auto id = number(1);
        const auto receipt = number(2);
        const auto cents = number(5);
        if (!id || !receipt || !cents || words.size() != 10) {
            return std::nullopt;
        }
        step.id = *id;
        step.number = *receipt;
        step.oldName = words[3];
        step.values = EntryValues{words[4], *cents, words[6], words[7], words[8], words[9]};
        return step;
    }
    case StepKind::Opening: {
        const auto cents = number(2);
        if (!cents || words.size() != 3) {
            return std::nullopt;
        }
        step.oldName = words[1];
        step.number = *cents;
        return step;
    }
    case StepKind::Budget: {
        if (words.size() != 2 && words.size() != 3 && words.size() != 14) {
            return std::nullopt;
        }
        step.oldName = words[1];
        for (qsizetype at = 2; at < words.size(); ++at) {
            const auto cents = number(at);
            if (!cents) {
                return std::nullopt;
            }
            step.amounts.push_back(*cents);
        }
        return step;
    }
    }
    return std::nullopt;
}

ChildReport parseReport(const QByteArray& output) {
    ChildReport report;
    QList<QByteArray> lines = output.split('\n');
    // Whatever follows the last newline was cut short by the kill.
    lines.removeLast();
    for (const QByteArray& bytes : lines) {
        const QString line = QString::fromUtf8(bytes);
        if (line == u"ready"_s) {
            report.ready = true;
            continue;
        }
        const bool intent = line.startsWith(u"intent "_s);
        const std::optional<Step> step = stepOf(intent ? line.mid(7) : line);
        if (!step) {
            ++report.unreadable;
        } else if (intent) {
            report.inFlight = step;
        } else {
            report.committed.push_back(*step);
            report.inFlight.reset();
        }
    }
    return report;
}

} // namespace velmora::crashtest
