// The main window driven through its real widgets, with questions answered by
// the message recorder and the windows it opens driven by scripts.

#include "app/frmPrincipal.h"
#include "entries/EntryTableModel.h"
#include "reports/frmInformeListado.h"
#include "store/Formats.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"
#include "support/WindowSpace.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

using namespace velmora;
using namespace velmora::test;

namespace {

// Enter on the first entry of a register, under its opening line.
void editFirstEntry(QDialog& statement) {
    auto* grid = statement.findChild<QTableView*>();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Return);
}

struct Fixture : WindowFixture<frmPrincipal> {
    std::unique_ptr<QAbstractItemModelTester> modelCheck;

    explicit Fixture(int extraEntries = 0, const QString& year = QStringLiteral("2024"))
        : WindowFixture(year) {
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Banco", "C");
        ledger.addAccount("Luz", "G");
        ledger.addAccount("Caja", "C");
        ledger.addEntry(1, "05/01/2024", "Nómina enero", "Banco", "Nómina", 1200, "I");
        ledger.addEntry(2, "10/02/2024", "Recibo de la luz", "Luz", "Banco", 450.5, "G");
        ledger.addEntry(3, "11/03/2024", "Traspaso", "Caja", "Banco", 300, "T");
        ledger.addEntry(4, "12/04/2024", "Luz de abril", "Luz", "Banco", 60, "G");
        for (int i = 0; i < extraEntries; ++i) {
            ledger.addEntry(100 + i, "01/06/2024", QStringLiteral("Extra %1").arg(i), "Caja",
                            "Banco", 1, "T");
        }
        open([this](frmPrincipal& w) {
            modelCheck = std::make_unique<QAbstractItemModelTester>(
                &w.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        });
    }
    QString info() { return find<QLabel>("lblInfo")->text(); }
    QString balance() { return find<QLabel>("lblBalance")->text(); }
    void clickHeader(int column) {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint centre(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    QVariant data(int row, int column, int role) {
        return grid()->model()->index(row, column).data(role);
    }
    void select(int row) {
        grid()->setCurrentIndex(grid()->model()->index(row, EntryTableModel::DateColumn));
    }
    void deleteLine(int row) {
        select(row);
        messages.answerNext(MessageAnswer::Yes);
        click("cmdBorrar");
    }
    void filterDescription(const QString& text) {
        find<QLineEdit>("txtFiltroDes")->setText(text);
        click("cmdFiltrar");
    }
    QList<int> ids() {
        QList<int> listed;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            listed.append(cell(r, EntryTableModel::IdColumn).toInt());
        }
        return listed;
    }
    // The entry window opened by `button`, given `description` (if any) and accepted.
    void edit(const char* button, const QString& description,
              const std::function<void(QDialog&)>& more = {}) {
        services.dialogs.expect([=](QDialog& editor) {
            if (more) {
                more(editor);
            }
            if (!description.isEmpty()) {
                editor.findChild<QPlainTextEdit*>("txtDes")->setPlainText(description);
            }
            QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
        });
        click(button);
    }
    void typeDate(const char* field, const QString& text) {
        auto* edit = find<QLineEdit>(field);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QString(text).remove(QLatin1Char('/')));
    }
};

} // namespace

class TestFrmPrincipal : public QObject {
    Q_OBJECT
private slots:
    void showsTheYearOnLoad();
    void yearNamedOtherwise_data();
    void yearNamedOtherwise();
    void menuOpensThePreferenceWindows();
    void balancesOpenTheRegister();
    void headerFilterBoxes();
    void filterByKeyShowsAndEscapeClears();
    void reportListsWhatTheListShows();
    void deleteAsksWithTheLineNumber();
    void undoPutsDeletedEntriesBack_data();
    void undoPutsDeletedEntriesBack();
    void undoEndsWithTheYear();
    void exitQuestion_data();
    void exitQuestion();
    void enterMovesThroughTheDates();
    void clickedDateIsReplaced();
    void resizeKeepsTheTypedRange();
    void databaseFailuresAreReported();
    void editReselectsTheLine_data();
    void editReselectsTheLine();
    void editThatShortensTheList();
    void entryDeletedMeanwhile();
    void unreadableAmounts();
    void largestAmountsShowWhole();
    void windowUsesItsSpace_data();
    void windowUsesItsSpace();
};

