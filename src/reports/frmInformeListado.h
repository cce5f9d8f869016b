#pragma once

// The report window: shows a report over the current year on screen and prints
// it, on the printer chosen for reports or on the one chosen for PDF files. The
// caller sets the five properties and shows it; the window opens the report
// file, fills the parameters, points it at the year's database, applies the
// selection and shows the pages. When any of that fails the user is told and
// the window closes itself.

#include "reports/Report.h"
#include "reports/ReportRequest.h"
#include "ui/WindowKit.h"

class QLabel;
class QToolButton;

namespace velmora {

struct AppState;
class ReportPreview;
struct Services;

class frmInformeListado : public ModalWindow {
    Q_OBJECT
public:
    frmInformeListado(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmInformeListado() override;

    void setTipo(const QString& tipo) { request_.tipo = tipo; }
    void setFiltro(const QString& filtro) { request_.filtro = filtro; }
    void setEmpresa(const QString& empresa) { request_.empresa = empresa; }
    void setTitulo(const QString& titulo) { request_.titulo = titulo; }
    void setInfo(const QString& info) { request_.info = info; }
    void setRequest(const ReportRequest& request) { request_ = request; }

    // True from the start of loading until a load fails.
    bool loaded() const { return loaded_; }
    const Report& report() const { return report_; }

protected:
    void opened() override;

private:
    void buildControls();
    QLayout* buildNavigation();
    bool load();
    // The report file of the requested kind; throws ReportError.
    Report openRequested() const;
    void print(bool pdf);
    void writePdf();
    QString documentName() const;

    AppState& state_;
    Services& services_;
    ReportRequest request_;
    Report report_;
    bool loaded_ = true;
    // The viewer holds a report: one was opened, read and shown.
    bool viewing_ = false;

    ReportPreview* CRViewer = nullptr;
    QLabel* lblPagina = nullptr;
    QToolButton* cmdPDF = nullptr;
    QToolButton* cmdImpresora = nullptr;
};

} // namespace velmora
