#include "app/frmPrincipal.h"

#include "accounts/frmCuentas.h"
#include "analysis/frmArrastre.h"
#include "analysis/frmBalance.h"
#include "analysis/frmEstadisticas.h"
#include "analysis/frmEvolucion.h"
#include "analysis/frmExtracto.h"
#include "analysis/frmResumen.h"
#include "analysis/frmSaldos.h"
#include "budget/frmPresupuesto.h"
#include "entries/EntryTableModel.h"
#include "entries/ListReport.h"
#include "entries/frmApuntesDetalle.h"
#include "exchange/CsvExport.h"
#include "exchange/frmImportar.h"
#include "exchange/frmReglas.h"
#include "maintenance/frmCopiaPen.h"
#include "preferences/frmAcercaDe.h"
#include "preferences/frmColor.h"
#include "preferences/frmConfiguracion.h"
#include "receipts/frmRecibos.h"
#include "receipts/frmRecibosPendientes.h"
#include "reports/frmInformeListado.h"
#include "state/Logging.h"
#include "state/PathGate.h"
#include "store/Amount.h"
#include "store/CompanyStore.h"
#include "store/EntryStore.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/Icons.h"
#include "ui/ListFlow.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/OutputFile.h"
#include "ui/Palette.h"
#include "ui/Services.h"
#include "ui/WindowKit.h"
#include "ui/clsMW.h"
#include "years/Compactar.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"
#include "years/frmAno.h"
#include "years/frmBuscarAnos.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {

namespace {

QFont segoe() {
    QFont font(QStringLiteral("Segoe UI"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(segoe());
    return label;
}

} // namespace

frmPrincipal::frmPrincipal(AppState& state, Services& services, QWidget* parent)
    : QMainWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcEntries()) {
    setObjectName(QStringLiteral("frmPrincipal"));
    buildControls();
    buildMenu();
    // A colour picked in the colour window shows here at once.
    connect(&state_.palette, &Palette::changed, this, &frmPrincipal::paintSections);
    pressButtonsOnEnter(*this);
    // The layouts keep every command and caption whole; this only keeps a few
    // rows of the list in sight.
    resize(960, 640);
    applySharedState(true);
}

frmPrincipal::~frmPrincipal() = default;

void frmPrincipal::buildControls() {
    central_ = new QWidget(this);
    setCentralWidget(central_);

    Label3 = makeLabel(central_, "Label3", QStringLiteral("Desde"));
    Label4 = makeLabel(central_, "Label4", QStringLiteral("Hasta"));

    mskDesde = new DateField(state_.palette, services_.messages, DateField::Mask::Always, central_);
    mskDesde->setObjectName(QStringLiteral("mskDesde"));
    mskHasta = new DateField(state_.palette, services_.messages, DateField::Mask::Always, central_);
    mskHasta->setObjectName(QStringLiteral("mskHasta"));

    lblInfo = makeLabel(central_, "lblInfo", QString());
    lblFiltros = makeLabel(central_, "lblFiltros", QString());
    // What the user typed is shown, never read as markup.
    lblFiltros->setTextFormat(Qt::PlainText);

    struct CommandButton {
        QToolButton** button;
        const char* name;
        const char* caption;
        Command icon;
    };
    const CommandButton buttons[] = {
        {&cmdFiltrar, "cmdFiltrar", "&Filtro", Command::Find},
        {&cmdFiltroQuitar, "cmdFiltroQuitar", "&Quitar Filtro", Command::ClearFilter},
        {&cmdNovo, "cmdNovo", "&Nuevo", Command::New},
        {&cmdEditar, "cmdEditar", "&Editar", Command::Edit},
        {&cmdBorrar, "cmdBorrar", "&Borrar", Command::Delete},
        {&cmdInforme, "cmdInforme", "&Informe", Command::Report},
        {&cmdBalance, "cmdBalance", "Ba&lance", Command::Balance},
        {&cmdEstadisticas, "cmdEstadisticas", "Es&tadist.", Command::Statistics},
        {&cmdSalir, "cmdSalir", "&Salir", Command::Exit},
    };
    for (const CommandButton& command : buttons) {
        auto* button = new QToolButton(central_);
        button->setObjectName(QString::fromLatin1(command.name));
        button->setText(QString::fromUtf8(command.caption));
        button->setIcon(commandIcon(command.icon));
        button->setToolTip(commandToolTip(button->text()));
        button->setIconSize(QSize(28, 28));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        // Small enough for "Quitar Filtro" to fit under its picture.
        QFont captionFont = segoe();
        captionFont.setPixelSize(11);
        button->setFont(captionFont);
        button->setFocusPolicy(Qt::StrongFocus);
        *command.button = button;
    }
    connect(cmdFiltrar, &QToolButton::clicked, this, [this] { reload(); });
    connect(cmdFiltroQuitar, &QToolButton::clicked, this, [this] {
        clearFilters();
        reload();
    });
    connect(cmdBorrar, &QToolButton::clicked, this, [this] { deleteSelected(); });
    connect(cmdNovo, &QToolButton::clicked, this, [this] { newEntry(); });
    connect(cmdEditar, &QToolButton::clicked, this, [this] { editSelected(); });
    connect(cmdInforme, &QToolButton::clicked, this, &frmPrincipal::showReport);
    connect(cmdBalance, &QToolButton::clicked, this, [this] {
        frmBalance balance(state_, services_, this);
        runWithWaitCursor(*this, services_.dialogs, balance);
    });
    connect(cmdEstadisticas, &QToolButton::clicked, this, [this] {
        frmEstadisticas statistics(state_, services_, this);
        runWithWaitCursor(*this, services_.dialogs, statistics);
    });
    connect(cmdSalir, &QToolButton::clicked, this, [this] { close(); });

    model_ = new EntryTableModel(state_.palette, this);
    mshDatos = makeListGrid(central_, model_, "mshDatos");
    // One line per wheel notch, as in the other lists.
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);
    list_ = std::make_unique<ListFlow>(*this, *mshDatos, services_, EntryTableModel::DateColumn,
                                       [this] { return reload(); });
    mshDatos->setFont(segoe());
    mshDatos->horizontalHeader()->setSectionsClickable(true);
    mshDatos->horizontalHeader()->setHighlightSections(false);
    mshDatos->horizontalHeader()->setFont(segoe());
    mshDatos->viewport()->installEventFilter(this);
    connect(mshDatos, &QTableView::doubleClicked, this, [this] { editSelected(); });
    connect(mshDatos->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { showHeaderFilter(column); });

