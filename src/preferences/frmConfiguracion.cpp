#include "preferences/frmConfiguracion.h"

#include "state/Logging.h"
#include "state/Settings.h"
#include "store/Formats.h"
#include "ui/AppState.h"
#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace velmora {

namespace {

// Column order of Company; the data-protection text is control 9 of the array.
constexpr int kInternet = 6;
constexpr int kDataProtection = 7;

struct FieldShape {
    const char* label;
    int length;
};

constexpr FieldShape kOneLineFields[] = {
    {"Razón Social", 50}, {"C.I.F.", 15},    {"Nombre Comercial", 100},
    {"Dirección", 50},    {"Población", 50}, {"Teléfonos", 50},
};
constexpr int kInternetLength = 100;

// Here the caret goes after the last character with nothing selected, so that
// a click or Tab into the field adds to the text instead of replacing it.
class CompanyField : public TextField {
public:
    using TextField::TextField;

protected:
    void focusInEvent(QFocusEvent* event) override {
        TextField::focusInEvent(event);
        end(false);
        // After the base class's own deferred selection and the click's caret.
        QTimer::singleShot(0, this, [guard = QPointer<CompanyField>(this)] {
            if (guard && guard->hasFocus()) {
                guard->end(false);
            }
        });
    }
};

QString fieldText(const QWidget* field) {
    if (const auto* line = qobject_cast<const QLineEdit*>(field)) {
        return line->text();
    }
    return qobject_cast<const QPlainTextEdit*>(field)->toPlainText();
}

} // namespace

frmConfiguracion::frmConfiguracion(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), messages_(services.messages), system_(services.system),
      report_(*this, services.messages, lcPreferences()) {
    setObjectName(QStringLiteral("frmConfiguracion"));
    setWindowTitle(QStringLiteral("Configuración de Parámetros"));
    buildControls();
}

frmConfiguracion::~frmConfiguracion() = default;

