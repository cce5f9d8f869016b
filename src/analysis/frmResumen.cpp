#include "analysis/frmResumen.h"

#include "analysis/SummaryReport.h"
#include "analysis/SummaryTableModel.h"
#include "analysis/UnreadableAmounts.h"
#include "analysis/YearSummary.h"
#include "reports/frmInformeListado.h"
#include "state/Logging.h"
#include "store/CompanyStore.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Icons.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/clsMW.h"
#include "years/YearFolders.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace velmora {

frmResumen::frmResumen(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcAnalysis()), summary_(std::make_unique<YearSummary>()) {
    setObjectName(QStringLiteral("frmResumen"));
    setWindowTitle(QStringLiteral("Resumen anual"));
    buildControls();
    // Fits an 800x600 screen; the grid takes what a larger window gives.
    resize(twips(10000), twips(7000));
}

frmResumen::~frmResumen() = default;

void frmResumen::buildControls() {
    lblTitulo = new QLabel(this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont large = lblTitulo->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.25);
    lblTitulo->setFont(large);

    model_ = new SummaryTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    wheel_ = std::make_unique<clsMW>(services_.messages);
    wheel_->InitMouseWheel(mshDatos);

    cmdImprimir = commandButton(*this, "cmdImprimir", QStringLiteral("&Imprimir"));
    cmdImprimir->setIcon(commandIcon(Command::Print));
    connect(cmdImprimir, &QPushButton::clicked, this, &frmResumen::printSummary);
    cmdCerrar = commandButton(*this, "cmdCerrar", QStringLiteral("&Cerrar"));
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdImprimir);
    buttons->addStretch(1);
    buttons->addWidget(cmdCerrar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addWidget(lblTitulo);
    layout->addWidget(mshDatos, 1);
    layout->addLayout(buttons);
    setTabChain({mshDatos, cmdImprimir, cmdCerrar});
}

bool frmResumen::reload() {
    const int year = calendarYearOf(state_.session.year(), services_.clock.today());
    YearSummary read;
    if (!report_.attempt(QStringLiteral("No se puede calcular el resumen del año"),
                         [&] { read = loadYearSummary(state_.db(), year); })) {
        return false;
    }
    *summary_ = std::move(read);
    lblTitulo->setText(QStringLiteral("Resumen anual %1").arg(year));
    mshDatos->setUpdatesEnabled(false);
    model_->setLines(summaryLines(*summary_));
    showReloadedGrid(*mshDatos, SummaryTableModel::ConceptColumn);
    // No figure is ever elided: the columns take what the largest amount needs.
    mshDatos->horizontalHeader()->setSectionResizeMode(SummaryTableModel::ConceptColumn,
                                                       QHeaderView::Stretch);
    for (int column = SummaryTableModel::AmountColumn; column < SummaryTableModel::ColumnCount;
         ++column) {
        setColumnWidthToFit(*mshDatos, column, twips(1500), allRows(*mshDatos));
    }
    mshDatos->setUpdatesEnabled(true);
    if (summary_->hasUnreadableFigures()) {
        services_.messages.warn(this, unreadableFiguresNotice(summary_->unreadable));
    }
    return true;
}

void frmResumen::printSummary() {
    // Never a summary of no year: the figures are read first if opening could not.
    if (summary_->year == 0 && !reload()) {
        return;
    }
    std::optional<Company> company;
    if (!report_.attempt(QStringLiteral("No se pueden leer los datos de la empresa"),
                         [&] { company = loadCompany(state_.db()); })) {
        return;
    }
    // The report lists the figures the window shows, from a file of their own
    // that goes when the report window has closed.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Resumen.db"));
    if (!report_.attempt(QStringLiteral("No se puede preparar el resumen para imprimirlo"), [&] {
            if (!folder.isValid()) {
                throw DbError(QStringLiteral("preparar el resumen"),
                              QStringLiteral("no se puede crear una carpeta temporal"), 0);
            }
            writeSummaryTable(model_->lines(), path);
        })) {
        return;
    }
    frmInformeListado window(state_, services_, this);
    window.setRequest(summaryReport(*summary_, path, company ? (*company)[0] : QString()));
    runWithWaitCursor(*this, services_.dialogs, window);
}

void frmResumen::opened() {
    reload();
    mshDatos->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora
