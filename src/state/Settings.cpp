#include "state/Settings.h"

#include "state/Logging.h"
#include "state/PathGate.h"
#include "store/PathText.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace velmora {

namespace {

const QString kRuta = QStringLiteral("ruta.ini");
const QString kAno = QStringLiteral("ano.ini");
const QString kColor = QStringLiteral("color.ini");
const QString kColor2 = QStringLiteral("color2.ini");
const QString kImp = QStringLiteral("imp.ini");

const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// Latin-1 when it reads back as the same text. Some Latin-1 texts would not: "Ã©"
// is the UTF-8 for "é", and "ï»¿" in front is taken for a byte-order mark.
QByteArray encodeLine(const QString& text) {
    QStringEncoder latin1(QStringConverter::Latin1);
    QByteArray bytes = latin1.encode(text);
    if (!latin1.hasError() && !bytes.startsWith(kByteOrderMark) && decodeTextLine(bytes) == text) {
        return bytes;
    }
    return text.toUtf8();
}

// QFileDevice tells little more than which step failed, so that is all the user
// is told; Qt's own text, in English and sometimes more precise, goes to the log.
// Opening reports several codes (a folder in the file's place is a write error),
// so every failure there reads the same.
SettingsError writeFailure(const QSaveFile& file, bool opening, const QLoggingCategory& log) {
    qCWarning(log).noquote() << "no se puede escribir" << file.fileName() << "-"
                             << file.errorString();
    QString reason = QStringLiteral("no se puede guardar el archivo");
    if (opening) {
        reason = QStringLiteral("no se puede abrir el archivo para escribir");
    } else if (file.error() == QFileDevice::WriteError) {
        reason = QStringLiteral("no se puede escribir en el disco");
    } else if (file.error() == QFileDevice::RenameError) {
        reason = QStringLiteral("no se puede sustituir el archivo");
    }
    return SettingsError(
        QStringLiteral("No se puede escribir %1: %2").arg(pathForMessage(file.fileName()), reason));
}

} // namespace

// The settings files are single-byte text. A path typed on this system may also
// arrive as UTF-8.
QString decodeTextLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(bytes);
}

void replaceWholeFile(const QString& path, const QByteArray& content, const QLoggingCategory& log) {
    // Renamed over a pipe or a device, or through a link to one, the new file would
    // take the place of something that is no file of ours.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir()) {
        throw SettingsError(QStringLiteral("No se puede escribir %1: no es un archivo normal")
                                .arg(pathForMessage(path)));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw writeFailure(file, true, log);
    }
    file.write(content);
    if (!file.commit()) {
        throw writeFailure(file, false, log);
    }
}

SettingsError::SettingsError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

SettingsFiles::SettingsFiles(QString programFolder) : folder_(std::move(programFolder)) {}

QString SettingsFiles::pathOf(const QString& fileName) const {
    return folder_ + QLatin1Char('/') + fileName;
}

std::optional<QString> SettingsFiles::readLine(const QString& fileName, int lineIndex) const {
    QFile file;
    if (!openSettingsFile(fileName, file)) {
        return std::nullopt;
    }
    // Never read a whole huge file: only the first lines matter.
    for (int i = 0; i <= lineIndex; ++i) {
        if (file.atEnd()) {
            return std::nullopt;
        }
        QByteArray line = file.readLine(64 * 1024);
        if (i == lineIndex) {
            while (line.endsWith('\n') || line.endsWith('\r')) {
                line.chop(1);
            }
            // Editors that save UTF-8 may put a byte-order mark in front. All of them
            // go, so that no text read starts with one and writing it back keeps it.
            while (i == 0 && line.startsWith(kByteOrderMark)) {
                line.remove(0, 3);
            }
            return decodeTextLine(line);
        }
    }
    return std::nullopt;
}

// A file that is not there is simply missing. One that is there but cannot be a
// settings file (a pipe, a folder, a link to a device, something huge) is read as
// missing too, and said once in problems(): the program must start whatever it is.
bool SettingsFiles::openSettingsFile(const QString& fileName, QFile& file) const {
    const QString path = pathOf(fileName);
    if (nothingAt(path)) {
        return false;
    }
    if (const auto refusal = openRegularFile(path, kSmallFileLimit, file)) {
        qCWarning(lcStartup).noquote() << "archivo de ajustes no usado:" << *refusal;
        if (!problems_.contains(*refusal)) {
            problems_.append(*refusal);
        }
        return false;
    }
    return true;
}

void SettingsFiles::writeLines(const QString& fileName, const QStringList& lines) const {
    QByteArray content;
    for (const QString& line : lines) {
        content += encodeLine(line);
        content += "\r\n";
    }
    writeBytes(fileName, content);
}

void SettingsFiles::writeBytes(const QString& fileName, const QByteArray& content) const {
    replaceWholeFile(pathOf(fileName), content, lcStartup());
}

namespace {

const QString kBancos = QStringLiteral("bancos.ini");

} // namespace

QHash<QString, QString> SettingsFiles::readBankAccounts() const {
    QHash<QString, QString> accounts;
    QFile file;
    if (!openSettingsFile(kBancos, file)) {
        return accounts;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype separator = text.indexOf(QLatin1Char(';'));
        if (separator > 0 && separator + 1 < text.size()) {
            accounts.insert(text.left(separator), text.mid(separator + 1));
        }
    }
    return accounts;
}

QString SettingsFiles::readBankAccount(const QString& bankAccount) const {
    return readBankAccounts().value(bankAccount);
}

