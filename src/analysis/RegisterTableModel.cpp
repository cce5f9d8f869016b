#include "analysis/RegisterTableModel.h"

#include "store/Formats.h"

#include <algorithm>

namespace velmora {

namespace {

QString amountText(const RegisterLine& line, bool shown) {
    if (!shown) {
        return {};
    }
    return line.cents ? formatCents(*line.cents) : kUnreadableAmount;
}

} // namespace

RegisterTableModel::RegisterTableModel(const Palette& palette, QObject* parent)
    : GridTableModel(palette, ColumnCount, parent) {}

void RegisterTableModel::setRegister(AccountRegister accountRegister) {
    replaceRows([&] { register_ = std::move(accountRegister); });
}

int RegisterTableModel::rows() const {
    // Nothing at all, not even the opening line, before an account is read.
    return register_.account.isEmpty() ? 0 : static_cast<int>(register_.lines.size()) + 1;
}

std::optional<qint64> RegisterTableModel::entryAt(int row) const {
    if (row < 1 || row > static_cast<int>(register_.lines.size())) {
        return std::nullopt;
    }
    return register_.lines[static_cast<size_t>(row - 1)].id;
}

QList<int> RegisterTableModel::widestRows() const {
    // The widest figures are the largest and the lowest balance and amount.
    QList<int> rows{0};
    const auto& lines = register_.lines;
    const auto byBalance = [](const RegisterLine& a, const RegisterLine& b) {
        return a.balance.cents().value_or(0) < b.balance.cents().value_or(0);
    };
    const auto byAmount = [](const RegisterLine& a, const RegisterLine& b) {
        return a.cents.value_or(0) < b.cents.value_or(0);
    };
    if (!lines.empty()) {
        const auto [low, high] = std::minmax_element(lines.begin(), lines.end(), byBalance);
        const auto largest = std::max_element(lines.begin(), lines.end(), byAmount);
        for (auto it : {low, high, largest}) {
            rows << static_cast<int>(it - lines.begin()) + 1;
        }
        const auto unreadable = std::find_if(
            lines.begin(), lines.end(), [](const auto& line) { return !line.balance.readable(); });
        if (unreadable != lines.end()) {
            rows << static_cast<int>(unreadable - lines.begin()) + 1;
        }
    }
    return rows;
}

QVariant RegisterTableModel::cell(int row, int column, int role) const {
    const bool opening = row == 0;
    const RegisterLine* line = opening ? nullptr : &register_.lines[static_cast<size_t>(row - 1)];
    const AmountTotal balance =
        opening ? AmountTotal::ofCents(register_.openingCents) : line->balance;
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case DateColumn:
            return opening ? QString() : formatDate(line->date);
        case DescriptionColumn:
            return opening ? QStringLiteral("Saldo inicial") : register_.description(*line);
        case OtherAccountColumn:
            return opening ? QString() : register_.otherAccount(*line);
        case InColumn:
            return opening ? QString() : amountText(*line, line->entersAccount);
        case OutColumn:
            return opening ? QString() : amountText(*line, line->leavesAccount);
        case BalanceColumn:
            return balance.text();
        default:
            return {};
        }
    case Qt::BackgroundRole:
        return palette().band(row);
    case Qt::ForegroundRole:
        if (column == BalanceColumn && balance.cents().value_or(0) < 0) {
            return Palette::negativeAmount();
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column >= InColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((section >= InColumn ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kTitles[ColumnCount] = {"Fecha",   "Concepto", "Contrapartida",
                                                     "Entrada", "Salida",   "Saldo"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kTitles[section]) : QString();
}

} // namespace velmora
