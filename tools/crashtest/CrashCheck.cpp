#include "CrashCheck.h"

#include "CrashChild.h"
#include "entries/MovementRule.h"
#include "exchange/Csv.h"
#include "maintenance/DriveBackup.h"
#include "state/Settings.h"
#include "store/AccountStore.h"
#include "store/BudgetTable.h"
#include "store/DatabaseFiles.h"
#include "store/EntryStore.h"
#include "store/OpeningBalances.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "years/SafetyCopies.h"
#include "years/YearFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace velmora::crashtest {

namespace {

using namespace Qt::StringLiterals;

constexpr int kFirstEntries = 100;
// The colours of a fresh installation.
constexpr qint32 kMainColour = 12648447;
constexpr qint32 kSectionColour = 14737632;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One value on one line ended by CR LF, as the program writes every settings file.
bool wholeLine(const QByteArray& bytes) {
    return bytes.endsWith("\r\n") && bytes.count('\n') == 1 && bytes.size() > 2;
}

QString receiptMonth(qint64 receipt, const QString& month) {
    return QString::number(receipt) + u' ' + month;
}

// Opens the file as the program would, which rolls back what a killed writer
// left half done, and reads it whole; nothing when it is not a sound ledger.
std::optional<LedgerContent> readLedger(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    try {
        Database db(path);
        Statement check(db, "PRAGMA integrity_check", "comprobar");
        if (!check.step() || check.columnText(0) != u"ok"_s) {
            return std::nullopt;
        }
        LedgerContent content;
        Statement rows(db, "SELECT Id, Data, Des, EntraEn, SaleDe, Importe, GoI FROM apuntes",
                       "leer los apuntes");
        while (rows.step()) {
            content.entries[rows.columnInt(0)] = EntryValues{
                rows.columnText(1), std::llround(rows.columnNumber(5) * 100.0),
                rows.columnText(3), rows.columnText(4),
                rows.columnText(6), rows.columnText(2),
            };
        }
        for (const Account& account : listAccounts(db, {})) {
            content.accounts[account.name] = account.kind;
        }
        for (const OpeningBalance& opening : openingBalances(db)) {
            content.openings[opening.account] = opening.cents;
        }
        if (db.hasTable(u"recibosescritos"_s)) {
            Statement months(db, "SELECT Recibo, Mes, Apunte FROM recibosescritos",
                             "leer los recibos escritos");
            while (months.step()) {
                content.receiptMonths[receiptMonth(months.columnInt(0), months.columnText(1))] =
                    months.columnInt(2);
            }
        }
        if (hasBudgetTable(db)) {
            Statement budget(db, "SELECT Cuenta, Centimos FROM presupuesto ORDER BY Cuenta, Mes",
                             "leer el presupuesto");
            while (budget.step()) {
                content.budgets[budget.columnText(0)].push_back(budget.columnInt(1));
            }
        }
        return content;
    } catch (const DbError&) {
        return std::nullopt;
    }
}

int entryReferences(const LedgerContent& ledger, const QString& name) {
    int count = 0;
    for (const auto& [id, values] : ledger.entries) {
        count += (values.goesInto == name) + (values.comesOutOf == name);
    }
    return count;
}

void renameIn(LedgerContent& ledger, const QString& from, const QString& to) {
    const auto account = ledger.accounts.find(from);
    if (account != ledger.accounts.end()) {
        ledger.accounts[to] = account->second;
        ledger.accounts.erase(from);
    }
    if (const auto opening = ledger.openings.find(from); opening != ledger.openings.end()) {
        ledger.openings[to] = opening->second;
        ledger.openings.erase(from);
    }
    if (const auto budget = ledger.budgets.find(from); budget != ledger.budgets.end()) {
        ledger.budgets[to] = budget->second;
        ledger.budgets.erase(from);
    }
    for (auto& [id, values] : ledger.entries) {
        for (QString* name : {&values.goesInto, &values.comesOutOf}) {
            if (*name == from) {
                *name = to;
            }
        }
    }
}

void setOpening(LedgerContent& ledger, const QString& account, qint64 cents) {
    if (cents == 0) {
        ledger.openings.erase(account);
    } else {
        ledger.openings[account] = cents;
    }
}

void setBudget(LedgerContent& ledger, const QString& account, const std::vector<qint64>& amounts) {
    if (amounts.empty()) {
        ledger.budgets.erase(account);
    } else {
        ledger.budgets[account] = amounts;
    }
}

// The rows missing from either side or different on it, each named with what.
template <typename Map>
QStringList differences(const Map& expected, const Map& found, const QString& what) {
    QStringList rows;
    for (const auto& [key, value] : expected) {
        const auto there = found.find(key);
        if (there == found.end() || !(there->second == value)) {
            rows.append(what.arg(key));
        }
    }
    for (const auto& [key, value] : found) {
        if (!expected.contains(key)) {
            rows.append(what.arg(key));
        }
    }
    return rows;
}

qint64 entriesIn(const QString& path) {
    Database db(path, Database::Mode::ReadOnly);
    Statement count(db, "SELECT COUNT(*) FROM apuntes", "contar los apuntes");
    count.step();
    return count.columnInt(0);
}

} // namespace

