#pragma once

// What the list windows do with their selected line, written once: edit it in a
// modal window and select the same line again afterwards, open a window for a
// new row, delete the line after a question. Lines are found again by their
// position, whatever row stands there after the reload.

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QPushButton;
class QTableView;
class QWidget;

namespace velmora {

struct Services;

class ListFlow {
public:
    // reload refills the grid and gives false when it failed (the user was told);
    // column is where the current cell goes on a line selected again.
    ListFlow(QWidget& window, QTableView& grid, Services& services, int column,
             std::function<bool()> reload);

    // Runs after every window this flow opened has closed and the list is
    // reloaded, as when the list window becomes active again.
    void setOnReturn(std::function<void()> onReturn) { onReturn_ = std::move(onReturn); }

    // The selected row, counted from 0; nothing on an empty list.
    std::optional<int> selectedRow() const;

    // Opens `window` modally with the hourglass over the list, then reloads.
    void open(QDialog& window);

    // As open(), for the editor of line `returnRow` (1 = first): afterwards that
    // line is selected again and scrolled to the top; the last one when the list
    // became shorter.
    void edit(QDialog& editor, int returnRow);

    // Asks `question` (Yes/No, information icon); on Yes runs remove, which gives
    // false when it failed and told the user. After a removal the list is
    // reloaded, then "PROCESO FINALIZADO" is shown.
    void remove(const QString& question, const std::function<bool()>& removeRow);

private:
    void returned();

    QWidget& window_;
    QTableView& grid_;
    Services& services_;
    int column_;
    std::function<bool()> reload_;
    std::function<void()> onReturn_;
};

// Makes line `line` (1 = first) current at `column` and scrolls it to the top; a
// list that became shorter selects its last line. An empty list is left alone.
void selectLineAtTop(QTableView& grid, int line, int column);

// The commands of a list window that keeps its own rows, named and with their
// icons: "&Añadir", "&Modificar", "&Borrar" and "&Cerrar", which closes it.
struct ListCommands {
    QPushButton* add = nullptr;
    QPushButton* edit = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* close = nullptr;
};
ListCommands makeListCommands(QDialog& window);

} // namespace velmora
