#include "exchange/frmReglas.h"

#include "exchange/HouseRuleTableModel.h"
#include "exchange/frmReglasFicha.h"
#include "state/Logging.h"
#include "state/Settings.h"
#include "store/AccountStore.h"
#include "store/Formats.h"
#include "store/PathText.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/FailureReport.h"
#include "ui/Fields.h"
#include "ui/ListFlow.h"
#include "ui/ListGrid.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace velmora {

frmReglas::frmReglas(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmReglas"));
    setWindowTitle(QStringLiteral("Reglas de importación"));
    buildControls();
    arrangeControls();
    resize(twips(9000), twips(5400));
}

frmReglas::~frmReglas() = default;

const HouseRules& frmReglas::rules() const {
    return model_->rules();
}

void frmReglas::buildControls() {
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);

    const ListCommands commands = makeListCommands(*this);
    cmdAnadir = commands.add;
    cmdModificar = commands.edit;
    cmdBorrar = commands.remove;
    cmdCerrar = commands.close;
    cmdSubir = commandButton(*this, "cmdSubir", QStringLiteral("S&ubir"));
    cmdBajar = commandButton(*this, "cmdBajar", QStringLiteral("Ba&jar"));
    connect(cmdAnadir, &QPushButton::clicked, this, &frmReglas::addRule);
    connect(cmdModificar, &QPushButton::clicked, this, &frmReglas::editSelected);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmReglas::deleteSelected);
    connect(cmdSubir, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(cmdBajar, &QPushButton::clicked, this, [this] { moveSelected(1); });

    model_ = new HouseRuleTableModel(state_.palette, this);
    mshDatos = makeListGrid(this, model_, "mshDatos");
    mshDatos->installEventFilter(this);
    connect(mshDatos, &QAbstractItemView::doubleClicked, this, &frmReglas::editSelected);
    list_ = std::make_unique<ListFlow>(*this, *mshDatos, services_, HouseRuleTableModel::TextColumn,
                                       [this] { return showRules(); });

    setTabChain({mshDatos, cmdAnadir, cmdModificar, cmdBorrar, cmdSubir, cmdBajar, cmdCerrar});
}

// What the list is and the commands over it, and the list below taking whatever
// the window gives.
void frmReglas::arrangeControls() {
    auto* commands = new QHBoxLayout;
    commands->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* command : {cmdAnadir, cmdModificar, cmdBorrar}) {
        commands->addWidget(command);
    }
    commands->addSpacing(twips(120));
    commands->addWidget(cmdSubir);
    commands->addWidget(cmdBajar);
    commands->addStretch(1);
    commands->addWidget(cmdCerrar);

    mshDatos->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips(120), twips(60), twips(120), twips(120));
    layout->addWidget(lblInfo);
    layout->addLayout(commands);
    layout->addWidget(mshDatos, 1);
}

void frmReglas::applyColumnWidths() {
    QHeaderView* header = mshDatos->horizontalHeader();
    if (header->count() > HouseRuleTableModel::AccountColumn) {
        header->setSectionResizeMode(HouseRuleTableModel::AccountColumn, QHeaderView::Stretch);
    }
    const double w = mshDatos->viewport()->width();
    setColumnWidthToFit(*mshDatos, HouseRuleTableModel::LineColumn, twips(400), {});
    mshDatos->setColumnWidth(HouseRuleTableModel::TextColumn,
                             static_cast<int>(std::lround(0.55 * w)));
}

bool frmReglas::showRules() {
    const qsizetype count = model_->rules().rules.size();
    applyColumnWidths();
    showReloadedGrid(*mshDatos, HouseRuleTableModel::TextColumn);
    lblInfo->setText(
        QStringLiteral("%1. Se prueban en este orden, antes que lo aprendido de los apuntes: "
                       "vale la primera cuyo texto está en el concepto del banco.")
            .arg(count == 1 ? QStringLiteral("1 regla") : QStringLiteral("%1 reglas").arg(count)));
    paintBackground(*lblInfo, state_.palette.section());
    return true;
}

