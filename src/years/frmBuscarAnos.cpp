#include "years/frmBuscarAnos.h"

#include "state/Logging.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/Services.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace velmora {

frmBuscarAnos::frmBuscarAnos(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcYears()) {
    setObjectName(QStringLiteral("frmBuscarAnos"));
    setWindowTitle(QStringLiteral("Buscar en todos los años"));
    buildControls();
}

void frmBuscarAnos::buildControls() {
    const auto textField = [this](const char* name) {
        auto* field = new TextField(state_.palette, this);
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    txtConcepto = textField("txtConcepto");
    txtEntra = textField("txtEntra");
    txtSale = textField("txtSale");
    const auto dateField = [this](const char* name) {
        auto* field =
            new DateField(state_.palette, services_.messages, DateField::Mask::FromFocus, this);
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    mskDesde = dateField("mskDesde");
    mskHasta = dateField("mskHasta");
    cmdBuscar = commandButton(*this, "cmdBuscar", QStringLiteral("&Buscar"));
    connect(cmdBuscar, &QPushButton::clicked, this, &frmBuscarAnos::buscar);
    cmdSalir = commandButton(*this, "cmdSalir", QStringLiteral("&Salir"));
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);

    model_ = new YearSearchModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->setMinimumSize(twips(9000), twips(3000));
    mshDatos->installEventFilter(this);
    connect(mshDatos, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { elegir(index.row()); });

    const auto line = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        return label;
    };
    lblInfo = line("lblInfo");
    lblBalance = line("lblBalance");
    lblSaltados = line("lblSaltados");
    QPalette warning = lblSaltados->palette();
    warning.setColor(QPalette::WindowText, Palette::negativeAmount());
    lblSaltados->setPalette(warning);

    auto* layout = new QGridLayout(this);
    const auto caption = [this](const char* text) {
        return new QLabel(QString::fromUtf8(text), this);
    };
    layout->addWidget(caption("Concepto"), 0, 0);
    layout->addWidget(txtConcepto, 0, 1, 1, 3);
    layout->addWidget(caption("Entra en"), 1, 0);
    layout->addWidget(txtEntra, 1, 1);
    layout->addWidget(caption("Sale de"), 1, 2);
    layout->addWidget(txtSale, 1, 3);
    layout->addWidget(caption("Desde"), 2, 0);
    layout->addWidget(mskDesde, 2, 1);
    layout->addWidget(caption("Hasta"), 2, 2);
    layout->addWidget(mskHasta, 2, 3);
    layout->addWidget(cmdBuscar, 0, 4);
    layout->addWidget(cmdSalir, 2, 4);
    layout->addWidget(mshDatos, 3, 0, 1, 5);
    layout->addWidget(lblInfo, 4, 0, 1, 5);
    layout->addWidget(lblBalance, 5, 0, 1, 5);
    layout->addWidget(lblSaltados, 6, 0, 1, 5);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);

    // Enter in a field moves on; from "Hasta" it lands on "&Buscar".
    setTabChain(
        {txtConcepto, txtEntra, txtSale, mskDesde, mskHasta, cmdBuscar, mshDatos, cmdSalir});
    pressButtonsOnEnter(*this);
}

void frmBuscarAnos::opened() {
    const auto [from, to] =
        searchRange(searchedYears(state_.session.dataRoot()), services_.clock.today());
    mskDesde->setText(formatDate(from));
    mskHasta->setText(formatDate(to));
    txtConcepto->setFocus(Qt::OtherFocusReason);
}

void frmBuscarAnos::buscar() {
    if (!mskDesde->checkDate() || !mskHasta->checkDate()) {
        return;
    }
    const EntryFilter filter{txtConcepto->text(), txtEntra->text(), txtSale->text(),
                             *mskDesde->date(), *mskHasta->date()};
    YearSearchResult result;
    {
        const WaitCursor wait(*this);
        const QString dataRoot = state_.session.dataRoot();
        result = searchYears(dataRoot, searchedYears(dataRoot), filter);
    }
    lblInfo->setText(recordCountLine(result.rowCount()));
    lblBalance->setText(balanceLine(result.totals));
    lblSaltados->setText(skippedYearsLine(result.skipped));
    model_->setResult(std::move(result));
    mshDatos->horizontalHeader()->setSectionResizeMode(YearSearchModel::DescriptionColumn,
                                                       QHeaderView::Stretch);
    for (const int column :
         {int(YearSearchModel::YearColumn), int(YearSearchModel::DateColumn),
          int(YearSearchModel::GoesIntoColumn), int(YearSearchModel::ComesOutOfColumn)}) {
        mshDatos->resizeColumnToContents(column);
    }
    setColumnWidthToFit(*mshDatos, YearSearchModel::AmountColumn, twips(1200), {0});
    showReloadedGrid(*mshDatos, YearSearchModel::DateColumn);
}

void frmBuscarAnos::elegir(int line) {
    const std::optional<YearSearchModel::Found> found = model_->found(line);
    if (!found) {
        return;
    }
    if (found->year != state_.session.year()) {
        if (!namesYearFolder(found->year) || !yearExists(state_.session.dataRoot(), found->year)) {
            services_.messages.fail(this, QStringLiteral("El año ") + found->year +
                                              QStringLiteral(" no existe"));
            return;
        }
        const WaitCursor wait(*this);
        try {
            YearDatabase(state_.session).switchTo(found->year);
        } catch (const YearError& error) {
            services_.messages.fail(this, error.message());
            return;
        }
    }
    chosen_ = found;
    accept();
}

bool frmBuscarAnos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            elegir(mshDatos->currentIndex().row());
            return true;
        }
    }
    return ModalWindow::eventFilter(watched, event);
}

} // namespace velmora
