#include "ui/OutputFile.h"

#include "state/Logging.h"
#include "state/PathGate.h"
#include "store/PathText.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QFileInfo>

namespace velmora {

std::optional<QString> chooseOutputFile(Services& services, QWidget* parent, const PathGate& gate,
                                        const OutputRequest& request) {
    const std::optional<QString> chosen =
        services.files.saveFile(parent, request.caption, request.suggested, request.filter);
    if (!chosen || chosen->isEmpty()) {
        return std::nullopt;
    }
    QString path = *chosen;
    const bool suffixAdded = !path.endsWith(request.suffix, Qt::CaseInsensitive) &&
                             !(request.anySuffix && !QFileInfo(path).suffix().isEmpty());
    if (suffixAdded) {
        path += request.suffix;
    }
    if (const auto refusal = gate.refuseOutput(path)) {
        qCWarning(lcUi).noquote() << "salida rechazada:" << *refusal;
        services.messages.fail(
            parent,
            QStringLiteral("No se puede escribir ahí: %1. Elija otro archivo.").arg(*refusal));
        return std::nullopt;
    }
    if (suffixAdded && !nothingAt(path) &&
        !services.messages.ask(parent,
                               QStringLiteral("Ya existe el archivo %1.\n¿Desea reemplazarlo?")
                                   .arg(pathForMessage(path)),
                               MessageIcon::Question)) {
        return std::nullopt;
    }
    return path;
}

} // namespace velmora
