// The year window through its widgets, and the main window that opens it.

#include "app/frmPrincipal.h"
#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "years/YearFolders.h"
#include "years/frmAno.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct YearWindow : WindowFixture<frmAno> {
    YearWindow() {
        createYear(ledger.dataRoot(), u"2023"_s);
        QDir().mkpath(ledger.dataRoot() + u"/Informes"_s);
        // Neither a year cut short nor the safety copies are years.
        putBytes(ledger.dataRoot() + u"/.2025.nueva/Devedur.mdb"_s, "");
        putBytes(ledger.dataRoot() + u"/Copias de seguridad/2024/Devedur-20240101-100000.mdb"_s,
                 "");
        ledger.addAccount(u"Caja"_s, u"C"_s);
        ledger.addEntry(1, u"05/03/2024"_s, u"Luz"_s, u"Caja"_s, u"Caja"_s, 45.1, u"C"_s);
        open();
    }
    QListWidget* list() const { return find<QListWidget>(u"lstInforma"_s); }
    void type(const QString& year) {
        QLineEdit* field = find<QLineEdit>(u"txtAno"_s);
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, year);
    }
    void doubleClick(const QString& entry) {
        QListWidgetItem* item = list()->findItems(entry, Qt::MatchExactly).value(0);
        list()->setCurrentItem(item);
        const QRect place = list()->visualItemRect(item);
        // A view takes a double-click only after the press that begins it.
        QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, place.center());
    }
    QString yearFile() const { return SettingsFiles(ledger.programFolder()).readYear(); }
};

} // namespace

class TestFrmAno : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void switches();
    void mainWindowShowsNewYear();
};

void TestFrmAno::refusals_data() {
    QTest::addColumn<QString>("typed");   // a trailing "\n": Enter in the field
    QTest::addColumn<QString>("message"); // DATA stands for the data root
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    const int critical = int(MessageIcon::Critical);
    const int information = int(MessageIcon::Information);
    QTest::newRow("empty") << QString() << u"Ponga un año"_s << information << u"Velmora"_s;
    QTest::newRow("existing folder")
        << u"Informes"_s << u"Este año ya está creado"_s << critical << u"Atención!!"_s;
    QTest::newRow("outside the data root")
        << u"../2025"_s << u"Nombre de año no válido"_s << critical << u"Atención!!"_s;
    // A link in the year's place, planted there; the creation would follow it.
    QTest::newRow("link in the year's place")
        << u"enlace"_s
        << u"No se puede crear el año enlace: DATA/enlace es un enlace a otro sitio, no una "
           "carpeta del año; quítelo de la carpeta de datos y vuelva a intentarlo"_s
        << critical << u"Velmora"_s;
    // Enter in the field only moves on to "&Crear".
    QTest::newRow("Enter") << u"2025\n"_s << QString() << 0 << QString();
}

void TestFrmAno::refusals() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QString, title);
    YearWindow w;
    QTemporaryDir elsewhere;
    if (typed == u"enlace"_s) {
        QVERIFY(QFile::link(elsewhere.path(), w.ledger.dataRoot() + u"/enlace"_s));
    }
    message.replace(u"DATA"_s, w.ledger.dataRoot());
    if (typed.endsWith(u'\n')) {
        w.type(typed.chopped(1));
        QTest::keyClick(w.find<QLineEdit>(u"txtAno"_s), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.find<QPushButton>(u"cmdCrear"_s));
    } else {
        w.type(typed);
        w.click(u"cmdCrear"_s);
    }
    QCOMPARE(w.messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    for (const Message& shown : w.messages.shown()) {
        QCOMPARE(int(shown.icon), icon);
        QCOMPARE(shown.title, title);
    }
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.yearFile(), u"2024"_s);
    QVERIFY(!QFileInfo::exists(w.ledger.dataRoot() + u"/../2025"_s));
    QCOMPARE(QDir(w.ledger.dataRoot())
                 .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks),
             (QStringList{u".2025.nueva"_s, u"2023"_s, u"2024"_s, u"Copias de seguridad"_s,
                          u"Informes"_s}));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

// Only the years with a ledger are listed, after the heading; a double-click
// switches to one.
void TestFrmAno::switches() {
    YearWindow w;
    QStringList years; // after the heading
    for (int i = 1; i < w.list()->count(); ++i) {
        years.append(w.list()->item(i)->text());
    }
    years.sort();
    QCOMPARE(years, QStringList({u"2023"_s, u"2024"_s}));
    // The heading, like a year removed while the window was open, is no year.
    w.doubleClick(u"Seleccione Año:"_s);
    QCOMPARE(w.messages.texts(), QStringList{u"El año Seleccione Año: no existe"_s});
    QVERIFY(w.window->isVisible());

    // Another copy of the program works on 2023: this one stays on its year.
    {
        SingleInstance otherCopy(databasePathFor(w.ledger.dataRoot(), u"2023"_s));
        QVERIFY(otherCopy.acquire());
        w.messages.clear();
        w.doubleClick(u"2023"_s);
        QCOMPARE(w.messages.texts(), QStringList{u"Otra copia del programa está trabajando en el "
                                                 "año 2023. Ciérrela antes de pasar a ese año."_s});
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.ledger.session().year(), u"2024"_s);
    }
    w.doubleClick(u"2023"_s);
    QVERIFY(!w.window->isVisible());
    QCOMPARE(w.ledger.session().year(), u"2023"_s);
    QCOMPARE(w.yearFile(), u"2023"_s);
}

// The whole round: menu, new year, and the main window on it.
void TestFrmAno::mainWindowShowsNewYear() {
    WindowFixture<frmPrincipal> f;
    f.ledger.addAccount(u"Caja"_s, u"C"_s);
    f.ledger.addEntry(1, u"05/03/2024"_s, u"Luz"_s, u"Caja"_s, u"Caja"_s, 45.1, u"C"_s);
    f.open();
    QCOMPARE(f.grid()->model()->rowCount(), 1);
    f.services.dialogs.expect([&](QDialog& dialog) {
        QLineEdit* field = dialog.findChild<QLineEdit*>(u"txtAno"_s);
        field->setFocus();
        QTest::keyClicks(field, u"2025"_s);
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdCrear"_s), Qt::LeftButton);
    });
    f.find<QAction>(u"mnuAnos"_s)->trigger();

    QCOMPARE(f.messages.texts(), QStringList());
    QCOMPARE(f.window->windowTitle(), u"Velmora ## Año 2025"_s);
    QCOMPARE(f.find<QLineEdit>(u"mskDesde"_s)->text(), u"01/01/2025"_s);
    QCOMPARE(f.find<QLineEdit>(u"mskHasta"_s)->text(), u"31/12/2025"_s);
    QCOMPARE(f.grid()->model()->rowCount(), 0);
    QVERIFY(QFileInfo::exists(f.ledger.programFolder() + u"/Datos/DevedurC.mdb"_s));

    // Closing with "&Salir" still resets the range to the current year.
    f.find<QLineEdit>(u"mskDesde"_s)->setText(u"01/06/2025"_s);
    f.services.dialogs.expect([](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdSalir"_s), Qt::LeftButton);
    });
    f.find<QAction>(u"mnuAnos"_s)->trigger();
    QCOMPARE(f.find<QLineEdit>(u"mskDesde"_s)->text(), u"01/01/2025"_s);
}

QTEST_MAIN(TestFrmAno)
#include "tst_frmano.moc"
