#pragma once

// The grids of the import preview where the user decides: which of the accounts
// the year lacks to create, and with what kind; which account a bank movement
// with no proposal goes with; and what each column of a bank's file holds. Each decision is a cell
// edited with a ChoiceDelegate, so that no grid holds a drop-down per line.

#include "exchange/BankLayout.h"
#include "exchange/ImportGridModel.h"
#include "exchange/ImportPlan.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace velmora {

class ImportedRows;

// Columns: the account, how many rows name it, what to create it as.
class NewAccountsModel : public ImportGridModel {
    Q_OBJECT
public:
    enum Column { NameColumn, RowsColumn, KindColumn };

    // created says what each account is created as; it must outlive the model.
    explicit NewAccountsModel(const NewAccounts& created, QObject* parent = nullptr);

    // Lists the accounts the plan names that are not listed yet. A listed one
    // keeps its line, so that its choice stays on screen, and its count unless it
    // is to be created, when the plan no longer counts it.
    void merge(const QList<UnknownAccount>& unknown);
    void clear();
    // What an account can be created as, "No importar" first.
    static QStringList kindChoices();

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The kind letter, or empty for "No importar".
    void chosen(const QString& account, const QString& kind);

protected:
    int rows() const override { return int(accounts_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    const NewAccounts& created_;
    QList<UnknownAccount> accounts_;
};

// Columns: the movement's line, date, description and amount, the side that
// lacks an account, and the account picked for it.
class MissingAccountsModel : public ImportGridModel {
    Q_OBJECT
public:
    enum Column {
        LineColumn,
        DateColumn,
        DescriptionColumn,
        AmountColumn,
        SideColumn,
        AccountColumn
    };

    // rows must outlive the model.
    explicit MissingAccountsModel(const ImportedRows& rows, QObject* parent = nullptr);

    // Lists these rows, each with a side the file left empty, nothing picked yet;
    // the picks are one of accounts.
    void setRows(const std::vector<qint32>& missing, const QStringList& accounts);
    // The rows listed with nothing picked.
    qsizetype waiting() const { return qsizetype(missing_.size()) - picked_.size(); }

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // account is empty when the pick is taken back.
    void picked(qint32 row, bool goesInto, const QString& account);

protected:
    int rows() const override { return int(missing_.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    const ImportedRows& rows_;
    std::vector<qint32> missing_; // positions in rows_
    std::vector<bool> intoMissing_;
    QHash<qint32, QString> picked_; // position in rows_ → account
    QStringList choices_;           // an empty one, then the year's accounts
};

// Columns: the bank file's header, an example from its first movement, and what
// the column is read as, which the user may change.
class BankColumnsModel : public ImportGridModel {
    Q_OBJECT
public:
    enum Column { HeaderColumn, ExampleColumn, ReadAsColumn };

    explicit BankColumnsModel(QObject* parent = nullptr);
    // The layout's columns with the first cells under its header as examples.
    void setLayout(const BankLayout& layout, const SheetTable& table);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The layout with one column read otherwise.
    void changed(const BankLayout& layout);

protected:
    int rows() const override { return int(layout_.headers.size()); }
    QVariant cell(int row, int column, int role) const override;

private:
    BankLayout layout_;
    QStringList examples_;
};

} // namespace velmora
