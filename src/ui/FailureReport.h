#pragma once

// What a window does when the store fails: it tells the user in Spanish what
// could not be done and why ("No se puede borrar el apunte: el disco está
// lleno"), writes the engine's own words to the log, and goes on with the data
// it had.

#include "store/Sqlite.h"

#include <QString>

#include <utility>

class QLoggingCategory;
class QWidget;

namespace velmora {

class MessageService;

class FailureReport {
public:
    FailureReport(QWidget& window, MessageService& messages, const QLoggingCategory& category);

    // "LEAD: reason", with the critical icon. lead says what could not be done:
    // "No se puede leer la lista de apuntes".
    void tell(const QString& lead, const DbError& error) const;

    // Runs work; when the store fails, tells the user and gives false.
    template <typename Work> bool attempt(const QString& lead, Work&& work) const {
        try {
            std::forward<Work>(work)();
            return true;
        } catch (const DbError& error) {
            tell(lead, error);
            return false;
        }
    }

private:
    QWidget& window_;
    MessageService& messages_;
    const QLoggingCategory& category_;
};

} // namespace velmora
