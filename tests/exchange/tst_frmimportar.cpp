// Importing and exporting from the main window's menu, through the real
// windows: the preview shows what a file would add, the user's choices change
// it, and only "&Importar" writes, all of it or nothing.

#include "app/frmPrincipal.h"
#include "entries/EntryTableModel.h"
#include "exchange/frmImportar.h"
#include "state/PathGate.h"
#include "state/Settings.h"
#include "store/Sqlite.h"
#include "support/Files.h"
#include "support/HostilePaths.h"
#include "support/Norma43Statement.h"
#include "support/WindowFixture.h"
#include "ui/Fields.h"
#include "years/SafetyCopies.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <new>

using namespace velmora;
using namespace Qt::StringLiterals;
using namespace velmora::test;

namespace {

template <typename T> T* child(QDialog& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("no control %s in %s", name, qPrintable(window.windowTitle()));
    }
    return found;
}

// Each grid's model is checked against the rules of Qt's models from the first
// look on, through every choice that replans it.
QAbstractItemModel* rowsOf(QDialog& window, const char* grid) {
    QAbstractItemModel* model = child<QTableView>(window, grid)->model();
    if (model->findChild<QAbstractItemModelTester*>() == nullptr) {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     model);
    }
    return model;
}

// A column of a grid as the view shows it.
QStringList column(QDialog& window, const char* grid, int col) {
    QAbstractItemModel* model = rowsOf(window, grid);
    QStringList cells;
    for (int r = 0; r < model->rowCount(); ++r) {
        cells.append(model->index(r, col).data().toString());
    }
    return cells;
}

// Picks text in a grid's drop-down cell as a user does: the cell edited, the
// drop-down it then holds set, and the cell left.
void choose(QDialog& window, const char* grid, int row, int col, const QString& text) {
    auto* view = child<QTableView>(window, grid);
    // The drop-downs of cells left before are gone, so that the one found is this one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    view->edit(view->model()->index(row, col));
    auto* pick = view->findChild<QComboBox*>(QStringLiteral("cboEleccion"));
    if (pick == nullptr) {
        qFatal("no drop-down in %s", grid);
    }
    pick->setCurrentText(text);
    emit view->itemDelegateForColumn(col)->closeEditor(pick);
}

QString summary(QDialog& window) {
    return child<QLabel>(window, "lblResumen")->text();
}

void click(QDialog& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// A good row, the bill already in the year, two rows for an account the year
// lacks, a date of another year and a line the reader cannot take.
QByteArray csvFile() {
    return QByteArrayLiteral("\xEF\xBB\xBF"
                             "Fecha;Concepto;Entra en;Sale de;Importe\r\n"
                             "05/02/2024;Nómina febrero;Cuenta BBVA;Nómina;1500,00\r\n"
                             "10/02/2024;Recibo de la luz;Luz;Cuenta BBVA;45,50\r\n"
                             "12/02/2024;Cuota;Gimnasio;Cuenta BBVA;30,00\r\n"
                             "12/03/2024;Cuota;gimnasio;Cuenta BBVA;30,00\r\n"
                             "31/12/2023;Fin de año;Luz;Caja;1,00\r\n"
                             "13/02/2024;Sin importe;Luz;Caja\r\n");
}

// One bank account: a supermarket the year knows and a chemist it does not.
QByteArray statementFile() {
    n43::Statement s;
    s.open({.initial = 100000})
        .move({.date = "240110", .cents = -4512, .reference2 = "MERCADONA SUR"})
        .move({.date = "240115", .cents = -3000, .reference2 = "FARMACIA CENTRO"})
        .close()
        .end();
    return s.bytes();
}

// A year with a current account, a bill already entered and the usual kinds; a
// file put where the user picks it, imported from the menu.
struct Year : WindowFixture<frmPrincipal> {
    Year() {
        ledger.addAccount(u"Caja"_s, u"C"_s);
        ledger.addAccount(u"Cuenta BBVA"_s, u"C"_s);
        ledger.addAccount(u"Luz"_s, u"G"_s);
        ledger.addAccount(u"Supermercado"_s, u"G"_s);
        ledger.addAccount(u"Nómina"_s, u"I"_s);
        ledger.addEntry(1, "10/02/2024", "Recibo de la luz", "Luz", "Cuenta BBVA", 45.5, "G");
        ledger.addEntry(2, "03/01/2024", "Mercadona", "Supermercado", "Cuenta BBVA", 20, "G");
    }
    void start() {
        open();
        before = entryLines(ledger.db());
        messages.clear();
    }
    QString put(const QString& name, const QByteArray& bytes) const {
        const QString path = ledger.dataRoot() + QStringLiteral("/entrada/") + name;
        if (!putBytes(path, bytes)) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }
    void import(const QString& path) {
        services.files.answerNext(path);
        find<QAction>(u"mnuOpImportar"_s)->trigger();
    }
    void exportTo(const std::optional<QString>& path) {
        services.files.answerNext(path);
        find<QAction>(u"mnuOpExportar"_s)->trigger();
    }
    // A refused import: one critical message starting with `lead` and holding
    // `part`, the year as it was, and no safety copy.
    void nothingImported(const QString& lead, const QString& part = {}) {
        QCOMPARE(messages.shown().size(), 1);
        const Message& told = messages.shown()[0];
        QVERIFY2(told.text.startsWith(lead) && told.text.contains(part), qPrintable(told.text));
        QCOMPARE(told.icon, MessageIcon::Critical);
        QCOMPARE(entryLines(ledger.db()), before);
        QVERIFY(SafetyCopies(ledger.dataRoot(), ledger.year()).list().isEmpty());
    }
    QStringList before;
};

} // namespace

class TestFrmImportar : public QObject {
    Q_OBJECT
private slots:
    void csvPreviewThenImport_data();
    void csvPreviewThenImport();
    void statementProposesAndRemembers();
    void bankFileColumnsProposalsAndBalance();
    void unreadableFilesWriteNothing_data();
    void unreadableFilesWriteNothing();
    void failuresWriteNothing_data();
    void failuresWriteNothing();
    void importReadsOnlyRegularFiles_data();
    void importReadsOnlyRegularFiles();
    void manyLinesAreCountedAndGrouped();
    void bankNamesFileThatIsNoFileIsTold_data();
    void bankNamesFileThatIsNoFileIsTold();
    void noMemoryLeftWhileReading();
    void exportWritesTheListedRows_data();
    void exportWritesTheListedRows();
    void exportNeverOverwritesTheProgramsFiles_data();
    void exportNeverOverwritesTheProgramsFiles();
    void exportAsksBeforeReplacingTheNameWithItsSuffix();
};

void TestFrmImportar::csvPreviewThenImport_data() {
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<QStringList>("added");
    const QStringList all{"2024-02-05|Nómina febrero|Cuenta BBVA|Nómina|150000|I",
                          "2024-02-10|Recibo de la luz|Luz|Cuenta BBVA|4550|G",
                          "2024-02-12|Cuota|Gimnasio|Cuenta BBVA|3000|G",
                          "2024-03-12|Cuota|Gimnasio|Cuenta BBVA|3000|G"};
    QTest::newRow("los repetidos también") << MessageAnswer::Yes << all;
    QTest::newRow("sin los repetidos") << MessageAnswer::No << all.mid(0, 1) + all.mid(2);
}

