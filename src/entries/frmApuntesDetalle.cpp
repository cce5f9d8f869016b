#include "entries/frmApuntesDetalle.h"

#include "entries/EntrySaving.h"
#include "state/Logging.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AcceptCancel.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {

// Limits for typing; what is read from the file is shown whole.
constexpr int kDescriptionLength = 250;

} // namespace

frmApuntesDetalle::frmApuntesDetalle(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services),
      report_(*this, services.messages, lcEntries()) {
    setObjectName(QStringLiteral("frmApuntesDetalle"));
    setWindowTitle(QStringLiteral("Detalle de apunte"));
    buildControls();
}

frmApuntesDetalle::~frmApuntesDetalle() = default;

void frmApuntesDetalle::buildControls() {
    const Palette& palette = state_.palette;
    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);

    const auto addLabel = [&](const QString& text, int column) {
        grid->addWidget(new QLabel(text, frame), 0, column);
    };
    addLabel(QStringLiteral("Código"), 0);
    addLabel(QStringLiteral("Fecha"), 1);
    addLabel(QStringLiteral("Entra en ..."), 2);
    addLabel(QStringLiteral("Sale de ..."), 3);
    addLabel(QStringLiteral("Importe"), 4);

    txtId = new QLineEdit(QStringLiteral("0"), frame);
    txtId->setObjectName(QStringLiteral("txtId"));
    txtId->setReadOnly(true);
    txtId->setFocusPolicy(Qt::NoFocus);
    paintFieldBackground(*txtId, Palette::readOnlyField());
    txtId->setMaximumWidth(twips(1000));

    mskData = new DateField(palette, services_.messages, DateField::Mask::WhileFocused, frame);
    mskData->setObjectName(QStringLiteral("mskData"));
    mskData->setMinimumWidth(twips(1400));

    cmbEntraEn = new ListField(frame);
    cmbEntraEn->setObjectName(QStringLiteral("cmbEntraEn"));
    cmbEntraEn->setMinimumWidth(twips(2200));
    cmbSaleDe = new ListField(frame);
    cmbSaleDe->setObjectName(QStringLiteral("cmbSaleDe"));
    cmbSaleDe->setMinimumWidth(twips(2200));

    txtImporte = new AmountField(palette, services_.messages, frame);
    txtImporte->setObjectName(QStringLiteral("txtImporte"));
    txtImporte->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtImporte->setText(QStringLiteral("0"));
    // Room for the largest amount the program shows, grouped.
    txtImporte->setMinimumWidth(
        txtImporte->fontMetrics().horizontalAdvance(QStringLiteral("-999.999.999.999,99")) +
        twips(200));

    grid->addWidget(txtId, 1, 0);
    grid->addWidget(mskData, 1, 1);
    grid->addWidget(cmbEntraEn, 1, 2);
    grid->addWidget(cmbSaleDe, 1, 3);
    grid->addWidget(txtImporte, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("Descripción"), frame), 2, 0, 1, 5);
    txtDes = new DescriptionField(palette, kDescriptionLength, frame);
    txtDes->setObjectName(QStringLiteral("txtDes"));
    txtDes->setFixedHeight(twips(1100));
    grid->addWidget(txtDes, 3, 0, 1, 5);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmApuntesDetalle::aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);

    setTabChain({mskData, cmbEntraEn, cmbSaleDe, txtImporte, txtDes, cmdAceptar, cmdCancelar});
}

