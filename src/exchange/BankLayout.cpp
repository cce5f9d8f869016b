#include "exchange/BankLayout.h"

#include "exchange/AccountProposals.h"

#include <array>
#include <utility>

namespace velmora {

namespace {

// Banks put the header within the first lines: the holder, the account, the
// period and a blank line or two come before it.
constexpr int kRowsToSearch = 40;

const std::array<std::pair<BankColumn, const char*>, 9> kNames = {{
    {BankColumn::Unused, "No se usa"},
    {BankColumn::Date, "Fecha"},
    {BankColumn::ValueDate, "Fecha valor"},
    {BankColumn::Description, "Concepto"},
    {BankColumn::MoreDescription, "Más concepto"},
    {BankColumn::Amount, "Importe"},
    {BankColumn::Charge, "Cargo"},
    {BankColumn::Credit, "Abono"},
    {BankColumn::Balance, "Saldo"},
}};

// The words of a header as AccountProposals compares descriptions: no case, no
// accents, no figures, nothing shorter than three letters ("F. Operación" is
// "operacion", "Importe (€)" is "importe").
QString plainHeader(const QString& header) {
    return AccountProposals::words(header).join(QLatin1Char(' '));
}

bool startsWithAny(const QString& text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (text == QLatin1String(word) ||
            text.startsWith(QLatin1String(word) + QLatin1Char(' '))) {
            return true;
        }
    }
    return false;
}

} // namespace

QString bankColumnName(BankColumn column) {
    for (const auto& [kind, name] : kNames) {
        if (kind == column) {
            return QString::fromUtf8(name);
        }
    }
    return {};
}

QStringList bankColumnNames() {
    QStringList names;
    for (const auto& entry : kNames) {
        names.append(QString::fromUtf8(entry.second));
    }
    return names;
}

std::optional<BankColumn> bankColumnNamed(const QString& name) {
    for (const auto& [kind, text] : kNames) {
        if (name == QString::fromUtf8(text)) {
            return kind;
        }
    }
    return std::nullopt;
}

BankColumn recogniseBankColumn(const QString& header) {
    const QString text = plainHeader(header);
    if (text.isEmpty()) {
        return BankColumn::Unused;
    }
    if (text.contains(QLatin1String("valor"))) {
        return BankColumn::ValueDate;
    }
    if (startsWithAny(text, {"fecha", "date", "operacion", "dia"})) {
        return BankColumn::Date;
    }
    if (startsWithAny(text, {"saldo", "balance"})) {
        return BankColumn::Balance;
    }
    if (startsWithAny(text, {"cargo", "cargos", "debe", "debito", "salida", "salidas", "gasto",
                             "gastos", "reintegro"})) {
        return BankColumn::Charge;
    }
    if (startsWithAny(text, {"abono", "abonos", "haber", "credito", "entrada", "entradas",
                             "ingreso", "ingresos"})) {
        return BankColumn::Credit;
    }
    if (startsWithAny(text, {"importe", "cantidad", "amount", "euros", "eur"})) {
        return BankColumn::Amount;
    }
    if (startsWithAny(text, {"concepto", "descripcion", "movimiento", "detalle", "description",
                             "texto", "observaciones", "mas datos", "referencia", "beneficiario",
                             "ordenante", "remitente", "comercio"})) {
        return BankColumn::Description;
    }
    return BankColumn::Unused;
}

QString BankLayout::problem() const {
    if (!has(BankColumn::Date)) {
        return QStringLiteral("ninguna columna se lee como «Fecha»");
    }
    if (!has(BankColumn::Amount) && !has(BankColumn::Charge) && !has(BankColumn::Credit)) {
        return QStringLiteral("ninguna columna se lee como «Importe», «Cargo» o «Abono»");
    }
    if (has(BankColumn::Amount) && (has(BankColumn::Charge) || has(BankColumn::Credit))) {
        return QStringLiteral("una columna se lee como «Importe» y otra como «Cargo» o «Abono»: "
                              "use el importe o el cargo y el abono");
    }
    for (const BankColumn once : {BankColumn::Date, BankColumn::ValueDate, BankColumn::Amount,
                                  BankColumn::Charge, BankColumn::Credit, BankColumn::Balance}) {
        if (columns.count(once) > 1) {
            return QStringLiteral("hay más de una columna que se lee como «%1»")
                .arg(bankColumnName(once));
        }
    }
    return {};
}

QString BankLayout::columnsText() const {
    QStringList names;
    for (const BankColumn column : columns) {
        names.append(bankColumnName(column));
    }
    return names.join(QLatin1Char('|'));
}

QStringList headersOf(const SheetRow& row) {
    QStringList headers;
    for (const SheetCell& cell : row.cells) {
        headers.append(cell.text.simplified());
    }
    while (!headers.isEmpty() && headers.back().isEmpty()) {
        headers.removeLast();
    }
    return headers;
}

std::optional<BankLayout> findBankLayout(const SheetTable& table) {
    const int rows = int(std::min<size_t>(table.rows.size(), kRowsToSearch));
    for (int i = 0; i < rows; ++i) {
        BankLayout layout;
        layout.headerRow = i;
        layout.headers = headersOf(table.rows[size_t(i)]);
        bool named = false;
        for (const QString& header : layout.headers) {
            const BankColumn column = recogniseBankColumn(header);
            // The first description column is the concept; later ones add to it. Of
            // two dates or two amounts ("Fecha", "Fecha contable") the first counts.
            BankColumn kept = column;
            if (layout.columns.contains(column)) {
                kept = column == BankColumn::Description ? BankColumn::MoreDescription
                                                         : BankColumn::Unused;
            }
            layout.columns.append(kept);
            // A cell that is a number or a date is data, not a name.
            named = named || table.rows[size_t(i)].cells.at(layout.columns.size() - 1).number;
        }
        // A bank that gives both the signed amount and its charge and credit columns
        // is read by the amount.
        if (layout.has(BankColumn::Amount)) {
            for (BankColumn& column : layout.columns) {
                if (column == BankColumn::Charge || column == BankColumn::Credit) {
                    column = BankColumn::Unused;
                }
            }
        }
        if (!named && layout.has(BankColumn::Date) &&
            (layout.has(BankColumn::Amount) || layout.has(BankColumn::Charge) ||
             layout.has(BankColumn::Credit))) {
            return layout;
        }
    }
    return std::nullopt;
}

std::optional<BankLayout> rememberedBankLayout(const SheetTable& table, const QStringList& headers,
                                               const QString& columnsText) {
    const QStringList names = columnsText.split(QLatin1Char('|'));
    if (headers.isEmpty() || names.size() != headers.size()) {
        return std::nullopt;
    }
    BankLayout layout;
    layout.headers = headers;
    for (const QString& name : names) {
        const std::optional<BankColumn> column = bankColumnNamed(name);
        if (!column) {
            return std::nullopt;
        }
        layout.columns.append(*column);
    }
    const int rows = int(std::min<size_t>(table.rows.size(), kRowsToSearch));
    for (int i = 0; i < rows; ++i) {
        if (headersOf(table.rows[size_t(i)]) == headers) {
            layout.headerRow = i;
            return layout;
        }
    }
    return std::nullopt;
}

} // namespace velmora