void SettingsFiles::writeBankAccount(const QString& bankAccount, const QString& ourAccount) const {
    QHash<QString, QString> accounts = readBankAccounts();
    accounts.insert(bankAccount, ourAccount);
    QStringList keys = accounts.keys();
    keys.sort();
    QByteArray content;
    for (const QString& key : keys) {
        content += (key + QLatin1Char(';') + accounts.value(key)).toUtf8() + "\r\n";
    }
    writeBytes(kBancos, content);
}

namespace {

const QString kColumnas = QStringLiteral("columnas.json");

} // namespace

QList<SettingsFiles::BankFileLayout> SettingsFiles::readBankFileLayouts() const {
    QList<BankFileLayout> layouts;
    QFile file;
    if (!openSettingsFile(kColumnas, file)) {
        return layouts;
    }
    // A file damaged by hand or by a crash is only a convenience lost: the columns
    // are recognised again and the file is rewritten at the next import.
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        BankFileLayout layout;
        layout.account = object.value(QLatin1String("cuenta")).toString();
        for (const QJsonValue& header : object.value(QLatin1String("cabecera")).toArray()) {
            layout.headers.append(header.toString());
        }
        layout.columns = object.value(QLatin1String("columnas")).toString();
        if (!layout.account.isEmpty() && !layout.headers.isEmpty()) {
            layouts.append(layout);
        }
    }
    return layouts;
}

void SettingsFiles::writeBankFileLayout(const BankFileLayout& layout) const {
    QJsonArray array;
    const auto add = [&array](const BankFileLayout& kept) {
        array.append(
            QJsonObject{{QLatin1String("cuenta"), kept.account},
                        {QLatin1String("cabecera"), QJsonArray::fromStringList(kept.headers)},
                        {QLatin1String("columnas"), kept.columns}});
    };
    add(layout);
    for (const BankFileLayout& kept : readBankFileLayouts()) {
        if (kept.account != layout.account) {
            add(kept);
        }
    }
    writeBytes(kColumnas, QJsonDocument(array).toJson());
}

QString SettingsFiles::readDataRoot() const {
    return readLine(kRuta, 0).value_or(QString());
}

QString SettingsFiles::readYear() const {
    return readLine(kAno, 0).value_or(QString());
}

std::optional<qint32> SettingsFiles::parseColourLine(const QString& line) {
    bool ok = false;
    const qint32 value = line.trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

QString SettingsFiles::colourLine(qint32 colour) {
    return (colour < 0 ? QString() : QStringLiteral(" ")) + QString::number(colour) +
           QStringLiteral(" ");
}

std::optional<qint32> SettingsFiles::readMainColour() const {
    const auto line = readLine(kColor, 0);
    return line ? parseColourLine(*line) : std::nullopt;
}

std::optional<qint32> SettingsFiles::readSectionColour() const {
    const auto line = readLine(kColor2, 0);
    return line ? parseColourLine(*line) : std::nullopt;
}

std::optional<QString> SettingsFiles::readPrinterLine(bool second) const {
    return readLine(kImp, second ? 1 : 0);
}

std::optional<int> SettingsFiles::readPrinterPosition(bool second, int withoutFile) const {
    if (!QFileInfo::exists(pathOf(kImp))) {
        return withoutFile;
    }
    const std::optional<QString> line = readPrinterLine(second);
    if (!line) {
        return std::nullopt;
    }
    bool ok = false;
    const int position = line->toInt(&ok);
    return ok ? std::optional<int>(position) : std::nullopt;
}

void SettingsFiles::writeDataRoot(const QString& dataRoot) const {
    writeLines(kRuta, {dataRoot});
}

void SettingsFiles::writeYear(const QString& year) const {
    writeLines(kAno, {year});
}

void SettingsFiles::writeDataRootAndYear(const QString& dataRoot, const QString& year) const {
    // Read in full before anything changes: only the old bytes can be put back.
    std::optional<QByteArray> oldRoute;
    const QString routePath = pathOf(kRuta);
    if (QFileInfo::exists(routePath)) {
        QFile route;
        if (const auto refusal = openRegularFile(routePath, kSmallFileLimit, route)) {
            qCWarning(lcStartup).noquote() << "no se puede leer:" << *refusal;
            throw SettingsError(
                QStringLiteral("No se puede leer %1; no se ha cambiado ningún ajuste")
                    .arg(pathForMessage(routePath)));
        }
        oldRoute = route.readAll();
    }

    writeDataRoot(dataRoot);
    try {
        writeYear(year);
    } catch (const SettingsError& error) {
        bool restored = false;
        if (oldRoute) {
            try {
                writeBytes(kRuta, *oldRoute);
                restored = true;
            } catch (const SettingsError&) {
                // Said below; the reason is already in the log.
            }
        } else {
            // Through a link the new file lies at the link's target; the link stays.
            restored = QFile::remove(QFileInfo(routePath).canonicalFilePath());
        }
        if (!restored) {
            throw SettingsError(QStringLiteral("%1. Además, %2 no se ha podido dejar como estaba")
                                    .arg(error.message(), pathForMessage(routePath)));
        }
        throw;
    }
}

void SettingsFiles::writeMainColour(qint32 colour) const {
    writeLines(kColor, {colourLine(colour)});
}

void SettingsFiles::writeSectionColour(qint32 colour) const {
    writeLines(kColor2, {colourLine(colour)});
}

void SettingsFiles::writePrinters(int reportPrinter, int pdfPrinter) const {
    writeLines(kImp, {QString::number(reportPrinter), QString::number(pdfPrinter)});
}

} // namespace velmora
