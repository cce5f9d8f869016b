// The RAII layer over SQLite: errors that say what failed, transactions that
// never half-happen, and no database made by accident out of a mistyped path.

#include "store/DbErrorText.h"
#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace velmora;

class TestSqlite : public QObject {
    Q_OBJECT
private slots:
    void init();
    void failingStatementNamesOperation_data();
    void failingStatementNamesOperation();
    void transaction_data();
    void transaction();
    void openMissingFile();

private:
    int countEntries();
    void insertEntry(qint64 id, const QString& description);
    QString path() const { return dir_->filePath(QStringLiteral("Devedur.mdb")); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Database> db_;
};

void TestSqlite::init() {
    db_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    db_ = std::make_unique<Database>(path(), Database::Mode::CreateIfMissing);
    createLedgerSchema(*db_);
    insertEntry(1, QStringLiteral("primero"));
}

int TestSqlite::countEntries() {
    Statement count(*db_, "SELECT COUNT(*) FROM apuntes", "contar");
    count.step();
    return static_cast<int>(count.columnInt(0));
}

void TestSqlite::insertEntry(qint64 id, const QString& description) {
    Statement insert(*db_, "INSERT INTO apuntes (Id, Des) VALUES (?1, ?2)", "añadir el apunte");
    insert.bind(1, static_cast<int64_t>(id)).bind(2, description);
    insert.run();
}

void TestSqlite::failingStatementNamesOperation_data() {
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("engineText");
    QTest::addColumn<int>("code");
    QTest::newRow("syntax") << QByteArray("SELEC Id FROM apuntes") << "syntax error"
                            << SQLITE_ERROR;
    QTest::newRow("duplicate number") << QByteArray("INSERT INTO apuntes (Id) VALUES (1)")
                                      << "UNIQUE constraint failed" << SQLITE_CONSTRAINT;
}

void TestSqlite::failingStatementNamesOperation() {
    QFETCH(QByteArray, sql);
    QFETCH(QString, engineText);
    QFETCH(int, code);
    bool thrown = false;
    try {
        Statement statement(*db_, sql.toStdString(), "guardar el apunte");
        statement.run();
    } catch (const DbError& error) {
        thrown = true;
        QCOMPARE(error.operation(), QStringLiteral("guardar el apunte"));
        QVERIFY2(error.detail().contains(engineText), qPrintable(error.detail()));
        QCOMPARE(error.code(), code);
        const QString what = QString::fromUtf8(error.what());
        QVERIFY(what.startsWith(QStringLiteral("guardar el apunte")) && what.contains(engineText));
    }
    QVERIFY(thrown);
    QCOMPARE(countEntries(), 1);
}

void TestSqlite::transaction_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("expected");
    QTest::newRow("committed") << "commit" << 3;
    QTest::newRow("exception") << "throw" << 1;
    QTest::newRow("second write fails") << "fail" << 1;
}

void TestSqlite::transaction() {
    QFETCH(QString, ending);
    QFETCH(int, expected);
    const auto write = [&] {
        Transaction transaction(*db_);
        insertEntry(2, QStringLiteral("dentro"));
        if (ending == QLatin1String("throw")) {
            throw std::runtime_error("fallo a medias");
        }
        insertEntry(ending == QLatin1String("fail") ? 1 : 3, QStringLiteral("dentro"));
        transaction.commit();
    };
    try {
        write();
    } catch (const std::exception&) {
        QVERIFY(ending == QLatin1String("throw") || ending == QLatin1String("fail"));
    }
    QCOMPARE(countEntries(), expected);

    // Nothing was left open: a later write is stored for good.
    insertEntry(10, QStringLiteral("después"));
    db_ = std::make_unique<Database>(path());
    QCOMPARE(countEntries(), expected + 1);
}

void TestSqlite::openMissingFile() {
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("2025")));
    const QString missing = dir_->filePath(QStringLiteral("2025/Devedur.mdb"));
    bool thrown = false;
    try {
        Database db(missing, Database::Mode::OpenExisting);
    } catch (const DbError& error) {
        thrown = true;
        QCOMPARE(error.code(), SQLITE_CANTOPEN);
        QCOMPARE(describeFailure(error),
                 QStringLiteral("el archivo no existe o no se puede abrir"));
    }
    QVERIFY(thrown);
    QVERIFY(!QFileInfo::exists(missing));
}

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