void TestFrmPrincipal::showsTheYearOnLoad() {
    Fixture f;
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QCOMPARE(
        f.balance(),
        QStringLiteral(" INGRESOS: 1.200,00 | GASTOS: 510,50 | BALANCE: 689,50 | MES: 100,00"));
    // Only expenses are red; a section colour picked meanwhile shows at once.
    // (A red only as deep as the band under it needs.)
    const auto ink = [&f](int row) {
        return f.data(row, EntryTableModel::AmountColumn, Qt::ForegroundRole).value<QColor>();
    };
    QVERIFY(ink(0).red() > 200 && ink(0).green() == 0 && ink(0).blue() == 0);
    QVERIFY(ink(3).red() == ink(3).green() && ink(3).green() == ink(3).blue());
    f.ledger.state().palette.setSection(5691381);
    for (const char* name : {"lblInfo", "lblBalance"}) {
        QCOMPARE(f.find<QLabel>(name)->palette().color(QPalette::Window), colourFromValue(5691381));
    }
}

// A year named " " once showed "01/01/____" and said "Ponga una fecha correcta" on
// every "&Filtro": a year whose name is no calendar year lists today's year.
void TestFrmPrincipal::yearNamedOtherwise_data() {
    addTextRows("year", {{"blank", " "}, {"a word", "Casa"}});
}

