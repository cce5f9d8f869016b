// The household's import rules: which rule a bank concept falls under, and the
// rules file in the data root, written whole and read back as it was, whatever
// the user typed and whatever stands in the file's place.

#include "RuleLists.h"
#include "exchange/HouseRules.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "store/PathText.h"
#include "support/Files.h"
#include "support/HostilePaths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestHouseRules : public QObject {
    Q_OBJECT
private slots:
    void match_data();
    void match();
    void rulesChangedBetweenMatches_data();
    void rulesChangedBetweenMatches();
    void describe();
    void roundTrip_data();
    void roundTrip();
    void handEditedFile_data();
    void handEditedFile();
    void noFileInItsPlace_data();
    void noFileInItsPlace();
    void writeFailures_data();
    void writeFailures();
};

void TestHouseRules::match_data() {
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("expected"); // -1: none
    QTest::newRow("letter case") << QStringList{u"iberdrola=Luz"_s}
                                 << u"RECIBO IBERDROLA CLIENTES"_s << 0;
    QTest::newRow("accent in the rule")
        << QStringList{u"Cafetería=Bar"_s} << u"CAFETERIA LA PLAZA 2"_s << 0;
    QTest::newRow("accent in the concept")
        << QStringList{u"CAFETERIA=Bar"_s} << u"Cafetería Sol"_s << 0;
    QTest::newRow("decomposed accent in the concept")
        << QStringList{u"CAFÉ=Bar"_s} << u"CAFE\u0301 CENTRAL"_s << 0;
    QTest::newRow("eñe written as n by the bank")
        << QStringList{u"Telefónica de España=Teléfono"_s} << u"TELEFONICA DE ESPANA SAU"_s << 0;
    QTest::newRow("eñe in capitals") << QStringList{u"cañada=Súper"_s} << u"SUPER CAÑADA"_s << 0;
    QTest::newRow("runs of spaces, tabs and hard spaces")
        << QStringList{u" MERCADONA  VALENCIA =Súper"_s} << u"COMPRA MERCADONA \t\u00A0 VALENCIA"_s
        << 0;
    QTest::newRow("the first rule wins, though a later one says more")
        << QStringList{u"MERCADONA=Súper"_s, u"MERCADONA VALENCIA=Regalos"_s}
        << u"MERCADONA VALENCIA"_s << 0;
    QTest::newRow("a later rule when the first does not match")
        << QStringList{u"GASOLINERA REPSOL=Coche"_s, u"REPSOL=Gas"_s} << u"REPSOL BUTANO"_s << 1;
    QTest::newRow("none") << QStringList{u"IBERDROLA=Luz"_s} << u"MERCADONA"_s << -1;
    QTest::newRow("a word split by the bank")
        << QStringList{u"IBERDROLA=Luz"_s} << u"IBER DROLA"_s << -1;
    QTest::newRow("no rules") << QStringList{} << u"IBERDROLA"_s << -1;
    // Folded to nothing, such a text would be in every bankText and take every row.
    QTest::newRow("a text of an accent alone matches nothing")
        << QStringList{u"\u0301=Luz"_s, u"   =Agua"_s, u"AGUA=Agua"_s} << u"CANAL ISABEL II"_s
        << -1;
}

void TestHouseRules::match() {
    QFETCH(QStringList, rules);
    QFETCH(QString, description);
    QFETCH(int, expected);
    const std::optional<qsizetype> found = rulesOf(rules).match(description);
    QCOMPARE(found ? int(*found) : -1, expected);
}

void TestHouseRules::rulesChangedBetweenMatches_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("expected");
    QTest::newRow("a text edited") << 0 << 2;
    QTest::newRow("a rule put first") << 1 << 0;
    QTest::newRow("the first rule removed") << 2 << 0;
    QTest::newRow("all the rules replaced") << 3 << -1;
    QTest::newRow("a copy changed, not these") << 4 << 0;
}

// The folded texts are kept between calls: a change to the rules must not leave
// the old ones deciding.
void TestHouseRules::rulesChangedBetweenMatches() {
    QFETCH(int, change);
    QFETCH(int, expected);
    HouseRules rules = rulesOf({u"IBERDROLA=Luz"_s, u"ENDESA=Luz"_s, u"LUZ=Luz"_s});
    const QString bankText = u"IBERDROLA LUZ"_s;
    QCOMPARE(rules.match(bankText), std::optional<qsizetype>(0));
    HouseRules copy = rules;
    switch (change) {
    case 0:
        rules.rules[0].contains = u"NATURGY"_s;
        break;
    case 1:
        rules.rules.prepend({u"IBERDROLA LUZ"_s, u"Regalos"_s});
        break;
    case 2:
        rules.rules.removeFirst();
        rules.rules.removeFirst();
        break;
    case 3:
        rules.rules = rulesOf({u"AGUA=Agua"_s}).rules;
        break;
    default:
        copy.rules[0].contains = u"NATURGY"_s;
        QCOMPARE(copy.match(bankText), std::optional<qsizetype>(2));
    }
    const std::optional<qsizetype> found = rules.match(bankText);
    QCOMPARE(found ? int(*found) : -1, expected);
}

