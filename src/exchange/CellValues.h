#pragma once

// The cells of a bank's movements file as dates and amounts, however the bank
// wrote them: "12/03/2026", "12-03-26", "2026-03-12" or a spreadsheet's date
// serial; "-1.234,56", "1.234,56 €", "(12,00)", "1,234.56" or a spreadsheet's
// number. Nothing is guessed where a text could mean two things: "1.234" is
// read with the decimal mark the rest of its column shows.

#include "exchange/SheetTable.h"

#include <QDate>
#include <QString>

#include <optional>
#include <variant>

namespace velmora {

// Whole cents from the digits themselves, rounded half away from zero as every
// amount in the program is; nothing beyond qint64's reach.
std::optional<qint64> centsOfDigits(bool negative, QString whole, const QString& fraction);

enum class DecimalMark { Comma, Point };

// Tells a column's decimal mark from the texts that show it plainly: both marks
// ("1.234,56"), one mark with one or two digits after it ("12,5"), or one mark
// more than once ("1.234.567"). A comma, the Spanish mark, when none does.
class DecimalMarkVote {
public:
    void see(const SheetCell& cell);
    DecimalMark mark() const { return point_ > comma_ ? DecimalMark::Point : DecimalMark::Comma; }

private:
    int comma_ = 0;
    int point_ = 0;
};

// The amount in cents, credits positive, or the reason why there is none, in
// Spanish, to follow "Línea N: ". An empty cell is a reason too.
std::variant<qint64, QString> readBankAmount(const SheetCell& cell, DecimalMark mark);

// The date, or the reason why there is none. A time after the date is left out.
std::variant<QDate, QString> readBankDate(const SheetCell& cell, bool date1904);

} // namespace velmora