void TestFrmPrincipal::yearNamedOtherwise() {
    QFETCH(QString, year);
    Fixture f(0, year);
    QCOMPARE(f.window->windowTitle(), "Velmora ## Año " + year);
    QCOMPARE(f.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(f.find<QLineEdit>("mskHasta")->text(), QStringLiteral("31/12/2024"));
    f.ledger.addEntry(9, "10/02/2023", "Recibo viejo", "Luz", "Banco", 40, "G");
    f.click("cmdFiltrar");
    QCOMPARE(f.messages.texts(), QStringList());
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
}

void TestFrmPrincipal::menuOpensThePreferenceWindows() {
    WindowFixture<frmPrincipal> f;
    f.open();
    for (const char* name : {"mnuOpCores", "mnuOpAcercade", "mnuOpConfiguracion", "mnuOpReglas",
                             "mnuOpResumen", "mnuOpPresupuesto"}) {
        f.services.dialogs.expect([](QDialog&) {});
        f.find<QAction>(name)->trigger();
    }
    QCOMPARE(f.services.dialogs.titles,
             (QStringList{"Colores", "Acerca de ...", "Configuración de Parámetros",
                          "Reglas de importación", "Resumen anual", "Presupuesto"}));
}

// Ctrl+B opens the balances at the list's "Hasta"; Enter on an account opens its
// register over them, and an entry changed there reaches both.
void TestFrmPrincipal::balancesOpenTheRegister() {
    Fixture f;
    f.typeDate("mskHasta", "31/03/2024");
    f.click("cmdFiltrar");
    QString bankBefore;
    QString bankAfter;
    f.services.dialogs.expect([&](QDialog& balances) {
        auto* grid = balances.findChild<QTableView*>("mshCaja");
        bankBefore = grid->model()->index(0, 4).data().toString();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QTest::keyClick(grid, Qt::Key_Return);
        bankAfter = grid->model()->index(0, 4).data().toString();
    });
    f.services.dialogs.expect([](QDialog& statement) {
        // Saldo inicial, then every entry of the bank's, whatever the date asked.
        QCOMPARE(statement.findChild<QTableView*>()->model()->rowCount(), 5);
        editFirstEntry(statement);
    });
    f.services.dialogs.expect([](QDialog& editor) {
        auto* amount = editor.findChild<QLineEdit*>("txtImporte");
        amount->selectAll();
        QTest::keyClicks(amount, "1300");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    QTest::keySequence(f.window.get(), QKeySequence(Qt::CTRL | Qt::Key_B));
    QCOMPARE(f.services.dialogs.titles.mid(0, 2), (QStringList{"Saldos", "Extracto de Banco"}));
    // Banco at 31/03: 1.200 in, 450,50 and 300 out; then the pay is 1.300.
    QCOMPARE(bankBefore, QStringLiteral("449,50"));
    QCOMPARE(bankAfter, QStringLiteral("549,50"));
    QVERIFY(f.balance().startsWith(QStringLiteral(" INGRESOS: 1.300,00")));
}

void TestFrmPrincipal::headerFilterBoxes() {
    Fixture f;
    // Only the three text columns have a filter box.
    f.clickHeader(EntryTableModel::DateColumn);
    f.clickHeader(EntryTableModel::AmountColumn);
    auto* box = f.find<QLineEdit>("txtFiltroDes");
    QVERIFY(!box->isVisible());
    f.clickHeader(EntryTableModel::DescriptionColumn);
    QVERIFY(box->isVisible());
    QVERIFY(box->hasFocus());

    QTest::keyClicks(box, "LUZ");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
    QVERIFY(box->hasFocus());

    // Leaving hides the box; its text keeps filtering later reloads.
    f.find<QLineEdit>("mskDesde")->setFocus(Qt::MouseFocusReason);
    QVERIFY(!box->isVisible());
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));

    f.clickHeader(EntryTableModel::GoesIntoColumn);
    auto* goesInto = f.find<QLineEdit>("txtFiltroEntra");
    QTest::keyClicks(goesInto, "caja");
    QTest::keyClick(goesInto, Qt::Key_Enter);
    QCOMPARE(f.info(), QStringLiteral(" 0 registros"));
    // Nothing to delete or edit: no question, no window.
    f.click("cmdBorrar");
    f.click("cmdEditar");
    QVERIFY(f.messages.shown().isEmpty());
    QVERIFY(f.services.dialogs.titles.isEmpty());

    // "&Quitar Filtro" empties the boxes; the range stays, January still out.
    f.typeDate("mskDesde", "01/02/2024");
    f.click("cmdFiltroQuitar");
    QVERIFY(box->text().isEmpty());
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
}

void TestFrmPrincipal::filterByKeyShowsAndEscapeClears() {
    Fixture f;
    auto* box = f.find<QLineEdit>("txtFiltroDes");
    auto* shown = f.find<QLabel>("lblFiltros");
    QVERIFY(shown->text().isEmpty());
    QTest::keySequence(f.window.get(), QKeySequence::Find);
    QVERIFY(box->isVisible());
    QVERIFY(box->hasFocus());
    QTest::keyClicks(box, "luz");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
    QCOMPARE(shown->toolTip(), QStringLiteral("Filtrado por Concepto «luz»"));
    QVERIFY(!shown->text().isEmpty());

    // Once the box hides, the line still says the list is filtered.
    f.grid()->setFocus(Qt::MouseFocusReason);
    QVERIFY(!box->isVisible());
    QCOMPARE(shown->toolTip(), QStringLiteral("Filtrado por Concepto «luz»"));

    // Escape empties the box and lists everything again.
    QTest::keySequence(f.window.get(), QKeySequence::Find);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!box->isVisible());
    QVERIFY(box->text().isEmpty());
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QVERIFY(shown->text().isEmpty());

    // A filter that empties the list hides the header, and the key still opens
    // the box to undo it: no dead end.
    f.filterDescription("nada de esto");
    QCOMPARE(f.info(), QStringLiteral(" 0 registros"));
    QTest::keySequence(f.window.get(), QKeySequence::Find);
    QVERIFY(box->isVisible());
    QVERIFY(box->height() > 0);
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));

    f.filterDescription("luz");
    f.click("cmdFiltroQuitar");
    QVERIFY(shown->toolTip().isEmpty());
    QVERIFY(f.messages.shown().isEmpty());
}

