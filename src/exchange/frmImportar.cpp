#include "exchange/frmImportar.h"

#include "exchange/AccountProposals.h"
#include "exchange/Csv.h"
#include "exchange/Norma43.h"
#include "startup/AppState.h"
#include "startup/Settings.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "ui/AcceptCancel.h"
#include "ui/Formats.h"
#include "ui/Logging.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/SafetyCopies.h"

#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

const QString kNotImported = QStringLiteral("No importar");
const QString kAlreadyThere = QStringLiteral("ya está");

// Red amounts for money spent, as a reader of accounts expects.
const QColor kExpense(192, 0, 0);

enum AcceptedColumn { LineCol, DateCol, DescriptionCol, IntoCol, OutOfCol, AmountCol, StateCol };

QString plural(qsizetype count, const QString& one, const QString& many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

QTableWidget* makeGrid(QWidget* parent, const char* name, const QStringList& headers) {
    auto* grid = new QTableWidget(0, int(headers.size()), parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setHorizontalHeaderLabels(headers);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

QTableWidgetItem* cellItem(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

// Wide enough for the longest choice of the drop-downs in it, which the column's
// own fit does not see.
void fitComboColumn(QTableWidget& grid, int column) {
    int width = grid.columnWidth(column);
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (QWidget* combo = grid.cellWidget(r, column)) {
            width = std::max(width, combo->sizeHint().width());
        }
    }
    grid.setColumnWidth(column, width);
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

} // namespace

frmImportar::frmImportar(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcExchange()) {
    setObjectName(QStringLiteral("frmImportar"));
    setWindowTitle(QStringLiteral("Importar movimientos"));
    buildControls();
}

void frmImportar::buildControls() {
    lblLeido = new QLabel(this);
    lblLeido->setObjectName(QStringLiteral("lblLeido"));
    lblLeido->setWordWrap(true);

    grdApuntes = makeGrid(this, "grdApuntes",
                          {QStringLiteral("Línea"), QStringLiteral("Fecha"),
                           QStringLiteral("Concepto"), QStringLiteral("Entra en"),
                           QStringLiteral("Sale de"), QStringLiteral("Importe"), QString()});
    grdApuntes->horizontalHeader()->setSectionResizeMode(DescriptionCol, QHeaderView::Stretch);
    grdCuentas = makeGrid(
        this, "grdCuentas",
        {QStringLiteral("Cuenta"), QStringLiteral("Apuntes"), QStringLiteral("Crear como")});
    grdCuentas->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grdSinCuenta =
        makeGrid(this, "grdSinCuenta",
                 {QStringLiteral("Línea"), QStringLiteral("Fecha"), QStringLiteral("Concepto"),
                  QStringLiteral("Importe"), QStringLiteral("Falta"), QStringLiteral("Cuenta")});
    grdSinCuenta->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    // Their lines hold a drop-down each.
    const int comboHeight = QComboBox().sizeHint().height();
    grdCuentas->verticalHeader()->setDefaultSectionSize(comboHeight);
    grdSinCuenta->verticalHeader()->setDefaultSectionSize(comboHeight);
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
    source_ = std::move(source);
    created_.clear();
    unknown_.clear();
    picked_.clear();
    grdCuentas->setRowCount(0);
    lblLeido->setText(source_.read);
    if (!report_.attempt(QStringLiteral("No se pueden leer las cuentas del año"),
                         [&] { accounts_ = accountNames(state_.db()); })) {
        return false;
    }
    // The rows that wait for a pick stay the same whatever is chosen.
    fillMissing();
    return replan();
}

bool frmImportar::waitsForPick(const ImportedRow& row) const {
    return source_.pickMissing &&
           (row.goesInto.trimmed().isEmpty() || row.comesOutOf.trimmed().isEmpty());
}

QList<ImportedRow> frmImportar::rowsToPlan() const {
    QList<ImportedRow> rows;
    rows.reserve(source_.rows.size());
    for (qsizetype i = 0; i < source_.rows.size(); ++i) {
        ImportedRow row = source_.rows[i];
        if (waitsForPick(row)) {
            const QString pick = picked_.value(int(i));
            if (pick.isEmpty()) {
                continue;
            }
            (row.goesInto.trimmed().isEmpty() ? row.goesInto : row.comesOutOf) = pick;
        }
        rows.append(row);
    }
    return rows;
}

bool frmImportar::replan() {
    ImportPlan plan;
    if (!report_.attempt(QStringLiteral("No se puede preparar la importación"), [&] {
            plan = planImport(state_.db(), rowsToPlan(), state_.year.toInt(), created_);
        })) {
        return false;
    }
    plan_ = std::move(plan);
    for (const UnknownAccount& account : plan_.unknownAccounts) {
        const auto listed = std::find_if(unknown_.begin(), unknown_.end(), [&](const auto& known) {
            return known.name.compare(account.name, Qt::CaseInsensitive) == 0;
        });
        if (listed == unknown_.end()) {
            unknown_.append(account);
        } else if (!created_.contains(listed->name)) {
            listed->rows = account.rows;
        }
    }
    showPlan();
    return true;
}

void frmImportar::showPlan() {
    fillAccepted();
    fillUnknown();
    fillRefused();
    const int duplicates = plan_.duplicates();
    const auto added = plan_.accepted.size() - duplicates;
    qsizetype waitingPicks = 0;
    for (qsizetype i = 0; i < source_.rows.size(); ++i) {
        if (waitsForPick(source_.rows[i]) && picked_.value(int(i)).isEmpty()) {
            ++waitingPicks;
        }
    }
    const qsizetype refused = lstRechazadas->count();
    const auto caption = [this](QWidget* page, const QString& text, qsizetype count) {
        const int index = tabs->indexOf(page);
        tabs->setTabText(index, QStringLiteral("%1 (%2)").arg(text).arg(count));
    };
    caption(grdApuntes, QStringLiteral("Apuntes a añadir"), plan_.accepted.size());
    caption(grdCuentas, QStringLiteral("Cuentas nuevas"), unknown_.size());
    caption(grdSinCuenta, QStringLiteral("Sin cuenta"), waitingPicks);
    caption(lstRechazadas, QStringLiteral("Rechazados"), refused);
    tabs->setTabVisible(tabs->indexOf(grdCuentas), !unknown_.isEmpty());
    tabs->setTabVisible(tabs->indexOf(grdSinCuenta), grdSinCuenta->rowCount() > 0);
    tabs->setTabVisible(tabs->indexOf(lstRechazadas), refused > 0);

    QStringList parts;
    parts << QStringLiteral("Se añadirán %1")
                 .arg(plural(added, QStringLiteral("apunte"), QStringLiteral("apuntes")));
    parts << plural(refused, QStringLiteral("rechazado"), QStringLiteral("rechazados"));
    parts << QStringLiteral("%1 en el año")
                 .arg(
                     plural(duplicates, QStringLiteral("ya estaba"), QStringLiteral("ya estaban")));
    const qsizetype waiting = plan_.waiting.size() + waitingPicks;
    if (waiting > 0) {
        parts << QStringLiteral("%1 sin cuenta")
                     .arg(plural(waiting, QStringLiteral("queda"), QStringLiteral("quedan")));
    }
    lblResumen->setText(parts.join(QStringLiteral("; ")));
    cmdImportar->setEnabled(!plan_.accepted.isEmpty());
}

void frmImportar::fillAccepted() {
    grdApuntes->setUpdatesEnabled(false);
    grdApuntes->setRowCount(int(plan_.accepted.size()));
    for (int r = 0; r < int(plan_.accepted.size()); ++r) {
        const PlannedEntry& entry = plan_.accepted[r];
        const ImportedRow& row = entry.row;
        grdApuntes->setItem(r, LineCol, cellItem(QString::number(row.line), Qt::AlignRight));
        grdApuntes->setItem(r, DateCol, cellItem(formatDate(row.date)));
        grdApuntes->setItem(r, DescriptionCol, cellItem(row.description));
        grdApuntes->setItem(r, IntoCol, cellItem(row.goesInto));
        grdApuntes->setItem(r, OutOfCol, cellItem(row.comesOutOf));
        QTableWidgetItem* amount = cellItem(formatCents(row.cents), Qt::AlignRight);
        if (entry.movementClass == QLatin1String("G")) {
            amount->setForeground(kExpense);
        }
        grdApuntes->setItem(r, AmountCol, amount);
        grdApuntes->setItem(r, StateCol, cellItem(entry.duplicate ? kAlreadyThere : QString()));
    }
    grdApuntes->resizeColumnsToContents();
    grdApuntes->setUpdatesEnabled(true);
}

// Only adds the rows of accounts not listed yet: a choice re-plans from inside its
// own list, which must outlive that.
void frmImportar::fillUnknown() {
    const int listed = grdCuentas->rowCount();
    grdCuentas->setRowCount(int(unknown_.size()));
    for (int r = 0; r < int(unknown_.size()); ++r) {
        const UnknownAccount& account = unknown_[r];
        grdCuentas->setItem(r, 1, cellItem(QString::number(account.rows), Qt::AlignRight));
        if (r < listed) {
            continue;
        }
        grdCuentas->setItem(r, 0, cellItem(account.name));
        auto* kind = new QComboBox(grdCuentas);
        kind->setObjectName(QStringLiteral("cboTipo%1").arg(r));
        kind->addItems({kNotImported, kindWord(QStringLiteral("I")), kindWord(QStringLiteral("G")),
                        kindWord(QStringLiteral("C"))});
        const QString name = account.name;
        connect(kind, &QComboBox::currentTextChanged, this, [this, name](const QString& word) {
            const QString letter = kindLetter(word);
            if (letter.isEmpty()) {
                created_.remove(name);
            } else {
                created_.insert(name, letter);
            }
            replan();
        });
        grdCuentas->setCellWidget(r, 2, kind);
    }
    grdCuentas->resizeColumnsToContents();
    fitComboColumn(*grdCuentas, 2);
}

void frmImportar::fillMissing() {
    QList<int> waiting;
    for (qsizetype i = 0; i < source_.rows.size(); ++i) {
        if (waitsForPick(source_.rows[i])) {
            waiting.append(int(i));
        }
    }
    grdSinCuenta->setRowCount(int(waiting.size()));
    for (int r = 0; r < int(waiting.size()); ++r) {
        const int index = waiting[r];
        const ImportedRow& row = source_.rows[index];
        const bool intoMissing = row.goesInto.trimmed().isEmpty();
        grdSinCuenta->setItem(r, 0, cellItem(QString::number(row.line), Qt::AlignRight));
        grdSinCuenta->setItem(r, 1, cellItem(formatDate(row.date)));
        grdSinCuenta->setItem(r, 2, cellItem(row.description));
        grdSinCuenta->setItem(r, 3, cellItem(formatCents(row.cents), Qt::AlignRight));
        grdSinCuenta->setItem(
            r, 4, cellItem(intoMissing ? QStringLiteral("Entra en") : QStringLiteral("Sale de")));
        auto* pick = new QComboBox(grdSinCuenta);
        pick->setObjectName(QStringLiteral("cboCuenta%1").arg(r));
        pick->addItem(QString());
        pick->addItems(accounts_);
        connect(pick, &QComboBox::currentTextChanged, this, [this, index](const QString& name) {
            if (name.isEmpty()) {
                picked_.remove(index);
            } else {
                picked_.insert(index, name);
            }
            replan();
        });
        grdSinCuenta->setCellWidget(r, 5, pick);
    }
    grdSinCuenta->resizeColumnsToContents();
    fitComboColumn(*grdSinCuenta, 5);
}

void frmImportar::fillRefused() {
    QList<RefusedLine> refused = source_.refused + plan_.refused;
    std::stable_sort(refused.begin(), refused.end(),
                     [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
    lstRechazadas->clear();
    for (const RefusedLine& line : refused) {
        lstRechazadas->addItem(QStringLiteral("Línea %1: %2").arg(line.line).arg(line.reason));
    }
}

void frmImportar::opened() {
    // What still needs a decision comes first.
    if (grdCuentas->rowCount() > 0) {
        tabs->setCurrentWidget(grdCuentas);
    } else if (grdSinCuenta->rowCount() > 0) {
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
                      .arg(duplicates),
            MessageIcon::Question);
    }
    if (!withDuplicates && plan_.accepted.size() == duplicates) {
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
                [&] {
                    SafetyCopies(state_.dataRoot, state_.year)
                        .write(state_.db(), services_.clock.now());
                })) {
            return;
        }
        if (!report_.attempt(QStringLiteral("No se ha importado nada"), [&] {
                result = writeImport(state_.db(), plan_, created_, withDuplicates);
            })) {
            return;
        }
    }
    written_ = result.written;
    QString done = result.written == 1
                       ? QStringLiteral("Importado 1 apunte.")
                       : QStringLiteral("Importados %1 apuntes.").arg(result.written);
    if (result.accountsCreated > 0) {
        done += result.accountsCreated == 1
                    ? QStringLiteral(" Se ha creado 1 cuenta.")
                    : QStringLiteral(" Se han creado %1 cuentas.").arg(result.accountsCreated);
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

// Reads the statement, asks which of our accounts each bank account is and
// remembers the answer. Nothing when the user cancels or the year fails.
std::optional<ImportSource> statementSource(AppState& state, Services& services, QWidget& owner,
                                            const N43Statement& statement) {
    const FailureReport report(owner, services.messages, lcExchange());
    QStringList accounts;
    QString firstCash; // a bank account is kept as a "Caja" account
    std::optional<AccountProposals> proposals;
    if (!report.attempt(QStringLiteral("No se pueden leer las cuentas del año"), [&] {
            accounts = accountNames(state.db());
            for (const Account& account : listAccounts(state.db(), QString())) {
                if (account.kind == QLatin1String("C")) {
                    firstCash = account.name;
                    break;
                }
            }
            proposals.emplace(state.db());
        })) {
        return std::nullopt;
    }
    const SettingsFiles settings(state.programFolder);
    ImportSource source;
    source.read = describeStatement(statement);
    source.pickMissing = true;
    for (const N43Account& account : statement.accounts) {
        const QString remembered = settings.readBankAccount(account.key());
        frmCuentaExtracto chooser(
            QStringLiteral("¿Qué cuenta es la %1 %2 %3 de %4?")
                .arg(account.bank, account.branch, account.account, account.holder.trimmed()),
            accounts, remembered.isEmpty() ? firstCash : remembered, &owner);
        if (services.dialogs.run(chooser) != QDialog::Accepted || chooser.chosen().isEmpty()) {
            return std::nullopt;
        }
        try {
            settings.writeBankAccount(account.key(), chooser.chosen());
        } catch (const SettingsError& error) {
            // Only a convenience for the next statement: the import goes on.
            qCWarning(lcExchange).noquote() << error.message();
        }
        source.rows += statementRows(account, chooser.chosen(), *proposals);
    }
    return source;
}

} // namespace

bool importFromMenu(AppState& state, Services& services, QWidget& owner) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<QString> path =
        services.files.openFile(&owner, QStringLiteral("Importar movimientos"), folder,
                                QStringLiteral("Movimientos (*.csv *.n43 *.aeb43 *.txt);;"
                                               "Todos los archivos (*)"));
    if (!path) {
        return false;
    }
    const QString shown = QDir::toNativeSeparators(*path);
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcExchange).noquote()
            << "no se puede abrir" << *path << "-" << file.errorString();
        services.messages.fail(&owner,
                               QStringLiteral("No se puede abrir el archivo %1.").arg(shown));
        return false;
    }
    std::optional<ImportSource> source;
    if (looksLikeNorma43(file.peek(512))) {
        N43Statement statement;
        try {
            statement = readNorma43(file);
        } catch (const Norma43Error& error) {
            services.messages.fail(&owner,
                                   QStringLiteral("No se ha importado nada: el extracto %1 no se "
                                                  "puede leer, %2.")
                                       .arg(shown, error.message()));
            return false;
        }
        source = statementSource(state, services, owner, statement);
        if (!source) {
            return false;
        }
    } else {
        CsvRead read = readCsv(file);
        if (!read.failure.isEmpty()) {
            services.messages.fail(
                &owner,
                QStringLiteral("No se ha importado nada: el archivo %1 no se puede leer. %2")
                    .arg(shown, read.failure));
            return false;
        }
        source = ImportSource{QStringLiteral("Archivo CSV: ") + describeDialect(read.dialect),
                              std::move(read.rows), std::move(read.refused), false};
    }
    frmImportar window(state, services, &owner);
    if (!window.setSource(std::move(*source))) {
        return false;
    }
    runWithWaitCursor(owner, services.dialogs, window);
    return window.written() > 0;
}

} // namespace velmora
