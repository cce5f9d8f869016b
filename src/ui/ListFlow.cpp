#include "ui/ListFlow.h"

#include "ui/Icons.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "ui/WindowKit.h"

#include <QDialog>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace velmora {

ListFlow::ListFlow(QWidget& window, QTableView& grid, Services& services, int column,
                   std::function<bool()> reload)
    : window_(window), grid_(grid), services_(services), column_(column),
      reload_(std::move(reload)) {}

std::optional<int> ListFlow::selectedRow() const {
    const QModelIndex current = grid_.currentIndex();
    if (grid_.model()->rowCount() < 1 || !current.isValid()) {
        return std::nullopt;
    }
    return current.row();
}

void ListFlow::open(QDialog& window) {
    runWithWaitCursor(window_, services_.dialogs, window);
    reload_();
    returned();
}

void ListFlow::edit(QDialog& editor, int returnRow) {
    runWithWaitCursor(window_, services_.dialogs, editor);
    if (reload_()) {
        selectLineAtTop(grid_, returnRow, column_);
    }
    returned();
}

void ListFlow::remove(const QString& question, const std::function<bool()>& removeRow) {
    if (!services_.messages.ask(&window_, question) || !removeRow()) {
        return;
    }
    reload_();
    services_.messages.inform(&window_, QStringLiteral("PROCESO FINALIZADO"));
}

void ListFlow::returned() {
    if (onReturn_) {
        onReturn_();
    }
}

void selectLineAtTop(QTableView& grid, int line, int column) {
    const int rows = grid.model()->rowCount();
    if (rows < 1) {
        return;
    }
    const QModelIndex index = grid.model()->index(std::clamp(line, 1, rows) - 1, column);
    grid.setCurrentIndex(index);
    grid.scrollTo(index, QAbstractItemView::PositionAtTop);
}

ListCommands makeListCommands(QDialog& window) {
    ListCommands commands;
    commands.add = commandButton(window, "cmdAnadir", QStringLiteral("&Añadir"));
    commands.edit = commandButton(window, "cmdModificar", QStringLiteral("&Modificar"));
    commands.remove = commandButton(window, "cmdBorrar", QStringLiteral("&Borrar"));
    commands.close = commandButton(window, "cmdCerrar", QStringLiteral("&Cerrar"));
    commands.add->setIcon(commandIcon(Command::New));
    commands.edit->setIcon(commandIcon(Command::Edit));
    commands.remove->setIcon(commandIcon(Command::Delete));
    commands.close->setIcon(commandIcon(Command::Exit));
    QObject::connect(commands.close, &QPushButton::clicked, &window, &QDialog::accept);
    return commands;
}

} // namespace velmora
