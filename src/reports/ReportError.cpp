#include "reports/ReportError.h"

namespace velmora {

ReportError::ReportError(Kind kind, QString description)
    : std::runtime_error(description.toStdString()), kind_(kind),
      description_(std::move(description)) {}

} // namespace velmora
