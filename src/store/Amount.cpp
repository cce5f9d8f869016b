#include "store/Amount.h"

#include "store/Sqlite.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace velmora {

namespace {

bool withinRange(qint64 cents) {
    return cents >= -kMaxAmountCents && cents <= kMaxAmountCents;
}

std::optional<qint64> centsOfValue(sqlite3_value* value) {
    return amountCents(storedNumber(value));
}

void amountcentsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (const std::optional<qint64> cents = centsOfValue(argv[0])) {
        sqlite3_result_int64(ctx, *cents);
    } else {
        sqlite3_result_null(ctx);
    }
}

void centstotalStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    // SQLite hands over zeroed memory, which is an empty total.
    auto* total = static_cast<AmountTotal*>(sqlite3_aggregate_context(ctx, sizeof(AmountTotal)));
    if (total == nullptr) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    total->addCents(centsOfValue(argv[0]));
}

void centstotalFinal(sqlite3_context* ctx) {
    auto* total = static_cast<AmountTotal*>(sqlite3_aggregate_context(ctx, 0));
    if (total == nullptr) {
        sqlite3_result_int64(ctx, 0); // no rows
        return;
    }
    if (const std::optional<qint64> cents = total->cents()) {
        sqlite3_result_int64(ctx, *cents);
    } else {
        sqlite3_result_null(ctx);
    }
}

} // namespace

std::optional<qint64> amountCents(double value) {
    // Checked before scaling, so that no huge value reaches llround.
    if (!std::isfinite(value) || std::fabs(value) > 1e13) {
        return std::nullopt;
    }
    const qint64 cents = std::llround(value * 100.0);
    if (!withinRange(cents)) {
        return std::nullopt;
    }
    return cents;
}

namespace {

// The digits of magnitude with a "." between each group of three.
QString groupedDigits(quint64 magnitude) {
    const QString whole = QString::number(magnitude);
    QString text;
    text.reserve(whole.size() + whole.size() / 3 + 4);
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text.append(QLatin1Char('.'));
        }
        text.append(whole.at(i));
    }
    return text;
}

quint64 magnitudeOf(qint64 value) {
    // Unsigned, so that the lowest value has a magnitude too.
    return value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
}

} // namespace

QString formatCents(qint64 cents) {
    const quint64 magnitude = magnitudeOf(cents);
    const quint64 hundredths = magnitude % 100;
    QString text = groupedDigits(magnitude / 100);
    if (cents < 0) {
        text.prepend(QLatin1Char('-'));
    }
    text.append(QLatin1Char(','));
    text.append(QLatin1Char(static_cast<char>('0' + hundredths / 10)));
    text.append(QLatin1Char(static_cast<char>('0' + hundredths % 10)));
    return text;
}

QString formatCount(qint64 count) {
    const QString digits = groupedDigits(magnitudeOf(count));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatAmount(double value) {
    const std::optional<qint64> cents = amountCents(value);
    return cents ? formatCents(*cents) : kUnreadableAmount;
}

std::optional<double> parseAmount(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^[-+]?(\\d{1,3}(\\.\\d{3})+|\\d*)(,\\d*)?$"));
    // The "." key types the decimal comma, so "1.850,00" typed the Spanish way
    // arrives as "1,850,00". Only whole groups and one or two decimals: "1.850.000"
    // typed must be refused, never read as 1.850,00.
    static const QRegularExpression commaGrouped(
        QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+,\\d{1,2}$"));
    static const QRegularExpression digit(QStringLiteral("\\d"));
    QString plain = text.trimmed();
    if (commaGrouped.match(plain).hasMatch()) {
        const qsizetype decimalComma = plain.lastIndexOf(QLatin1Char(','));
        plain = plain.left(decimalComma).remove(QLatin1Char(',')) + plain.mid(decimalComma);
    } else if (shape.match(plain).hasMatch() && plain.contains(digit)) {
        plain.remove(QLatin1Char('.'));
    } else {
        return std::nullopt;
    }
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !amountCents(value)) {
        return std::nullopt;
    }
    return value;
}

void registerAmountFunctions(sqlite3* db) {
    // Ours to call, never a file's: a schema from elsewhere cannot use them.
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    sqlite3_create_function_v2(db, "amountcents", 1, flags, nullptr, amountcentsFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "centstotal", 1, flags, nullptr, nullptr, centstotalStep,
                               centstotalFinal, nullptr);
}

AmountTotal AmountTotal::ofCents(qint64 cents) {
    AmountTotal total;
    total.addCents(cents);
    return total;
}

void AmountTotal::addCents(std::optional<qint64> cents) {
    if (!cents || unreadable_ || __builtin_add_overflow(cents_, *cents, &cents_)) {
        unreadable_ = true;
    }
}

void AmountTotal::add(double amount) {
    addCents(amountCents(amount));
}

void AmountTotal::add(const AmountTotal& other) {
    addCents(other.cents());
}

AmountTotal AmountTotal::minus(const AmountTotal& other) const {
    AmountTotal result = *this;
    const std::optional<qint64> subtrahend = other.cents();
    if (!subtrahend || *subtrahend == std::numeric_limits<qint64>::min()) {
        result.unreadable_ = true;
        return result;
    }
    result.addCents(-*subtrahend);
    return result;
}

AmountTotal AmountTotal::dividedBy(int divisor) const {
    AmountTotal result = *this;
    if (!unreadable_) {
        result.cents_ = std::llround(static_cast<double>(cents_) / divisor);
    }
    return result;
}

std::optional<qint64> AmountTotal::cents() const {
    if (unreadable_) {
        return std::nullopt;
    }
    return cents_;
}

QString AmountTotal::text() const {
    if (unreadable_ || cents_ == std::numeric_limits<qint64>::min()) {
        return kUnreadableAmount;
    }
    return formatCents(cents_);
}

} // namespace velmora
