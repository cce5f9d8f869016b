// The company data and printer window driven through its real widgets: what
// "&Salir" and the other ways out leave in tblTitulos and imp.ini, and which
// printers it selects from the file.

#include "preferences/frmConfiguracion.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace velmora;
using namespace Qt::StringLiterals;
using namespace velmora::test;

namespace {

const QByteArray kNoFile = "<none>";

struct Fixture : WindowFixture<frmConfiguracion> {
    // ini: the bytes of imp.ini before opening, kNoFile for none.
    explicit Fixture(const QByteArray& ini = kNoFile, bool storedRow = false) {
        services.system.printersToList = {"Oficina", "PDF", "Etiquetas"};
        if (ini != kNoFile) {
            QVERIFY(putBytes(iniPath(), ini));
        }
        if (storedRow) {
            ledger.db().exec("INSERT INTO tblTitulos (Empresa, CIF) VALUES ('Casa García', NULL);"
                             "INSERT INTO tblTitulos (Empresa) VALUES ('Segunda')",
                             "test");
        }
        open();
    }
    QString iniPath() const { return ledger.programFolder() + "/imp.ini"; }
    QByteArray ini() const { return QFile::exists(iniPath()) ? fileBytes(iniPath()) : kNoFile; }
    QLineEdit* line(int index) const { return find<QLineEdit>(QString("txtDatos%1").arg(index)); }
    QString selected() const {
        return QString("%1|%2")
            .arg(find<QComboBox>("cmbImpresora0")->currentIndex())
            .arg(find<QComboBox>("cmbImpresora1")->currentIndex());
    }
    // Empresa|CIF|Internet of every row, Null shown as "-".
    QStringList rows() {
        return ledger.rows("SELECT ifnull(Empresa, '-') || '|' || ifnull(CIF, '-') || '|' ||"
                           " ifnull(Internet, '-') FROM tblTitulos ORDER BY rowid");
    }
};

} // namespace

class TestFrmConfiguracion : public QObject {
    Q_OBJECT
private slots:
    void salir_data();
    void salir();
    void otherWaysOut_data();
    void otherWaysOut();
    void typing_data();
    void typing();
};

void TestFrmConfiguracion::salir_data() {
    QTest::addColumn<QByteArray>("iniBefore");
    QTest::addColumn<bool>("storedRow");
    QTest::addColumn<QString>("refuse"); // "db", "ini" or nothing; each tells the user once
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("iniAfter");
    // No imp.ini used to select the first printer in both lists, and "&Salir" then
    // stored it as chosen: a user who only looked had a PDF printer set.
    QTest::newRow("empty table, no imp.ini: the row inserted, no printer chosen")
        << kNoFile << false << u""_s << u"-1|-1"_s << QStringList{"Ñandú S.L.|-|-"}
        << QByteArray("-1\r\n-1\r\n");
    QTest::newRow("5 and 1 with three printers: the first row updated, Null kept")
        << QByteArray("5\r\n1\r\n") << true << u""_s << u"-1|1"_s
        << QStringList{"Ñandú S.L.|-|-", "Segunda|-|-"} << QByteArray("-1\r\n1\r\n");
    QTest::newRow("a word and a missing line select nothing")
        << QByteArray("dos\r\n") << false << u""_s << u"-1|-1"_s << QStringList{"Ñandú S.L.|-|-"}
        << QByteArray("-1\r\n-1\r\n");
    QTest::newRow("database refuses: the window stays")
        << QByteArray("2\r\n0\r\n") << true << u"db"_s << u"2|0"_s
        << QStringList{"Casa García|-|-", "Segunda|-|-"} << QByteArray("2\r\n0\r\n");
    QTest::newRow("imp.ini cannot be written: the row is not stored either")
        << kNoFile << false << u"ini"_s << u"-1|-1"_s << QStringList{} << kNoFile;
}

