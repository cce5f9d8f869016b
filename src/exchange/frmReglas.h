#pragma once

// The household's import rules: listed in the order they are tried, added,
// changed, deleted and moved up or down. Every change is written to the rules
// file at once; when it cannot be, the user is told, the list stays as the file
// has it, and a rule being typed stays in its window.

#include "exchange/HouseRules.h"
#include "ui/WindowKit.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableView;

namespace velmora {

struct AppState;
struct Services;
class HouseRuleTableModel;
class ListFlow;

class frmReglas : public ModalWindow {
    Q_OBJECT
public:
    frmReglas(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmReglas() override;

    const HouseRules& rules() const;

protected:
    // Reads the file; says what was wrong with it, if anything.
    void opened() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void arrangeControls();
    void applyColumnWidths();
    bool showRules();
    void selectRule(int row);
    void addRule();
    void editSelected();
    void deleteSelected();
    void moveSelected(int step);
    // Writes next; on success shows it with row selected. False when the file
    // could not be written (the user was told) or must not be.
    bool save(const HouseRules& next, int row);
    QStringList yearAccounts();

    AppState& state_;
    Services& services_;
    HouseRuleTableModel* model_ = nullptr;
    std::unique_ptr<ListFlow> list_;
    bool writable_ = true;

    QLabel* lblInfo = nullptr;
    QTableView* mshDatos = nullptr;
    QPushButton* cmdAnadir = nullptr;
    QPushButton* cmdModificar = nullptr;
    QPushButton* cmdBorrar = nullptr;
    QPushButton* cmdSubir = nullptr;
    QPushButton* cmdBajar = nullptr;
    QPushButton* cmdCerrar = nullptr;
};

} // namespace velmora
