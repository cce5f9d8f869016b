#include "reports/frmInformeListado.h"

#include "reports/ReportError.h"
#include "reports/ReportFiles.h"
#include "reports/ReportPages.h"
#include "reports/ReportPreview.h"
#include "state/Logging.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "store/DatabaseFiles.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/Icons.h"
#include "ui/MessageService.h"
#include "ui/OutputFile.h"
#include "ui/Services.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace velmora {

namespace {

const QString kReportFileMissing = QStringLiteral(
    "El archivo de reporte no se encuentra, restáurelo de los discos de instalación");

QToolButton* squareButton(QWidget* parent, const char* name, const QString& text, Command command) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setIcon(commandIcon(command));
    button->setToolTip(commandToolTip(text));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(twips(1000), twips(1000));
    return button;
}

} // namespace

frmInformeListado::frmInformeListado(AppState& state, Services& services, QWidget* parent)
    : ModalWindow(parent), state_(state), services_(services) {
    setObjectName(QStringLiteral("frmInformeListado"));
    setWindowTitle(QStringLiteral("Informe"));
    buildControls();
}

frmInformeListado::~frmInformeListado() = default;

void frmInformeListado::buildControls() {
    cmdPDF = squareButton(this, "cmdPDF", QStringLiteral("&PDF"), Command::Pdf);
    cmdImpresora = squareButton(this, "cmdImpresora", QStringLiteral("&Impresora"), Command::Print);
    connect(cmdPDF, &QToolButton::clicked, this, [this] { print(true); });
    connect(cmdImpresora, &QToolButton::clicked, this, [this] { print(false); });

    CRViewer = new ReportPreview(this);
    CRViewer->setObjectName(QStringLiteral("CRViewer"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdPDF);
    buttons->addWidget(cmdImpresora);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    auto* viewer = new QVBoxLayout;
    viewer->addLayout(buildNavigation());
    viewer->addWidget(CRViewer, 1);
    layout->addLayout(viewer, 1);

    // A report reads best large: most of the screen, as a document viewer opens.
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    resize(std::max(640, screen.width() * 4 / 5), std::max(480, screen.height() * 9 / 10));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
}

QLayout* frmInformeListado::buildNavigation() {
    auto* row = new QHBoxLayout;
    const auto add = [&](const char* name, Command icon, const QString& tip,
                         const QKeySequence& key, auto go) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(commandIcon(icon));
        button->setToolTip(commandToolTip(tip, key));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, go);
        row->addWidget(button);
    };
    add("cmdPrimera", Command::FirstPage, QStringLiteral("Primera página"),
        QKeySequence(Qt::Key_Home), [this] { CRViewer->goToPage(0); });
    add("cmdAnterior", Command::PreviousPage, QStringLiteral("Página anterior"),
        QKeySequence(Qt::Key_PageUp), [this] { CRViewer->goToPage(CRViewer->currentPage() - 1); });
    lblPagina = new QLabel(this);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    lblPagina->setAlignment(Qt::AlignCenter);
    lblPagina->setMinimumWidth(
        lblPagina->fontMetrics().horizontalAdvance(QStringLiteral("Página 00000 de 00000")));
    row->addWidget(lblPagina);
    add("cmdSiguiente", Command::NextPage, QStringLiteral("Página siguiente"),
        QKeySequence(Qt::Key_PageDown),
        [this] { CRViewer->goToPage(CRViewer->currentPage() + 1); });
    add("cmdUltima", Command::LastPage, QStringLiteral("Última página"), QKeySequence(Qt::Key_End),
        [this] { CRViewer->goToPage(CRViewer->pageCount() - 1); });
    row->addStretch();
    connect(CRViewer, &ReportPreview::currentPageChanged, this, [this](int index, int count) {
        lblPagina->setText(count > 0 ? QStringLiteral("Página %1 de %2").arg(index + 1).arg(count)
                                     : QString());
    });
    return row;
}

void frmInformeListado::opened() {
    if (!load()) {
        // Only the message is seen: the window goes as soon as it came.
        QTimer::singleShot(0, this, &QDialog::reject);
    }
}

