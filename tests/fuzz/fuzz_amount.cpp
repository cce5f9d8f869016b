// The amount field's parsing: any text either is refused or is an amount that shows
// and reads back as the same cents; with at most two decimals, those cents are
// exactly what was typed.

#include "FuzzCheck.h"

#include "store/Amount.h"

namespace {

// Worked out on the digits, never through a double.
std::optional<qint64> typedCents(const QString& accepted) {
    QString text = accepted.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+'))) {
        text.remove(0, 1);
    }
    text.remove(QLatin1Char('.'));
    // The last comma is the decimal one; any before it group thousands.
    const qsizetype decimalComma = text.lastIndexOf(QLatin1Char(','));
    QString decimals = decimalComma >= 0 ? text.mid(decimalComma + 1) : QString();
    const QString whole =
        decimalComma >= 0 ? text.left(decimalComma).remove(QLatin1Char(',')) : text;
    if (decimals.size() > 2) {
        return std::nullopt;
    }
    decimals = decimals.leftJustified(2, QLatin1Char('0'));
    const qint64 cents = whole.toLongLong() * 100 + decimals.toLongLong();
    return negative ? -cents : cents;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const QString text = fuzz::textOf(data, size);
    const std::optional<double> value = parseAmount(text);
    if (!value) {
        return 0;
    }
    const std::optional<qint64> cents = amountCents(*value);
    FUZZ_CHECK(cents);
    const std::optional<double> again = parseAmount(formatCents(*cents));
    FUZZ_CHECK(again && amountCents(*again) == cents);
    if (const std::optional<qint64> typed = typedCents(text)) {
        FUZZ_CHECK(*typed == *cents);
    }
    return 0;
}