void TestFrmImportar::csvPreviewThenImport() {
    QFETCH(MessageAnswer, answer);
    QFETCH(QStringList, added);
    Year f;
    f.start();
    const QString path = f.put(QStringLiteral("movimientos.csv"), csvFile());
    f.messages.answerNext(answer);

    f.services.dialogs.expect([&](QDialog& window) {
        QCOMPARE(child<QLabel>(window, "lblLeido")->text(),
                 QStringLiteral("Archivo CSV: separador punto y coma, decimales con coma, "
                                "fechas dd/mm/aaaa"));
        QCOMPARE(column(window, "grdApuntes", 0), (QStringList{"2", "3"}));
        QCOMPARE(column(window, "grdApuntes", 5), (QStringList{"1.500,00", "45,50"}));
        QCOMPARE(column(window, "grdApuntes", 6), (QStringList{"", "ya está"}));
        auto* refused = child<QListWidget>(window, "lstRechazadas");
        QCOMPARE(refused->count(), 2);
        QCOMPARE(refused->item(0)->text() + u'|' + refused->item(1)->text(),
                 QStringLiteral("Línea 6: la fecha 31/12/2023 no es del año 2024|"
                                "Línea 7: tiene 4 campos y se esperaban 5"));
        QCOMPARE(column(window, "grdCuentas", 1), (QStringList{"2"}));
        QCOMPARE(summary(window),
                 QStringLiteral("Se añadirán 1 apunte; 2 rechazados; 1 ya estaba en el año; "
                                "2 quedan sin cuenta"));

        // Creating the account as an expense lets both of its rows in.
        choose(window, "grdCuentas", 0, 2, QStringLiteral("Gasto"));
        QCOMPARE(column(window, "grdApuntes", 0), (QStringList{"2", "3", "4", "5"}));
        QCOMPARE(column(window, "grdCuentas", 2), (QStringList{"Gasto"}));
        QCOMPARE(summary(window),
                 QStringLiteral("Se añadirán 3 apuntes; 2 rechazados; 1 ya estaba en el año"));
        // and leaving it out takes them away again.
        choose(window, "grdCuentas", 0, 2, QStringLiteral("No importar"));
        QCOMPARE(rowsOf(window, "grdApuntes")->rowCount(), 2);
        choose(window, "grdCuentas", 0, 2, QStringLiteral("Gasto"));

        QCOMPARE(entryLines(f.ledger.db()), f.before); // nothing written yet
        click(window, "cmdImportar");
        QVERIFY(!window.isVisible());
    });
    f.import(path);
    QCOMPARE(f.services.dialogs.pending(), size_t(0));

    QCOMPARE(entryLines(f.ledger.db()), f.before + added);
    QCOMPARE(SafetyCopies(f.ledger.dataRoot(), f.ledger.year()).list().size(), 1);
    QCOMPARE(
        f.messages.texts(),
        (QStringList{
            "Hay 1 movimiento que ya está en el año. ¿Desea añadirlo también?",
            QStringLiteral("Importados %1 apuntes. Se ha creado 1 cuenta.").arg(added.size())}));
    // The main window lists what was imported.
    QCOMPARE(f.grid()->model()->rowCount(), f.before.size() + added.size());
}

void TestFrmImportar::statementProposesAndRemembers() {
    Year f;
    f.ledger.addAccount(QStringLiteral("Agua"), QStringLiteral("G"));
    f.start();
    // The window looked at the first 512 bytes only, and took a statement after
    // many blank lines for a CSV file without a header.
    const QString path =
        f.put(u"extracto.txt"_s, QByteArray("\r\n").repeated(600) + statementFile());
    f.services.dialogs.expect([&](QDialog& chooser) {
        QCOMPARE(child<QLabel>(chooser, "lblPregunta")->text(),
                 QStringLiteral("¿Qué cuenta es la 0049 1500 0512345678 de ANA GARCIA LOPEZ?"));
        auto* account = child<QComboBox>(chooser, "cboCuenta");
        // Nothing remembered yet: the first account that can be a bank account.
        QCOMPARE(account->currentText(), QStringLiteral("Caja"));
        account->setCurrentText(QStringLiteral("Cuenta BBVA"));
        click(chooser, "cmdAceptar");
    });
    f.services.dialogs.expect([&](QDialog& window) {
        QCOMPARE(child<QLabel>(window, "lblLeido")->text(),
                 QStringLiteral("Extracto bancario (Norma 43): 1 cuenta, 2 movimientos"));
        // The supermarket takes its account from January's entry.
        QCOMPARE(column(window, "grdApuntes", 3), (QStringList{"Supermercado"}));
        QCOMPARE(column(window, "grdSinCuenta", 4), (QStringList{"Entra en"}));
        QCOMPARE(summary(window),
                 QStringLiteral("Se añadirán 1 apunte; 0 rechazados; 0 ya estaban en el año; "
                                "1 queda sin cuenta"));
        choose(window, "grdSinCuenta", 0, 5, QStringLiteral("Luz"));
        QCOMPARE(column(window, "grdApuntes", 3), (QStringList{"Supermercado", "Luz"}));
        QCOMPARE(column(window, "grdSinCuenta", 5), (QStringList{"Luz"}));
        QCOMPARE(summary(window),
                 QStringLiteral("Se añadirán 2 apuntes; 0 rechazados; 0 ya estaban en el año"));
        click(window, "cmdImportar");
    });
    f.import(path);
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(entryLines(f.ledger.db()),
             f.before + (QStringList{"2024-01-10|MERCADONA SUR|Supermercado|Cuenta BBVA|4512|G",
                                     "2024-01-15|FARMACIA CENTRO|Luz|Cuenta BBVA|3000|G"}));
    QCOMPARE(f.messages.texts(), (QStringList{"Importados 2 apuntes."}));
    QCOMPARE(SettingsFiles(f.ledger.programFolder()).readBankAccount("004915000512345678"),
             QStringLiteral("Cuenta BBVA"));

    // The same statement again: the bank account is known, both movements now
    // find their account and are marked as already there; cancelling writes nothing.
    const QStringList after = entryLines(f.ledger.db());
    f.services.dialogs.expect([&](QDialog& chooser) {
        QCOMPARE(child<QComboBox>(chooser, "cboCuenta")->currentText(),
                 QStringLiteral("Cuenta BBVA"));
        click(chooser, "cmdAceptar");
    });
    f.services.dialogs.expect([&](QDialog& window) {
        QCOMPARE(column(window, "grdApuntes", 3), (QStringList{"Supermercado", "Luz"}));
        QCOMPARE(column(window, "grdApuntes", 6), (QStringList{"ya está", "ya está"}));
        click(window, "cmdCancelar");
    });
    f.import(path);
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(entryLines(f.ledger.db()), after);
}