void frmApuntesDetalle::opened() {
    if (!activate()) {
        // Nothing can be edited: the window goes once the user has read why.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    mskData->setFocus(Qt::OtherFocusReason);
}

bool frmApuntesDetalle::activate() {
    ConfiguraForm();
    bool loaded = false;
    const bool read = report_.attempt(QStringLiteral("No se puede leer el apunte"), [&] {
        Database& db = state_.db();
        const QStringList names = accountNames(db);
        for (ListField* list : {cmbEntraEn, cmbSaleDe}) {
            list->addItems(names);
            list->setCurrentIndex(-1);
        }
        if (Estado_ == New) {
            txtId->setText(QString::number(nextEntryId(db)));
            mskData->setText(formatDate(services_.clock.today()));
            loaded = true;
        } else if (Estado_ == Existing) {
            loaded = CargaDatos();
        } else {
            loaded = true;
        }
    });
    return read && loaded;
}

bool frmApuntesDetalle::CargaDatos() {
    const std::optional<Entry> entry = loadEntry(state_.db(), Id_);
    if (!entry) {
        services_.messages.inform(this, QStringLiteral("El apunte nº %1 ya no existe").arg(Id_));
        return false;
    }
    txtId->setText(QString::number(entry->id));
    mskData->setText(entry->date.isValid() ? formatDate(entry->date) : QString());
    txtDes->showStoredText(entry->description);
    // A name that is no longer an account leaves its list without a choice.
    cmbEntraEn->setCurrentIndex(cmbEntraEn->findText(entry->goesInto, Qt::MatchFixedString));
    cmbSaleDe->setCurrentIndex(cmbSaleDe->findText(entry->comesOutOf, Qt::MatchFixedString));
    showStoredText(*txtImporte, formatAmount(entry->amount), kAmountTextLength);
    loaded_ = Loaded{*entry,
                     mskData->text(),
                     txtDes->toPlainText(),
                     txtImporte->text(),
                     cmbEntraEn->currentIndex(),
                     cmbSaleDe->currentIndex()};
    return true;
}

bool frmApuntesDetalle::ComprobaDatos() {
    if (txtDes->toPlainText().trimmed().isEmpty()) {
        services_.messages.inform(this, QStringLiteral("Ponga una descripción"));
        txtDes->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void frmApuntesDetalle::aceptar() {
    refused_ = false;
    if (!ComprobaDatos()) {
        return;
    }
    // The fields check themselves when left, but a click can reach this button
    // without leaving them: check again so nothing invalid is ever saved.
    if (!mskData->checkDate() || !txtImporte->checkAmount()) {
        return;
    }
    if (Estado_ == New) {
        GardaNovo();
    } else if (Estado_ == Existing) {
        GardaCambios();
    }
    if (!refused_) {
        accept();
    }
}

void frmApuntesDetalle::GardaNovo() {
    save(true);
}

void frmApuntesDetalle::GardaCambios() {
    save(false);
}

Entry frmApuntesDetalle::entryFromFields(bool isNew) const {
    Entry entry;
    entry.id = isNew ? txtId->text().toLongLong() : Id_;
    entry.date = mskData->date().value_or(QDate());
    entry.description = txtDes->toPlainText();
    entry.goesInto = cmbEntraEn->currentText();
    entry.comesOutOf = cmbSaleDe->currentText();
    entry.amount = txtImporte->amount().value_or(0.0);
    if (isNew || !loaded_) {
        return entry;
    }
    // What the user left untouched goes back exactly as it was read: an amount
    // beyond the cent, a description with other line ends, a name in another case.
    const Loaded& was = *loaded_;
    if (mskData->text() == was.date) {
        entry.date = was.entry.date;
    }
    if (txtDes->toPlainText() == was.description) {
        entry.description = was.entry.description;
    }
    if (txtImporte->text() == was.amount) {
        entry.amount = was.entry.amount;
    }
    if (cmbEntraEn->currentIndex() == was.goesInto) {
        entry.goesInto = was.entry.goesInto;
    }
    if (cmbSaleDe->currentIndex() == was.comesOutOf) {
        entry.comesOutOf = was.entry.comesOutOf;
    }
    return entry;
}

void frmApuntesDetalle::save(bool isNew) {
    Entry entry = entryFromFields(isNew);
    SaveOutcome outcome = SaveOutcome::Refused;
    if (!report_.attempt(QStringLiteral("No se puede guardar el apunte"),
                         [&] { outcome = saveEntry(state_.db(), entry, isNew); })) {
        refused_ = true;
        return;
    }
    switch (outcome) {
    case SaveOutcome::Saved:
        txtId->setText(QString::number(entry.id));
        return;
    case SaveOutcome::Refused:
        services_.messages.inform(this, QStringLiteral("Este movimiento no se puede hacer"));
        cmbEntraEn->setFocus(Qt::OtherFocusReason);
        refused_ = true;
        return;
    case SaveOutcome::Gone:
        // Deleted by another program meanwhile: nothing was written, and the list
        // the window goes back to is reloaded without it.
        services_.messages.inform(this, QStringLiteral("El apunte nº %1 ya no existe").arg(Id_));
        return;
    }
}

} // namespace velmora