CrashInstallation::CrashInstallation(quint64 seed) {
    if (!dir_.isValid()) {
        throw std::runtime_error("no se puede crear una carpeta temporal");
    }
    for (const QString& folder :
         {programFolder() + u"/Datos"_s, yearFolderPath(dataRoot(), year())}) {
        if (!QDir().mkpath(folder)) {
            throw std::runtime_error("no se puede crear " + folder.toStdString());
        }
    }
    const SettingsFiles settings(programFolder());
    settings.writeDataRootAndYear(dataRoot(), year());
    settings.writeMainColour(kMainColour);
    settings.writeSectionColour(kSectionColour);

    Database db(databasePath(), Database::Mode::CreateIfMissing);
    // Making the installation is not under test: one flush at the end will do.
    db.exec("PRAGMA synchronous = OFF", "preparar la contabilidad");
    createLedgerSchema(db);
    const std::vector<Account> accounts{
        {u"Caja"_s, u"Efectivo"_s, u"C"_s},   {u"Banco"_s, u"Cuenta"_s, u"C"_s},
        {u"Hucha"_s, u"Ahorro"_s, u"C"_s},    {u"Nomina"_s, u"Sueldo"_s, u"I"_s},
        {u"Intereses"_s, u"Banco"_s, u"I"_s}, {u"Comida"_s, u"Casa"_s, u"G"_s},
        {u"Luz"_s, u"Casa"_s, u"G"_s},        {u"Alquiler"_s, u"Piso"_s, u"G"_s},
    };
    for (const Account& account : accounts) {
        insertAccount(db, account);
    }
    QRandomGenerator random(seed);
    for (int id = 1; id <= kFirstEntries; ++id) {
        const EntryValues values =
            randomMovement(random, accounts, year().toInt(), u"Inicial-%1"_s.arg(id));
        insertEntry(db, entryOf(id, values));
    }
    flushToDisk(databasePath());
}

QString CrashInstallation::databasePath() const {
    return databasePathFor(dataRoot(), year());
}

CrashModel::CrashModel(const CrashInstallation& installation)
    : programFolder_(installation.programFolder()), dataRoot_(installation.dataRoot()),
      year_(installation.year()), databasePath_(installation.databasePath()),
      importFolder_(importFolderFor(programFolder_)),
      backupFile_(yearBackupFolder(backupFolderFor(driveFor(programFolder_)), year_) +
                  u"/Devedur.mdb"_s) {
    const SettingsFiles settings(programFolder_);
    dataRootFile_ = bytesOf(settings.pathOf(u"ruta.ini"_s));
    colour_ = settings.readMainColour().value_or(0);
    const std::optional<LedgerContent> content = readLedger(databasePath_);
    if (!content) {
        throw std::runtime_error("la instalación no tiene una contabilidad sana");
    }
    ledger_ = *content;
}

void CrashModel::check(const ChildReport& report, Figures& figures) {
    ++figures.kills;
    figures.confirmedWrites += static_cast<int>(report.committed.size());
    figures.killsMidWrite += report.inFlight.has_value();
    figures.killsMidImport += report.inFlight && report.inFlight->kind == StepKind::Import;
    figures.killsMidReceipt += report.inFlight && report.inFlight->kind == StepKind::Receipt;
    figures.killsMidBackup += report.inFlight && report.inFlight->kind == StepKind::Backup;
    for (const Step& step : report.committed) {
        apply(step);
    }
    checkSettings(report, figures);
    checkLedger(report, figures);
    checkYears(report, figures);
    checkCopies(figures);
    checkBackup(report, figures);
    // Each file is read once, for the import that wrote it.
    QDir(importFolder_).removeRecursively();
}

