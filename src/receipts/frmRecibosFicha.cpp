#include "receipts/frmRecibosFicha.h"

#include "entries/MovementRule.h"
#include "receipts/ReceiptTableModel.h"
#include "store/Amount.h"
#include "store/Formats.h"
#include "store/SpanishText.h"
#include "ui/AcceptCancel.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

// As long as an entry's description may be.
constexpr int kDescriptionLength = 250;

} // namespace

frmRecibosFicha::frmRecibosFicha(const Palette& palette, MessageService& messages,
                                 std::vector<Account> accounts, Save save, QWidget* parent)
    : ModalWindow(parent), messages_(messages), accounts_(std::move(accounts)),
      save_(std::move(save)) {
    setObjectName(QStringLiteral("frmRecibosFicha"));
    setWindowTitle(QStringLiteral("Nuevo recibo"));

    auto* frame = new QGroupBox(this);
    auto* grid = new QGridLayout(frame);
    const auto label = [&](const char* text, int row, int column) {
        grid->addWidget(new QLabel(QString::fromUtf8(text), frame), row, column);
    };

    label("Descripción", 0, 0);
    txtDes = new TextField(palette, frame);
    txtDes->setObjectName(QStringLiteral("txtDes"));
    txtDes->setMaxLength(kDescriptionLength);
    txtDes->setMinimumWidth(twips(5000));
    grid->addWidget(txtDes, 1, 0, 1, 2);

    QStringList names;
    for (const Account& account : accounts_) {
        names.append(account.name);
    }
    label("Entra en", 2, 0);
    label("Sale de", 2, 1);
    cmbEntraEn = new ListField(frame);
    cmbEntraEn->setObjectName(QStringLiteral("cmbEntraEn"));
    cmbEntraEn->addItems(names);
    cmbEntraEn->setCurrentIndex(-1);
    cmbSaleDe = new ListField(frame);
    cmbSaleDe->setObjectName(QStringLiteral("cmbSaleDe"));
    cmbSaleDe->addItems(names);
    cmbSaleDe->setCurrentIndex(-1);
    grid->addWidget(cmbEntraEn, 3, 0);
    grid->addWidget(cmbSaleDe, 3, 1);

    label("Importe", 4, 0);
    txtImporte = new AmountField(palette, messages_, frame);
    txtImporte->setObjectName(QStringLiteral("txtImporte"));
    txtImporte->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtImporte->setMinimumWidth(
        txtImporte->fontMetrics().horizontalAdvance(QStringLiteral("-999.999.999.999,99")) +
        twips(200));
    chkVaria = new QCheckBox(QStringLiteral("&Varía: se pregunta cada vez"), frame);
    chkVaria->setObjectName(QStringLiteral("chkVaria"));
    connect(chkVaria, &QCheckBox::toggled, txtImporte, [this](bool varies) {
        txtImporte->setEnabled(!varies);
        if (varies) {
            txtImporte->clear();
        }
    });
    grid->addWidget(txtImporte, 5, 0);
    grid->addWidget(chkVaria, 5, 1);

    label("Frecuencia", 6, 0);
    label("Día del mes (el último si el mes es más corto)", 6, 1);
    cmbFrecuencia = new ListField(frame);
    cmbFrecuencia->setObjectName(QStringLiteral("cmbFrecuencia"));
    for (int months = 1; months <= 12; ++months) {
        cmbFrecuencia->addItem(frequencyText(months), months);
    }
    txtDia = new QSpinBox(frame);
    txtDia->setObjectName(QStringLiteral("txtDia"));
    txtDia->setRange(1, 31);
    grid->addWidget(cmbFrecuencia, 7, 0);
    grid->addWidget(txtDia, 7, 1, Qt::AlignLeft);

    label("Primer recibo", 8, 0);
    mskDesde = new DateField(palette, messages_, DateField::Mask::Always, frame);
    mskDesde->setObjectName(QStringLiteral("mskDesde"));
    chkHasta = new QCheckBox(QStringLiteral("Ú&ltimo recibo"), frame);
    chkHasta->setObjectName(QStringLiteral("chkHasta"));
    mskHasta = new DateField(palette, messages_, DateField::Mask::Always, frame);
    mskHasta->setObjectName(QStringLiteral("mskHasta"));
    mskHasta->setEnabled(false);
    connect(chkHasta, &QCheckBox::toggled, mskHasta, &QWidget::setEnabled);
    grid->addWidget(chkHasta, 8, 1);
    grid->addWidget(mskDesde, 9, 0, Qt::AlignLeft);
    grid->addWidget(mskHasta, 9, 1, Qt::AlignLeft);

    const AcceptCancel buttons = makeAcceptCancel(*this);
    cmdAceptar = buttons.accept;
    cmdCancelar = buttons.cancel;
    connect(cmdAceptar, &QPushButton::clicked, this, &frmRecibosFicha::aceptar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);
    setTabChain({txtDes, cmbEntraEn, cmbSaleDe, txtImporte, chkVaria, cmbFrecuencia, txtDia,
                 mskDesde, chkHasta, mskHasta, cmdAceptar, cmdCancelar});
}