bool frmInformeListado::load() {
    loaded_ = true;
    WaitCursor wait(*this);
    try {
        report_ = openRequested();
        report_.setRequest(request_);
        report_.setDatabase(request_.baseDatos.isEmpty() ? state_.session.databasePath()
                                                         : request_.baseDatos);
        report_.setPrintDate(services_.clock.today());
        report_.read();
    } catch (const ReportError& error) {
        loaded_ = false;
        qCWarning(lcReports) << "El informe no se abre:" << error.what();
        services_.messages.fail(this, error.kind() == ReportError::Kind::FileNotFound
                                          ? kReportFileMissing
                                          : error.description());
        return false;
    }
    viewing_ = !report_.isEmpty();
    CRViewer->showReport(viewing_ ? &report_ : nullptr);
    CRViewer->setFocus(Qt::OtherFocusReason);
    return true;
}

Report frmInformeListado::openRequested() const {
    const QString root = state_.session.dataRoot();
    if (request_.tipo == QLatin1String("Datos")) {
        return Report::open(reportFilePath(root));
    }
    // Written when first needed, so a data root made before the register or the
    // summary had a report prints them too; an edited one is left as it is.
    std::optional<BundledReport> bundled;
    if (request_.tipo == QLatin1String("Extracto")) {
        bundled = BundledReport{registerReportFilePath(root), defaultRegisterReportFile()};
    } else if (request_.tipo == QLatin1String("Resumen")) {
        bundled = BundledReport{summaryReportFilePath(root), defaultSummaryReportFile()};
    }
    if (!bundled) {
        return Report();
    }
    writeMissingReport(*bundled);
    return Report::open(bundled->path);
}

QString frmInformeListado::documentName() const {
    return request_.titulo.isEmpty() ? QStringLiteral("Informe") : request_.titulo;
}

void frmInformeListado::print(bool pdf) {
    if (!viewing_) {
        services_.messages.inform(this, pdf ? QStringLiteral("Selecciones un informe")
                                            : QStringLiteral("Seleccione un informe"));
        return;
    }
    const QStringList printers = services_.system.printerNames();
    // Without imp.ini the report printer is the first of the list, as the print
    // dialog proposes anyway; the PDF printer is none, because on most desktops the
    // first printer is the one with paper in it.
    const std::optional<int> position =
        SettingsFiles(state_.session.programFolder()).readPrinterPosition(pdf, pdf ? -1 : 0);
    const bool chosen = position && *position >= 0 && *position < printers.size();
    if (pdf && !chosen) {
        // No printer makes the PDF: the program writes it, into a file the user names.
        writePdf();
        return;
    }
    if (printers.isEmpty()) {
        services_.messages.inform(this, QStringLiteral("No hay ninguna impresora instalada. Con el "
                                                       "botón PDF puede guardar el informe en un "
                                                       "archivo."));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (chosen) {
        printer.setPrinterName(printers[*position]);
    }
    printer.setDocName(documentName());
    printer.setCopyCount(1);
    preparePrinter(report_, printer);
    QPrintDialog dialog(&printer, this);
    if (services_.dialogs.run(dialog) != QDialog::Accepted) {
        return;
    }
    WaitCursor wait(*this);
    if (!printReport(report_, printer)) {
        services_.messages.fail(this,
                                QStringLiteral("No se pudo imprimir el informe en %1. "
                                               "Compruebe la impresora y vuelva a intentarlo.")
                                    .arg(printer.printerName()));
    }
}

void frmInformeListado::writePdf() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::optional<QString> chosen =
        chooseOutputFile(services_, this, PathGate(state_.session.places()),
                         {QStringLiteral("Guardar el informe en PDF"),
                          QDir(folder.isEmpty() ? QDir::homePath() : folder)
                              .filePath(documentName() + QStringLiteral(".pdf")),
                          QStringLiteral("Documentos PDF (*.pdf)"), QStringLiteral(".pdf"), false});
    if (!chosen) {
        return;
    }
    const QString target = *chosen;
    WaitCursor wait(*this);
    // Written beside and renamed over, so a failure never leaves half a file
    // where a good one was.
    const QString partial = partialPathFor(target);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial);
    printer.setDocName(documentName());
    printer.setCreator(kAppTitle);
    bool written = printReport(report_, printer);
    if (written) {
        try {
            renameIntoPlace(partial, target);
        } catch (const DbError& error) {
            qCWarning(lcReports) << "El PDF no se pudo poner en su sitio:" << error.what();
            written = false;
        }
    }
    if (!written) {
        QFile::remove(partial);
        services_.messages.fail(this, QStringLiteral("No se pudo guardar el informe en %1. "
                                                     "Compruebe que la carpeta existe y que se "
                                                     "puede escribir en ella.")
                                          .arg(QDir::toNativeSeparators(target)));
    }
}

} // namespace velmora
