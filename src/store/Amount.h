#pragma once

// Amounts of money as the user reads and types them (Spanish: "1.234,56"), and
// the one rounding that every figure and every total uses: whole cents, half
// away from zero. Totals add whole cents, so they always agree with the figures
// shown above them and never drift over a hundred thousand entries.
//
// A file written by another program may hold an amount that is no number at all
// (text, a Null, infinity) or one beyond what the program handles. Such an
// amount is never shown as a number and never counted as 0: it shows as
// kUnreadableAmount, and so does every total it should have entered.

#include <QString>

#include <optional>

struct sqlite3;

namespace velmora {

// 999.999.999.999,99 either way.
inline constexpr qint64 kMaxAmountCents = 99'999'999'999'999;
// Characters of the longest amount text, "-999.999.999.999,99": a field that
// takes less cuts off the end of an amount typed with its grouping marks.
inline constexpr int kAmountTextLength = 19;

inline const QString kUnreadableAmount = QStringLiteral("¡ERROR!");

// The amount in whole cents; nothing when it is not a finite number within
// ±999.999.999.999,99.
std::optional<qint64> amountCents(double value);

// Grouped thousands and two decimals: 120000 → "1.200,00", -45050 → "-450,50".
// Any number of cents but the lowest qint64; a total may pass one amount's range.
QString formatCents(qint64 cents);

// A count as the program writes numbers: 50000 → "50.000".
QString formatCount(qint64 count);

// formatCents of the amount, or kUnreadableAmount.
QString formatAmount(double value);

// An amount typed the Spanish way: "1.234,50", "1234,5", "-20", "0,99", and
// "1,234,50" as the "." key types it, where every comma but the last opens a
// group of three. Thousands groups must be whole; nothing for "abc", "1,2,3",
// "1.2.3,4", "1,234,567" (grouping commas and three decimals), an empty text, or
// an amount beyond ±999.999.999.999,99.
std::optional<double> parseAmount(const QString& text);

// A sum of amounts in whole cents. Once an unreadable amount or a sum too large
// to hold has entered it, it stays unreadable. All bits zero is an empty total,
// which lets the engine keep one as an aggregate's state.
class AmountTotal {
public:
    AmountTotal() = default;
    static AmountTotal ofCents(qint64 cents);

    void add(double amount);
    void add(const AmountTotal& other);
    // Nothing: an unreadable amount.
    void addCents(std::optional<qint64> cents);
    AmountTotal minus(const AmountTotal& other) const;
    // Rounded half away from zero; divisor above 0.
    AmountTotal dividedBy(int divisor) const;

    bool readable() const { return !unreadable_; }
    // Nothing when unreadable.
    std::optional<qint64> cents() const;
    QString text() const;

private:
    qint64 cents_ = 0;
    bool unreadable_ = false;
};

// Registers on this connection, so that sums made by the engine follow the same
// rule: amountcents(x), the cents of an amount or Null when it is unreadable, and
// the aggregate centstotal(x), the AmountTotal of its rows in cents, Null when
// unreadable, 0 over no rows.
void registerAmountFunctions(sqlite3* db);

} // namespace velmora
