#include "years/Compactar.h"

#include "state/Logging.h"
#include "store/Sqlite.h"
#include "ui/AppState.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/SafetyCopies.h"
#include "years/YearDatabase.h"

namespace velmora {

bool Compactar(AppState& state, MessageService& messages, QWidget* parent) {
    try {
        YearDatabase(state.session).compact();
        return true;
    } catch (const ReopenError& error) {
        // Compacted, but closed: the user must know why every window fails until
        // the database opens again, which it does as soon as it can.
        messages.show(
            parent, Message{QStringLiteral("La base de datos se ha compactado. ") + error.message(),
                            QStringLiteral("Error de Compactación"), MessageIcon::Warning,
                            MessageButtons::Ok});
        return true;
    } catch (const YearError&) {
        // The reason is in the log already; the user gets the one message.
        messages.show(parent,
                      Message{QStringLiteral("Compactación non completada. ") +
                                  QStringLiteral("Asegúrese de que la BD no está abierta. "),
                              QStringLiteral("Error de Compactación"), MessageIcon::Warning,
                              MessageButtons::Ok});
        return false;
    }
}

void compactFromMenu(AppState& state, Services& services, QWidget* parent) {
    const MessageAnswer answer = services.messages.show(
        parent, Message{QStringLiteral("Esta opción reorganiza los ficheros de datos\r\n"
                                       "Por precaución es recomendable hacer antes una copia de "
                                       "seguridad\r\n¿INCIAR PROCESO?"),
                        kAppTitle, MessageIcon::None, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) {
        return;
    }
    // The old file stays until the new one is sound, so a failed copy is no reason
    // to stop; it is logged for whoever looks into it.
    try {
        SafetyCopies(state.session.dataRoot(), state.session.year())
            .write(state.db(), services.clock.now());
    } catch (const DbError& error) {
        qCWarning(lcMaintenance).noquote()
            << "sin copia automática antes de compactar:" << error.what();
    }
    Compactar(state, services.messages, parent);
}

} // namespace velmora
