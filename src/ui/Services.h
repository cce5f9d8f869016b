#pragma once

// What windows ask of the platform beyond their own widgets: messages, modal
// windows and today's date. The program uses these as they are; tests replace
// each with one that answers from a script.

#include "ui/MessageService.h"

#include <QDate>

class QDialog;

namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const { return QDate::currentDate(); }
};

class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Shows the window modally and returns when it has closed, with its result.
    virtual int run(QDialog& dialog);
};

struct Services {
    MessageService& messages;
    DialogRunner& dialogs;
    const Clock& clock;
};

} // namespace velmora
