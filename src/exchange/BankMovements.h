#pragma once

// The movements of a bank's file read through its layout: each row under the
// header with a date and an amount becomes one, the rest are refused with the
// reason. Banks list the newest first as often as the oldest; the movements are
// handed over oldest first, so that they are written in the order they happened.

#include "exchange/BankLayout.h"
#include "exchange/RefusedLines.h"
#include "exchange/SheetTable.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

struct BankMovement {
    int line = 0; // in the file
    QDate date;
    QString description;
    qint64 cents = 0; // credits positive
    // The balance the file gives after the movement.
    std::optional<qint64> balance;
};

struct BankMovementsRead {
    std::vector<BankMovement> movements; // oldest first
    RefusedLines refused;
    bool newestFirst = false; // the file listed them the other way round
};

// The layout must have no problem(). Throws std::bad_alloc.
BankMovementsRead readBankMovements(const SheetTable& table, const BankLayout& layout);

} // namespace velmora
