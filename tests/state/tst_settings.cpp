// The five settings files: what each reader makes of the lines it finds, the exact
// bytes each writer leaves, and ruta.ini and ano.ini that change together or not at
// all, a failed write keeping the old files.

#include "state/Settings.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <functional>

#include <sys/stat.h>

using namespace velmora;
using namespace Qt::StringLiterals;

using Writer = std::function<void(const SettingsFiles&)>;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void files_data();
    void files();
    void dataRootAndYearTogether_data();
    void dataRootAndYearTogether();
    void filesThatAreNoSettingsFiles_data();
    void filesThatAreNoSettingsFiles();
};

namespace {

// A file that is not there at all, as opposed to an empty one.
const QByteArray kMissing = QByteArrayLiteral("<missing>");

void putFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    QVERIFY(bytes == kMissing || test::putBytes(folder + u'/' + name, bytes));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : kMissing;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

const QString kBank1 = u"004915000512345678"_s;
const QString kBank2 = u"210000000000000001"_s;

// What the file's reader makes of it, with "<none>" for no value; imp.ini gives
// both printers' positions in their lists, bancos.ini the names of two accounts.
QString readWith(const SettingsFiles& s, const QString& file) {
    const auto shown = [](const auto& value) {
        return value ? QVariant(*value).toString() : u"<none>"_s;
    };
    return file == u"ruta.ini"_s     ? s.readDataRoot()
           : file == u"ano.ini"_s    ? s.readYear()
           : file == u"color.ini"_s  ? shown(s.readMainColour())
           : file == u"color2.ini"_s ? shown(s.readSectionColour())
           : file == u"bancos.ini"_s
               ? s.readBankAccount(kBank1) + u'|' + s.readBankAccount(kBank2)
               : shown(s.readPrinterPosition(false)) + u'|' + shown(s.readPrinterPosition(true));
}

} // namespace

void TestSettings::files_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Writer>("write"); // none: another program left the bytes there
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("read");
    // The windows that write colours and printers pin those files' bytes.
    const QString accented = u"/home/ana/Contabilidad/Año"_s;
    QTest::newRow("negative colour")
        << u"color2.ini"_s << Writer([](auto& s) { s.writeSectionColour(-5); })
        << QByteArray("-5 \r\n") << u"-5"_s;
    QTest::newRow("data root, latin-1")
        << u"ruta.ini"_s << Writer([accented](auto& s) { s.writeDataRoot(accented); })
        << QByteArray("/home/ana/Contabilidad/A\xF1o\r\n") << accented;
    // The last name given to each account; the old file's lines are no accounts.
    const Writer banks = [](auto& s) {
        s.writeBankAccount(kBank1, u"Banco"_s);
        s.writeBankAccount(kBank2, u"Cuenta ñ; ahorro"_s);
        s.writeBankAccount(kBank1, u"Banco Sabadell"_s);
    };
    QTest::newRow("bank accounts")
        << u"bancos.ini"_s << banks
        << (kBank1 + u";Banco Sabadell\r\n"_s + kBank2 + u";Cuenta ñ; ahorro\r\n"_s).toUtf8()
        << u"Banco Sabadell|Cuenta ñ; ahorro"_s;
    QTest::newRow("data root, utf-8") << u"ruta.ini"_s << Writer() << accented.toUtf8() + "\r\n"
                                      << accented;
    QTest::newRow("data root, byte-order mark")
        << u"ruta.ini"_s << Writer() << QByteArray("\xEF\xBB\xBF/srv/a\r\n/srv/b") << u"/srv/a"_s;
    QTest::newRow("no data root") << u"ruta.ini"_s << Writer() << kMissing << QString();
    // Never black by accident.
    QTest::newRow("colour a word")
        << u"color.ini"_s << Writer() << QByteArray("rojo\r\n") << u"<none>"_s;
    QTest::newRow("printers, LF") << u"imp.ini"_s << Writer() << QByteArray("2\n0\n7\n")
                                  << u"2|0"_s;
    QTest::newRow("one printer") << u"imp.ini"_s << Writer() << QByteArray("2\r\n")
                                 << u"2|<none>"_s;
    QTest::newRow("printers, negative")
        << u"imp.ini"_s << Writer() << QByteArray("-1\r\n-1\r\n") << u"-1|-1"_s;
    QTest::newRow("printers, a word")
        << u"imp.ini"_s << Writer() << QByteArray("abc\r\n3\r\n") << u"<none>|3"_s;
    QTest::newRow("printers, empty")
        << u"imp.ini"_s << Writer() << QByteArray() << u"<none>|<none>"_s;
}