// A bank's own CSV, newest first, with its balance: the columns shown and changed,
// each proposal with its reason, the bank's balance against ours, and the columns
// remembered for the account.
void TestFrmImportar::bankFileColumnsProposalsAndBalance() {
    Year f;
    f.start();
    const QString path =
        f.put(u"movimientos.csv"_s, "Cuenta: ES12 0049 1500 0512 3456 7890\r\n"
                                    "Fecha;Concepto;Importe;Saldo\r\n"
                                    "20/02/2024;N\xD3MINA FEBRERO;1.500,00;1.414,50\r\n"
                                    "15/02/2024;COMPRA MERCADONA;-20,00;-85,50\r\n"_ba);
    f.services.dialogs.expect([&](QDialog& chooser) {
        QCOMPARE(child<QLabel>(chooser, "lblPregunta")->text(),
                 QStringLiteral("¿En qué cuenta se importan los movimientos de movimientos.csv?"));
        child<QComboBox>(chooser, "cboCuenta")->setCurrentText(QStringLiteral("Cuenta BBVA"));
        click(chooser, "cmdAceptar");
    });
    f.services.dialogs.expect([&](QDialog& window) {
        QCOMPARE(child<QLabel>(window, "lblLeido")->text(),
                 QStringLiteral("Movimientos del banco (CSV del banco, separador punto y coma) "
                                "para Cuenta BBVA: 2 movimientos, con saldo"));
        QCOMPARE(column(window, "grdColumnas", 2),
                 (QStringList{"Fecha", "Concepto", "Importe", "Saldo"}));
        // Oldest first; the purchase found its account and says why.
        QCOMPARE(column(window, "grdApuntes", 2), (QStringList{"COMPRA MERCADONA"}));
        QCOMPARE(column(window, "grdApuntes", 7), (QStringList{"como «Mercadona» del 03/01/2024"}));
        QCOMPARE(column(window, "grdSinCuenta", 2), (QStringList{"NÓMINA FEBRERO"}));
        auto* balance = child<QLabel>(window, "lblSaldo");
        // The year holds January's purchase and the light bill on the account:
        // they agree up to the payroll, which waits for its account.
        QCOMPARE(balance->text(),
                 QStringLiteral("Saldo de Cuenta BBVA antes del 15/02/2024: banco -65,50, "
                                "Velmora -65,50: coinciden. Después de importar, al 20/02/2024: "
                                "banco 1.414,50, Velmora -85,50: difieren en 1.500,00. Dejan de "
                                "coincidir el 20/02/2024 (línea 3)."));
        choose(window, "grdSinCuenta", 0, 5, QStringLiteral("Nómina"));
        QVERIFY(balance->text().endsWith(
            QStringLiteral("al 20/02/2024: banco 1.414,50, Velmora 1.414,50: coinciden.")));
        // The balance read as nothing: no comparison, and the columns remembered so.
        choose(window, "grdColumnas", 3, 2, QStringLiteral("No se usa"));
        QCoreApplication::processEvents();
        QVERIFY(balance->isHidden());
        QCOMPARE(column(window, "grdColumnas", 2),
                 (QStringList{"Fecha", "Concepto", "Importe", "No se usa"}));
        // Two dates cannot be read: told, and the columns stay as they were.
        choose(window, "grdColumnas", 1, 2, QStringLiteral("Fecha"));
        QCoreApplication::processEvents();
        QCOMPARE(f.messages.texts().last(),
                 QStringLiteral("Las columnas no se pueden leer así: hay más de una columna que "
                                "se lee como «Fecha»."));
        QCOMPARE(column(window, "grdColumnas", 2),
                 (QStringList{"Fecha", "Concepto", "Importe", "No se usa"}));
        choose(window, "grdSinCuenta", 0, 5, QStringLiteral("Nómina"));
        click(window, "cmdImportar");
    });
    f.import(path);
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(entryLines(f.ledger.db()),
             f.before + (QStringList{"2024-02-15|COMPRA MERCADONA|Supermercado|Cuenta BBVA|2000|G",
                                     "2024-02-20|NÓMINA FEBRERO|Cuenta BBVA|Nómina|150000|I"}));
    const auto remembered = SettingsFiles(f.ledger.programFolder()).readBankFileLayouts();
    QCOMPARE(remembered.size(), 1);
    QCOMPARE(remembered[0].account, QStringLiteral("Cuenta BBVA"));
    QCOMPARE(remembered[0].columns, QStringLiteral("Fecha|Concepto|Importe|No se usa"));
}

void TestFrmImportar::unreadableFilesWriteNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // %1 is the file's path
    n43::Statement wrongTotals;
    wrongTotals.open().move({.cents = -4512, .reference2 = "RECIBO"}).close({.debits = 4500}).end();
    QTest::newRow("extracto con totales que no cuadran")
        << wrongTotals.bytes()
        << QStringLiteral("No se ha importado nada: el extracto %1 no se puede leer, línea 3: ");
    QTest::newRow("archivo sin cabecera")
        << QByteArrayLiteral("05/02/2024;Nómina;Cuenta BBVA;Nómina;1500,00\r\n")
        << QStringLiteral("No se ha importado nada: el archivo %1 no se puede leer: no se "
                          "encuentra la fila de cabecera");
}

void TestFrmImportar::unreadableFilesWriteNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    Year f;
    f.start();
    const QString path = f.put(u"movimientos.txt"_s, bytes);
    f.import(path);
    QVERIFY(f.services.dialogs.titles.isEmpty());
    f.nothingImported(message.arg(path));
}

// Another program holding the year's write lock, or no room for the safety
// copy: the import fails as a whole, the window stays open with its rows, and a
// second try once the cause is gone works.
void TestFrmImportar::failuresWriteNothing_data() {
    QTest::addColumn<bool>("locked"); // else the safety copies' folder cannot be made
    QTest::addColumn<QString>("lead");
    QTest::newRow("año bloqueado") << true << QStringLiteral("No se ha importado nada: ");
    QTest::newRow("copia imposible")
        << false
        << QStringLiteral("No se ha importado nada: no se puede hacer la copia de seguridad: ");
}

