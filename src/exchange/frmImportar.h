#pragma once

// Bringing movements in from a file: a CSV file of entries, a bank statement in
// the Norma 43 layout, or a bank's own movements file, CSV or spreadsheet. Nothing is written until
// the user has seen what will be added, what is refused and why, which rows are already in the
// year, and has decided about the accounts the year lacks.

#include "exchange/BankLayout.h"
#include "exchange/ImportPlan.h"
#include "ui/FailureReport.h"
#include "ui/WindowKit.h"

#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class ImportSession;
class BankColumnsModel;
class MissingAccountsModel;
class NewAccountsModel;
class PlannedEntryModel;

// What a file held, as the preview takes it; its rows are the session's.
struct ImportSource {
    QString read; // what was read, as the user is told it
    // A bank statement names only one side of a movement; a row whose other side
    // could not be proposed waits until the user picks it.
    bool pickMissing = false;
    // A bank's own file: its columns are shown and can be read otherwise.
    bool bankFile = false;
};

// The preview: what would be added, refused and already there, with the choices
// that change it, and "&Importar" to write it all in one go.
class frmImportar : public ModalWindow {
    Q_OBJECT
public:
    frmImportar(AppState& state, Services& services, ImportSession& session,
                QWidget* parent = nullptr);

    // Plans the import of the session's rows. False when the year cannot be read or there is
    // no memory left for the plan (the user has been told).
    bool setSource(ImportSource source);
    // Entries written by "&Importar"; 0 until it succeeds.
    int written() const { return written_; }

protected:
    void opened() override;

private:
    void buildControls();
    bool replan();
    void showPlan();
    // The bank file's columns read otherwise: its rows read again and planned.
    void changeLayout(const BankLayout& layout);
    // Lists the lines refused; gives how many there are.
    qsizetype fillRefused();
    void importRows();

    AppState& state_;
    Services& services_;
    ImportSession& session_;
    FailureReport report_;
    ImportSource source_;
    ImportPlan plan_;
    NewAccounts created_;
    std::vector<bool> waitsForPick_; // by row: a side left empty, nothing picked yet
    int written_ = 0;

    PlannedEntryModel* accepted_ = nullptr;
    NewAccountsModel* unknown_ = nullptr;
    MissingAccountsModel* missing_ = nullptr;
    BankColumnsModel* columns_ = nullptr;

    QLabel* lblLeido = nullptr;
    QLabel* lblSaldo = nullptr;
    QTabWidget* tabs = nullptr;
    QTableView* grdColumnas = nullptr;
    QTableView* grdApuntes = nullptr;
    QTableView* grdCuentas = nullptr;
    QTableView* grdSinCuenta = nullptr;
    QListWidget* lstRechazadas = nullptr;
    QLabel* lblResumen = nullptr;
    QPushButton* cmdImportar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

// Which of the year's accounts a bank account of a statement is.
class frmCuentaExtracto : public ModalWindow {
    Q_OBJECT
public:
    frmCuentaExtracto(const QString& question, const QStringList& accounts,
                      const QString& preselected, QWidget* parent = nullptr);
    QString chosen() const;

private:
    QComboBox* cboCuenta = nullptr;
};

// "&9. Importar CSV ...": asks for the file, reads it, asks which of our accounts
// each bank account of a statement is, and shows the preview. True when entries
// were written.
bool importFromMenu(AppState& state, Services& services, QWidget& owner);

} // namespace velmora