    lblBalance = makeLabel(central_, "lblBalance", QString());
    // Large totals on a narrow window take a second line rather than lose their end.
    lblBalance->setWordWrap(true);

    auto makeFilter = [this](FilterField*& field, const char* name) {
        field = new FilterField(state_.palette, FilterField::OnLeave::Hide, central_);
        field->setObjectName(QString::fromLatin1(name));
        field->setFont(segoe());
        field->hide();
        connect(field, &QLineEdit::returnPressed, this, [this] { reload(); });
        connect(field, &FilterField::escapePressed, this, [this, field] {
            field->clear();
            mshDatos->setFocus(Qt::OtherFocusReason);
            reload();
        });
    };
    makeFilter(txtFiltroDes, "txtFiltroDes");
    makeFilter(txtFiltroEntra, "txtFiltroEntra");
    makeFilter(txtFiltroSale, "txtFiltroSale");
    arrangeControls();

    // With Enter acting as Tab in the dates: from date, Enter, to date, Enter, "&Filtro".
    setTabChain({mskDesde, mskHasta, cmdFiltrar, cmdInforme, cmdBorrar, cmdSalir, mshDatos, cmdNovo,
                 cmdEditar, txtFiltroEntra, txtFiltroDes, txtFiltroSale, cmdFiltroQuitar,
                 cmdBalance, cmdEstadisticas});
}