void TestFrmPrincipal::reportListsWhatTheListShows() {
    Fixture f;
    f.ledger.db().exec("INSERT INTO tblTitulos (Empresa) VALUES ('Familia Núñez')", "empresa");
    f.typeDate("mskDesde", "01/02/2024");
    f.filterDescription("luz");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
    // Typed over but not filtered: the report keeps to what is listed.
    f.typeDate("mskHasta", "28/02/2024");

    QStringList listed;
    QString heading;
    f.services.dialogs.expect([&](QDialog& dialog) {
        const Report& report = dynamic_cast<frmInformeListado&>(dialog).report();
        for (size_t row = 0; row < report.rows().rowCount(); ++row) {
            listed.append(report.rows().cell(row, 1));
        }
        heading = report.fill(QStringLiteral("{pEmpresa} | {pTitulo} | {pInfo}"), 1, 1);
        QCOMPARE(report.rows().totals.at(1), QStringLiteral("510,50"));
    });
    f.click("cmdInforme");
    QCOMPARE(f.services.dialogs.titles, QStringList{"Informe"});
    QCOMPARE(listed, QStringList({"Recibo de la luz", "Luz de abril"}));
    QCOMPARE(heading, QStringLiteral("Familia Núñez | Listado de apuntes | Del 01/02/2024 al "
                                     "31/12/2024 · Concepto: luz"));
    QVERIFY(f.messages.texts().isEmpty());
}

// Line 3 holds entry 2: the question names the line, the delete the entry. The
// answer No is the list flow's, tested with the account list.
void TestFrmPrincipal::deleteAsksWithTheLineNumber() {
    Fixture f;
    f.deleteLine(2);
    QCOMPARE(f.messages.texts(), (QStringList{"¿Borrar el apunte nº 3?", "PROCESO FINALIZADO"}));
    QCOMPARE(f.messages.rowsAtMessage, (QList<int>{4, 3}));
    QCOMPARE(f.ids(), (QList<int>{4, 3, 1}));
}

void TestFrmPrincipal::undoPutsDeletedEntriesBack_data() {
    QTest::addColumn<QList<int>>("deletedIds"); // in the order deleted
    QTest::addColumn<int>("undos");
    QTest::addColumn<bool>("takeNumber"); // another program writes entry 2 meanwhile
    QTest::addColumn<QList<int>>("ids");  // what the list holds at the end, newest date first
    QTest::addColumn<QStringList>("notices");

    QTest::newRow("three, the last first")
        << QList<int>{2, 4, 1} << 2 << false << QList<int>{4, 3, 1} << QStringList{};
    QTest::newRow("three, all back")
        << QList<int>{2, 4, 1} << 3 << false << QList<int>{4, 3, 2, 1} << QStringList{};
    QTest::newRow("number taken meanwhile")
        << QList<int>{2} << 1 << true << QList<int>{4, 3, 5, 1, 2}
        << QStringList{"Otro apunte tiene ahora el número 2: el apunte recuperado queda con el "
                       "número 5."};
}

void TestFrmPrincipal::undoPutsDeletedEntriesBack() {
    QFETCH(QList<int>, deletedIds);
    QFETCH(int, undos);
    QFETCH(bool, takeNumber);
    QFETCH(QList<int>, ids);
    QFETCH(QStringList, notices);
    Fixture f;
    // A whole number stored as such, as another program may leave it: it comes back
    // as it was, not as 12.0.
    f.ledger.db().exec("UPDATE apuntes SET Importe = 12, Des = 'Línea ''larga''' WHERE Id = 2",
                       "texto");
    const auto stored = [&](int id) {
        Statement row(f.ledger.db(),
                      "SELECT quote(Data) || quote(Des) || quote(EntraEn) || quote(SaleDe) ||"
                      " quote(Importe) || quote(GoI) FROM apuntes WHERE Id = ?1",
                      "leer");
        row.bind(1, id);
        return row.step() ? row.columnText(0) : QString();
    };
    const QString before = stored(2);
    for (int id : deletedIds) {
        f.deleteLine(int(f.ids().indexOf(id)));
    }
    if (takeNumber) {
        f.ledger.addEntry(2, "01/01/2024", "Escrito por otro", "Caja", "Banco", 1, "T");
    }
    f.click("cmdFiltrar"); // a reload in between forgets nothing
    f.messages.clear();
    for (int i = 0; i < undos; ++i) {
        f.grid()->setFocus();
        QTest::keyClick(f.grid(), Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(f.messages.texts(), notices);
    QCOMPARE(f.ids(), ids);
    if (undos == deletedIds.size()) {
        QCOMPARE(stored(takeNumber ? 5 : 2), before);
    }
    // The entry put back last is the selected line.
    QCOMPARE(f.cell(f.grid()->currentIndex().row(), EntryTableModel::IdColumn),
             QString::number(takeNumber ? 5 : deletedIds[deletedIds.size() - undos]));
}

void TestFrmPrincipal::undoEndsWithTheYear() {
    Fixture f;
    f.deleteLine(0);
    // So does an account deleted in the account list.
    const auto inAccountList = [&f](const std::function<void(QTableView*)>& script) {
        f.services.dialogs.expect(
            [&](QDialog& list) { script(list.findChild<QTableView*>("mshDatos")); });
        f.find<QAction>("mnuCuentas")->trigger();
    };
    inAccountList([&f](QTableView* grid) {
        f.messages.answerNext(MessageAnswer::Yes);
        QTest::mouseClick(grid->parentWidget()->findChild<QPushButton*>("cmdBorrar"),
                          Qt::LeftButton);
    });
    f.services.dialogs.expect([](QDialog&) {});
    f.find<QAction>("mnuAnos")->trigger();
    QTest::keyClick(f.grid(), Qt::Key_Z, Qt::ControlModifier);
    inAccountList([](QTableView* grid) { QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier); });
    QCOMPARE(f.ledger.countEntries(), 3);
    QCOMPARE(f.ledger.rows("SELECT conNom FROM Contas").size(), 3);
}

void TestFrmPrincipal::exitQuestion_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("yes");
    QTest::newRow("close, no") << "close" << false;
    QTest::newRow("menu, yes") << "menu" << true;
}

