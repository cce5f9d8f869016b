#include "store/Schema.h"

#include "store/Sqlite.h"

#include <QStringList>

#include <array>
#include <charconv>

namespace velmora {

namespace {

struct TableColumns {
    const char* table;
    std::array<const char*, 8> columns;
};

constexpr std::array<TableColumns, 3> kTables{{
    {"apuntes", {"Id", "Data", "Des", "EntraEn", "SaleDe", "Importe", "GoI", nullptr}},
    {"Contas", {"conNom", "conCon", "conTipo", nullptr, nullptr, nullptr, nullptr, nullptr}},
    {"tblTitulos",
     {"Empresa", "CIF", "NomCom", "Enderezo", "Poboacion", "Telefonos", "Internet", "ProDat"}},
}};

const TableColumns* findTable(const QString& table) {
    for (const TableColumns& t : kTables) {
        if (table.compare(QLatin1String(t.table), Qt::CaseInsensitive) == 0) {
            return &t;
        }
    }
    return nullptr;
}

} // namespace

void createLedgerSchema(Database& db) {
    db.exec("BEGIN;"
            "CREATE TABLE apuntes ("
            " Id INTEGER PRIMARY KEY,"
            " Data TEXT,"
            " Des TEXT,"
            " EntraEn TEXT,"
            " SaleDe TEXT,"
            " Importe REAL,"
            " GoI TEXT);"
            "CREATE INDEX apuntes_Data ON apuntes(Data);"
            "CREATE TABLE Contas ("
            " conNom TEXT NOT NULL PRIMARY KEY,"
            " conCon TEXT,"
            " conTipo TEXT);"
            "CREATE TABLE tblTitulos ("
            " Empresa TEXT, CIF TEXT, NomCom TEXT, Enderezo TEXT, Poboacion TEXT,"
            " Telefonos TEXT, Internet TEXT, ProDat TEXT);"
            "COMMIT;",
            "crear las tablas");
}

void checkLedgerSchema(Database& db) {
    // The program makes tables and indexes only; anything else came from elsewhere.
    Statement planted(db,
                      "SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view')"
                      " ORDER BY name LIMIT 1",
                      "comprobar la base de datos");
    if (planted.step()) {
        const bool trigger = planted.columnText(0) == QLatin1String("trigger");
        throw DbError(
            QStringLiteral("comprobar la base de datos"),
            QStringLiteral("contiene %1 «%2» que el programa no ha creado; por "
                           "seguridad no se usa")
                .arg(trigger ? QStringLiteral("un disparador") : QStringLiteral("una vista"),
                     planted.columnText(1)),
            0);
    }
    for (const TableColumns& t : kTables) {
        const QString name = QString::fromLatin1(t.table);
        if (!db.hasTable(name)) {
            throw DbError(
                QStringLiteral("comprobar la base de datos"),
                QStringLiteral("no es una base de datos de contabilidad: falta la tabla %1")
                    .arg(name),
                0);
        }
        // Every column the program reads must be there too, or the first list
        // would fail long after start-up.
        QStringList columns;
        for (const char* c : t.columns) {
            if (c != nullptr) {
                columns.append(QString::fromLatin1(c));
            }
        }
        const QByteArray probe = QStringLiteral("SELECT %1 FROM %2 LIMIT 0")
                                     .arg(columns.join(QLatin1Char(',')), name)
                                     .toUtf8();
        try {
            Statement columnsPresent(db, probe.toStdString(), "comprobar la base de datos");
        } catch (const DbError&) {
            throw DbError(QStringLiteral("comprobar la base de datos"),
                          QStringLiteral("no es una base de datos de contabilidad: "
                                         "faltan columnas en la tabla %1")
                              .arg(name),
                          0);
        }
    }
}

std::optional<QString> canonicalTable(const QString& table) {
    if (const TableColumns* t = findTable(table)) {
        return QString::fromLatin1(t->table);
    }
    return std::nullopt;
}

std::optional<QString> canonicalColumn(const QString& table, const QString& column) {
    const TableColumns* t = findTable(table);
    if (t == nullptr) {
        return std::nullopt;
    }
    for (const char* c : t->columns) {
        if (c != nullptr && column.compare(QLatin1String(c), Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(c);
        }
    }
    return std::nullopt;
}

QString toStoredDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate fromStoredDate(std::string_view text) {
    // Hand-parsed: the entry list reads this for every row.
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') {
        return {};
    }
    int y = 0;
    int m = 0;
    int d = 0;
    const char* s = text.data();
    // from_chars would take "-124" for a year before Christ.
    for (const int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9') {
            return {};
        }
    }
    if (std::from_chars(s, s + 4, y).ptr != s + 4 ||
        std::from_chars(s + 5, s + 7, m).ptr != s + 7 ||
        std::from_chars(s + 8, s + 10, d).ptr != s + 10) {
        return {};
    }
    return QDate(y, m, d);
}

QDate StoredDates::read(std::string_view text) {
    if (text != last_) {
        last_.assign(text);
        date_ = fromStoredDate(text);
    }
    return date_;
}

} // namespace velmora