void TestFrmImportar::failuresWriteNothing() {
    QFETCH(bool, locked);
    QFETCH(QString, lead);
    Year f;
    f.start();
    const QString path = f.put(QStringLiteral("movimientos.csv"), csvFile());
    const QString copies = SafetyCopies(f.ledger.dataRoot(), f.ledger.year()).folder();
    auto other = std::make_unique<Database>(f.ledger.databasePath());
    if (locked) {
        other->exec("BEGIN IMMEDIATE", "bloquear");
    } else {
        // A file where the folder of copies should go.
        QVERIFY(putBytes(f.ledger.dataRoot() + u'/' + SafetyCopies::folderName(), "x"));
    }

    f.services.dialogs.expect([&](QDialog& window) {
        f.messages.answerNext(MessageAnswer::No);
        click(window, "cmdImportar");
        QVERIFY(window.isVisible());
        QCOMPARE(f.messages.shown().size(), 2);
        QVERIFY2(f.messages.shown()[1].text.startsWith(lead),
                 qPrintable(f.messages.shown()[1].text));
        QCOMPARE(f.messages.shown()[1].icon, MessageIcon::Critical);
        QCOMPARE(entryLines(f.ledger.db()), f.before);
        QCOMPARE(rowsOf(window, "grdApuntes")->rowCount(), 2);

        if (locked) {
            other->exec("ROLLBACK", "desbloquear");
        } else {
            QVERIFY(QFile::remove(f.ledger.dataRoot() + u'/' + SafetyCopies::folderName()));
        }
        f.messages.answerNext(MessageAnswer::No);
        click(window, "cmdImportar");
        QVERIFY(!window.isVisible());
    });
    f.import(path);
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(f.messages.texts().last(), QStringLiteral("Importado 1 apunte."));
    QCOMPARE(entryLines(f.ledger.db()).size(), f.before.size() + 1);
    // One copy for each try that got as far as writing it.
    QCOMPARE(QDir(copies).entryList(QDir::Files).size(), locked ? 2 : 1);
}

void TestFrmImportar::importReadsOnlyRegularFiles_data() {
    addHostileInputRows(kLargestImportFile);
}

// A pipe kept the program waiting, a link to /dev/zero or a file of a gigabyte
// ended it for want of memory: only a regular file of a sane size is read.
void TestFrmImportar::importReadsOnlyRegularFiles() {
    QFETCH(QString, refusal);
    Year f;
    f.start();
    QTemporaryDir scratch;
    f.import(hostileInput(scratch.path(), kLargestImportFile).path);
    QVERIFY(f.services.dialogs.titles.isEmpty());
    f.nothingImported(u"No se ha importado nada: "_s, refusal);
}

// Counts once read "1200" where the program writes "1.200", and the window
// listed every refused line, a million of them for a file of bad lines.
void TestFrmImportar::manyLinesAreCountedAndGrouped() {
    Year f;
    f.start();
    QByteArray bytes = "Fecha;Concepto;Entra en;Sale de;Importe\r\n";
    bytes += QByteArray("31/02/2024;Fecha mala;Luz;Cuenta BBVA;1,00\r\n").repeated(1005);
    for (int i = 0; i < 1200; ++i) {
        bytes += "05/02/2024;Recibo " + QByteArray::number(i) + ";Luz;Cuenta BBVA;1,00\r\n";
    }
    f.services.dialogs.expect([&](QDialog& window) {
        QCOMPARE(summary(window),
                 u"Se añadirán 1.200 apuntes; 1.005 rechazados; 0 ya estaban en el año"_s);
        QCOMPARE(child<QTabWidget>(window, "tabs")->tabText(0), u"Apuntes a añadir (1.200)"_s);
        QCOMPARE(child<QTabWidget>(window, "tabs")->tabText(3), u"Rechazados (1.005)"_s);
        QCOMPARE(column(window, "grdApuntes", 0).last(), u"2.206"_s);
        auto* refused = child<QListWidget>(window, "lstRechazadas");
        QCOMPARE(refused->count(), 1001);
        QCOMPARE(refused->item(999)->text(), u"Línea 1.001: la fecha 31/02/2024 no existe"_s);
        QCOMPARE(refused->item(1000)->text(), u"… y 5 líneas rechazadas más"_s);
        click(window, "cmdImportar");
    });
    f.import(f.put(u"muchos.csv"_s, bytes));
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(f.messages.texts(), QStringList{u"Importados 1.200 apuntes."_s});
    QCOMPARE(entryLines(f.ledger.db()).size(), f.before.size() + 1200);
}

