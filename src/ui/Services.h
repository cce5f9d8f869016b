#pragma once

// What windows ask of the platform beyond their own widgets: messages, modal
// windows, today's date, files chosen by the user, and the printers and drives
// of this machine. The program uses these as they are; tests replace each with
// one that answers from a script.

#include "ui/MessageService.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

namespace velmora {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const { return QDate::currentDate(); }
    // Today at the wall clock's time of day.
    QDateTime now() const { return QDateTime(today(), QTime::currentTime()); }
};

class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Shows the window modally and returns when it has closed, with its result.
    virtual int run(QDialog& dialog);
};

// The desktop's file dialogs. filter as Qt writes it: "Informes (*.pdf)".
// Nothing when the user cancels.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<QString> openFile(QWidget* parent, const QString& caption,
                                            const QString& folder, const QString& filter);
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& caption,
                                            const QString& suggested, const QString& filter);
};

// A mounted volume where a copy can go.
struct Drive {
    QString rootPath;
    QString name; // the volume's label, or its root path when it has none
    bool readOnly = false;
};

// What this machine has: its printers, in the order the system lists them, and
// its mounted drives.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual QStringList printerNames() const;
    virtual QList<Drive> drives() const;
};

struct Services {
    MessageService& messages;
    DialogRunner& dialogs;
    const Clock& clock;
    FileChooser& files;
    const SystemInfo& system;
};

} // namespace velmora
