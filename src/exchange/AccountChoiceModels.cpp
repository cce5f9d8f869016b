#include "exchange/AccountChoiceModels.h"

#include "exchange/ImportedRows.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "ui/ChoiceDelegate.h"

#include <algorithm>

namespace velmora {

namespace {

const QString kNotImported = QStringLiteral("No importar");

} // namespace

NewAccountsModel::NewAccountsModel(const NewAccounts& created, QObject* parent)
    : ImportGridModel(
          {QStringLiteral("Cuenta"), QStringLiteral("Apuntes"), QStringLiteral("Crear como")},
          parent),
      created_(created) {}

QStringList NewAccountsModel::kindChoices() {
    return {kNotImported, kindWord(QStringLiteral("I")), kindWord(QStringLiteral("G")),
            kindWord(QStringLiteral("C"))};
}

void NewAccountsModel::merge(const QList<UnknownAccount>& unknown) {
    for (const UnknownAccount& account : unknown) {
        const auto listed =
            std::find_if(accounts_.begin(), accounts_.end(), [&](const UnknownAccount& known) {
                return known.name.compare(account.name, Qt::CaseInsensitive) == 0;
            });
        if (listed == accounts_.end()) {
            const int row = int(accounts_.size());
            beginInsertRows({}, row, row);
            accounts_.append(account);
            endInsertRows();
        } else if (!created_.contains(listed->name) && listed->rows != account.rows) {
            listed->rows = account.rows;
            const QModelIndex count = index(int(listed - accounts_.begin()), RowsColumn);
            emit dataChanged(count, count);
        }
    }
}

void NewAccountsModel::clear() {
    beginResetModel();
    accounts_.clear();
    endResetModel();
}

QVariant NewAccountsModel::cell(int row, int column, int role) const {
    const UnknownAccount& account = accounts_[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case NameColumn:
            return account.name;
        case RowsColumn:
            return formatCount(account.rows);
        case KindColumn: {
            const QString kind = created_.value(account.name);
            return kind.isEmpty() ? kNotImported : kindWord(kind);
        }
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        return alignment(column == RowsColumn);
    case ChoiceDelegate::kChoicesRole:
        return kindChoices();
    default:
        return {};
    }
}

Qt::ItemFlags NewAccountsModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = ImportGridModel::flags(index);
    return index.column() == KindColumn ? flags | Qt::ItemIsEditable : flags;
}

bool NewAccountsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != KindColumn || !isCell(index)) {
        return false;
    }
    emit chosen(accounts_[index.row()].name, kindLetter(value.toString()));
    emit dataChanged(index, index);
    return true;
}

MissingAccountsModel::MissingAccountsModel(const ImportedRows& rows, QObject* parent)
    : ImportGridModel({QStringLiteral("Línea"), QStringLiteral("Fecha"), QStringLiteral("Concepto"),
                       QStringLiteral("Importe"), QStringLiteral("Falta"),
                       QStringLiteral("Cuenta")},
                      parent),
      rows_(rows) {}

void MissingAccountsModel::setRows(const std::vector<qint32>& missing,
                                   const QStringList& accounts) {
    beginResetModel();
    missing_ = missing;
    intoMissing_.clear();
    intoMissing_.reserve(missing.size());
    for (const qint32 row : missing) {
        intoMissing_.push_back(rows_.goesInto(row).trimmed().isEmpty());
    }
    picked_.clear();
    choices_ = QStringList{QString()} + accounts;
    endResetModel();
}

QVariant MissingAccountsModel::cell(int line, int column, int role) const {
    const qint32 row = missing_[size_t(line)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case LineColumn:
            return formatCount(rows_.line(row));
        case DateColumn:
            return formatDate(rows_.date(row));
        case DescriptionColumn:
            return rows_.description(row);
        case AmountColumn:
            return formatCents(rows_.cents(row));
        case SideColumn:
            return intoMissing_[size_t(line)] ? QStringLiteral("Entra en")
                                              : QStringLiteral("Sale de");
        case AccountColumn:
            return picked_.value(row);
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        return alignment(column == LineColumn || column == AmountColumn);
    case ChoiceDelegate::kChoicesRole:
        return choices_;
    default:
        return {};
    }
}

Qt::ItemFlags MissingAccountsModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = ImportGridModel::flags(index);
    return index.column() == AccountColumn ? flags | Qt::ItemIsEditable : flags;
}

bool MissingAccountsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != AccountColumn || !isCell(index)) {
        return false;
    }
    const qint32 row = missing_[size_t(index.row())];
    const QString account = value.toString();
    if (account.isEmpty()) {
        picked_.remove(row);
    } else {
        picked_.insert(row, account);
    }
    emit dataChanged(index, index);
    emit picked(row, intoMissing_[size_t(index.row())], account);
    return true;
}

BankColumnsModel::BankColumnsModel(QObject* parent)
    : ImportGridModel({QStringLiteral("Columna del archivo"), QStringLiteral("Ejemplo"),
                       QStringLiteral("Se lee como")},
                      parent) {}

void BankColumnsModel::setLayout(const BankLayout& layout, const SheetTable& table) {
    beginResetModel();
    layout_ = layout;
    examples_.clear();
    const size_t first = size_t(layout.headerRow) + 1;
    for (qsizetype column = 0; column < layout.headers.size(); ++column) {
        QString example;
        // The first cell under the header that holds something.
        for (size_t row = first; row < table.rows.size() && row < first + 20; ++row) {
            const QList<SheetCell>& cells = table.rows[row].cells;
            if (column < cells.size() && !cells.at(column).text.trimmed().isEmpty()) {
                example = cells.at(column).text.simplified().left(60);
                break;
            }
        }
        examples_.append(example);
    }
    endResetModel();
}

QVariant BankColumnsModel::cell(int row, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case HeaderColumn:
            return layout_.headers.at(row);
        case ExampleColumn:
            return examples_.value(row);
        case ReadAsColumn:
            return bankColumnName(layout_.columns.at(row));
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        return alignment(false);
    case ChoiceDelegate::kChoicesRole:
        return bankColumnNames();
    default:
        return {};
    }
}

Qt::ItemFlags BankColumnsModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = ImportGridModel::flags(index);
    return index.column() == ReadAsColumn ? flags | Qt::ItemIsEditable : flags;
}

bool BankColumnsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const std::optional<BankColumn> column = bankColumnNamed(value.toString());
    if (role != Qt::EditRole || index.column() != ReadAsColumn || !isCell(index) || !column ||
        *column == layout_.columns.at(index.row())) {
        return false;
    }
    BankLayout changed = layout_;
    changed.columns[index.row()] = *column;
    emit this->changed(changed);
    return true;
}

} // namespace velmora