void TestHouseRules::describe() {
    QCOMPARE(describeRule({u"IBERDROLA"_s, u"Luz"_s}), u"concepto contiene «IBERDROLA» → Luz"_s);
}

void TestHouseRules::roundTrip_data() {
    QTest::addColumn<QStringList>("written"); // as the user typed them
    QTest::addColumn<QStringList>("read");    // as they come back
    const QString longText = QString(10000, u'x') + u"ÑANDÚ"_s;
    const QStringList hostile = {
        u"RECIBO;LUZ=Luz;Gas"_s,
        u"\"COMILLAS\" y 'SIMPLES'=Cuenta \"rara\""_s,
        u"=cmd|' /C calc'!A0=+SUM(A1)"_s,
        longText + u"=Largo"_s,
        u"Ñandú pingüino CAFÉ çà=Señal año"_s,
        u"con\ttabulador=y\nsalto"_s,
        u"barra \\n \\t \\\\ escrita=C:\\cuentas\\"_s,
        u"#5 RECIBO=#Cuenta"_s,
        u"\\#=\\"_s,
        u"→ IBERDROLA →=Luz → casa"_s,
    };
    QTest::newRow("texts that could break a line") << hostile << hostile;
    QTest::newRow("spaces around trimmed")
        << QStringList{u"  IBERDROLA \t=  Luz  "_s} << QStringList{u"IBERDROLA=Luz"_s};
    QTest::newRow("no rules") << QStringList{} << QStringList{};
    QTest::newRow("a rule that could never apply is not kept")
        << QStringList{u"   =Luz"_s, u"AGUA=  "_s, u"GAS=Gas"_s} << QStringList{u"GAS=Gas"_s};
}

void TestHouseRules::roundTrip() {
    QFETCH(QStringList, written);
    QFETCH(QStringList, read);
    QTemporaryDir root;
    // Rules there before are replaced whole, not added to.
    writeHouseRules(root.path(), rulesOf({u"VIEJA=Vieja"_s, u"OTRA=Otra"_s}));
    writeHouseRules(root.path(), rulesOf(written));
    const HouseRulesRead back = readHouseRules(root.path());
    QCOMPARE(back.problem, QString());
    QVERIFY(back.writable);
    QCOMPARE(pairsOf(back.rules), read);
    // Nothing but the file is left in the data root.
    QCOMPARE(entriesOf(root.path()), QStringList{u"reglas.txt"_s});
}

void TestHouseRules::handEditedFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("problem"); // %1 for the file's path
    QTest::newRow("as written, plain to read")
        << QByteArray("# comentario\nIBERDROLA\tLuz\n\n  # otro\nMERCADONA\tS\xC3\xBAper\n")
        << QStringList{u"IBERDROLA=Luz"_s, u"MERCADONA=Súper"_s} << QString();
    QTest::newRow("CR LF and a byte-order mark")
        << QByteArray("\xEF\xBB\xBFIBERDROLA\tLuz\r\nAGUA\tAgua\r\n")
        << QStringList{u"IBERDROLA=Luz"_s, u"AGUA=Agua"_s} << QString();
    QTest::newRow("saved as Latin-1 by an editor")
        << QByteArray("CAFETER\xCD\x41\tBar\nESPA\xD1\x41\tViajes\n")
        << QStringList{u"CAFETERÍA=Bar"_s, u"ESPAÑA=Viajes"_s} << QString();
    QTest::newRow("a backslash before any other letter kept")
        << QByteArray("C:\\x\\\tA\\b\n") << QStringList{u"C:\\x\\=A\\b"_s} << QString();
    QTest::newRow("a line with spaces for the tab")
        << QByteArray("IBERDROLA\tLuz\nMERCADONA    Super\nREPSOL\tCoche\n")
        << QStringList{u"IBERDROLA=Luz"_s, u"REPSOL=Coche"_s}
        << u"En %1, la línea 2 no es una regla (el texto, un tabulador y la cuenta); se han "
           "leído las demás"_s;
    QTest::newRow("no account, no text, two tabs")
        << QByteArray("A\t\n\tB\nC\tD\tE\nF\tG\n") << QStringList{u"F=G"_s}
        << u"En %1, las líneas 1, 2 y 3 no son reglas (el texto, un tabulador y la cuenta); se "
           "han leído las demás"_s;
    QTest::newRow("cut off in the middle of a line")
        << QByteArray("IBERDROLA\tLuz\nMERCAD") << QStringList{u"IBERDROLA=Luz"_s}
        << u"En %1, la línea 2 no es una regla (el texto, un tabulador y la cuenta); se han "
           "leído las demás"_s;
    QByteArray manyBad;
    for (int i = 0; i < 12; ++i) {
        manyBad += "mal\n";
    }
    QTest::newRow("many damaged lines named by the first ten")
        << manyBad << QStringList{}
        << u"En %1, las líneas 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 y … no son reglas (el texto, un "
           "tabulador y la cuenta); se han leído las demás"_s;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << QString();
}

