#include "exchange/frmImportar.h"

#include "exchange/AccountChoiceModels.h"
#include "exchange/ImportSession.h"
#include "exchange/PlannedEntryModel.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "ui/AcceptCancel.h"
#include "ui/AppState.h"
#include "ui/ChoiceDelegate.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/YearFolders.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <new>
#include <optional>

namespace velmora {

namespace {

QString plural(qsizetype count, const QString& one, const QString& many) {
    return formatCount(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

QTableView* makeGrid(QWidget* parent, const char* name, QAbstractItemModel* model) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    // Every line as high as the first: nothing to measure per line, however many.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

// A grid whose `column` is chosen from a drop-down: the drop-down is made when the
// cell is edited, which a click or a key does.
void makeChoiceColumn(QTableView& grid, int column) {
    grid.setItemDelegateForColumn(column, new ChoiceDelegate(&grid));
    grid.setEditTriggers(QAbstractItemView::AllEditTriggers);
    grid.verticalHeader()->setDefaultSectionSize(QComboBox().sizeHint().height());
}

// Fits the columns to what they show, the choice column to its longest choice,
// which the column's own fit does not see.
void fitColumns(QTableView& grid, int choiceColumn, const QStringList& choices) {
    grid.resizeColumnsToContents();
    QComboBox widest;
    widest.addItems(choices);
    grid.setColumnWidth(choiceColumn,
                        std::max(grid.columnWidth(choiceColumn), widest.sizeHint().width()));
}

QString describeStatement(const N43Statement& statement) {
    qsizetype movements = 0;
    for (const N43Account& account : statement.accounts) {
        movements += account.movements.size();
    }
    return QStringLiteral("Extracto bancario (Norma 43): %1, %2")
        .arg(plural(statement.accounts.size(), QStringLiteral("cuenta"), QStringLiteral("cuentas")),
             plural(movements, QStringLiteral("movimiento"), QStringLiteral("movimientos")));
}

const QString kNoMemory = QStringLiteral("no queda memoria libre");

// "Movimientos del banco (CSV del banco, separador punto y coma) para Banco: 31
// movimientos, el más reciente primero"
QString bankFileRead(const ImportSession& session) {
    const qsizetype count = qsizetype(session.bankMovements().size());
    return QStringLiteral("Movimientos del banco (%1) para %2: %3%4")
        .arg(session.bankFileKind(), session.bankAccount(),
             plural(count, QStringLiteral("movimiento"), QStringLiteral("movimientos")),
             session.layout().has(BankColumn::Balance) ? QStringLiteral(", con saldo") : QString());
}

} // namespace

frmImportar::frmImportar(AppState& state, Services& services, ImportSession& session,
                         QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services), session_(session),
      report_(*this, services.messages, lcExchange()) {
    setObjectName(QStringLiteral("frmImportar"));
    setWindowTitle(QStringLiteral("Importar movimientos"));
    buildControls();
}

void frmImportar::buildControls() {
    lblLeido = new QLabel(this);
    lblLeido->setObjectName(QStringLiteral("lblLeido"));
    lblLeido->setWordWrap(true);

    accepted_ = new PlannedEntryModel(session_.rows(), plan_, this);
    grdApuntes = makeGrid(this, "grdApuntes", accepted_);
    // The concept and the reason for a proposal share the spare width: either
    // alone would squeeze the other to nothing.
    for (const int column :
         {PlannedEntryModel::DescriptionColumn, PlannedEntryModel::ReasonColumn}) {
        grdApuntes->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
    }

    unknown_ = new NewAccountsModel(created_, this);
    grdCuentas = makeGrid(this, "grdCuentas", unknown_);
    grdCuentas->horizontalHeader()->setSectionResizeMode(NewAccountsModel::NameColumn,
                                                         QHeaderView::Stretch);
    makeChoiceColumn(*grdCuentas, NewAccountsModel::KindColumn);
    connect(unknown_, &NewAccountsModel::chosen, this,
            [this](const QString& account, const QString& kind) {
                if (kind.isEmpty()) {
                    created_.remove(account);
                } else {
                    created_.insert(account, kind);
                }
                replan();
            });

    missing_ = new MissingAccountsModel(session_.rows(), this);
    grdSinCuenta = makeGrid(this, "grdSinCuenta", missing_);
    grdSinCuenta->horizontalHeader()->setSectionResizeMode(MissingAccountsModel::DescriptionColumn,
                                                           QHeaderView::Stretch);
    makeChoiceColumn(*grdSinCuenta, MissingAccountsModel::AccountColumn);
    connect(missing_, &MissingAccountsModel::picked, this,
            [this](qint32 row, bool goesInto, const QString& account) {
                if (goesInto) {
                    session_.rows().setGoesInto(row, account);
                } else {
                    session_.rows().setComesOutOf(row, account);
                }
                waitsForPick_[size_t(row)] = account.isEmpty();
                replan();
            });

    columns_ = new BankColumnsModel(this);
    grdColumnas = makeGrid(this, "grdColumnas", columns_);
    grdColumnas->horizontalHeader()->setSectionResizeMode(BankColumnsModel::ExampleColumn,
                                                          QHeaderView::Stretch);
    makeChoiceColumn(*grdColumnas, BankColumnsModel::ReadAsColumn);
    // Queued: the change replans, which resets this very model under its editor.
    connect(columns_, &BankColumnsModel::changed, this, &frmImportar::changeLayout,
            Qt::QueuedConnection);

    lblSaldo = new QLabel(this);
    lblSaldo->setObjectName(QStringLiteral("lblSaldo"));
    lblSaldo->setWordWrap(true);
    lblSaldo->setTextFormat(Qt::PlainText);

    lstRechazadas = new QListWidget(this);
    lstRechazadas->setObjectName(QStringLiteral("lstRechazadas"));

    // Tabs rather than four lists one above the other: the window stays usable
    // on a small screen, and each tab says in its caption how much it holds.
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(grdApuntes, QString());
    tabs->addTab(grdCuentas, QString());
    tabs->addTab(grdSinCuenta, QString());
    tabs->addTab(lstRechazadas, QString());
    tabs->addTab(grdColumnas, QStringLiteral("Columnas"));

    lblResumen = new QLabel(this);
    lblResumen->setObjectName(QStringLiteral("lblResumen"));
    lblResumen->setWordWrap(true);
    QFont bold = lblResumen->font();
    bold.setBold(true);
    lblResumen->setFont(bold);

    const auto makeButton = [this](const char* name, const QString& text) {
        QPushButton* button = commandButton(*this, name, text);
        button->setMinimumWidth(twips(1300));
        return button;
    };
    cmdImportar = makeButton("cmdImportar", QStringLiteral("&Importar"));
    cmdCancelar = makeButton("cmdCancelar", QStringLiteral("&Cancelar"));
    connect(cmdImportar, &QPushButton::clicked, this, &frmImportar::importRows);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblResumen, 1);
    buttons->addWidget(cmdImportar);
    buttons->addWidget(cmdCancelar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblLeido);
    layout->addWidget(lblSaldo);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    setMinimumSize(twips(7000), twips(4000));
    // As large as suits a long file, but never past a small screen's edge.
    QSize size(twips(13500), twips(8000));
    if (const QScreen* screen = this->screen()) {
        size = size.boundedTo(screen->availableSize() - QSize(40, 60));
    }
    resize(size.expandedTo(minimumSize()));
    setTabChain({tabs, cmdImportar, cmdCancelar});
}

bool frmImportar::setSource(ImportSource source) {
    missing_->setRows({}, {});
    accepted_->replacePlan([&] {
        source_ = std::move(source);
        plan_ = ImportPlan();
    });
    created_.clear();
    unknown_->clear();
    lblLeido->setText(source_.read);
    tabs->setTabVisible(tabs->indexOf(grdColumnas), source_.bankFile);
    grdApuntes->setColumnHidden(PlannedEntryModel::ReasonColumn, !source_.pickMissing);
    if (source_.bankFile) {
        columns_->setLayout(session_.layout(), session_.table());
        fitColumns(*grdColumnas, BankColumnsModel::ReadAsColumn, bankColumnNames());
    }
    QStringList accounts;
    if (!report_.attempt(QStringLiteral("No se pueden leer las cuentas del año"),
                         [&] { accounts = accountNames(state_.db()); })) {
        return false;
    }
    // The rows that wait for a pick stay the same whatever is chosen.
    std::vector<qint32> missing;
    waitsForPick_.assign(size_t(session_.rows().size()), false);
    for (qsizetype i = 0; source_.pickMissing && i < session_.rows().size(); ++i) {
        if (session_.rows().goesInto(i).trimmed().isEmpty() ||
            session_.rows().comesOutOf(i).trimmed().isEmpty()) {
            missing.push_back(qint32(i));
            waitsForPick_[size_t(i)] = true;
        }
    }
    missing_->setRows(missing, accounts);
    fitColumns(*grdSinCuenta, MissingAccountsModel::AccountColumn, accounts);
    return replan();
}

bool frmImportar::replan() {
    ImportPlan plan;
    try {
        if (!report_.attempt(QStringLiteral("No se puede preparar la importación"), [&] {
                plan = session_.plan(created_,
                                     [this](qsizetype row) { return !waitsForPick_[size_t(row)]; });
            })) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        qCWarning(lcExchange) << "sin memoria para planear la importación";
        services_.messages.fail(this,
                                QStringLiteral("No se puede preparar la importación: %1. "
                                               "Cierre otros programas y vuelva a intentarlo.")
                                    .arg(kNoMemory));
        return false;
    }
    accepted_->replacePlan([&] { plan_ = std::move(plan); });
    unknown_->merge(plan_.unknownAccounts);
    showPlan();
    return true;
}

void frmImportar::showPlan() {
    grdApuntes->resizeColumnsToContents();
    fitColumns(*grdCuentas, NewAccountsModel::KindColumn, NewAccountsModel::kindChoices());
    const qsizetype refused = fillRefused();
    const int duplicates = plan_.duplicates();
    const auto added = qsizetype(plan_.accepted.size()) - duplicates;
    const qsizetype waitingPicks = missing_->waiting();
    const auto caption = [this](QWidget* page, const QString& text, qsizetype count) {
        const int index = tabs->indexOf(page);
        tabs->setTabText(index, QStringLiteral("%1 (%2)").arg(text, formatCount(count)));
    };
    const int unknown = unknown_->rowCount();
    caption(grdApuntes, QStringLiteral("Apuntes a añadir"), qsizetype(plan_.accepted.size()));
    caption(grdCuentas, QStringLiteral("Cuentas nuevas"), unknown);
    caption(grdSinCuenta, QStringLiteral("Sin cuenta"), waitingPicks);
    caption(lstRechazadas, QStringLiteral("Rechazados"), refused);
    tabs->setTabVisible(tabs->indexOf(grdCuentas), unknown > 0);
    tabs->setTabVisible(tabs->indexOf(grdSinCuenta), missing_->rowCount() > 0);
    tabs->setTabVisible(tabs->indexOf(lstRechazadas), refused > 0);

    QStringList parts;
    parts << QStringLiteral("Se añadirán %1")
                 .arg(plural(added, QStringLiteral("apunte"), QStringLiteral("apuntes")));
    parts << plural(refused, QStringLiteral("rechazado"), QStringLiteral("rechazados"));
    parts << QStringLiteral("%1 en el año")
                 .arg(
                     plural(duplicates, QStringLiteral("ya estaba"), QStringLiteral("ya estaban")));
    const qsizetype waiting = qsizetype(plan_.waiting.size()) + waitingPicks;
    if (waiting > 0) {
        parts << QStringLiteral("%1 sin cuenta")
                     .arg(plural(waiting, QStringLiteral("queda"), QStringLiteral("quedan")));
    }
    lblResumen->setText(parts.join(QStringLiteral("; ")));
    cmdImportar->setEnabled(!plan_.accepted.empty());

    QString balances;
    report_.attempt(QStringLiteral("No se puede comparar el saldo del banco"),
                    [&] { balances = session_.describeBalances(plan_); });
    lblSaldo->setText(balances);
    lblSaldo->setVisible(!balances.isEmpty());
}

void frmImportar::changeLayout(const BankLayout& layout) {
    std::optional<QString> problem;
    if (!report_.attempt(QStringLiteral("No se pueden leer los movimientos así"), [&] {
            problem = session_.relayout(layout, state_.session.programFolder());
        })) {
        return;
    }
    if (problem) {
        services_.messages.warn(
            this, QStringLiteral("Las columnas no se pueden leer así: %1.").arg(*problem));
        columns_->setLayout(session_.layout(), session_.table());
        return;
    }
    source_.read = bankFileRead(session_);
    setSource(source_);
    tabs->setCurrentWidget(grdColumnas);
}

qsizetype frmImportar::fillRefused() {
    const RefusedLines refused = RefusedLines::merged(session_.refused(), plan_.refused);
    lstRechazadas->clear();
    for (const RefusedLine& line : refused.kept()) {
        lstRechazadas->addItem(
            QStringLiteral("Línea %1: %2").arg(formatCount(line.line), line.reason));
    }
    const qsizetype more = refused.count() - refused.kept().size();
    if (more > 0) {
        lstRechazadas->addItem(QStringLiteral("… y %1 más")
                                   .arg(plural(more, QStringLiteral("línea rechazada"),
                                               QStringLiteral("líneas rechazadas"))));
    }
    return refused.count();
}

void frmImportar::opened() {
    // What still needs a decision comes first.
    if (unknown_->rowCount() > 0) {
        tabs->setCurrentWidget(grdCuentas);
    } else if (missing_->rowCount() > 0) {
        tabs->setCurrentWidget(grdSinCuenta);
    }
    cmdImportar->setFocus(Qt::OtherFocusReason);
}

void frmImportar::importRows() {
    const int duplicates = plan_.duplicates();
    bool withDuplicates = false;
    if (duplicates > 0) {
        withDuplicates = services_.messages.ask(
            this,
            duplicates == 1
                ? QStringLiteral("Hay 1 movimiento que ya está en el año. ¿Desea añadirlo "
                                 "también?")
                : QStringLiteral("Hay %1 movimientos que ya están en el año. ¿Desea añadirlos "
                                 "también?")
                      .arg(formatCount(duplicates)),
            MessageIcon::Question);
    }
    if (!withDuplicates && qsizetype(plan_.accepted.size()) == duplicates) {
        services_.messages.inform(this, QStringLiteral("No se ha importado nada: todos los "
                                                       "movimientos ya estaban en el año."));
        return;
    }
    ImportResult result;
    {
        WaitCursor wait(*this);
        // The user can go back to the year as it was before the import.
        if (!report_.attempt(
                QStringLiteral("No se ha importado nada: no se puede hacer la copia de seguridad"),
                [&] { session_.writeSafetyCopy(services_.clock.now()); })) {
            return;
        }
        try {
            if (!report_.attempt(QStringLiteral("No se ha importado nada"), [&] {
                    result = session_.write(plan_, created_, withDuplicates);
                })) {
                return;
            }
        } catch (const std::bad_alloc&) {
            // The transaction has rolled back.
            qCWarning(lcExchange) << "sin memoria para escribir la importación";
            services_.messages.fail(this, QStringLiteral("No se ha importado nada: %1. Cierre "
                                                         "otros programas y vuelva a intentarlo.")
                                              .arg(kNoMemory));
            return;
        }
    }
    written_ = result.written;
    QString done = result.written == 1
                       ? QStringLiteral("Importado 1 apunte.")
                       : QStringLiteral("Importados %1 apuntes.").arg(formatCount(result.written));
    if (result.accountsCreated > 0) {
        done += result.accountsCreated == 1 ? QStringLiteral(" Se ha creado 1 cuenta.")
                                            : QStringLiteral(" Se han creado %1 cuentas.")
                                                  .arg(formatCount(result.accountsCreated));
    }
    services_.messages.inform(this, done);
    accept();
}

frmCuentaExtracto::frmCuentaExtracto(const QString& question, const QStringList& accounts,
                                     const QString& preselected, QWidget* parent)
    : ModalWindow(parent) {
    setObjectName(QStringLiteral("frmCuentaExtracto"));
    setWindowTitle(QStringLiteral("Cuenta del extracto"));
    auto* text = new QLabel(question, this);
    text->setObjectName(QStringLiteral("lblPregunta"));
    text->setWordWrap(true);
    cboCuenta = new QComboBox(this);
    cboCuenta->setObjectName(QStringLiteral("cboCuenta"));
    cboCuenta->addItems(accounts);
    const int remembered = int(accounts.indexOf(preselected));
    cboCuenta->setCurrentIndex(remembered >= 0 ? remembered : 0);
    const AcceptCancel buttons = makeAcceptCancel(*this);
    buttons.accept->setEnabled(!accounts.isEmpty());
    connect(buttons.accept, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(cboCuenta);
    layout->addLayout(buttons.row);
    setMinimumWidth(twips(6000));
    setTabChain({cboCuenta, buttons.accept, buttons.cancel});
}

QString frmCuentaExtracto::chosen() const {
    return cboCuenta->currentText();
}

namespace {

// Which of the year's accounts the user says; nothing when they cancel.
std::optional<QString> askAccount(Services& services, QWidget& owner, const QString& question,
                                  const QStringList& accounts, const QString& proposed) {
    frmCuentaExtracto chooser(question, accounts, proposed, &owner);
    if (services.dialogs.run(chooser) != QDialog::Accepted) {
        return std::nullopt;
    }
    return chooser.chosen();
}

// Runs map, which asks for the accounts and reads the rows; false when the user
// gave up or the year could not be read (told).
bool mapped(Services& services, QWidget& owner, const std::function<bool()>& map) {
    const FailureReport report(owner, services.messages, lcExchange());
    bool done = false;
    return report.attempt(QStringLiteral("No se pueden leer las cuentas del año"), [&] {
        done = map();
    }) && done;
}

// Reads the statement, asks which of our accounts each bank account is and
// remembers the answer. Nothing when the user cancels or the year fails.
std::optional<ImportSource> statementSource(AppState& state, Services& services, QWidget& owner,
                                            ImportSession& session, const QString& shown) {
    try {
        WaitCursor wait(owner);
        session.readStatement();
    } catch (const Norma43Error& error) {
        services.messages.fail(&owner, QStringLiteral("No se ha importado nada: el extracto %1 no "
                                                      "se puede leer, %2.")
                                           .arg(shown, error.message()));
        return std::nullopt;
    }
    const auto choose = [&](const BankAccountQuestion& question) -> std::optional<QString> {
        if (!question.memoryProblem.isEmpty()) {
            services.messages.warn(
                &owner, QStringLiteral("No se pueden usar las cuentas recordadas de los "
                                       "extractos: %1. Elija la cuenta de cada una; esta vez no "
                                       "se recordará.")
                            .arg(question.memoryProblem));
        }
        const N43Account& account = question.account;
        return askAccount(
            services, owner,
            QStringLiteral("¿Qué cuenta es la %1 %2 %3 de %4?")
                .arg(account.bank, account.branch, account.account, account.holder.trimmed()),
            question.accounts, question.proposed);
    };
    if (!mapped(services, owner,
                [&] { return session.mapStatement(choose, state.session.programFolder()); })) {
        return std::nullopt;
    }
    return ImportSource{describeStatement(session.statement()), true};
}

// Reads a bank's own movements file, asks which of our accounts it is and reads its
// movements through the columns found or remembered.
std::optional<ImportSource> bankFileSource(AppState& state, Services& services, QWidget& owner,
                                           ImportSession& session, const QString& shown) {
    std::optional<QString> failure;
    {
        WaitCursor wait(owner);
        failure = session.readBankFile(state.session.programFolder());
    }
    if (failure) {
        services.messages.fail(
            &owner, QStringLiteral("No se ha importado nada: el archivo %1 no se puede leer: %2.")
                        .arg(shown, *failure));
        return std::nullopt;
    }
    const auto choose = [&](const BankFileQuestion& question) -> std::optional<QString> {
        if (!question.memoryProblem.isEmpty()) {
            services.messages.warn(
                &owner, QStringLiteral("No se pueden usar las columnas recordadas: %1. Esta vez "
                                       "no se recordarán.")
                            .arg(question.memoryProblem));
        }
        return askAccount(services, owner,
                          QStringLiteral("¿En qué cuenta se importan los movimientos de %1?")
                              .arg(QFileInfo(shown).fileName()),
                          question.accounts, question.proposed);
    };
    if (!mapped(services, owner,
                [&] { return session.mapBankFile(choose, state.session.programFolder()); })) {
        return std::nullopt;
    }
    return ImportSource{bankFileRead(session), true, true};
}

// The file's rows, or nothing when it cannot be read or the user cancels (told).
std::optional<ImportSource> readSource(AppState& state, Services& services, QWidget& owner,
                                       ImportSession& session, const QString& shown) {
    if (session.format() == ImportFormat::Norma43) {
        return statementSource(state, services, owner, session, shown);
    }
    if (session.format() == ImportFormat::BankFile) {
        return bankFileSource(state, services, owner, session, shown);
    }
    std::optional<QString> failure;
    {
        WaitCursor wait(owner);
        failure = session.readCsv();
    }
    if (failure) {
        services.messages.fail(
            &owner, QStringLiteral("No se ha importado nada: el archivo %1 no se puede leer. %2")
                        .arg(shown, *failure));
        return std::nullopt;
    }
    return ImportSource{QStringLiteral("Archivo CSV: ") + describeDialect(session.dialect()),
                        false};
}

} // namespace

bool importFromMenu(AppState& state, Services& services, QWidget& owner) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<QString> path = services.files.openFile(
        &owner, QStringLiteral("Importar movimientos"), folder,
        QStringLiteral("Movimientos (*.csv *.xlsx *.xls *.n43 *.aeb43 *.txt);;"
                       "Todos los archivos (*)"));
    if (!path) {
        return false;
    }
    const QString shown = QDir::toNativeSeparators(*path);
    ImportSession session(state.session,
                          calendarYearOf(state.session.year(), services.clock.today()));
    if (const auto refusal = session.open(*path)) {
        qCWarning(lcExchange).noquote() << "archivo no importado:" << *refusal;
        services.messages.fail(&owner,
                               QStringLiteral("No se ha importado nada: %1.").arg(*refusal));
        return false;
    }
    std::optional<ImportSource> source;
    try {
        source = readSource(state, services, owner, session, shown);
    } catch (const std::bad_alloc&) {
        qCWarning(lcExchange).noquote() << "sin memoria para leer" << *path;
        services.messages.fail(&owner,
                               QStringLiteral("No se ha importado nada: %1 para leer el archivo "
                                              "%2. Cierre otros programas y vuelva a intentarlo.")
                                   .arg(kNoMemory, shown));
        return false;
    }
    if (!source) {
        return false;
    }
    frmImportar window(state, services, session, &owner);
    if (!window.setSource(std::move(*source))) {
        return false;
    }
    runWithWaitCursor(owner, services.dialogs, window);
    return window.written() > 0;
}

} // namespace velmora