void TestFrmPrincipal::exitQuestion() {
    QFETCH(QString, how);
    QFETCH(bool, yes);
    Fixture f;
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    if (how == QLatin1String("close")) {
        f.window->close();
    } else {
        f.find<QAction>("mnuOpSalir")->trigger();
    }
    QCOMPARE(f.messages.texts(), QStringList{"¿Confirma que desea Salir?"});
    QCOMPARE(f.messages.shown().first().title, QStringLiteral("Atención!!"));
    QCOMPARE(f.window->isVisible(), !yes);
    QCOMPARE(f.ledger.state().session.openConnection() == nullptr, yes);
}

// Enter moves from date to date and filters; "&Filtro" with a bad date reloads
// nothing and sends the user back to the date.
void TestFrmPrincipal::enterMovesThroughTheDates() {
    Fixture f;
    f.typeDate("mskHasta", "31/02/2024");
    f.click("cmdFiltrar");
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("Ponga una fecha correcta")});
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QTRY_VERIFY(f.find<QLineEdit>("mskHasta")->hasFocus());
    f.messages.clear();
    auto* from = f.find<QLineEdit>("mskDesde");
    auto* to = f.find<QLineEdit>("mskHasta");
    f.typeDate("mskDesde", "15/02/2024");
    QTest::keyClick(from, Qt::Key_Return);
    QVERIFY(to->hasFocus());
    // Its text selected: what is typed replaces it.
    QTest::keyClicks(to, "31032024");
    QTest::keyClick(to, Qt::Key_Return);
    auto* filter = f.find<QToolButton>("cmdFiltrar");
    QVERIFY(filter->hasFocus());
    // Enter on the focused button filters.
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(f.info(), QStringLiteral(" 1 registros"));
    QVERIFY(f.messages.shown().isEmpty());
}

// The window opens with the focus in "Desde"; a click into its year then typing
// a date wrote over part of the year only (01/01/2010).
void TestFrmPrincipal::clickedDateIsReplaced() {
    Fixture f;
    auto* from = f.find<QLineEdit>("mskDesde");
    QVERIFY(from->hasFocus());
    const QPoint inYear(from->fontMetrics().horizontalAdvance(QStringLiteral("01/01/2")) + 6,
                        from->height() / 2);
    QTest::mouseClick(from, Qt::LeftButton, {}, inYear);
    QTest::keyClicks(from, "01032024");
    QCOMPARE(from->text(), QStringLiteral("01/03/2024"));
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
}

