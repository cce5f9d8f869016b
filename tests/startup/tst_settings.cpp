// The five settings files: what each reader makes of the lines it finds, the exact
// bytes each writer leaves, a failed write that keeps the old file, and ruta.ini
// and ano.ini that change together or not at all.

#include "startup/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <functional>
#include <optional>

using namespace velmora;

using Writer = std::function<void(const SettingsFiles&)>;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void readers_data();
    void readers();
    void writers_data();
    void writers();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void dataRootAndYearTogether_data();
    void dataRootAndYearTogether();
};

namespace {

// A file that is not there at all, as opposed to an empty one.
const QByteArray kMissing = QByteArrayLiteral("<missing>");

void putFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    if (bytes == kMissing) {
        return;
    }
    QFile file(folder + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : kMissing;
}

} // namespace

// Reader name → what it returned, with "<none>" for no value.
static QString readWith(const SettingsFiles& settings, const QString& reader) {
    const auto shown = [](const auto& value) {
        return value ? QVariant(*value).toString() : QStringLiteral("<none>");
    };
    if (reader == QLatin1String("ruta")) {
        return settings.readDataRoot();
    }
    if (reader == QLatin1String("ano")) {
        return settings.readYear();
    }
    if (reader == QLatin1String("color")) {
        return shown(settings.readMainColour());
    }
    if (reader == QLatin1String("color2")) {
        return shown(settings.readSectionColour());
    }
    return shown(settings.readPrinterLine(reader == QLatin1String("imp2")));
}

void TestSettings::readers_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray accented = "/home/ana/Contabilidad/Año";
    QTest::newRow("ruta CR LF") << "ruta" << QByteArray("/srv/Mis cuentas\r\n")
                                << "/srv/Mis cuentas";
    QTest::newRow("ruta second line") << "ruta" << QByteArray("/srv/a\r\n/srv/b") << "/srv/a";
    QTest::newRow("ruta latin-1") << "ruta" << QByteArray("/home/ana/Contabilidad/A\xF1o\r\n")
                                  << QString::fromUtf8(accented);
    QTest::newRow("ruta utf-8") << "ruta" << accented + "\r\n" << QString::fromUtf8(accented);
    QTest::newRow("ruta utf-8 with byte-order mark")
        << "ruta" << QByteArray("\xEF\xBB\xBF/srv/cuentas\r\n") << "/srv/cuentas";
    QTest::newRow("ruta missing") << "ruta" << kMissing << "";
    QTest::newRow("ruta empty file") << "ruta" << QByteArray() << "";
    QTest::newRow("ano CR LF") << "ano" << QByteArray("2024\r\n") << "2024";
    QTest::newRow("colour as written") << "color" << QByteArray(" 12632256 \r\n") << "12632256";
    QTest::newRow("colour no blanks") << "color" << QByteArray("12632256\n") << "12632256";
    QTest::newRow("colour negative") << "color" << QByteArray("-5 \r\n") << "-5";
    QTest::newRow("colour missing") << "color" << kMissing << "<none>";
    QTest::newRow("colour a word") << "color" << QByteArray("rojo\r\n") << "<none>";
    QTest::newRow("colour two numbers") << "color" << QByteArray(" 12 34 \r\n") << "<none>";
    QTest::newRow("section colour") << "color2" << QByteArray(" 8421504 \r\n") << "8421504";
    QTest::newRow("imp line 1, LF") << "imp1" << QByteArray("2\n0\n7\n") << "2";
    QTest::newRow("imp line 2") << "imp2" << QByteArray("2\r\n0\r\n") << "0";
    QTest::newRow("imp one line only") << "imp2" << QByteArray("2\r\n") << "<none>";
}

void TestSettings::readers() {
    QFETCH(QString, reader);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString file = reader.startsWith(QLatin1String("imp")) ? QStringLiteral("imp.ini")
                                                                 : reader + QStringLiteral(".ini");
    putFile(dir.path(), file, bytes);
    const SettingsFiles settings(dir.path());
    QCOMPARE(readWith(settings, reader), expected);
    // Each file answers only for its own value.
    if (reader.startsWith(QLatin1String("color"))) {
        const QString other = reader == QLatin1String("color") ? "color2" : "color";
        QCOMPARE(readWith(settings, other), QStringLiteral("<none>"));
    }
}