// The dates and the count on the left, the commands beside them, the list below
// taking whatever the window gives, and the totals under it. The header filter
// boxes stay out of the layout: they are placed over their header cell when used.
void frmPrincipal::arrangeControls() {
    // Wide enough for a whole date, which the mask never scrolls.
    const int dateWidth = std::max(
        twips(1572), mskDesde->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) +
                         2 * mskDesde->fontMetrics().averageCharWidth() + 8);
    mskDesde->setFixedWidth(dateWidth);
    mskHasta->setFixedWidth(dateWidth);
    auto* range = new QGridLayout;
    range->setContentsMargins(0, 0, 0, 0);
    range->setVerticalSpacing(2);
    range->setHorizontalSpacing(6);
    range->addWidget(Label3, 0, 0);
    range->addWidget(Label4, 0, 1);
    range->addWidget(mskDesde, 1, 0);
    range->addWidget(mskHasta, 1, 1);
    range->setRowStretch(2, 1);

    auto* commands = new QHBoxLayout;
    commands->setContentsMargins(0, 0, 0, 0);
    commands->setSpacing(0);
    for (QToolButton* button : {cmdFiltrar, cmdFiltroQuitar, cmdNovo, cmdEditar, cmdBorrar,
                                cmdInforme, cmdBalance, cmdEstadisticas, cmdSalir}) {
        commands->addWidget(button, 0, Qt::AlignTop);
    }
    commands->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addLayout(range);
    top->addLayout(commands, 1);

    // Room for a few rows at least, whatever the window's size.
    mshDatos->setMinimumHeight(6 * mshDatos->verticalHeader()->defaultSectionSize());
    mshDatos->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // The record count where it always was, under the dates, and after it the
    // filters the list obeys, with the rest of the window's width to say so.
    lblInfo->setFixedWidth(2 * dateWidth + range->horizontalSpacing());
    lblFiltros->setMinimumWidth(1);
    lblFiltros->installEventFilter(this);
    auto* counts = new QHBoxLayout;
    counts->setContentsMargins(0, 0, 0, 0);
    counts->setSpacing(0);
    counts->addWidget(lblInfo);
    counts->addWidget(lblFiltros, 1);

    auto* page = new QVBoxLayout(central_);
    page->setContentsMargins(twips(120), twips(60), twips(120), twips(60));
    page->setSpacing(4);
    page->addLayout(top);
    page->addLayout(counts);
    page->addWidget(mshDatos, 1);
    page->addWidget(lblBalance);
}

namespace {

// Opens one of the modal windows over the main window and waits for it to close.
template <typename Window> void showModal(AppState& state, Services& services, QWidget* owner) {
    Window window(state, services, owner);
    services.dialogs.run(window);
}

} // namespace

void frmPrincipal::offerDueReceipts() {
    if (offerPendingReceipts(state_, services_, *this) > 0) {
        reload();
    }
}

