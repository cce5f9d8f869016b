#include "entries/frmApuntesDetalle.h"

#include "entries/EntrySaving.h"
#include "startup/AppState.h"
#include "startup/Fields.h"
#include "store/DbErrorText.h"
#include "store/Funciones.h"
#include "store/Sqlite.h"
#include "ui/AcceptCancel.h"
#include "ui/Formats.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr int kDescriptionLength = 250;
constexpr int kAmountLength = 12;

} // namespace

frmApuntesDetalle::frmApuntesDetalle(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), state_(state), messages_(services.messages), services_(services) {
    setObjectName(QStringLiteral("frmApuntesDetalle"));
    setWindowTitle(QStringLiteral("Detalle de apunte"));
    buildControls();
}

frmApuntesDetalle::~frmApuntesDetalle() = default;

void frmApuntesDetalle::buildControls() {
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
    paintFieldBackground(*txtId, QColor(192, 192, 192));
    txtId->setMaximumWidth(twips(1000));

    mskData = new DateField(state_, messages_, DateField::Mask::WhileFocused, frame);
    mskData->setObjectName(QStringLiteral("mskData"));
    mskData->setMinimumWidth(twips(1400));

    cmbEntraEn = new ListField(frame);
    cmbEntraEn->setObjectName(QStringLiteral("cmbEntraEn"));
    cmbEntraEn->setMinimumWidth(twips(2200));
    cmbSaleDe = new ListField(frame);
    cmbSaleDe->setObjectName(QStringLiteral("cmbSaleDe"));
    cmbSaleDe->setMinimumWidth(twips(2200));

    txtImporte = new AmountField(state_, messages_, frame);
    txtImporte->setObjectName(QStringLiteral("txtImporte"));
    txtImporte->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtImporte->setMaxLength(kAmountLength);
    txtImporte->setText(QStringLiteral("0"));

    grid->addWidget(txtId, 1, 0);
    grid->addWidget(mskData, 1, 1);
    grid->addWidget(cmbEntraEn, 1, 2);
    grid->addWidget(cmbSaleDe, 1, 3);
    grid->addWidget(txtImporte, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("Descripción"), frame), 2, 0, 1, 5);
    txtDes = new DescriptionField(state_, kDescriptionLength, frame);
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

    QWidget::setTabOrder(mskData, cmbEntraEn);
    QWidget::setTabOrder(cmbEntraEn, cmbSaleDe);
    QWidget::setTabOrder(cmbSaleDe, txtImporte);
    QWidget::setTabOrder(txtImporte, txtDes);
    QWidget::setTabOrder(txtDes, cmdAceptar);
    QWidget::setTabOrder(cmdAceptar, cmdCancelar);
}

void frmApuntesDetalle::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) {
        return;
    }
    activated_ = true;
    if (!activate()) {
        // Nothing can be edited: the window goes once the user has read why.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    mskData->setFocus(Qt::OtherFocusReason);
}

bool frmApuntesDetalle::activate() {
    ConfiguraForm();
    try {
        Database& db = state_.db();
        for (ListField* list : {cmbEntraEn, cmbSaleDe}) {
            CargaCombo(db, QStringLiteral("Contas"), QStringLiteral("conNom"),
                       QStringLiteral("conNom"), *list);
            list->setCurrentIndex(-1);
        }
        if (Estado_ == New) {
            txtId->setText(QString::number(
                ProximoNumero(db, QStringLiteral("apuntes"), QStringLiteral("Id"))));
            mskData->setText(formatDate(services_.clock.today()));
            return true;
        }
        if (Estado_ == Existing) {
            return CargaDatos();
        }
        return true;
    } catch (const DbError& error) {
        messages_.fail(this,
                       QStringLiteral("No se puede leer el apunte: ") + describeFailure(error));
        return false;
    }
}

bool frmApuntesDetalle::CargaDatos() {
    const std::optional<Entry> entry = loadEntry(state_.db(), Id_);
    if (!entry) {
        messages_.fail(this, QStringLiteral("El apunte nº %1 ya no existe").arg(Id_));
        return false;
    }
    txtId->setText(QString::number(entry->id));
    mskData->setText(entry->date.isValid() ? formatDate(entry->date) : QString());
    txtDes->setPlainText(entry->description);
    // A name that is no longer an account leaves its list without a choice.
    cmbEntraEn->setCurrentIndex(cmbEntraEn->findText(entry->goesInto, Qt::MatchFixedString));
    cmbSaleDe->setCurrentIndex(cmbSaleDe->findText(entry->comesOutOf, Qt::MatchFixedString));
    txtImporte->setText(formatAmount(entry->amount));
    return true;
}

bool frmApuntesDetalle::ComprobaDatos() {
    if (txtDes->toPlainText().trimmed().isEmpty()) {
        messages_.inform(this, QStringLiteral("Ponga una descripción"));
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

void frmApuntesDetalle::save(bool isNew) {
    Entry entry;
    entry.id = isNew ? txtId->text().toLongLong() : Id_;
    entry.date = mskData->date().value_or(QDate());
    entry.description = txtDes->toPlainText();
    entry.goesInto = cmbEntraEn->currentText();
    entry.comesOutOf = cmbSaleDe->currentText();
    entry.amount = txtImporte->amount().value_or(0.0);
    try {
        if (saveEntry(state_.db(), entry, isNew) == SaveOutcome::Saved) {
            return;
        }
        messages_.inform(this, QStringLiteral("Este movimiento no se puede hacer"));
        cmbEntraEn->setFocus(Qt::OtherFocusReason);
    } catch (const DbError& error) {
        messages_.fail(this,
                       QStringLiteral("No se puede guardar el apunte: ") + describeFailure(error));
    }
    refused_ = true;
}

} // namespace velmora
