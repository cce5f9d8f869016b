#include "admin/CommandLine.h"

#include "state/Settings.h"
#include "store/Formats.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace velmora::admin {

int badUsage(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << '\n'
        << "Use «" << kProgram << " --help» para ver cómo se usa.\n";
    err.flush();
    return BadUsage;
}

int failure(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << '\n';
    err.flush();
    return Failure;
}

QString printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0)) {
            shown.append(c);
        } else if (code == '\n') {
            shown.append(QLatin1String("\\n"));
        } else if (code == '\r') {
            shown.append(QLatin1String("\\r"));
        } else if (code == '\t') {
            shown.append(QLatin1String("\\t"));
        } else {
            shown.append(QLatin1String("\\x") +
                         QString::number(int(code), 16).toUpper().rightJustified(2, u'0'));
        }
    }
    return shown;
}

QString extraArguments(const QStringList& args, qsizetype from) {
    return QStringLiteral("sobran argumentos: %1").arg(args.mid(from).join(QLatin1Char(' ')));
}

QString newYearRefusal(const QString& year) {
    return QStringLiteral("el año «%1» no vale: no puede estar en blanco, empezar por un punto, "
                          "llevar espacios delante o detrás, barras ni caracteres de control")
        .arg(printable(year));
}

QString yearArgumentRefusal(const QString& year) {
    return QStringLiteral("el año «%1» no vale: no es el nombre de una carpeta de la carpeta de "
                          "datos")
        .arg(printable(year));
}

QString yearFileRefusal(const QString& year) {
    return QStringLiteral("el año de ano.ini («%1») no es el nombre de una carpeta de la carpeta "
                          "de datos")
        .arg(printable(year));
}

std::optional<Installed> readInstallation(const QString& programFolder, QTextStream& err) {
    const SettingsFiles settings(programFolder);
    Installed found{settings.readDataRoot(), settings.readYear()};
    if (!settings.problems().isEmpty()) {
        failure(err, QStringLiteral("no se pueden leer los ajustes: %1")
                         .arg(settings.problems().join(QStringLiteral("; "))));
        return std::nullopt;
    }
    if (found.dataRoot.isEmpty() || found.year.isEmpty()) {
        failure(err, QStringLiteral("no hay instalación en %1: faltan ruta.ini o ano.ini. "
                                    "Prepárela antes con «%2 init CARPETA_DE_DATOS».")
                         .arg(QDir::toNativeSeparators(programFolder), kProgram));
        return std::nullopt;
    }
    if (!namesYearFolder(found.year)) {
        failure(err, yearFileRefusal(found.year));
        return std::nullopt;
    }
    return found;
}

std::optional<TargetYear> targetYear(const QString& programFolder,
                                     const std::optional<QString>& year, QTextStream& err) {
    const std::optional<Installed> installed = readInstallation(programFolder, err);
    if (!installed) {
        return std::nullopt;
    }
    TargetYear target{installed->dataRoot, year.value_or(installed->year), {}};
    target.databasePath = databasePathFor(target.dataRoot, target.year);
    if (!QFileInfo(target.databasePath).isFile()) {
        failure(err, QStringLiteral("no existe la base de datos del año %1: %2")
                         .arg(target.year, QDir::toNativeSeparators(target.databasePath)));
        return std::nullopt;
    }
    return target;
}

std::optional<Options> parseOptions(const QStringList& args, const QStringList& valued,
                                    const QStringList& flags, QTextStream& err) {
    static const QRegularExpression number(QStringLiteral("^-[0-9.,]"));
    Options parsed;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString arg = args[i];
        std::optional<QString> value;
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && equals > 0) {
            value = arg.mid(equals + 1);
            arg = arg.left(equals);
        }
        if (valued.contains(arg)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    badUsage(err, QStringLiteral("falta el valor de %1").arg(arg));
                    return std::nullopt;
                }
                value = args[++i];
            }
            if (arg == QLatin1String("--year")) {
                parsed.year = *value;
            } else {
                parsed.values.insert(arg, *value);
            }
        } else if (flags.contains(arg) && !value) {
            parsed.flags.append(arg);
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1 &&
                   !number.match(arg).hasMatch()) {
            badUsage(err, QStringLiteral("opción desconocida: «%1»").arg(printable(args[i])));
            return std::nullopt;
        } else {
            parsed.operands.append(arg);
        }
    }
    if (parsed.year && !namesYearFolder(*parsed.year)) {
        badUsage(err, yearArgumentRefusal(*parsed.year));
        return std::nullopt;
    }
    return parsed;
}

bool dateOption(const Options& parsed, const QString& name, std::optional<QDate>& date,
                QTextStream& err) {
    if (!parsed.values.contains(name)) {
        return true;
    }
    const QString text = parsed.values.value(name);
    date = parseDate(text);
    if (!date) {
        badUsage(err, QStringLiteral("la fecha «%1» no vale: escríbala como DD/MM/AAAA, por "
                                     "ejemplo 31/12/2024")
                          .arg(printable(text)));
    }
    return date.has_value();
}

} // namespace velmora::admin