void frmPrincipal::buildMenu() {
    QMenu* mnuOpciones = menuBar()->addMenu(QStringLiteral("&Opciones"));
    mnuOpciones->setObjectName(QStringLiteral("mnuOpciones"));
    const auto add = [this, mnuOpciones](const char* name, const char* caption, auto action) {
        QAction* item = mnuOpciones->addAction(QString::fromUtf8(caption));
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    // Renames made there reach this list at its next reload, not at once.
    add("mnuCuentas", "&1. Cuentas", [this] { showModal<frmCuentas>(state_, services_, this); });
    add("mnuAnos", "&2. Gestión de Años", [this] {
        showModal<frmAno>(state_, services_, this);
        applySharedState(true);
    });
    // The list keeps its rows: a compaction changes the file, not the entries.
    add("mnuOpCompactar", "&3. Compactar", [this] { compactFromMenu(state_, services_, this); });
    add("mnuOpCopia", "&4. Copia Seguridad", [this] {
        showModal<frmCopiaPen>(state_, services_, this);
        // A restore puts other entries in place of the listed ones.
        applySharedState(false);
    });
    // The colours reach this window and its grid as they are clicked.
    add("mnuOpCores", "&5. Cores", [this] { showModal<frmColor>(state_, services_, this); });
    add("mnuOpAcercade", "&6. Acerca de ...",
        [this] { showModal<frmAcercaDe>(state_, services_, this); });
    add("mnuOpConfiguracion", "&7. Configuración",
        [this] { showModal<frmConfiguracion>(state_, services_, this); });
    add("mnuOpExportar", "&8. Exportar CSV ...", [this] { exportList(); });
    add("mnuOpImportar", "&9. Importar CSV ...", [this] {
        if (importFromMenu(state_, services_, *this)) {
            reload();
        }
    });
    // At the list's "Hasta": how much there was at the end of what is listed.
    QAction* mnuOpSaldos = add("mnuOpSaldos", "Saldos ...", [this] {
        frmSaldos balances(state_, services_, this);
        balances.setDate(mskHasta->date().value_or(QDate()));
        // An account's register, or the opening balances taken again, over the
        // balances; either may move their figures.
        connect(&balances, &frmSaldos::accountChosen, &balances,
                [this, &balances](const QString& account) {
                    frmExtracto statement(state_, services_, &balances);
                    statement.setAccount(account);
                    services_.dialogs.run(statement);
                    balances.reload();
                });
        connect(&balances, &frmSaldos::carryOverRequested, &balances, [this, &balances] {
            frmArrastre carry(state_, services_, &balances);
            services_.dialogs.run(carry);
            balances.reload();
        });
        services_.dialogs.run(balances);
        // An entry edited from a register shows in the list too.
        reload();
    });
    mnuOpSaldos->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    add("mnuOpPresupuesto", "Presupuesto ...",
        [this] { showModal<frmPresupuesto>(state_, services_, this); });
    add("mnuOpResumen", "Resumen anual ...",
        [this] { showModal<frmResumen>(state_, services_, this); });
    add("mnuOpRecibos", "Recibos ...", [this] {
        frmRecibos receipts(state_, services_, this);
        services_.dialogs.run(receipts);
        if (receipts.written() > 0) {
            reload();
        }
    });
    add("mnuOpReglas", "Reglas de importación ...",
        [this] { showModal<frmReglas>(state_, services_, this); });
    // Ctrl+Z anywhere in the window but in a text field, which undoes its own typing.
    mnuOpDeshacer = add("mnuOpDeshacer", "Deshacer borrado", [this] { undoDelete(); });
    mnuOpDeshacer->setShortcut(QKeySequence::Undo);
    mnuOpDeshacer->setEnabled(false);
    // The filter used most, without the mouse; not in the menu, which stays as it was.
    auto* findDescription = new QAction(this);
    findDescription->setObjectName(QStringLiteral("actFiltroConcepto"));
    findDescription->setShortcut(QKeySequence::Find);
    connect(findDescription, &QAction::triggered, this,
            [this] { showHeaderFilter(EntryTableModel::DescriptionColumn); });
    addAction(findDescription);
    QAction* searchYears =
        add("mnuOpBuscarAnos", "Buscar en todos los años ...", [this] { searchAllYears(); });
    searchYears->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    add("mnuOpEvolucion", "Dinero en caja a fin de mes ...",
        [this] { showModal<frmEvolucion>(state_, services_, this); });
    add("mnuOpSalir", "&6. Salir", [this] { close(); });
}

void frmPrincipal::paintSections() {
    paintBackground(*lblInfo, state_.palette.section());
    paintBackground(*lblBalance, state_.palette.section());
    paintBackground(*lblFiltros, state_.palette.section());
}

void frmPrincipal::layoutControls() {
    paintSections();
    showActiveFilters();
    applyColumnWidths();
}

void frmPrincipal::showActiveFilters() {
    const QString line = activeFiltersLine(listed_);
    lblFiltros->setToolTip(line);
    // Cut to the room there is, with the whole line in the tooltip.
    lblFiltros->setText(
        lblFiltros->fontMetrics().elidedText(line, Qt::ElideRight, lblFiltros->width()));
}

void frmPrincipal::applySharedState(bool yearRange) {
    // Another year, or a restored copy of this one: what was deleted from the old
    // file has no place in the new one.
    deleted_.clear();
    state_.deletedAccounts.clear();
    if (mnuOpDeshacer != nullptr) {
        mnuOpDeshacer->setEnabled(false);
    }
    setWindowTitle(QStringLiteral("Velmora ## Año ") + state_.session.year());
    layoutControls();
    if (yearRange) {
        setYearRange();
    }
    reload();
    if (yearRange) {
        noticeUndatedEntries();
    }
}

// A year from elsewhere may hold entries without a readable date: no range lists
// them, so the user hears of them once when the year is opened.
void frmPrincipal::noticeUndatedEntries() {
    std::vector<qint64> ids;
    if (!report_.attempt(QStringLiteral("No se puede leer la lista de apuntes"),
                         [&] { ids = undatedEntries(state_.db()); }) ||
        ids.empty()) {
        return;
    }
    services_.messages.warn(this, QStringLiteral("Los apuntes nº %1 no tienen una fecha que "
                                                 "se pueda leer y no aparecen en la lista.")
                                      .arg(namedEntries(ids)));
}

void frmPrincipal::searchAllYears() {
    frmBuscarAnos window(state_, services_, this);
    services_.dialogs.run(window);
    if (const auto& chosen = window.chosen()) {
        applySharedState(true);
        selectEntry(chosen->id, chosen->date);
    }
}

void frmPrincipal::selectEntry(qint64 id, const QDate& date) {
    const auto lineOf = [this, id]() -> std::optional<int> {
        const EntryList& list = model_->list();
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].id == id) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    };
    std::optional<int> line = lineOf();
    if (!line) {
        // Hidden by the filters or outside the range: the list opens up to show it.
        clearFilters();
        if (date.isValid() && (mskDesde->date() > date || mskHasta->date() < date)) {
            mskDesde->setText(QStringLiteral("01/01/%1").arg(date.year()));
            mskHasta->setText(QStringLiteral("31/12/%1").arg(date.year()));
        }
        if (!reload()) {
            return;
        }
        line = lineOf();
    }
    if (line) {
        selectLineAtTop(*mshDatos, *line + 1, EntryTableModel::DateColumn);
        mshDatos->setFocus();
    }
}

