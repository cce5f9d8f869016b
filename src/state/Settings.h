#pragma once

// The five settings files in the settings folder (settingsFolderFor: the program
// folder or the user's configuration folder). Each holds one value on its
// first line (imp.ini two), ended by CR LF. Readers accept LF alone and spaces
// around a colour; a file that is missing, holds no line, or holds a colour that
// is not a number reads as missing. Writers replace the file atomically.

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

class QFile;
class QLoggingCategory;

namespace velmora {

class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Replaces the file at path with content in one step: a crash midway leaves the
// old file whole (and at worst a stray temporary beside it), never half of the
// new one. Refuses to write over a pipe or a device. Throws SettingsError with a
// Spanish message naming the file; Qt's reason goes to log.
void replaceWholeFile(const QString& path, const QByteArray& content, const QLoggingCategory& log);

// A line of a text file the user may have edited: valid UTF-8 is read as such,
// anything else as Latin-1, so that no byte is lost either way.
QString decodeTextLine(const QByteArray& bytes);

class SettingsFiles {
public:
    explicit SettingsFiles(QString programFolder);

    QString readDataRoot() const;                    // ruta.ini, empty when missing
    QString readYear() const;                        // ano.ini, empty when missing
    std::optional<qint32> readMainColour() const;    // color.ini
    std::optional<qint32> readSectionColour() const; // color2.ini
    // imp.ini: line 1 (report printer) or, with second set, line 2 (PDF printer).
    std::optional<QString> readPrinterLine(bool second) const;
    // The printer position on that line: withoutFile when imp.ini does not exist (0,
    // the first printer, unless the caller must not fall on a printer nobody chose:
    // -1); nothing when the line is missing or not a whole number.
    std::optional<int> readPrinterPosition(bool second, int withoutFile = 0) const;

    // Each throws SettingsError with a Spanish message when the file cannot be written.
    void writeDataRoot(const QString& dataRoot) const;
    void writeYear(const QString& year) const;
    // ruta.ini and ano.ini together, so the program never finds a data root with
    // another installation's year: when ano.ini cannot be written, ruta.ini is put
    // back byte for byte (or removed if it was not there) before the throw.
    void writeDataRootAndYear(const QString& dataRoot, const QString& year) const;
    void writeMainColour(qint32 colour) const;
    void writeSectionColour(qint32 colour) const;
    void writePrinters(int reportPrinter, int pdfPrinter) const;

    // bancos.ini: which of our accounts each bank account of a statement is, one
    // "bank account;our account" per line, in UTF-8, so that the next import of
    // the same bank account asks nothing. Empty when it was never chosen.
    QString readBankAccount(const QString& bankAccount) const;
    void writeBankAccount(const QString& bankAccount, const QString& ourAccount) const;

    // columnas.json: how the movements files of each of our bank accounts are laid
    // out, their headers and what each column holds, so that the next file with the
    // same headers is read the same way and goes to the same account.
    struct BankFileLayout {
        QString account;
        QStringList headers;
        QString columns; // "Fecha|Concepto|Importe|Saldo", as the import names them
    };
    QList<BankFileLayout> readBankFileLayouts() const;
    // Replaces what was remembered for the account.
    void writeBankFileLayout(const BankFileLayout& layout) const;

    QString pathOf(const QString& fileName) const;

    // What made a file that is there read as missing, one sentence each naming
    // the file: "/x/color.ini es una tubería, no un archivo".
    const QStringList& problems() const { return problems_; }

    // " 12632256 " for a colour: a space or "-", the digits, a space.
    static QString colourLine(qint32 colour);
    static std::optional<qint32> parseColourLine(const QString& line);

private:
    std::optional<QString> readLine(const QString& fileName, int lineIndex) const;
    bool openSettingsFile(const QString& fileName, QFile& file) const;
    void writeLines(const QString& fileName, const QStringList& lines) const;
    void writeBytes(const QString& fileName, const QByteArray& content) const;
    QHash<QString, QString> readBankAccounts() const;

    QString folder_;
    mutable QStringList problems_;
};

} // namespace velmora