void TestSettings::files() {
    QFETCH(QString, file);
    QFETCH(Writer, write);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const SettingsFiles settings(dir.path());
    if (write) {
        // A longer old file must not leave a tail behind.
        putFile(dir.path(), file, QByteArray(" 99999999 \r\nlínea vieja\r\nmás\r\n"));
        write(settings);
        QCOMPARE(fileBytes(settings.pathOf(file)), bytes);
        // Only the one file, and no temporary beside it.
        QCOMPARE(entriesOf(dir.path()), QStringList{file});
    } else {
        putFile(dir.path(), file, bytes);
    }
    QTEST(readWith(settings, file), "read");
    // Each colour file answers only for its own value.
    if (file.startsWith(u"color"_s)) {
        QCOMPARE(readWith(settings, file == u"color.ini"_s ? u"color2.ini"_s : u"color.ini"_s),
                 u"<none>"_s);
    }
}

void TestSettings::dataRootAndYearTogether_data() {
    QTest::addColumn<QByteArray>("oldRoute");
    QTest::addColumn<QString>("failing"); // the file that cannot be written, if any
    // Not what the writer would put there, so a rewrite would show.
    const QByteArray odd("/srv/A\xF1o viejo\nsegunda l\xEDnea");
    QTest::newRow("first time") << kMissing << "";
    QTest::newRow("replacing") << odd << "";
    QTest::newRow("ano.ini blocked, ruta.ini put back") << odd << "ano.ini";
    QTest::newRow("ano.ini blocked, ruta.ini removed") << kMissing << "ano.ini";
    QTest::newRow("program folder missing") << kMissing << "ruta.ini";
}

void TestSettings::dataRootAndYearTogether() {
    QFETCH(QByteArray, oldRoute);
    QFETCH(QString, failing);
    QTemporaryDir dir;
    putFile(dir.path(), u"ruta.ini"_s, oldRoute);
    // No permission stops root; a folder in its place stops anyone.
    if (failing == u"ano.ini"_s) {
        QVERIFY(QDir(dir.path()).mkdir(failing));
    }
    const SettingsFiles settings(failing == u"ruta.ini"_s ? dir.filePath(u"no-existe"_s)
                                                          : dir.path());
    const QStringList before = entriesOf(dir.path());
    if (!failing.isEmpty()) {
        // The user reads a Spanish reason; Qt's own English text goes to the log.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(
                                               settings.pathOf(failing) + u" - "_s)));
    }
    QString message;
    try {
        settings.writeDataRootAndYear(u"/srv/nueva"_s, u"2025"_s);
    } catch (const SettingsError& error) {
        message = error.message();
    }
    const QString route = settings.pathOf(u"ruta.ini"_s);
    if (failing.isEmpty()) {
        QCOMPARE(message, QString());
        QCOMPARE(fileBytes(route), QByteArray("/srv/nueva\r\n"));
        QCOMPARE(fileBytes(settings.pathOf(u"ano.ini"_s)), QByteArray("2025\r\n"));
        return;
    }
    QCOMPARE(message, u"No se puede escribir %1: no se puede abrir el archivo para escribir"_s.arg(
                          QDir::toNativeSeparators(settings.pathOf(failing))));
    QCOMPARE(fileBytes(route), oldRoute);
    QCOMPARE(entriesOf(dir.path()), before);
}

void TestSettings::filesThatAreNoSettingsFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem"); // after the path
    const QList<std::pair<QString, QString>> kinds = {
        {u"pipe"_s, u"es una tubería, no un archivo"_s},
        {u"folder"_s, u"es una carpeta"_s},
        {u"device"_s, u"es un dispositivo, no un archivo"_s},
        {u"huge"_s, u"es demasiado grande: pasa de 1 MB"_s},
    };
    for (const QString& file : {u"ruta.ini"_s, u"ano.ini"_s, u"color.ini"_s, u"color2.ini"_s,
                                u"imp.ini"_s, u"bancos.ini"_s}) {
        for (const auto& [kind, problem] : kinds) {
            QTest::addRow("%s %s", qPrintable(file), qPrintable(kind)) << file << kind << problem;
        }
    }
}

// A pipe in place of color.ini once held the start before any window, forever;
// bancos.ini as a link to /dev/zero ended a statement import. Each reads as
// missing now, and problems() says which file is wrong.
void TestSettings::filesThatAreNoSettingsFiles() {
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const SettingsFiles settings(dir.path());
    const QString path = settings.pathOf(file);
    if (kind == u"pipe"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir(dir.path()).mkdir(file));
    } else if (kind == u"device"_s) {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else {
        putFile(dir.path(), file, QByteArray(1024 * 1024 + 1, '7'));
    }
    const bool text = file == u"ruta.ini"_s || file == u"ano.ini"_s;
    const QString missing = text                      ? QString()
                            : file == u"bancos.ini"_s ? u"|"_s
                            : file == u"imp.ini"_s    ? u"<none>|<none>"_s
                                                      : u"<none>"_s;
    QCOMPARE(readWith(settings, file), missing);
    QCOMPARE(settings.problems(),
             QStringList{u"%1 %2"_s.arg(QDir::toNativeSeparators(path), problem)});
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
