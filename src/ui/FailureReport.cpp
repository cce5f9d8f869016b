#include "ui/FailureReport.h"

#include "store/DbErrorText.h"
#include "ui/MessageService.h"

#include <QLoggingCategory>

namespace velmora {

FailureReport::FailureReport(QWidget& window, MessageService& messages,
                             const QLoggingCategory& category)
    : window_(window), messages_(messages), category_(category) {}

void FailureReport::tell(const QString& lead, const DbError& error) const {
    qCWarning(category_).noquote()
        << lead << "|" << error.operation() << "|" << error.detail() << "| código" << error.code();
    QString text = lead + QStringLiteral(": ") + describeFailure(error);
    // Nothing was written and nothing typed is lost: the same command will do.
    if (isBusy(error)) {
        text += QStringLiteral(". Inténtelo de nuevo dentro de un momento.");
    }
    messages_.fail(&window_, text);
}

} // namespace velmora