void CrashModel::fault(Figures& figures, int Figures::*figure, const QString& what) const {
    ++(figures.*figure);
    figures.faults.append(u"Proceso %1: %2"_s.arg(figures.kills).arg(what));
}

void CrashModel::apply(const Step& step) {
    switch (step.kind) {
    case StepKind::Insert:
    case StepKind::Update:
        ledger_.entries[step.id] = step.values;
        break;
    case StepKind::Delete:
        ledger_.entries.erase(step.id);
        break;
    case StepKind::Rename:
        renameIn(ledger_, step.oldName, step.newName);
        break;
    case StepKind::Colour:
        colour_ = step.number;
        break;
    case StepKind::Opening:
        setOpening(ledger_, step.oldName, step.number);
        break;
    case StepKind::Budget:
        setBudget(ledger_, step.oldName, step.amounts);
        break;
    case StepKind::Year:
        years_.push_back(step.newName);
        break;
    case StepKind::Copy:
        copies_.push_back(Copy{step.newName, step.id});
        break;
    case StepKind::Backup:
        backupEntries_ = step.id;
        break;
    case StepKind::Import: {
        qint64 id = step.number;
        for (const EntryValues& values : importedRows(step.newName)) {
            ledger_.entries[id++] = values;
        }
        break;
    }
    case StepKind::Receipt:
        ledger_.entries[step.id] = step.values;
        ledger_.receiptMonths[receiptMonth(step.number, step.oldName)] = step.id;
        break;
    case StepKind::Compact:
        break;
    }
}

std::vector<EntryValues> CrashModel::importedRows(const QString& path) const {
    std::vector<EntryValues> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    const CsvRead read = readCsv(file);
    const auto kind = [this](const QString& name) {
        const auto account = ledger_.accounts.find(name);
        return account == ledger_.accounts.end() ? QString() : account->second;
    };
    for (qsizetype row = 0; row < read.rows.size(); ++row) {
        const QString into = read.rows.goesInto(row);
        const QString outOf = read.rows.comesOutOf(row);
        rows.push_back(EntryValues{toStoredDate(read.rows.date(row)), read.rows.cents(row), into,
                                   outOf,
                                   classifyMovement(kind(into), kind(outOf)).value_or(QString()),
                                   read.rows.description(row)});
    }
    return rows;
}

void CrashModel::checkSettings(const ChildReport& report, Figures& figures) {
    const SettingsFiles settings(programFolder_);
    const std::optional<Step>& inFlight = report.inFlight;

    // ano.ini names this year, or the year being created (the creation switches to it).
    const QString year = settings.readYear();
    const bool creating = inFlight && inFlight->kind == StepKind::Year;
    if (!wholeLine(bytesOf(settings.pathOf(u"ano.ini"_s))) ||
        (year != year_ && !(creating && year == inFlight->newName))) {
        fault(figures, &Figures::badSettings, u"ano.ini no es ni el contenido viejo ni el nuevo"_s);
    }
    if (year != year_ || !wholeLine(bytesOf(settings.pathOf(u"ano.ini"_s)))) {
        settings.writeYear(year_);
    }

    const std::optional<qint32> colour = settings.readMainColour();
    const bool colouring = inFlight && inFlight->kind == StepKind::Colour;
    if (wholeLine(bytesOf(settings.pathOf(u"color.ini"_s))) && colour &&
        (*colour == colour_ || (colouring && *colour == inFlight->number))) {
        colour_ = *colour;
    } else {
        fault(figures, &Figures::badSettings,
              u"color.ini no es ni el contenido viejo ni el nuevo"_s);
        settings.writeMainColour(static_cast<qint32>(colour_));
    }

    if (bytesOf(settings.pathOf(u"ruta.ini"_s)) != dataRootFile_) {
        fault(figures, &Figures::badSettings, u"ruta.ini ha cambiado"_s);
        settings.writeDataRoot(dataRoot_);
    }
}