void frmReglas::selectRule(int row) {
    const int rows = model_->rowCount();
    if (rows < 1) {
        return;
    }
    const QModelIndex index =
        model_->index(std::clamp(row, 0, rows - 1), HouseRuleTableModel::TextColumn);
    mshDatos->setCurrentIndex(index);
    mshDatos->scrollTo(index);
}

void frmReglas::opened() {
    HouseRulesRead read = readHouseRules(state_.session.dataRoot());
    writable_ = read.writable;
    model_->setRules(read.rules);
    showRules();
    mshDatos->setFocus(Qt::OtherFocusReason);
    if (read.problem.isEmpty()) {
        return;
    }
    services_.messages.warn(
        this, read.problem + (writable_ ? QStringLiteral(". Si cambia aquí las reglas, esas "
                                                         "líneas se quitarán del archivo.")
                                        : QStringLiteral(". Las reglas no se pueden cambiar "
                                                         "hasta que se corrija.")));
}

bool frmReglas::save(const HouseRules& next, int row) {
    const QString path = houseRulesPath(state_.session.dataRoot());
    if (!writable_) {
        services_.messages.warn(this, QStringLiteral("No se pueden cambiar las reglas: %1 no se "
                                                     "ha podido leer y se perderían las que tiene.")
                                          .arg(pathForMessage(path)));
        return false;
    }
    try {
        writeHouseRules(state_.session.dataRoot(), next);
    } catch (const SettingsError& error) {
        services_.messages.fail(this, error.message() +
                                          QStringLiteral(". Las reglas siguen como estaban."));
        return false;
    }
    model_->setRules(next);
    showRules();
    selectRule(row);
    return true;
}

QStringList frmReglas::yearAccounts() {
    QStringList names;
    const FailureReport report(*this, services_.messages, lcExchange());
    // Without them the account is typed: the rules do not depend on the year.
    report.attempt(QStringLiteral("No se puede leer la lista de cuentas"),
                   [&] { names = accountNames(state_.db()); });
    return names;
}

void frmReglas::addRule() {
    frmReglasFicha card(
        state_.palette, services_.messages, yearAccounts(),
        [this](const HouseRule& rule) {
            HouseRules next = model_->rules();
            next.rules.append(rule);
            return save(next, int(next.rules.size()) - 1);
        },
        this);
    card.setWindowTitle(QStringLiteral("Nueva regla"));
    runWithWaitCursor(*this, services_.dialogs, card);
}

void frmReglas::editSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    frmReglasFicha card(
        state_.palette, services_.messages, yearAccounts(),
        [this, row](const HouseRule& rule) {
            HouseRules next = model_->rules();
            next.rules[*row] = rule;
            return save(next, *row);
        },
        this);
    card.setRule(model_->rules().rules[*row]);
    card.setWindowTitle(QStringLiteral("Modificando la regla %1").arg(*row + 1));
    runWithWaitCursor(*this, services_.dialogs, card);
}

void frmReglas::deleteSelected() {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    const QString question =
        QStringLiteral("¿Borrar la regla %1?").arg(describeRule(model_->rules().rules[*row]));
    list_->remove(question, [&] {
        HouseRules next = model_->rules();
        next.rules.removeAt(*row);
        return save(next, *row);
    });
    selectRule(*row);
}

void frmReglas::moveSelected(int step) {
    const std::optional<int> row = list_->selectedRow();
    if (!row) {
        return;
    }
    const int to = *row + step;
    if (to < 0 || to >= model_->rowCount()) {
        return;
    }
    HouseRules next = model_->rules();
    next.rules.move(*row, to);
    if (!save(next, to)) {
        selectRule(*row);
    }
}

void frmReglas::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    paintBackground(*lblInfo, state_.palette.section());
}

bool frmReglas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mshDatos->viewport() && event->type() == QEvent::Resize) {
        applyColumnWidths();
    }
    if (watched == mshDatos && isEnterPress(*event)) {
        editSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace velmora
