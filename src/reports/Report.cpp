#include "reports/Report.h"

#include "store/Formats.h"

#include <QRegularExpression>

namespace velmora {

Report::Report(ReportDefinition definition) : definition_(std::move(definition)) {}

Report Report::open(const QString& path) {
    return Report(readReportFile(path));
}

QStringList Report::parameterNames() const {
    return isEmpty() ? QStringList() : definition_->parameters;
}

void Report::setParameter(const QString& name, const QString& value) {
    if (parameterNames().contains(name)) {
        values_.insert(name, value);
    }
}

void Report::setRequest(const ReportRequest& request) {
    for (auto value = request.valores.cbegin(); value != request.valores.cend(); ++value) {
        setParameter(value.key(), value.value());
    }
    setParameter(QStringLiteral("pEmpresa"), request.empresa);
    setParameter(QStringLiteral("pTitulo"), request.titulo);
    setParameter(QStringLiteral("pInfo"), request.info);
    setSelectionFormula(request.filtro);
}

void Report::read() {
    if (isEmpty()) {
        return;
    }
    // Every declared parameter reaches the SQL, an unset one as an empty text.
    QHash<QString, QString> values;
    for (const QString& name : definition_->parameters) {
        values.insert(name, values_.value(name));
    }
    rows_ = queryReport(*definition_, databasePath_, formula_, values);
    read_ = true;
}

QString Report::fill(const QString& text, int page, int pages) const {
    static const QRegularExpression placeholder(QStringLiteral("\\{([A-Za-z_][A-Za-z0-9_]*)\\}"));
    QString filled;
    qsizetype from = 0;
    // One pass, so that a value holding "{Pagina}" is printed as it is.
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
        filled += text.mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        const QString name = match.captured(1);
        if (parameterNames().contains(name)) {
            filled += values_.value(name);
        } else if (name == QLatin1String("Pagina")) {
            filled += QString::number(page);
        } else if (name == QLatin1String("Paginas")) {
            filled += QString::number(pages);
        } else if (name == QLatin1String("Fecha")) {
            filled += formatDate(printDate_);
        } else if (name == QLatin1String("Registros")) {
            filled += QString::number(rows_.rowCount());
        } else {
            filled += match.captured(0);
        }
    }
    return filled + text.mid(from);
}

} // namespace velmora
