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
    messages_.fail(&window_, lead + QStringLiteral(": ") + describeFailure(error));
}

} // namespace velmora