void TestHouseRules::handEditedFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rules);
    QFETCH(QString, problem);
    QTemporaryDir root;
    QVERIFY(putBytes(houseRulesPath(root.path()), bytes));
    // What a write cut short by a crash leaves beside the file is no rules file.
    QVERIFY(putBytes(houseRulesPath(root.path()) + u".aB3xYz"_s, "RESTO\tDe otra escritura\nmi"));
    const HouseRulesRead read = readHouseRules(root.path());
    QCOMPARE(pairsOf(read.rules), rules);
    QCOMPARE(read.problem, problem.isEmpty()
                               ? QString()
                               : problem.arg(pathForMessage(houseRulesPath(root.path()))));
    QVERIFY(read.writable);
}

void TestHouseRules::noFileInItsPlace_data() {
    addHostileInputRows(kSmallFileLimit);
}

// Each reached through a link at the file's name: the reader never waits on a
// pipe nor takes a device or a huge file whole, and says which file it is.
void TestHouseRules::noFileInItsPlace() {
    QFETCH(QString, refusal);
    QTemporaryDir scratch;
    QTemporaryDir root;
    const HostilePath hostile = hostileInput(scratch.path(), kSmallFileLimit);
    const QString path = houseRulesPath(root.path());
    QVERIFY(QFile::link(hostile.path, path));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"reglas no leídas"_s));
    const HouseRulesRead read = readHouseRules(root.path());
    QVERIFY(read.rules.rules.isEmpty());
    QVERIFY2(read.problem.startsWith(u"No se pueden leer las reglas de importación: "_s),
             qPrintable(read.problem));
    QVERIFY2(read.problem.contains(refusal), qPrintable(read.problem));
    QVERIFY2(read.problem.contains(pathForMessage(path)), qPrintable(read.problem));
    QVERIFY(!read.writable);
}

void TestHouseRules::writeFailures_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("message"); // %1 for the file's path
    QTest::newRow("a folder in its place")
        << u"folder"_s << u"No se puede escribir %1: no se puede abrir el archivo para escribir"_s;
    QTest::newRow("a pipe in its place")
        << u"pipe"_s << u"No se puede escribir %1: no es un archivo normal"_s;
    QTest::newRow("no data root")
        << u"missing root"_s
        << u"No se puede escribir %1: no se puede abrir el archivo para escribir"_s;
    QTest::newRow("read-only data root")
        << u"read-only"_s
        << u"No se puede escribir %1: no se puede abrir el archivo para escribir"_s;
    // Written, a file past what the reader takes would read as no rules at all.
    QTest::newRow("more than could be read back")
        << u"too large"_s
        << u"No se puede escribir %1: las reglas pasarían de 1 MB, más de lo que se puede leer"_s;
}

// The user is told why in Spanish, naming the file, and the rules there stay.
void TestHouseRules::writeFailures() {
    QFETCH(QString, place);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString root = dir.path() + u"/datos"_s;
    QVERIFY(QDir().mkpath(root));
    const QString path = houseRulesPath(root);
    const QByteArray before("IBERDROLA\tLuz\n");
    HouseRules rules = rulesOf({u"AGUA=Agua"_s});
    if (place == u"folder"_s) {
        QVERIFY(QDir().mkpath(path));
    } else if (place == u"pipe"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (place == u"missing root"_s) {
        root = dir.path() + u"/no-existe"_s;
    } else if (place == u"read-only"_s) {
        if (::geteuid() == 0) {
            QSKIP("no permission keeps root from writing");
        }
        QVERIFY(putBytes(path, before));
        QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QVERIFY(putBytes(path, before));
        for (int i = 0; i < 120; ++i) {
            rules.rules.append({QString(10000, u'x') + QString::number(i), u"Largo"_s});
        }
    }
    const QStringList entries = entriesOf(root);
    QString told;
    if (place != u"pipe"_s && place != u"too large"_s) {
        // Qt's own reason, in English, goes to the log.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QRegularExpression::escape(houseRulesPath(root))));
    }
    try {
        writeHouseRules(root, rules);
    } catch (const SettingsError& error) {
        told = error.message();
    }
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(told, message.arg(pathForMessage(houseRulesPath(root))));
    QCOMPARE(entriesOf(root), entries);
    if (place == u"read-only"_s || place == u"too large"_s) {
        QCOMPARE(fileBytes(path), before);
    }
}

QTEST_GUILESS_MAIN(TestHouseRules)
#include "tst_houserules.moc"