void TestFrmImportar::bankNamesFileThatIsNoFileIsTold_data() {
    addHostileInputRows(kSmallFileLimit);
}

// bancos.ini that is a pipe, a folder or a link to a device was read as empty
// and nobody said so; the accounts are asked for, and what is there stays.
void TestFrmImportar::bankNamesFileThatIsNoFileIsTold() {
    QFETCH(QString, refusal);
    Year f;
    f.start();
    QTemporaryDir scratch;
    const QString bancos = f.ledger.programFolder() + u"/bancos.ini"_s;
    const QString target = hostileInput(scratch.path(), kSmallFileLimit).path;
    QVERIFY(QFile::link(target, bancos));
    const QString path = f.put(u"extracto.n43"_s, statementFile());
    f.services.dialogs.expect([](QDialog& chooser) { click(chooser, "cmdAceptar"); });
    f.services.dialogs.expect([](QDialog& window) { click(window, "cmdCancelar"); });
    f.import(path);
    // The import went on to its preview.
    QCOMPARE(f.services.dialogs.pending(), size_t(0));
    QCOMPARE(f.messages.shown().size(), 1);
    const Message& told = f.messages.shown()[0];
    QVERIFY2(
        told.text.startsWith(u"No se pueden usar las cuentas recordadas de los extractos: "_s) &&
            told.text.contains(bancos) && told.text.contains(refusal),
        qPrintable(told.text));
    QCOMPARE(told.icon, MessageIcon::Warning);
    QCOMPARE(QFileInfo(bancos).symLinkTarget(), QFileInfo(target).absoluteFilePath());
}

// An allocation that failed while the file was read ended the program.
void TestFrmImportar::noMemoryLeftWhileReading() {
    Year f;
    f.start();
    const QString path = f.put(u"extracto.n43"_s, statementFile());
    f.services.dialogs.expect([](QDialog&) { throw std::bad_alloc(); });
    f.import(path);
    f.nothingImported(u"No se ha importado nada: no queda memoria libre para leer el archivo "
                      "%1. Cierre otros programas y vuelva a intentarlo."_s.arg(path));
}

void TestFrmImportar::exportWritesTheListedRows_data() {
    QTest::addColumn<QString>("filter"); // typed in the description filter
    QTest::addColumn<QString>("answer"); // under the scratch folder; empty: cancelled
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("lines"); // after the header; empty: no file
    QTest::addColumn<QString>("message");  // %1 is the written file
    QTest::addColumn<bool>("unreadable");  // the bill's amount is no number
    const QByteArray shop = "03/01/2024;Mercadona;Supermercado;Cuenta BBVA;20,00\r\n";
    const QByteArray bill = "10/02/2024;Recibo de la luz;Luz;Cuenta BBVA;45,50\r\n";
    QTest::newRow("todo el año") << QString() << u"lista.csv"_s << u"lista.csv"_s << shop + bill
                                 << QStringLiteral("Exportados 2 apuntes a %1.") << false;
    QTest::newRow("un importe ilegible")
        << QString() << u"lista.csv"_s << u"lista.csv"_s << shop
        << QStringLiteral("Exportado 1 apunte a %1. Se ha dejado fuera el apunte nº 1, cuyo "
                          "importe no es un número válido: ábralo con «Editar» y ponga el "
                          "importe correcto.")
        << true;
    QTest::newRow("filtrado y sin extensión")
        << u"luz"_s << u"luz"_s << u"luz.csv"_s << bill
        << QStringLiteral("Exportado 1 apunte a %1.") << false;
    QTest::newRow("cancelado") << QString() << QString() << u"apuntes-2024.csv"_s << QByteArray()
                               << QString() << false;
}

