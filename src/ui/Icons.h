#pragma once

// The pictures of the command buttons, in one set: the desktop's icon theme by
// the standard names when it has them, otherwise line drawings of our own, all
// in the same hand and in the text colour of the desktop, so that they show on a
// light or a dark toolbar alike.

#include <QIcon>
#include <QKeySequence>
#include <QString>

namespace velmora {

enum class Command {
    Find,
    ClearFilter,
    New,
    Edit,
    Delete,
    Report,
    Balance,
    Statistics,
    Exit,
    Pdf,
    Print,
    Refresh,
    FirstPage,
    PreviousPage,
    NextPage,
    LastPage,
};

QIcon commandIcon(Command command);

// The name of the command as its caption reads, with the key that presses it:
// "Quitar Filtro (Alt+Q)" for "&Quitar Filtro", and the shortcut after it when
// the command has one as well.
QString commandToolTip(const QString& caption, const QKeySequence& shortcut = {});

} // namespace velmora