void CrashModel::checkLedger(const ChildReport& report, Figures& figures) {
    const std::optional<LedgerContent> found = readLedger(databasePath_);
    if (!found) {
        fault(figures, &Figures::integrityFailures, databasePath_ + u" está dañada"_s);
        return;
    }
    if (report.inFlight && !resolveInFlight(*report.inFlight, *found)) {
        fault(figures, &Figures::halfApplied, lineOf(*report.inFlight) + u" a medias"_s);
    } else {
        for (const QString& row :
             differences(ledger_.entries, found->entries, u"el apunte %1 no es el esperado"_s) +
                 differences(ledger_.accounts, found->accounts,
                             u"la cuenta %1 no es la esperada"_s) +
                 differences(ledger_.openings, found->openings,
                             u"el saldo inicial de %1 no es el esperado"_s) +
                 differences(ledger_.receiptMonths, found->receiptMonths,
                             u"el recibo y mes %1 no es el esperado"_s) +
                 differences(ledger_.budgets, found->budgets,
                             u"el presupuesto de %1 no es el esperado"_s)) {
            fault(figures, &Figures::lostCommits, row);
        }
    }
    ledger_ = *found;
}

// Takes the write that was under way when the child was killed as done when the
// file holds its result; false when the file holds part of it.
bool CrashModel::resolveInFlight(const Step& step, const LedgerContent& found) {
    switch (step.kind) {
    case StepKind::Insert:
        // The number is only known once saved: any one new row with these values.
        for (const auto& [id, values] : found.entries) {
            if (!ledger_.entries.contains(id) && values == step.values) {
                ledger_.entries[id] = values;
                break;
            }
        }
        return true;
    case StepKind::Update:
        if (const auto row = found.entries.find(step.id);
            row != found.entries.end() && row->second == step.values) {
            ledger_.entries[step.id] = step.values;
        }
        return true;
    case StepKind::Delete:
        if (!found.entries.contains(step.id)) {
            ledger_.entries.erase(step.id);
        }
        return true;
    case StepKind::Rename: {
        // The new name was never used before: done means no trace of the old
        // name, not done means no trace of the new one.
        const bool oldAccount = found.accounts.contains(step.oldName);
        const bool newAccount = found.accounts.contains(step.newName);
        if (newAccount && !oldAccount && entryReferences(found, step.oldName) == 0 &&
            !found.openings.contains(step.oldName) && !found.budgets.contains(step.oldName)) {
            renameIn(ledger_, step.oldName, step.newName);
            return true;
        }
        return oldAccount && !newAccount && entryReferences(found, step.newName) == 0 &&
               !found.openings.contains(step.newName) && !found.budgets.contains(step.newName);
    }
    case StepKind::Import: {
        // All of the file's rows under the numbers that followed the last entry, or
        // none of them.
        const std::vector<EntryValues> rows = importedRows(step.newName);
        size_t written = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            const auto row = found.entries.find(step.number + qint64(i));
            written += row != found.entries.end() && row->second == rows[i];
        }
        if (written == rows.size()) {
            for (size_t i = 0; i < rows.size(); ++i) {
                ledger_.entries[step.number + qint64(i)] = rows[i];
            }
        }
        return written == 0 || written == rows.size();
    }
    case StepKind::Opening: {
        // The old figure or the new one, never a third.
        const auto there = found.openings.find(step.oldName);
        const qint64 cents = there == found.openings.end() ? 0 : there->second;
        const auto before = ledger_.openings.find(step.oldName);
        if (cents == step.number) {
            setOpening(ledger_, step.oldName, cents);
            return true;
        }
        return cents == (before == ledger_.openings.end() ? 0 : before->second);
    }
    case StepKind::Receipt: {
        // Its month recorded with its entry, or neither.
        const QString key = receiptMonth(step.number, step.oldName);
        const auto recorded = found.receiptMonths.find(key);
        qint64 written = 0;
        for (const auto& [id, values] : found.entries) {
            if (!ledger_.entries.contains(id) && values == step.values) {
                written = id;
            }
        }
        if (recorded == found.receiptMonths.end()) {
            return written == 0;
        }
        if (written == 0 || recorded->second != written) {
            return false;
        }
        ledger_.entries[written] = step.values;
        ledger_.receiptMonths[key] = written;
        return true;
    }
    case StepKind::Budget: {
        // The old budget or the new one, never some months of each.
        const auto there = found.budgets.find(step.oldName);
        const std::vector<qint64> stored =
            there == found.budgets.end() ? std::vector<qint64>() : there->second;
        const auto before = ledger_.budgets.find(step.oldName);
        if (stored == step.amounts) {
            setBudget(ledger_, step.oldName, stored);
            return true;
        }
        return stored == (before == ledger_.budgets.end() ? std::vector<qint64>() : before->second);
    }
    case StepKind::Compact:
    case StepKind::Year:
    case StepKind::Copy:
    case StepKind::Colour:
    case StepKind::Backup:
        return true;
    }
    return true;
}

