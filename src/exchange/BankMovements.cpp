#include "exchange/BankMovements.h"

#include "exchange/CellValues.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {

namespace {

const SheetCell kEmpty;

const SheetCell& cellAt(const SheetRow& row, qsizetype column) {
    return column >= 0 && column < row.cells.size() ? row.cells.at(column) : kEmpty;
}

bool isEmpty(const SheetCell& cell) {
    return cell.text.trimmed().isEmpty();
}

// The decimal mark of every amount column, told by all of their cells together:
// a bank writes them all alike.
DecimalMark decimalMarkOf(const SheetTable& table, const BankLayout& layout) {
    DecimalMarkVote vote;
    for (size_t i = size_t(layout.headerRow) + 1; i < table.rows.size(); ++i) {
        for (qsizetype column = 0; column < layout.columns.size(); ++column) {
            switch (layout.columns.at(column)) {
            case BankColumn::Amount:
            case BankColumn::Charge:
            case BankColumn::Credit:
            case BankColumn::Balance:
                vote.see(cellAt(table.rows[i], column));
                break;
            default:
                break;
            }
        }
    }
    return vote.mark();
}

template <typename T>
const T* failed(const std::variant<T, QString>& value, RefusedLines& refused, int line) {
    if (const QString* reason = std::get_if<QString>(&value)) {
        refused.add(line, *reason);
        return nullptr;
    }
    return &std::get<T>(value);
}

} // namespace

BankMovementsRead readBankMovements(const SheetTable& table, const BankLayout& layout) {
    BankMovementsRead result;
    const DecimalMark mark = decimalMarkOf(table, layout);
    const qsizetype date = layout.indexOf(BankColumn::Date);
    const qsizetype amount = layout.indexOf(BankColumn::Amount);
    const qsizetype charge = layout.indexOf(BankColumn::Charge);
    const qsizetype credit = layout.indexOf(BankColumn::Credit);
    const qsizetype balance = layout.indexOf(BankColumn::Balance);
    for (size_t i = size_t(layout.headerRow) + 1; i < table.rows.size(); ++i) {
        const SheetRow& row = table.rows[i];
        BankMovement movement;
        movement.line = row.line;
        const auto when = readBankDate(cellAt(row, date), table.date1904);
        const QDate* day = failed(when, result.refused, row.line);
        if (day == nullptr) {
            continue;
        }
        movement.date = *day;
        if (amount >= 0) {
            const auto cents = readBankAmount(cellAt(row, amount), mark);
            const qint64* value = failed(cents, result.refused, row.line);
            if (value == nullptr) {
                continue;
            }
            movement.cents = *value;
        } else {
            // One of the two holds the figure, as a bank writes it: a charge may
            // come with its minus sign or without.
            const SheetCell& out = cellAt(row, charge);
            const SheetCell& in = cellAt(row, credit);
            if (isEmpty(out) == isEmpty(in)) {
                result.refused.add(row.line, isEmpty(out)
                                                 ? QStringLiteral("no tiene cargo ni abono")
                                                 : QStringLiteral("tiene cargo y abono a la vez"));
                continue;
            }
            const auto cents = readBankAmount(isEmpty(out) ? in : out, mark);
            const qint64* value = failed(cents, result.refused, row.line);
            if (value == nullptr) {
                continue;
            }
            movement.cents = isEmpty(out) ? std::abs(*value) : -std::abs(*value);
        }
        if (balance >= 0 && !isEmpty(cellAt(row, balance))) {
            const auto cents = readBankAmount(cellAt(row, balance), mark);
            if (const qint64* value = std::get_if<qint64>(&cents)) {
                movement.balance = *value;
            }
        }
        QStringList texts;
        for (qsizetype column = 0; column < layout.columns.size(); ++column) {
            const BankColumn kind = layout.columns.at(column);
            if (kind == BankColumn::Description || kind == BankColumn::MoreDescription) {
                const QString text = cellAt(row, column).text.simplified();
                if (!text.isEmpty()) {
                    texts.append(text);
                }
            }
        }
        movement.description = texts.join(QLatin1Char(' '));
        result.movements.push_back(std::move(movement));
    }
    auto& movements = result.movements;
    result.newestFirst = movements.size() > 1 && movements.front().date > movements.back().date;
    if (result.newestFirst) {
        std::reverse(movements.begin(), movements.end());
    }
    return result;
}

} // namespace velmora