void TestSettings::writers_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Writer>("write");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("grey") << "color.ini" << Writer([](auto& s) { s.writeMainColour(12632256); })
                          << QByteArray(" 12632256 \r\n");
    QTest::newRow("black") << "color.ini" << Writer([](auto& s) { s.writeMainColour(0); })
                           << QByteArray(" 0 \r\n");
    QTest::newRow("negative") << "color2.ini" << Writer([](auto& s) { s.writeSectionColour(-5); })
                              << QByteArray("-5 \r\n");
    QTest::newRow("year") << "ano.ini" << Writer([](auto& s) { s.writeYear("2024"); })
                          << QByteArray("2024\r\n");
    QTest::newRow("printers") << "imp.ini" << Writer([](auto& s) { s.writePrinters(2, 0); })
                              << QByteArray("2\r\n0\r\n");
    QTest::newRow("data root") << "ruta.ini" << Writer([](auto& s) {
        s.writeDataRoot("/home/ana/Contabilidad/Año");
    }) << QByteArray("/home/ana/Contabilidad/A\xF1o\r\n");
}

void TestSettings::writers() {
    QFETCH(QString, file);
    QFETCH(Writer, write);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const SettingsFiles settings(dir.path());
    // A longer old file must not leave a tail behind.
    putFile(dir.path(), file, QByteArray(" 99999999 \r\nlínea vieja\r\nmás\r\n"));
    write(settings);
    QCOMPARE(fileBytes(settings.pathOf(file)), bytes);
    // Only the one file, and no temporary beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
}

void TestSettings::failedWriteKeepsOldFile_data() {
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("read-only folder") << "read-only";
    QTest::newRow("folder missing") << "missing";
    QTest::newRow("a folder in its place") << "folder";
}

void TestSettings::failedWriteKeepsOldFile() {
    QFETCH(QString, obstacle);
    QTemporaryDir dir;
    QString folder = dir.path();
    putFile(folder, QStringLiteral("ruta.ini"), QByteArray("/srv/cuentas\r\n"));
    if (obstacle == QLatin1String("read-only")) {
        putFile(folder, QStringLiteral("ano.ini"), QByteArray("2023\r\n"));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(folder).isWritable()) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders (root)");
        }
    } else if (obstacle == QLatin1String("folder")) {
        QVERIFY(QDir(folder).mkdir(QStringLiteral("ano.ini")));
    } else {
        folder += QStringLiteral("/no-existe");
    }
    const SettingsFiles settings(folder);
    const QString path = settings.pathOf(QStringLiteral("ano.ini"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    // The user reads a Spanish reason; Qt's own English text goes to the log.
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QRegularExpression::escape(path) + QStringLiteral(".+")));
    bool thrown = false;
    try {
        settings.writeYear(QStringLiteral("2025"));
    } catch (const SettingsError& error) {
        thrown = true;
        QCOMPARE(error.message(), QStringLiteral("No se puede escribir %1: no se puede abrir el "
                                                 "archivo para escribir")
                                      .arg(QDir::toNativeSeparators(path)));
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(thrown);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("ruta.ini"))), QByteArray("/srv/cuentas\r\n"));
    if (obstacle == QLatin1String("read-only")) {
        QCOMPARE(settings.readYear(), QStringLiteral("2023"));
    } else if (obstacle == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
    }
}

void TestSettings::dataRootAndYearTogether_data() {
    QTest::addColumn<QByteArray>("oldRoute");
    QTest::addColumn<bool>("yearBlocked");
    // Not what the writer would put there, so a rewrite would show.
    const QByteArray odd("/srv/A\xF1o viejo\nsegunda l\xEDnea");
    QTest::newRow("first time") << kMissing << false;
    QTest::newRow("replacing") << odd << false;
    QTest::newRow("ano.ini blocked, ruta.ini put back") << odd << true;
    QTest::newRow("ano.ini blocked, ruta.ini removed") << kMissing << true;
}

void TestSettings::dataRootAndYearTogether() {
    QFETCH(QByteArray, oldRoute);
    QFETCH(bool, yearBlocked);
    QTemporaryDir dir;
    putFile(dir.path(), QStringLiteral("ruta.ini"), oldRoute);
    if (yearBlocked) {
        // No permission stops root; a folder in its place stops anyone.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ano.ini")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ano\\.ini")));
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const SettingsFiles settings(dir.path());

    QString message;
    try {
        settings.writeDataRootAndYear(QStringLiteral("/srv/nueva"), QStringLiteral("2025"));
    } catch (const SettingsError& error) {
        message = error.message();
    }
    const QString route = settings.pathOf(QStringLiteral("ruta.ini"));
    const QString year = settings.pathOf(QStringLiteral("ano.ini"));
    if (yearBlocked) {
        QCOMPARE(message, QStringLiteral("No se puede escribir %1: no se puede abrir el archivo "
                                         "para escribir")
                              .arg(QDir::toNativeSeparators(year)));
        QCOMPARE(fileBytes(route), oldRoute);
        QVERIFY(QFileInfo(year).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    } else {
        QCOMPARE(message, QString());
        QCOMPARE(fileBytes(route), QByteArray("/srv/nueva\r\n"));
        QCOMPARE(fileBytes(year), QByteArray("2025\r\n"));
    }
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