void frmConfiguracion::buildControls() {
    fraEmpresa = new QGroupBox(QStringLiteral("Empresa"), this);
    auto* companyGrid = new QGridLayout(fraEmpresa);
    int row = 0;
    for (const FieldShape& shape : kOneLineFields) {
        auto* field = new CompanyField(state_.palette, fraEmpresa);
        field->setObjectName(QStringLiteral("txtDatos%1").arg(row));
        field->setMaxLength(shape.length);
        field->setMinimumWidth(twips(4500));
        companyGrid->addWidget(new QLabel(QString::fromUtf8(shape.label), fraEmpresa), row, 0);
        companyGrid->addWidget(field, row, 1);
        txtDatos[static_cast<size_t>(row)] = field;
        ++row;
    }
    auto* internet = new DescriptionField(state_.palette, kInternetLength, fraEmpresa);
    internet->setObjectName(QStringLiteral("txtDatos%1").arg(kInternet));
    internet->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    internet->setFixedHeight(internet->fontMetrics().lineSpacing() * 2 +
                             2 * internet->frameWidth() + 8);
    companyGrid->addWidget(new QLabel(QStringLiteral("Internet"), fraEmpresa), row, 0,
                           Qt::AlignTop);
    companyGrid->addWidget(internet, row, 1);
    txtDatos[kInternet] = internet;

    fraProDat = new QGroupBox(QStringLiteral("Protección de datos:"), this);
    auto* dataProtection = new DescriptionField(state_.palette, INT_MAX, fraProDat);
    dataProtection->setObjectName(QStringLiteral("txtDatos9"));
    dataProtection->setMinimumSize(twips(4000), twips(3000));
    (new QVBoxLayout(fraProDat))->addWidget(dataProtection);
    txtDatos[kDataProtection] = dataProtection;

    auto* printers = new QGroupBox(QStringLiteral("Impresoras"), this);
    auto* printerGrid = new QGridLayout(printers);
    const QString printerLabels[] = {QStringLiteral("Informes"), QStringLiteral("PDF")};
    for (int i = 0; i < 2; ++i) {
        auto* list = new ListField(printers);
        list->setObjectName(QStringLiteral("cmbImpresora%1").arg(i));
        list->setMinimumWidth(twips(3500));
        printerGrid->addWidget(new QLabel(printerLabels[i], printers), 0, i);
        printerGrid->addWidget(list, 1, i);
        cmbImpresora[static_cast<size_t>(i)] = list;
    }

    cmdPechar = commandButton(*this, "cmdPechar", QStringLiteral("&Salir"));
    connect(cmdPechar, &QPushButton::clicked, this, &frmConfiguracion::salir);
    pressButtonsOnEnter(*this);

    auto* top = new QHBoxLayout;
    top->addWidget(fraEmpresa);
    top->addWidget(fraProDat, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(printers, 1);
    bottom->addWidget(cmdPechar, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);

    setTabChain({txtDatos[0], txtDatos[1], txtDatos[2], txtDatos[3], txtDatos[4], txtDatos[5],
                 txtDatos[6], txtDatos[7], cmbImpresora[0], cmbImpresora[1], cmdPechar});
}

void frmConfiguracion::opened() {
    loadCompany();
    fillPrinters();
    txtDatos[0]->setFocus(Qt::OtherFocusReason);
}

void frmConfiguracion::loadCompany() {
    std::optional<Company> company;
    companyRead_ = report_.attempt(QStringLiteral("No se pueden leer los datos de la empresa"),
                                   [&] { company = velmora::loadCompany(state_.db()); });
    if (!companyRead_) {
        // Saving fields that never showed the stored row would overwrite it.
        fraEmpresa->setEnabled(false);
        fraProDat->setEnabled(false);
        return;
    }
    loaded_ = company.value_or(Company{});
    for (size_t i = 0; i < loaded_.size(); ++i) {
        if (auto* line = qobject_cast<QLineEdit*>(txtDatos[i])) {
            showStoredText(*line, loaded_[i], line->maxLength());
        } else {
            static_cast<DescriptionField*>(txtDatos[i])->showStoredText(loaded_[i]);
        }
    }
}

void frmConfiguracion::fillPrinters() {
    const QStringList names = system_.printerNames();
    const SettingsFiles settings(state_.session.programFolder());
    for (size_t i = 0; i < cmbImpresora.size(); ++i) {
        QComboBox* list = cmbImpresora[i];
        list->addItems(names);
        // Without imp.ini nothing is chosen: selecting the first printer here
        // would have "&Salir" store it as the user's choice, and the first
        // printer is often the one with paper in it.
        const std::optional<int> position = settings.readPrinterPosition(i == 1, -1);
        // A position past the end of the list, or none at all, selects nothing.
        const bool inList = position && *position >= 0 && *position < names.size();
        list->setCurrentIndex(inList ? *position : -1);
        loadedPrinters_[i] = list->currentIndex();
    }
}

Company frmConfiguracion::edited() const {
    Company company;
    for (size_t i = 0; i < company.size(); ++i) {
        const QString text = fieldText(txtDatos[i]);
        company[i] = text == loaded_[i] ? loaded_[i] : text;
    }
    return company;
}

bool frmConfiguracion::changed() const {
    const Company now = edited();
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != loaded_[i]) {
            return true;
        }
    }
    return cmbImpresora[0]->currentIndex() != loadedPrinters_[0] ||
           cmbImpresora[1]->currentIndex() != loadedPrinters_[1];
}

bool frmConfiguracion::save() {
    try {
        SettingsFiles(state_.session.programFolder())
            .writePrinters(cmbImpresora[0]->currentIndex(), cmbImpresora[1]->currentIndex());
    } catch (const SettingsError& error) {
        messages_.fail(this, error.message());
        return false;
    }
    if (!companyRead_) {
        return true;
    }
    const Company company = edited();
    if (!report_.attempt(QStringLiteral("No se pueden guardar los datos de la empresa"),
                         [&] { saveCompany(state_.db(), company); })) {
        return false;
    }
    loaded_ = company;
    return true;
}

void frmConfiguracion::salir() {
    if (save()) {
        accept();
    }
}

void frmConfiguracion::reject() {
    if (changed() &&
        messages_.ask(this, QStringLiteral("¿Guardar los cambios?"), MessageIcon::Question) &&
        !save()) {
        return;
    }
    ModalWindow::reject();
}

} // namespace velmora