void frmPrincipal::setYearRange() {
    // A year named "Casa" has no digits of its own to put there.
    const QString year =
        QString::number(calendarYearOf(state_.session.year(), services_.clock.today()));
    mskDesde->setText(QStringLiteral("01/01/") + year);
    mskHasta->setText(QStringLiteral("31/12/") + year);
}

void frmPrincipal::applyColumnWidths() {
    // Shares of what the rows get, so that no column lies under the scroll bar.
    const double w = mshDatos->viewport()->width();
    const auto share = [w](double fraction) { return static_cast<int>(std::lround(fraction * w)); };
    // The description takes what the other columns leave; the header has no sections
    // until the model has given its columns.
    QHeaderView* header = mshDatos->horizontalHeader();
    if (header->count() > EntryTableModel::DescriptionColumn) {
        header->setSectionResizeMode(EntryTableModel::DescriptionColumn, QHeaderView::Stretch);
    }
    mshDatos->setColumnWidth(EntryTableModel::IdColumn, 0);
    mshDatos->setColumnWidth(EntryTableModel::ClassColumn, 0);
    mshDatos->setColumnHidden(EntryTableModel::IdColumn, true);
    mshDatos->setColumnHidden(EntryTableModel::ClassColumn, true);
    mshDatos->setColumnWidth(EntryTableModel::LineColumn, twips(500));
    setColumnWidthToFit(*mshDatos, EntryTableModel::DateColumn, share(0.12), {0});
    mshDatos->setColumnWidth(EntryTableModel::GoesIntoColumn, share(0.15));
    mshDatos->setColumnWidth(EntryTableModel::ComesOutOfColumn, share(0.15));
    // Never narrower than the longest amount listed, which the grid would cut.
    setColumnWidthToFit(*mshDatos, EntryTableModel::AmountColumn, share(0.1),
                        model_->list().widestAmountRows());
}