// A new year is there whole, with its ledger and no entries, or not there at
// all. Each is checked once and removed, so the installation does not grow.
void CrashModel::checkYears(const ChildReport& report, Figures& figures) {
    std::vector<QString> names = years_;
    const qsizetype confirmed = static_cast<qsizetype>(names.size());
    if (report.inFlight && report.inFlight->kind == StepKind::Year) {
        names.push_back(report.inFlight->newName);
    }
    for (qsizetype i = 0; i < static_cast<qsizetype>(names.size()); ++i) {
        const QString folder = yearFolderPath(dataRoot_, names[i]);
        if (!QFileInfo::exists(folder)) {
            if (i < confirmed) {
                fault(figures, &Figures::lostCommits, u"falta el año "_s + names[i]);
            }
            continue;
        }
        const QString database = databasePathFor(dataRoot_, names[i]);
        if (!QFileInfo::exists(database)) {
            fault(figures, &Figures::halfApplied,
                  u"el año %1 no tiene base de datos"_s.arg(names[i]));
        } else if (const auto content = readLedger(database); !content) {
            fault(figures, &Figures::integrityFailures, database + u" está dañada"_s);
        } else if (!content->entries.empty()) {
            fault(figures, &Figures::halfApplied, u"el año %1 tiene apuntes"_s.arg(names[i]));
        }
        QDir(folder).removeRecursively();
    }
    years_.clear();
}

// Every copy that carries a copy's name is sound, each checked once: a copy
// never changes. A confirmed copy is there with the entries it had, unless ten
// newer ones are, confirmed or not: the program keeps only the newest ten.
void CrashModel::checkCopies(Figures& figures) {
    const QStringList whole = SafetyCopies(dataRoot_, year_).list();
    for (const QString& path : whole) {
        if (checkedCopies_.insert(path).second) {
            try {
                checkLedgerFile(path);
            } catch (const DbError&) {
                fault(figures, &Figures::integrityFailures, path + u" está dañada"_s);
            }
        }
    }
    // The copies' names sort as the time they were made.
    std::erase_if(copies_, [&](const Copy& copy) {
        const auto newer = std::count_if(whole.begin(), whole.end(), [&](const QString& path) {
            return QFileInfo(path).fileName() > QFileInfo(copy.path).fileName();
        });
        if (newer >= SafetyCopies::kKept) {
            return true;
        }
        qint64 entries = -1;
        try {
            entries = entriesIn(copy.path);
        } catch (const DbError&) {
        }
        if (entries != copy.entries) {
            fault(figures, &Figures::lostCommits,
                  u"la copia %1 falta o no tiene %2 apuntes"_s.arg(copy.path).arg(copy.entries));
            return true;
        }
        return false;
    });
}

// The drive holds the year's copy as the last backup confirmed left it, or as
// the one under way makes it: sound, with its entries and its year, never half.
void CrashModel::checkBackup(const ChildReport& report, Figures& figures) {
    const bool backingUp = report.inFlight && report.inFlight->kind == StepKind::Backup;
    if (!QFileInfo::exists(backupFile_)) {
        if (backupEntries_) {
            fault(figures, &Figures::lostCommits, u"falta la copia de la unidad"_s);
            backupEntries_.reset();
        }
        return;
    }
    qint64 entries = -1;
    try {
        checkLedgerFile(backupFile_);
        entries = entriesIn(backupFile_);
    } catch (const DbError&) {
        fault(figures, &Figures::integrityFailures, backupFile_ + u" está dañada"_s);
        QFile::remove(backupFile_);
        backupEntries_.reset();
        return;
    }
    if (backingUp && entries == report.inFlight->id) {
        backupEntries_ = entries;
    } else if (entries != backupEntries_) {
        fault(figures, &Figures::lostCommits,
              u"la copia de la unidad tiene %1 apuntes y no los de la última copia"_s.arg(entries));
        backupEntries_ = entries;
    }
    const SettingsFiles yearFile(QFileInfo(backupFile_).path());
    if (!wholeLine(bytesOf(yearFile.pathOf(u"ano.ini"_s))) || yearFile.readYear() != year_) {
        fault(figures, &Figures::badSettings, u"el ano.ini de la copia de la unidad está mal"_s);
        yearFile.writeYear(year_);
    }
}

} // namespace velmora::crashtest
