#include "years/frmAno.h"

#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Contrast.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/Services.h"
#include "years/Compactar.h"
#include "years/YearDatabase.h"
#include "years/YearFolders.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

const QString kAttention = QStringLiteral("Atención!!");

} // namespace

frmAno::frmAno(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmAno"));
    setWindowTitle(QStringLiteral("Años de Gestión"));
    buildControls();
}

void frmAno::buildControls() {
    lstInforma = new QListWidget(this);
    lstInforma->setObjectName(QStringLiteral("lstInforma"));
    QPalette colours = lstInforma->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, readableOn(Qt::black, colourFromValue(8454143)));
    lstInforma->setPalette(colours);
    lstInforma->setMinimumSize(twips(2600), twips(2400));
    connect(lstInforma, &QListWidget::itemDoubleClicked, this, &frmAno::cambiar);

    fraAno = new QGroupBox(QStringLiteral("Crear Año de Gestión"), this);
    fraAno->setObjectName(QStringLiteral("fraAno"));
    txtAno = new TextField(state_.palette, fraAno);
    txtAno->setObjectName(QStringLiteral("txtAno"));
    txtAno->setAlignment(Qt::AlignCenter);
    txtAno->setMaxLength(kYearNameMaxLength);
    auto* frameLayout = new QVBoxLayout(fraAno);
    frameLayout->addWidget(txtAno);

    cmdCrear = commandButton(*this, "cmdCrear", QStringLiteral("&Crear"));
    connect(cmdCrear, &QPushButton::clicked, this, &frmAno::crear);
    cmdSalir = commandButton(*this, "cmdSalir", QStringLiteral("&Salir"));
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lstInforma, 0, 0, 3, 1);
    layout->addWidget(fraAno, 0, 1);
    layout->addWidget(cmdCrear, 1, 1);
    layout->addWidget(cmdSalir, 2, 1, Qt::AlignBottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter in the year field only moves to "&Crear": nothing is made by accident.
    setTabChain({lstInforma, txtAno, cmdCrear, cmdSalir});
}

void frmAno::opened() {
    fillList();
    lstInforma->setFocus();
}

void frmAno::fillList() {
    lstInforma->clear();
    lstInforma->addItem(QStringLiteral("Seleccione Año:"));
    lstInforma->addItems(listedYears(state_.session.dataRoot()));
}

void frmAno::refuse(const QString& text) {
    services_.messages.show(this,
                            Message{text, kAttention, MessageIcon::Critical, MessageButtons::Ok});
}

void frmAno::crear() {
    const WaitCursor wait(*this);
    const QString year = txtAno->text();
    if (const auto refusal = refusalOf(year)) {
        if (*refusal == YearNameRefusal::Empty) {
            services_.messages.inform(this, refusalText(*refusal));
        } else {
            refuse(refusalText(*refusal));
        }
        txtAno->setFocus();
        return;
    }
    // A link in the year's place is refused by the creation itself, which says why.
    if (!linkRefusalFor(state_.session.dataRoot(), year) &&
        yearExists(state_.session.dataRoot(), year)) {
        refuse(QStringLiteral("Este año ya está creado"));
        return;
    }
    try {
        YearDatabase(state_.session).create(year, state_.newYearStep);
    } catch (const YearError& error) {
        services_.messages.fail(this, error.message());
        fillList();
        return;
    }
    // The new year is whole and current; a compaction that fails says so and
    // leaves it as it is, only larger.
    Compactar(state_, services_.messages, this);
    accept();
}

void frmAno::cambiar(QListWidgetItem* item) {
    if (item == nullptr || !item->isSelected()) {
        return;
    }
    const QString year = item->text();
    if (!namesYearFolder(year) || !yearExists(state_.session.dataRoot(), year)) {
        refuse(QStringLiteral("El año ") + year + QStringLiteral(" no existe"));
        txtAno->setFocus();
        return;
    }
    const WaitCursor wait(*this);
    try {
        YearDatabase(state_.session).switchTo(year);
    } catch (const YearError& error) {
        services_.messages.fail(this, error.message());
        return;
    }
    accept();
}

} // namespace velmora
