#pragma once

// How a bank's movements file is laid out: which of its rows is the header and
// what each column holds. Banks name their columns in their own words ("F.
// Operación", "Fecha valor", "Concepto", "Importe (€)", "Cargo", "Abono",
// "Saldo"), so a column is recognised by its name, and the user may change what
// was recognised.

#include "exchange/SheetTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

enum class BankColumn {
    Unused,
    Date,
    ValueDate,
    Description,
    MoreDescription, // appended to the description, after a space
    Amount,          // signed: credits positive
    Charge,          // money out, whatever its sign
    Credit,          // money in
    Balance,         // the account's balance after the movement
};

// "Fecha", "Fecha valor", "Concepto", "Más concepto", "Importe", "Cargo", "Abono",
// "Saldo", "No se usa": what the preview shows and offers.
QString bankColumnName(BankColumn column);
QStringList bankColumnNames();
std::optional<BankColumn> bankColumnNamed(const QString& name);

// What a header text names, or Unused.
BankColumn recogniseBankColumn(const QString& header);

struct BankLayout {
    int headerRow = 0; // its index in the table's rows
    QStringList headers;
    QList<BankColumn> columns; // one for each header

    // Why the movements cannot be read with it, in Spanish; empty when they can.
    QString problem() const;
    bool has(BankColumn column) const { return columns.contains(column); }
    qsizetype indexOf(BankColumn column) const { return columns.indexOf(column); }
    // What is remembered of it: its columns by their names, "Fecha|Concepto|…".
    QString columnsText() const;
};

// The first row among the first ones whose names hold a date and an amount (or a
// charge or a credit); nothing when no row does.
std::optional<BankLayout> findBankLayout(const SheetTable& table);

// The layout with the remembered columns, when the table has a row with the
// headers remembered; nothing otherwise.
std::optional<BankLayout> rememberedBankLayout(const SheetTable& table, const QStringList& headers,
                                               const QString& columnsText);

// The headers of a row as the layout keeps them: trimmed, in file order.
QStringList headersOf(const SheetRow& row);

} // namespace velmora