// A resize used to put the whole year back into the date fields without a
// reload, so the fields disagreed with the list and the next save silently
// widened the list to the whole year.
void TestFrmPrincipal::resizeKeepsTheTypedRange() {
    Fixture f;
    f.typeDate("mskDesde", "01/03/2024");
    f.typeDate("mskHasta", "30/06/2024");
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
    const int gridWidth = f.grid()->width();
    f.window->resize(f.window->width() + 120, f.window->height() + 80);
    QTRY_COMPARE(f.grid()->width(), gridWidth + 120);
    QCOMPARE(f.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/03/2024"));
    QCOMPARE(f.find<QLineEdit>("mskHasta")->text(), QStringLiteral("30/06/2024"));

    // The reload after a new entry keeps the range: January stays out. Today is
    // 17/05/2024, so the new entry is the newest.
    f.edit("cmdNovo", "Luz de mayo", [&](QDialog& editor) {
        auto* goesInto = editor.findChild<QComboBox*>("cmbEntraEn");
        auto* comesOutOf = editor.findChild<QComboBox*>("cmbSaleDe");
        goesInto->setCurrentIndex(goesInto->findText("Luz"));
        comesOutOf->setCurrentIndex(comesOutOf->findText("Banco"));
    });
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
    QCOMPARE(f.cell(0, EntryTableModel::DescriptionColumn), QStringLiteral("Luz de mayo"));
}

void TestFrmPrincipal::databaseFailuresAreReported() {
    Fixture f;
    // Another program takes the table away under us.
    {
        Database other(f.ledger.databasePath());
        other.exec("ALTER TABLE apuntes RENAME TO apuntes_old", "test");
    }
    f.click("cmdFiltrar");
    // Spanish through and through; the engine's "no such table" goes to the log.
    QCOMPARE(f.messages.texts(),
             QStringList{"No se puede leer la lista de apuntes: la base de datos no tiene la "
                         "forma que el programa espera; puede que otro programa la haya "
                         "cambiado"});
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Critical);
    // The window keeps what it showed and stays usable.
    QCOMPARE(f.grid()->model()->rowCount(), 4);
}

void TestFrmPrincipal::editReselectsTheLine_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Editar") << false;
    QTest::newRow("double-click") << true;
}

void TestFrmPrincipal::editReselectsTheLine() {
    QFETCH(bool, doubleClick);
    Fixture f(40);
    const QModelIndex line5 = f.grid()->model()->index(4, EntryTableModel::DescriptionColumn);
    const QString id = f.cell(4, EntryTableModel::IdColumn);
    f.services.dialogs.expect([&](QDialog& editor) {
        QCOMPARE(editor.findChild<QLineEdit*>("txtId")->text(), id);
        // Moving the entry to another date puts another one on line 5.
        auto* date = editor.findChild<QLineEdit*>("mskData");
        date->setFocus(Qt::TabFocusReason);
        date->selectAll();
        QTest::keyClicks(date, "02012024");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    if (doubleClick) {
        const QRect cell = f.grid()->visualRect(line5);
        QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        f.grid()->setCurrentIndex(line5);
        f.click("cmdEditar");
    }
    QCOMPARE(f.services.dialogs.titles, QStringList{QStringLiteral("Modificando línea nº 5")});
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.grid()->currentIndex().row(), 4);
    QVERIFY(f.cell(4, EntryTableModel::IdColumn) != id);
}

// The edited entry leaves the filter: the shorter list selects its last line.
void TestFrmPrincipal::editThatShortensTheList() {
    Fixture f;
    f.filterDescription("luz");
    f.select(1);
    f.edit("cmdEditar", "Electricidad");
    QCOMPARE(f.info(), QStringLiteral(" 1 registros"));
    QCOMPARE(f.grid()->currentIndex().row(), 0);
    QVERIFY(f.messages.shown().isEmpty());
}

// Another program deleted the entry while it was open: the save used to report
// success and write nothing.
void TestFrmPrincipal::entryDeletedMeanwhile() {
    Fixture f;
    f.select(2);
    f.edit("cmdEditar", "Cambiado", [&](QDialog&) {
        Database(f.ledger.databasePath()).exec("DELETE FROM apuntes WHERE Id = 2", "test");
    });
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("El apunte nº 2 ya no existe")});
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Information);
    QCOMPARE(f.ledger.countEntries(), 3);
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
}