void TestFrmConfiguracion::salir() {
    QFETCH(QByteArray, iniBefore);
    QFETCH(bool, storedRow);
    QFETCH(QString, refuse);
    Fixture f(iniBefore, storedRow);
    QTEST(f.selected(), "selected");
    QCOMPARE(QApplication::focusWidget(), f.line(0));
    if (refuse == "db") {
        f.ledger.db().exec("CREATE TRIGGER t BEFORE UPDATE ON tblTitulos"
                           " BEGIN SELECT RAISE(ABORT, 'bloqueada'); END",
                           "test");
    } else if (refuse == "ini") {
        // A folder where the file should be cannot be replaced.
        QVERIFY(QDir(f.ledger.programFolder()).mkpath("imp.ini/x"));
    }
    f.line(0)->setText("Ñandú S.L.");
    f.click("cmdPechar");
    QCOMPARE(f.messages.shown().size(), refuse.isEmpty() ? 0 : 1);
    QCOMPARE(f.window->isVisible(), !refuse.isEmpty());
    QCOMPARE(f.line(0)->text(), QString("Ñandú S.L."));
    QTEST(f.rows(), "rows");
    if (refuse != "ini") {
        QTEST(f.ini(), "iniAfter");
    }
}

void TestFrmConfiguracion::otherWaysOut_data() {
    QTest::addColumn<bool>("typeName");
    QTest::addColumn<int>("pickPrinter"); // -1: leave the lists as they are
    QTest::addColumn<int>("answer");      // MessageAnswer
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("iniAfter");
    const QString question = QStringLiteral("¿Guardar los cambios?");
    QTest::newRow("nothing changed: no question")
        << false << -1 << int(MessageAnswer::Yes) << QStringList{} << QStringList{} << kNoFile;
    QTest::newRow("name typed, no: dropped") << true << -1 << int(MessageAnswer::No)
                                             << QStringList{question} << QStringList{} << kNoFile;
    QTest::newRow("name typed, yes: stored")
        << true << -1 << int(MessageAnswer::Yes) << QStringList{question}
        << QStringList{"Ñandú S.L.|-|-"} << QByteArray("-1\r\n-1\r\n");
    QTest::newRow("printer picked, yes: only that choice written")
        << false << 2 << int(MessageAnswer::Yes) << QStringList{question} << QStringList{"-|-|-"}
        << QByteArray("-1\r\n2\r\n");
}

void TestFrmConfiguracion::otherWaysOut() {
    QFETCH(bool, typeName);
    QFETCH(int, pickPrinter);
    QFETCH(int, answer);
    Fixture f;
    if (typeName) {
        f.line(0)->setText("Ñandú S.L.");
    }
    if (pickPrinter >= 0) {
        f.find<QComboBox>("cmbImpresora1")->setCurrentIndex(pickPrinter);
    }
    f.messages.answerNext(MessageAnswer(answer));
    QTest::keyClick(f.line(0), Qt::Key_Escape);
    QTEST(f.messages.texts(), "messages");
    QVERIFY(!f.window->isVisible());
    QTEST(f.rows(), "rows");
    QTEST(f.ini(), "iniAfter");
}

void TestFrmConfiguracion::typing_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("kept");     // characters kept of 120 typed
    QTest::addColumn<QString>("next"); // the control with the focus after Enter
    // A one-line field stops at its length and Enter moves on; a box takes Enter.
    QTest::newRow("Razón Social") << 0 << 50 << "txtDatos1";
    QTest::newRow("Internet: Enter stays") << 6 << 100 << "txtDatos6";
    QTest::newRow("Protección de datos: no limit") << 9 << 120 << "txtDatos9";
}

void TestFrmConfiguracion::typing() {
    QFETCH(int, field);
    Fixture f;
    QWidget* control = f.find<QWidget>(QString("txtDatos%1").arg(field));
    control->setFocus();
    QTest::keyClicks(control, QString(120, QChar('a')));
    auto* box = qobject_cast<QPlainTextEdit*>(control);
    const QString typed = box != nullptr ? box->toPlainText() : f.line(field)->text();
    QTEST(int(typed.size()), "kept");
    QTest::keyClick(control, Qt::Key_Return);
    QTEST(QApplication::focusWidget()->objectName(), "next");
}

QTEST_MAIN(TestFrmConfiguracion)
#include "tst_frmconfiguracion.moc"