void TestFrmImportar::exportWritesTheListedRows() {
    QFETCH(QString, filter);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QByteArray, lines);
    QFETCH(QString, message);
    QFETCH(bool, unreadable);
    Year f;
    if (unreadable) {
        f.ledger.db().exec("UPDATE apuntes SET Importe = 'cuarenta' WHERE Id = 1", "estropear");
    }
    f.start();
    if (!filter.isEmpty()) {
        f.find<FilterField>(QStringLiteral("txtFiltroDes"))->setText(filter);
        QVERIFY(f.window->reload());
    }
    const QString folder = f.ledger.dataRoot() + QStringLiteral("/salida");
    QVERIFY(QDir().mkpath(folder));
    f.exportTo(answer.isEmpty() ? std::nullopt : std::optional(folder + u'/' + answer));
    QVERIFY(f.services.files.suggestedPaths[0].endsWith(QStringLiteral("/apuntes-2024.csv")));

    const QString path = folder + u'/' + written;
    QCOMPARE(QFile::exists(path), !lines.isEmpty());
    QCOMPARE(f.messages.texts(),
             message.isEmpty() ? QStringList() : QStringList{message.arg(path)});
    if (!lines.isEmpty()) {
        QCOMPARE(fileBytes(path), "\xEF\xBB\xBF"
                                  "Fecha;Concepto;Entra en;Sale de;Importe\r\n" +
                                      lines);
    }
}

void TestFrmImportar::exportNeverOverwritesTheProgramsFiles_data() {
    addHostileOutputRows();
}

// Once this wrote CSV text over the year's own ledger after Qt's "¿Desea
// reemplazarlo?", and the next start found the file damaged.
void TestFrmImportar::exportNeverOverwritesTheProgramsFiles() {
    QFETCH(QString, refusal);
    Year f;
    QTemporaryDir scratch;
    const HostilePath target = hostileOutput(f.ledger, scratch.path());
    const QByteArray before = target.ownFile ? fileBytes(target.path) : QByteArray();
    f.start();
    f.exportTo(target.path);
    QCOMPARE(f.messages.texts().size(), 1);
    QVERIFY2(f.messages.texts()[0].startsWith(u"No se puede escribir ahí: "_s) &&
                 f.messages.texts()[0].contains(refusal),
             qPrintable(f.messages.texts()[0]));
    QCOMPARE(f.messages.shown()[0].icon, MessageIcon::Critical);
    if (target.ownFile) {
        QCOMPARE(fileBytes(target.path), before);
    }
    QVERIFY(!QFileInfo::exists(target.path + u".csv"_s));
}

// The dialog asked about "lista", which did not exist; "lista.csv" did, and was
// replaced without a word.
void TestFrmImportar::exportAsksBeforeReplacingTheNameWithItsSuffix() {
    Year f;
    f.start();
    const QString folder = f.ledger.dataRoot() + u"/salida"_s;
    QVERIFY(putBytes(folder + u"/lista.csv"_s, "lo de antes"));
    for (const bool replace : {false, true}) {
        f.messages.clear();
        f.messages.answerNext(replace ? MessageAnswer::Yes : MessageAnswer::No);
        f.exportTo(folder + u"/lista"_s);
        QCOMPARE(f.messages.texts().first(),
                 u"Ya existe el archivo %1.\n¿Desea reemplazarlo?"_s.arg(folder + u"/lista.csv"_s));
        QCOMPARE(fileBytes(folder + u"/lista.csv"_s).startsWith("\xEF\xBB\xBF"), replace);
        QCOMPARE(f.messages.texts().size(), replace ? 2 : 1);
    }
}

QTEST_MAIN(TestFrmImportar)
#include "tst_frmimportar.moc"
