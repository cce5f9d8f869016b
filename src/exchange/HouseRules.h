#pragma once

// The household's own rules for bank movements: "concepto contiene «IBERDROLA» →
// Luz". They are tried before the accounts learned from past entries, in the
// order the user put them, and kept in one file in the data root, since they
// outlast the years.
//
// The file, reglas.txt, is UTF-8 text a person can read and edit: one rule per
// line, the text, a tab and the account; lines starting with "#" and empty lines
// are comments. In the text and the account "\t", "\n", "\r" and "\\" stand for a
// tab, a line break, a carriage return and a backslash, and "\#" for a "#" that
// starts a text, so that no text the user types can break the line.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

struct HouseRule {
    QString contains; // the text the bank's concept must contain
    QString account;  // the account on the other side of the movement
};

// "concepto contiene «IBERDROLA» → Luz"
QString describeRule(const HouseRule& rule);

class HouseRules {
public:
    QList<HouseRule> rules; // in the order they are tried

    // The first rule whose text the description contains, ignoring letter case,
    // accents and runs of spaces; nothing when none does. A rule whose text is
    // nothing once folded matches nothing. The folded texts are kept until the
    // rules change; like any container, not for two threads at once.
    std::optional<qsizetype> match(const QString& description) const;

    // The text as match() compares it: folded, spaces run together, trimmed.
    static QString folded(const QString& text);

private:
    // A copy shares the list's storage until either changes, so a change to
    // `rules` shows as a different storage and the texts are folded again.
    mutable QList<HouseRule> foldedFrom_;
    mutable QStringList foldedTexts_;
};

// The rules file in the data root.
QString houseRulesPath(const QString& dataRoot);

// The rules kept in the data root. A missing file is no rules; a damaged one is
// read as far as it goes and `problem` says what was wrong, in Spanish, naming
// the file.
struct HouseRulesRead {
    HouseRules rules;
    QString problem;
    // False when something is there that could not be read at all (a folder, a
    // pipe, a file too large): writing would replace rules nobody has seen.
    bool writable = true;
};
HouseRulesRead readHouseRules(const QString& dataRoot);

// Writes them whole, atomically (a crash mid-write leaves the old file or the new
// one, never half of one). Throws SettingsError with a Spanish message when it
// cannot, or when the file would be too large to read back.
void writeHouseRules(const QString& dataRoot, const HouseRules& rules);

} // namespace velmora
