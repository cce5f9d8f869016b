// The backup window through its widgets, with temporary folders as the drives.

#include "app/frmPrincipal.h"
#include "maintenance/DriveBackup.h"
#include "maintenance/frmCopiaPen.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString kCopyQuestion = "Se copiarán los datos a la unidad indicada\nAsegúrese de que hay "
                              "un disco en la unidad correspondente";
const QString kRestoreQuestion =
    "¡ A T E N C I Ó N !\nSe reemplazarán los datos de facturación actuales\npor los existentes "
    "en el archivo de seguridad\n¿Desea continuar?";

struct BackupWindow : WindowFixture<frmCopiaPen> {
    QTemporaryDir system;
    QTemporaryDir usb;
    BackupWindow() {
        ledger.addEntry(1, "02/01/2024", "Nómina", "Banco", "Nómina", 1200, "I");
        services.system.drivesToList = {Drive{system.path(), "Sistema", false},
                                        Drive{usb.path(), usb.path(), false}};
        open();
    }
    QLineEdit* path() { return find<QLineEdit>("txtRuta"); }
    QLabel* status() { return find<QLabel>("lblInforma"); }
    // Each as "icon buttons: text", and the title when it is not the program's.
    QStringList messagesShown() {
        static const QStringList icons{"none", "information", "warning", "critical", "question"};
        static const QStringList buttons{"ok", "yes/no", "ok/cancel"};
        QStringList all;
        for (const Message& m : messages.shown()) {
            all.append((m.title == kAppTitle ? "" : m.title + ' ') + icons[int(m.icon)] + ' ' +
                       buttons[int(m.buttons)] + ": " + m.text);
        }
        return all;
    }
};

} // namespace

class TestFrmCopiaPen : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheLastDrive();
    void operations_data();
    void operations();
    void mainWindowShowsRestoredYear();
};

void TestFrmCopiaPen::opensOnTheLastDrive() {
    BackupWindow b;
    auto* drives = b.find<QComboBox>("Drive1");
    QCOMPARE(drives->currentText(), b.usb.path());
    QCOMPARE(b.path()->text(), b.usb.path() + "/CopiaVelmora/Datos");
    QTest::keyClicks(b.path(), "/otra");
    drives->setCurrentIndex(0);
    QCOMPARE(b.path()->text(), b.system.path() + "/CopiaVelmora/Datos");
}

void TestFrmCopiaPen::operations_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("status");
    const QString copy = "information ok/cancel: " + kCopyQuestion;
    const QString restore = "critical yes/no: " + kRestoreQuestion;
    const QString noPath = "critical ok: No ha especificado una ruta";
    QTest::newRow("copy") << "cmdRealizar"
                          << "" << QStringList{copy} << "La copia se ha completado";
    QTest::newRow("copy, no path") << "cmdRealizar"
                                   << "no path" << QStringList{noPath} << "";
    // Enter outside the buttons presses the default one, "&Recuperar".
    QTest::newRow("restore by Enter")
        << "Enter"
        << "backup" << QStringList{restore} << "La recuperación se ha completado";
    QTest::newRow("restore, nothing on the drive")
        << "cmdRecuperar"
        << ""
        << QStringList{restore, "information ok: No se encontraron datos en la unidad indicada"}
        << "";
}

// What each button asks and says, each question answered OK or Yes. On a failure
// the status line is hidden again; the year keeps, or gets back, its one entry.
void TestFrmCopiaPen::operations() {
    QFETCH(QString, button);
    QFETCH(QString, setup);
    QFETCH(QStringList, messages);
    QFETCH(QString, status);
    BackupWindow b;
    if (setup == "no path") {
        b.path()->clear();
    } else if (setup == "backup") {
        backUpYear(b.ledger.session(), b.usb.path(), backupFolderFor(b.usb.path()));
        b.ledger.addEntry(2, "03/01/2024", "Agua", "Agua", "Banco", 30, "G");
    }
    if (button == "Enter") {
        QTest::keyClick(b.path(), Qt::Key_Return);
    } else {
        b.click(button);
    }
    QCOMPARE(b.messagesShown(), messages);
    QCOMPARE(b.status()->isVisible() ? b.status()->text() : QString(), status);
    QVERIFY(b.window->isVisible());
    QCOMPARE(b.ledger.countEntries(), 1);
}

void TestFrmCopiaPen::mainWindowShowsRestoredYear() {
    WindowFixture<frmPrincipal> f;
    QTemporaryDir usb;
    f.services.system.drivesToList = {Drive{usb.path(), usb.path(), false}};
    f.ledger.addEntry(1, "02/01/2024", "Nómina", "Banco", "Nómina", 1200, "I");
    backUpYear(f.ledger.session(), usb.path(), backupFolderFor(usb.path()));
    f.ledger.addEntry(2, "03/01/2024", "Agua", "Agua", "Banco", 30, "G");
    f.open();
    QCOMPARE(f.grid()->model()->rowCount(), 2);
    f.services.dialogs.expect([](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdRecuperar"), Qt::LeftButton);
    });
    f.find<QAction>("mnuOpCopia")->trigger();
    QCOMPARE(f.grid()->model()->rowCount(), 1);
    QCOMPARE(f.cell(0, 4), QStringLiteral("Nómina"));
}

QTEST_MAIN(TestFrmCopiaPen)
#include "tst_frmcopiapen.moc"