void frmRecibosFicha::setFirstDate(const QDate& first) {
    mskDesde->setText(formatDate(first));
    txtDia->setValue(first.day());
}

void frmRecibosFicha::setReceipt(const Receipt& receipt) {
    id_ = receipt.id;
    setWindowTitle(QStringLiteral("Modificando el recibo «%1»").arg(receipt.description));
    txtDes->setText(receipt.description);
    cmbEntraEn->setCurrentIndex(cmbEntraEn->findText(receipt.goesInto, Qt::MatchFixedString));
    cmbSaleDe->setCurrentIndex(cmbSaleDe->findText(receipt.comesOutOf, Qt::MatchFixedString));
    chkVaria->setChecked(!receipt.cents);
    txtImporte->setText(receipt.cents ? formatCents(*receipt.cents) : QString());
    cmbFrecuencia->setCurrentIndex(std::clamp(receipt.schedule.everyMonths, 1, 12) - 1);
    txtDia->setValue(receipt.schedule.day);
    mskDesde->setText(formatDate(receipt.schedule.first));
    chkHasta->setChecked(receipt.schedule.last.isValid());
    if (receipt.schedule.last.isValid()) {
        mskHasta->setText(formatDate(receipt.schedule.last));
    }
}

void frmRecibosFicha::opened() {
    txtDes->setFocus(Qt::OtherFocusReason);
}

QString frmRecibosFicha::kindOf(const QString& account) const {
    const auto found = std::find_if(accounts_.cbegin(), accounts_.cend(),
                                    [&](const Account& a) { return sameText(a.name, account); });
    return found == accounts_.cend() ? QString() : found->kind;
}

void frmRecibosFicha::refuse(const QString& message, QWidget* field) {
    messages_.warn(this, message);
    field->setFocus(Qt::OtherFocusReason);
}

void frmRecibosFicha::aceptar() {
    Receipt receipt;
    receipt.id = id_;
    receipt.description = txtDes->text().trimmed();
    receipt.goesInto = cmbEntraEn->currentText();
    receipt.comesOutOf = cmbSaleDe->currentText();
    if (receipt.description.isEmpty()) {
        return refuse(QStringLiteral("Escriba la descripción del recibo"), txtDes);
    }
    if (receipt.goesInto.isEmpty() || receipt.comesOutOf.isEmpty()) {
        return refuse(QStringLiteral("Elija las dos cuentas del recibo"),
                      receipt.goesInto.isEmpty() ? cmbEntraEn : cmbSaleDe);
    }
    if (!classifyMovement(kindOf(receipt.goesInto), kindOf(receipt.comesOutOf))) {
        return refuse(QStringLiteral("Este movimiento no se puede hacer"), cmbEntraEn);
    }
    if (!chkVaria->isChecked()) {
        const std::optional<qint64> cents = amountCents(txtImporte->amount().value_or(0.0));
        if (!cents || *cents <= 0) {
            return refuse(QStringLiteral("Escriba un importe mayor que 0, o marque que varía"),
                          txtImporte);
        }
        receipt.cents = cents;
    }
    receipt.schedule.everyMonths = cmbFrecuencia->currentData().toInt();
    receipt.schedule.day = txtDia->value();
    const std::optional<QDate> first = mskDesde->date();
    if (!first) {
        return refuse(QStringLiteral("Ponga la fecha del primer recibo"), mskDesde);
    }
    receipt.schedule.first = *first;
    if (chkHasta->isChecked()) {
        const std::optional<QDate> last = mskHasta->date();
        if (!last) {
            return refuse(QStringLiteral("Ponga la fecha del último recibo, o quite la marca"),
                          mskHasta);
        }
        receipt.schedule.last = *last;
    }
    if (const QString problem = scheduleProblem(receipt.schedule); !problem.isEmpty()) {
        return refuse(problem.left(1).toUpper() + problem.mid(1), txtDia);
    }
    if (save_(receipt)) {
        accept();
    }
}

} // namespace velmora