// Amounts that are no number used to print as "inf,inf" or "nan,nan", or to
// count as 0 in the totals without a word.
void TestFrmPrincipal::unreadableAmounts() {
    Fixture f;
    f.ledger.db().exec("INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI) VALUES"
                       " (8, '2024-06-01', 'Texto', 'Luz', 'Banco', 'doce', 'G'),"
                       " (9, '2024-06-02', 'Infinito', 'Caja', 'Banco', 1e999, 'T')",
                       "test");
    f.click("cmdFiltrar");
    QCOMPARE(f.cell(0, EntryTableModel::AmountColumn), QStringLiteral("¡ERROR!"));
    QCOMPARE(f.cell(1, EntryTableModel::AmountColumn), QStringLiteral("¡ERROR!"));
    // The transfer counts nowhere; the expense makes expense and balance unknown.
    QCOMPARE(f.balance(), QStringLiteral(" INGRESOS: 1.200,00 | GASTOS: ¡ERROR! | BALANCE: "
                                         "¡ERROR! | MES: 100,00"));
    QCOMPARE(f.messages.texts(),
             QStringList{"Los importes de 2 apuntes no son números válidos: líneas 1 (código 9), "
                         "2 (código 8). Se muestran como ¡ERROR! y los totales que los incluyen "
                         "no se pueden sumar. Ábralos con «Editar» y ponga los importes "
                         "correctos."});
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Warning);
    // Said once, not at every reload.
    f.click("cmdFiltrar");
    QCOMPARE(f.messages.shown().size(), 1);
}

void TestFrmPrincipal::largestAmountsShowWhole() {
    Fixture f;
    f.ledger.addEntry(10, "01/07/2024", "Grande", "Caja", "Banco", -999999999999.99, "T");
    f.click("cmdFiltrar");
    QTableView* grid = f.grid();
    const QModelIndex largest = grid->model()->index(0, EntryTableModel::AmountColumn);
    QCOMPARE(largest.data().toString(), QStringLiteral("-999.999.999.999,99"));
    QVERIFY(grid->visualRect(largest).width() >= grid->sizeHintForIndex(largest).width());
}

// The window had a fixed minimum width of 866 px, so on an 800x600 screen
// "Importe", "Salir" and the end of the totals were off-screen; on a large
// screen the list stopped short of the window's edge; and an amount of 100
// million or more pushed "Importe" under the scroll bar.
void TestFrmPrincipal::windowUsesItsSpace_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize();
    QTest::newRow("800x600 screen") << QSize(800, 570);
    QTest::newRow("1280x800 screen") << QSize(1280, 770);
}

void TestFrmPrincipal::windowUsesItsSpace() {
    QFETCH(QSize, size);
    Fixture f(40);
    f.ledger.addEntry(10, "01/07/2024", "Grande", "Luz", "Banco", 123456789.01, "G");
    f.ledger.addEntry(11, "02/07/2024", "Mayor", "Caja", "Banco", -999999999.99, "T");
    f.click("cmdFiltrar");
    // What is left of an 800x600 screen under the title bar.
    const QSize smallest = f.window->minimumSizeHint().expandedTo(f.window->minimumSize());
    QVERIFY2(smallest.width() <= 800 && smallest.height() <= 570,
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    resizeAndSettle(*f.window, size.isValid() ? size : smallest);

    QCOMPARE(buttonsOutOfReach(*f.window), QStringList());
    QCOMPARE(cutLabels(*f.window), QStringList());
    QTableView* grid = f.grid();
    const QRect gridArea(grid->mapTo(f.window.get(), QPoint(0, 0)), grid->size());
    QVERIFY(f.window->width() - gridArea.right() <= twips(150));
    // The columns fill the list to its right edge, the amounts left of the scroll bar.
    QVERIFY(grid->verticalScrollBar()->isVisible());
    QCOMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
    const int amountEnd = grid->columnViewportPosition(EntryTableModel::AmountColumn) +
                          grid->columnWidth(EntryTableModel::AmountColumn);
    QVERIFY(amountEnd <= grid->viewport()->width());
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        const QModelIndex amount = grid->model()->index(row, EntryTableModel::AmountColumn);
        QVERIFY2(grid->visualRect(amount).width() >= grid->sizeHintForIndex(amount).width(),
                 qPrintable(amount.data().toString()));
    }
}

QTEST_MAIN(TestFrmPrincipal)
#include "tst_frmprincipal.moc"
