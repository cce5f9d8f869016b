#include "exchange/HouseRules.h"

#include "state/Logging.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "store/PathText.h"
#include "store/SpanishText.h"

#include <QFile>

namespace velmora {

namespace {

// What the file holds; what one person's rules could need many times over.
constexpr qint64 kRulesFileLimit = kSmallFileLimit;

const QByteArray kHeader = QByteArrayLiteral(
    "# Reglas de importación de Velmora, en el orden en que se prueban: vale la\n"
    "# primera cuyo texto está en el concepto del banco. Una por línea: el texto,\n"
    "# un tabulador y la cuenta. \\t es un tabulador, \\n un salto de línea, \\\\\n"
    "# una barra invertida y \\# un # al principio del texto.\n");

// A text starting with "#" would read as a comment: its "#" goes as "\#".
QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    if (text.startsWith(QLatin1Char('#'))) {
        out += QLatin1Char('\\');
    }
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A backslash before any other letter is kept as typed: someone editing the file
// by hand meant it.
QString unescaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        switch (text[i + 1].unicode()) {
        case '\\':
        case '#':
            out += text[i + 1];
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

// "la línea 3", "las líneas 3, 7 y 9", the first ten at most.
QString linesText(const QList<int>& lines) {
    QStringList numbers;
    for (qsizetype i = 0; i < lines.size() && i < 10; ++i) {
        numbers.append(QString::number(lines[i]));
    }
    if (lines.size() > 10) {
        numbers.append(QStringLiteral("…"));
    }
    if (numbers.size() == 1) {
        return QStringLiteral("la línea ") + numbers.first();
    }
    const QString last = numbers.takeLast();
    return QStringLiteral("las líneas %1 y %2").arg(numbers.join(QStringLiteral(", ")), last);
}

} // namespace

QString describeRule(const HouseRule& rule) {
    return QStringLiteral("concepto contiene «%1» → %2").arg(rule.contains, rule.account);
}

QString HouseRules::folded(const QString& text) {
    return foldAccents(text).simplified();
}

std::optional<qsizetype> HouseRules::match(const QString& description) const {
    if (rules.isEmpty()) {
        return std::nullopt;
    }
    if (foldedFrom_.constData() != rules.constData() || foldedFrom_.size() != rules.size()) {
        foldedFrom_ = rules;
        foldedTexts_.clear();
        foldedTexts_.reserve(rules.size());
        for (const HouseRule& rule : rules) {
            foldedTexts_.append(folded(rule.contains));
        }
    }
    const QString text = folded(description);
    for (qsizetype i = 0; i < foldedTexts_.size(); ++i) {
        if (!foldedTexts_[i].isEmpty() && text.contains(foldedTexts_[i])) {
            return i;
        }
    }
    return std::nullopt;
}

QString houseRulesPath(const QString& dataRoot) {
    return dataRoot + QLatin1Char('/') + kHouseRulesFile;
}

HouseRulesRead readHouseRules(const QString& dataRoot) {
    HouseRulesRead read;
    const QString path = houseRulesPath(dataRoot);
    if (nothingAt(path)) {
        return read;
    }
    QFile file;
    if (const auto refusal = openRegularFile(path, kRulesFileLimit, file)) {
        qCWarning(lcExchange).noquote() << "reglas no leídas:" << *refusal;
        read.problem = QStringLiteral("No se pueden leer las reglas de importación: ") + *refusal;
        read.writable = false;
        return read;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.first().startsWith("\xEF\xBB\xBF")) {
        lines.first().remove(0, 3);
    }
    QList<int> damaged;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray bytes = lines[i];
        if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        if (bytes.trimmed().isEmpty() || bytes.trimmed().startsWith('#')) {
            continue;
        }
        const QString line = decodeTextLine(bytes);
        const QStringList fields = line.split(QLatin1Char('\t'));
        HouseRule rule;
        if (fields.size() == 2) {
            rule = {unescaped(fields[0]).trimmed(), unescaped(fields[1]).trimmed()};
        }
        if (rule.contains.isEmpty() || rule.account.isEmpty()) {
            damaged.append(int(i + 1));
            continue;
        }
        read.rules.rules.append(rule);
    }
    if (!damaged.isEmpty()) {
        read.problem = QStringLiteral("En %1, %2 %3 (el texto, un tabulador y la cuenta); se han "
                                      "leído las demás")
                           .arg(pathForMessage(path), linesText(damaged),
                                damaged.size() == 1 ? QStringLiteral("no es una regla")
                                                    : QStringLiteral("no son reglas"));
    }
    return read;
}

void writeHouseRules(const QString& dataRoot, const HouseRules& rules) {
    const QString path = houseRulesPath(dataRoot);
    QByteArray content = kHeader;
    for (const HouseRule& rule : rules.rules) {
        // Such a rule could never apply, and would read back as a damaged line.
        if (rule.contains.trimmed().isEmpty() || rule.account.trimmed().isEmpty()) {
            continue;
        }
        content += (escaped(rule.contains.trimmed()) + QLatin1Char('\t') +
                    escaped(rule.account.trimmed()) + QLatin1Char('\n'))
                       .toUtf8();
    }
    // Written, it must read back, or the next start would find no rules at all.
    if (content.size() > kRulesFileLimit) {
        throw SettingsError(
            QStringLiteral("No se puede escribir %1: las reglas pasarían de %2, más de lo que se "
                           "puede leer")
                .arg(pathForMessage(path), sizeLimitText(kRulesFileLimit)));
    }
    replaceWholeFile(path, content, lcExchange());
}

} // namespace velmora