bool frmPrincipal::reload() {
    const std::optional<QDate> from = mskDesde->date();
    if (!from) {
        mskDesde->checkDate();
        return false;
    }
    const std::optional<QDate> to = mskHasta->date();
    if (!to) {
        mskHasta->checkDate();
        return false;
    }
    const EntryFilter filter{txtFiltroDes->text(), txtFiltroEntra->text(), txtFiltroSale->text(),
                             *from, *to};
    listed_ = filter;
    EntryList list;
    if (!report_.attempt(QStringLiteral("No se puede leer la lista de apuntes"),
                         [&] { list = queryEntries(state_.db(), filter, &model_->list()); })) {
        return false;
    }

    mshDatos->setUpdatesEnabled(false);
    const size_t count = list.size();
    totals_ = list.totals;
    model_->setList(std::move(list));
    applyColumnWidths();
    showReloadedGrid(*mshDatos, EntryTableModel::DateColumn);
    lblInfo->setText(recordCountLine(count));
    showActiveFilters();
    lblBalance->setText(totalsLine(totals_));
    mshDatos->setUpdatesEnabled(true);
    noticeUnreadableAmounts(model_->list());
    return true;
}

void frmPrincipal::showReport() {
    std::optional<Company> company;
    if (!report_.attempt(QStringLiteral("No se pueden leer los datos de la empresa"),
                         [&] { company = loadCompany(state_.db()); })) {
        return;
    }
    // Over what the list shows, which is the range of the last reload even when
    // the date fields have been typed over since.
    frmInformeListado window(state_, services_, this);
    window.setRequest(listReport(listed_, company ? (*company)[0] : QString()));
    runWithWaitCursor(*this, services_.dialogs, window);
}

void frmPrincipal::exportList() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<QString> chosen = chooseOutputFile(
        services_, this, PathGate(state_.session.places()),
        {QStringLiteral("Exportar a CSV"),
         QDir(folder).filePath(
             QStringLiteral("apuntes-%1.csv").arg(state_.session.year().trimmed())),
         QStringLiteral("Archivos CSV (*.csv)"), QStringLiteral(".csv"), true});
    if (!chosen) {
        return;
    }
    const QString path = *chosen;
    const QString shown = QDir::toNativeSeparators(path);
    CsvExportFile exported;
    {
        WaitCursor wait(*this);
        if (!report_.attempt(QStringLiteral("No se puede exportar la lista de apuntes"),
                             [&] { exported = exportCsvFile(state_.db(), listed_, path); })) {
            return;
        }
    }
    if (exported.outcome != CsvExportFile::Outcome::Written) {
        qCWarning(lcEntries).noquote() << "no se puede escribir" << path << "-" << exported.error;
        services_.messages.fail(
            this, exported.outcome == CsvExportFile::Outcome::CannotOpen
                      ? QStringLiteral("No se puede escribir el archivo %1.").arg(shown)
                      : QStringLiteral("No se ha podido escribir el archivo %1. Si ya existía, "
                                       "queda como estaba.")
                            .arg(shown));
        return;
    }
    const CsvExport& result = exported.rows;
    QString done =
        result.written == 1
            ? QStringLiteral("Exportado 1 apunte a %1.").arg(shown)
            : QStringLiteral("Exportados %1 apuntes a %2.").arg(formatCount(result.written), shown);
    if (result.unreadable.size() == 1) {
        done += QStringLiteral(" Se ha dejado fuera el apunte nº %1, cuyo importe no es un número "
                               "válido: ábralo con «Editar» y ponga el importe correcto.")
                    .arg(result.unreadable.front());
    } else if (!result.unreadable.empty()) {
        done += QStringLiteral(" Se han dejado fuera los apuntes nº %1, cuyo importe no es un "
                               "número válido: ábralos con «Editar» y ponga el importe correcto.")
                    .arg(namedEntries(result.unreadable));
    }
    services_.messages.inform(this, done);
}

void frmPrincipal::noticeUnreadableAmounts(const EntryList& list) {
    const QString notice = unreadableAmountsNotice(list);
    if (notice != unreadableNotice_ && !notice.isEmpty()) {
        services_.messages.warn(this, notice);
    }
    unreadableNotice_ = notice;
}

void frmPrincipal::clearFilters() {
    txtFiltroDes->clear();
    txtFiltroEntra->clear();
    txtFiltroSale->clear();
}

void frmPrincipal::newEntry() {
    frmApuntesDetalle editor(state_, services_, this);
    editor.setEstado(frmApuntesDetalle::New);
    editor.setWindowTitle(QStringLiteral("Nuevo apunte"));
    list_->open(editor);
}

void frmPrincipal::editSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    state_.returnRow = *row + 1;
    frmApuntesDetalle editor(state_, services_, this);
    editor.setEstado(frmApuntesDetalle::Existing);
    editor.setId(model_->list()[static_cast<size_t>(*row)].id);
    editor.setWindowTitle(QStringLiteral("Modificando línea nº %1").arg(state_.returnRow));
    list_->edit(editor, state_.returnRow);
}

void frmPrincipal::deleteSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    const qint64 id = model_->list()[static_cast<size_t>(*row)].id;
    list_->remove(QStringLiteral("¿Borrar el apunte nº %1?").arg(*row + 1), [&] {
        return report_.attempt(QStringLiteral("No se puede borrar el apunte"), [&] {
            // Kept as the file held it, for "Deshacer borrado".
            if (std::optional<StoredEntry> taken = takeEntry(state_.db(), id)) {
                deleted_.push_back(std::move(*taken));
                mnuOpDeshacer->setEnabled(true);
            }
        });
    });
}

void frmPrincipal::undoDelete() {
    if (deleted_.empty()) {
        return;
    }
    const StoredEntry& last = deleted_.back();
    qint64 used = 0;
    if (!report_.attempt(QStringLiteral("No se puede recuperar el apunte borrado"),
                         [&] { used = putBackEntry(state_.db(), last); })) {
        return; // still there to try again
    }
    const qint64 wanted = last.id;
    deleted_.pop_back();
    mnuOpDeshacer->setEnabled(!deleted_.empty());
    reload();
    const std::vector<EntryRow>& rows = model_->list().rows();
    const auto restored = std::find_if(rows.begin(), rows.end(),
                                       [used](const EntryRow& row) { return row.id == used; });
    if (restored != rows.end()) {
        selectLineAtTop(*mshDatos, int(restored - rows.begin()) + 1, EntryTableModel::DateColumn);
    }
    if (used != wanted) {
        services_.messages.inform(this, QStringLiteral("Otro apunte tiene ahora el número %1: el "
                                                       "apunte recuperado queda con el número %2.")
                                            .arg(wanted)
                                            .arg(used));
    }
}

void frmPrincipal::showHeaderFilter(int column) {
    FilterField* box = nullptr;
    switch (column) {
    case EntryTableModel::DescriptionColumn:
        box = txtFiltroDes;
        break;
    case EntryTableModel::GoesIntoColumn:
        box = txtFiltroEntra;
        break;
    case EntryTableModel::ComesOutOfColumn:
        box = txtFiltroSale;
        break;
    default:
        return;
    }
    const QModelIndex current = mshDatos->currentIndex();
    mshDatos->setCurrentIndex(model_->index(current.isValid() ? current.row() : 0, column));
    QHeaderView* header = mshDatos->horizontalHeader();
    const QPoint topLeft =
        header->viewport()->mapTo(central_, QPoint(header->sectionViewportPosition(column), 0));
    // An empty list hides its header; the box opened by key still needs its height.
    box->setGeometry(topLeft.x(), mshDatos->y(), header->sectionSize(column),
                     header->isVisible() ? header->viewport()->height() : box->sizeHint().height());
    box->show();
    box->raise();
    box->setFocus(Qt::MouseFocusReason);
}

void frmPrincipal::closeEvent(QCloseEvent* event) {
    if (!services_.messages.ask(this, QStringLiteral("¿Confirma que desea Salir?"),
                                MessageIcon::Information, QStringLiteral("Atención!!"))) {
        event->ignore();
        return;
    }
    YearDatabase(state_.session).close();
    event->accept();
    QCoreApplication::quit();
}

bool frmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    // The layout gives the list its size after the window's own resize.
    if (event->type() == QEvent::Resize) {
        if (mshDatos != nullptr && watched == mshDatos->viewport()) {
            applyColumnWidths();
        } else if (watched == lblFiltros) {
            showActiveFilters();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmPrincipal::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    paintSections();
}

} // namespace velmora
