// The main window driven through its real widgets, with questions answered by
// the message recorder.

#include "entries/EntryTableModel.h"
#include "entries/frmPrincipal.h"
#include "startup/AppState.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "ui/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace velmora;
using velmora::test::TestLedger;
using velmora::test::TestServices;

namespace {

// Notes how many rows the grid had when each message was shown, to tell whether
// the list was reloaded before a notice.
class RowCountingMessages : public RecordingMessageService {
public:
    const EntryTableModel* model = nullptr;
    QList<int> rowsAtMessage;
    MessageAnswer show(QWidget* parent, const Message& message) override {
        rowsAtMessage.append(model != nullptr ? model->rowCount() : -1);
        return RecordingMessageService::show(parent, message);
    }
};

struct Fixture {
    TestLedger ledger;
    RowCountingMessages messages;
    TestServices services{messages};
    std::unique_ptr<frmPrincipal> window;

    explicit Fixture(int extraEntries = 0) {
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
        window = std::make_unique<frmPrincipal>(ledger.state(), services.services);
        messages.model = &window->model();
        QVERIFY(test::showForInput(*window));
    }

    template <typename T> T* find(const char* name) {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no control %s", name);
        }
        return child;
    }
    QTableView* grid() { return find<QTableView>("mshDatos"); }
    QString info() { return find<QLabel>("lblInfo")->text(); }
    QString balance() { return find<QLabel>("lblBalance")->text(); }
    QString cell(int row, int column) {
        return grid()->model()->index(row, column).data().toString();
    }
    void click(const char* button) { QTest::mouseClick(find<QToolButton>(button), Qt::LeftButton); }
    void clickHeader(int column) {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint centre(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    void typeDate(const char* field, const QString& text) {
        auto* edit = find<QLineEdit>(field);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QString(text).remove(QLatin1Char('/')));
    }
};

QColor baseOf(QWidget* widget) {
    return widget->palette().color(QPalette::Base);
}

} // namespace

class TestFrmPrincipal : public QObject {
    Q_OBJECT
private slots:
    void showsTheYearOnLoad();
    void headerFilterBoxes();
    void headerOfOtherColumnsOpensNoBox();
    void clearingFilters();
    void emptyListShowsNothing();
    void deleteAsksWithTheLineNumber();
    void deleteAnsweredNoKeepsTheEntry();
    void exitQuestion_data();
    void exitQuestion();
    void invalidDateKeepsTheFocus_data();
    void invalidDateKeepsTheFocus();
    void enterMovesThroughTheDates();
    void resizeKeepsTheTypedRange();
    void awkwardFilterTextsNeverBreakTheList_data();
    void awkwardFilterTextsNeverBreakTheList();
    void databaseFailuresAreReported();
    void editThatShortensTheList();
    void laterWindowsAreDisabled();
    void tabOrder();
    void newEntryReloadsTheList();
    void editReselectsTheLine_data();
    void editReselectsTheLine();
};

void TestFrmPrincipal::showsTheYearOnLoad() {
    Fixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Velmora ## Año 2024"));
    QCOMPARE(f.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/01/2024"));
    QCOMPARE(f.find<QLineEdit>("mskHasta")->text(), QStringLiteral("31/12/2024"));
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QCOMPARE(
        f.balance(),
        QStringLiteral(" INGRESOS: 1.200,00 | GASTOS: 510,50 | BALANCE: 689,50 | MES: 100,00"));
    // Newest first, numbered by position.
    QCOMPARE(f.cell(0, EntryTableModel::DescriptionColumn), QStringLiteral("Luz de abril"));
    QCOMPARE(f.cell(0, EntryTableModel::LineColumn), QStringLiteral("1"));
    QCOMPARE(f.cell(3, EntryTableModel::DateColumn), QStringLiteral("05/01/2024"));
    QCOMPARE(f.cell(3, EntryTableModel::AmountColumn), QStringLiteral("1.200,00"));
    QVERIFY(f.grid()->isColumnHidden(EntryTableModel::IdColumn));
    QVERIFY(f.grid()->isColumnHidden(EntryTableModel::ClassColumn));
    QCOMPARE(f.grid()->currentIndex().row(), 0);
    // The information lines wear the section colour.
    QCOMPARE(f.find<QLabel>("lblInfo")->palette().color(QPalette::Window),
             f.ledger.state().palette.section());
}

void TestFrmPrincipal::headerFilterBoxes() {
    Fixture f;
    auto* box = f.find<QLineEdit>("txtFiltroDes");
    QVERIFY(!box->isVisible());
    f.clickHeader(EntryTableModel::DescriptionColumn);
    QVERIFY(box->isVisible());
    QVERIFY(box->hasFocus());
    QCOMPARE(baseOf(box), f.ledger.state().palette.main());
    QHeaderView* header = f.grid()->horizontalHeader();
    QCOMPARE(box->width(), header->sectionSize(EntryTableModel::DescriptionColumn));
    QCOMPARE(box->y(), f.grid()->y());

    QTest::keyClicks(box, "LUZ");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));
    QVERIFY(box->isVisible());
    QVERIFY(box->hasFocus());

    // Leaving hides the box; its text keeps filtering later reloads.
    f.find<QLineEdit>("mskDesde")->setFocus(Qt::MouseFocusReason);
    QVERIFY(!box->isVisible());
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));

    f.clickHeader(EntryTableModel::GoesIntoColumn);
    auto* goesInto = f.find<QLineEdit>("txtFiltroEntra");
    QVERIFY(goesInto->hasFocus());
    QTest::keyClicks(goesInto, "caja");
    QTest::keyClick(goesInto, Qt::Key_Enter);
    QCOMPARE(f.info(), QStringLiteral(" 0 registros"));
}

void TestFrmPrincipal::headerOfOtherColumnsOpensNoBox() {
    Fixture f;
    f.clickHeader(EntryTableModel::DateColumn);
    f.clickHeader(EntryTableModel::AmountColumn);
    for (const char* name : {"txtFiltroDes", "txtFiltroEntra", "txtFiltroSale"}) {
        QVERIFY(!f.find<QLineEdit>(name)->isVisible());
    }
}

void TestFrmPrincipal::clearingFilters() {
    Fixture f;
    f.find<QLineEdit>("txtFiltroDes")->setText("luz");
    f.find<QLineEdit>("txtFiltroSale")->setText("banco");
    f.typeDate("mskDesde", "01/02/2024");
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 2 registros"));

    f.click("cmdFiltroQuitar");
    QVERIFY(f.find<QLineEdit>("txtFiltroDes")->text().isEmpty());
    QVERIFY(f.find<QLineEdit>("txtFiltroSale")->text().isEmpty());
    // The range stays: the January entry is still out.
    QCOMPARE(f.find<QLineEdit>("mskDesde")->text(), QStringLiteral("01/02/2024"));
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
}

void TestFrmPrincipal::emptyListShowsNothing() {
    Fixture f;
    f.find<QLineEdit>("txtFiltroDes")->setText("no existe");
    f.click("cmdFiltrar");
    QCOMPARE(f.grid()->model()->rowCount(), 0);
    QCOMPARE(f.grid()->model()->columnCount(), 0);
    QVERIFY(!f.grid()->horizontalHeader()->isVisible());
    QCOMPARE(f.info(), QStringLiteral(" 0 registros"));
    QCOMPARE(f.balance(),
             QStringLiteral(" INGRESOS: 0,00 | GASTOS: 0,00 | BALANCE: 0,00 | MES: 0,00"));
    // Nothing to delete: no question at all.
    f.click("cmdBorrar");
    QVERIFY(f.messages.shown().isEmpty());

    f.click("cmdFiltroQuitar");
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QVERIFY(f.grid()->horizontalHeader()->isVisible());
}

void TestFrmPrincipal::deleteAsksWithTheLineNumber() {
    Fixture f;
    // Line 3 holds entry 2: the question names the line, the delete the entry.
    f.grid()->setCurrentIndex(f.grid()->model()->index(2, EntryTableModel::DateColumn));
    f.messages.answerNext(MessageAnswer::Yes);
    f.click("cmdBorrar");

    QCOMPARE(f.messages.texts(), (QStringList{QStringLiteral("¿Borrar el apunte nº 3?"),
                                              QStringLiteral("PROCESO FINALIZADO")}));
    QCOMPARE(f.messages.shown().at(0).buttons, MessageButtons::YesNo);
    QCOMPARE(f.messages.shown().at(0).icon, MessageIcon::Information);
    // The list was reloaded before the notice.
    QCOMPARE(f.messages.rowsAtMessage, (QList<int>{4, 3}));
    QCOMPARE(f.ledger.countEntries(), 3);
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
    for (int r = 0; r < 3; ++r) {
        QVERIFY(f.cell(r, EntryTableModel::IdColumn) != QStringLiteral("2"));
    }
}

void TestFrmPrincipal::deleteAnsweredNoKeepsTheEntry() {
    Fixture f;
    f.messages.answerNext(MessageAnswer::No);
    f.click("cmdBorrar");
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("¿Borrar el apunte nº 1?")});
    QCOMPARE(f.ledger.countEntries(), 4);
}

void TestFrmPrincipal::exitQuestion_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("yes");
    QTest::newRow("close, no") << "close" << false;
    QTest::newRow("Salir button, yes") << "button" << true;
    QTest::newRow("menu, yes") << "menu" << true;
}

void TestFrmPrincipal::exitQuestion() {
    QFETCH(QString, how);
    QFETCH(bool, yes);
    Fixture f;
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    if (how == QLatin1String("close")) {
        f.window->close();
    } else if (how == QLatin1String("button")) {
        f.click("cmdSalir");
    } else {
        f.find<QAction>("mnuOpSalir")->trigger();
    }
    QCOMPARE(f.messages.shown().size(), 1);
    const Message& question = f.messages.shown().first();
    QCOMPARE(question.text, QStringLiteral("¿Confirma que desea Salir?"));
    QCOMPARE(question.title, QStringLiteral("Atención!!"));
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(f.window->isVisible(), !yes);
    QCOMPARE(f.ledger.state().connection == nullptr, yes);
}

void TestFrmPrincipal::invalidDateKeepsTheFocus_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("31 February") << "mskDesde"
                                 << "31022024";
    QTest::newRow("unfilled blank") << "mskHasta"
                                    << "1503202";
}

void TestFrmPrincipal::invalidDateKeepsTheFocus() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    Fixture f;
    auto* edit = f.window->findChild<QLineEdit*>(field);
    edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(baseOf(edit), f.ledger.state().palette.main());
    QCOMPARE(edit->selectedText(), edit->text());
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QTRY_COMPARE(f.messages.texts(), QStringList{QStringLiteral("Ponga una fecha correcta")});
    QVERIFY(edit->hasFocus());
    QCOMPARE(baseOf(edit), f.ledger.state().palette.main());
    // Pressing "&Filtro" with the bad date still there reloads nothing.
    f.click("cmdFiltrar");
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QTRY_VERIFY(edit->hasFocus());
}

void TestFrmPrincipal::enterMovesThroughTheDates() {
    Fixture f;
    auto* from = f.find<QLineEdit>("mskDesde");
    auto* to = f.find<QLineEdit>("mskHasta");
    f.typeDate("mskDesde", "15/02/2024");
    QTest::keyClick(from, Qt::Key_Return);
    QVERIFY(to->hasFocus());
    QCOMPARE(baseOf(from), QColor(Qt::white));
    QCOMPARE(to->selectedText(), to->text());
    QTest::keyClicks(to, "31032024");
    QTest::keyClick(to, Qt::Key_Return);
    auto* filter = f.find<QToolButton>("cmdFiltrar");
    QVERIFY(filter->hasFocus());
    // Enter on the focused button filters.
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(f.info(), QStringLiteral(" 1 registros"));
    QVERIFY(f.messages.shown().isEmpty());
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
    // The totals line follows the grid's width and bottom.
    auto* totals = f.find<QLabel>("lblBalance");
    QCOMPARE(totals->width(), f.grid()->width());
    QCOMPARE(totals->y(), f.grid()->geometry().bottom() + 1);

    // The reload after a new entry keeps the range: January stays out.
    f.services.dialogs.expect([](QDialog& editor) {
        auto* goesInto = editor.findChild<QComboBox*>("cmbEntraEn");
        auto* comesOutOf = editor.findChild<QComboBox*>("cmbSaleDe");
        goesInto->setCurrentIndex(goesInto->findText("Luz"));
        comesOutOf->setCurrentIndex(comesOutOf->findText("Banco"));
        editor.findChild<QPlainTextEdit*>("txtDes")->setPlainText("Luz de mayo");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    f.click("cmdNovo");
    QCOMPARE(f.info(), QStringLiteral(" 3 registros"));
}

void TestFrmPrincipal::awkwardFilterTextsNeverBreakTheList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("count");
    QTest::newRow("quote and semicolon") << "'; DROP TABLE apuntes; --"
                                         << " 0 registros";
    QTest::newRow("250 characters") << QString(250, QLatin1Char('z')) << " 0 registros";
}

void TestFrmPrincipal::awkwardFilterTextsNeverBreakTheList() {
    QFETCH(QString, text);
    QFETCH(QString, count);
    Fixture f;
    f.clickHeader(EntryTableModel::ComesOutOfColumn);
    auto* box = f.find<QLineEdit>("txtFiltroSale");
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(f.info(), count);
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.ledger.countEntries(), 4);
}

void TestFrmPrincipal::databaseFailuresAreReported() {
    Fixture f;
    // Another program takes the table away under us.
    {
        Database other(f.ledger.databasePath());
        other.exec("ALTER TABLE apuntes RENAME TO apuntes_old", "test");
    }
    f.click("cmdFiltrar");
    QCOMPARE(f.messages.shown().size(), 1);
    QVERIFY(f.messages.shown().first().text.startsWith(
        QStringLiteral("No se puede leer la lista de apuntes: ")));
    QCOMPARE(f.messages.shown().first().icon, MessageIcon::Critical);
    // The window keeps what it showed and stays usable.
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));
    QCOMPARE(f.grid()->model()->rowCount(), 4);

    f.messages.clear();
    f.messages.answerNext(MessageAnswer::Yes);
    f.click("cmdBorrar");
    QCOMPARE(f.messages.shown().size(), 2);
    QVERIFY(
        f.messages.shown().at(1).text.startsWith(QStringLiteral("No se puede borrar el apunte: ")));
    QVERIFY(!f.messages.texts().contains(QStringLiteral("PROCESO FINALIZADO")));
    QVERIFY(f.window->isVisible());
}

// The edited entry leaves the filter: the shorter list selects its last line.
void TestFrmPrincipal::editThatShortensTheList() {
    Fixture f;
    f.find<QLineEdit>("txtFiltroDes")->setText("luz");
    f.click("cmdFiltrar");
    f.grid()->setCurrentIndex(f.grid()->model()->index(1, EntryTableModel::DateColumn));
    f.services.dialogs.expect([](QDialog& editor) {
        editor.findChild<QPlainTextEdit*>("txtDes")->setPlainText("Electricidad");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    f.click("cmdEditar");
    QCOMPARE(f.info(), QStringLiteral(" 1 registros"));
    QCOMPARE(f.grid()->currentIndex().row(), 0);
    QVERIFY(f.messages.shown().isEmpty());
}

void TestFrmPrincipal::laterWindowsAreDisabled() {
    Fixture f;
    for (const char* name : {"cmdInforme"}) {
        QVERIFY2(!f.find<QToolButton>(name)->isEnabled(), name);
    }
    for (const char* name : {"cmdFiltrar", "cmdFiltroQuitar", "cmdNovo", "cmdEditar", "cmdBorrar",
                             "cmdBalance", "cmdSalir"}) {
        QVERIFY2(f.find<QToolButton>(name)->isEnabled(), name);
    }
    QCOMPARE(f.find<QToolButton>("cmdEstadisticas")->text(), QStringLiteral("Es&tadist."));

    // "&1. Cuentas" opens the account list; the entry list is not reloaded after it.
    f.services.dialogs.expect([](QDialog& accounts) {
        QCOMPARE(accounts.findChild<QLabel*>("lblInfo")->text(), QStringLiteral("4 registros"));
    });
    f.ledger.addEntry(50, "01/07/2024", "Añadido por fuera", "Caja", "Banco", 1, "T");
    f.find<QAction>("mnuCuentas")->trigger();
    QCOMPARE(f.services.dialogs.titles, QStringList{QStringLiteral("CUENTAS")});
    QCOMPARE(f.info(), QStringLiteral(" 4 registros"));

    // "Ba&lance" opens the balance with the hourglass over the list meanwhile.
    Qt::CursorShape cursorWhileOpen = Qt::ArrowCursor;
    f.services.dialogs.expect([&](QDialog&) { cursorWhileOpen = f.window->cursor().shape(); });
    f.click("cmdBalance");
    QCOMPARE(f.services.dialogs.titles.last(), QStringLiteral("Balance"));
    QCOMPARE(cursorWhileOpen, Qt::WaitCursor);
    f.services.dialogs.expect([](QDialog&) {});
    f.click("cmdEstadisticas");
    QCOMPARE(f.services.dialogs.titles.last(), QStringLiteral("Estadísticas"));
    QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
}

void TestFrmPrincipal::tabOrder() {
    Fixture f;
    f.find<QLineEdit>("mskDesde")->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Disabled commands and hidden filter boxes are skipped.
    QCOMPARE(visited, (QStringList{"mskDesde", "mskHasta", "cmdFiltrar", "cmdBorrar", "cmdSalir",
                                   "mshDatos", "cmdNovo", "cmdEditar", "cmdFiltroQuitar"}));
}

void TestFrmPrincipal::newEntryReloadsTheList() {
    Fixture f;
    Qt::CursorShape cursorWhileOpen = Qt::ArrowCursor;
    f.services.dialogs.expect([&](QDialog& editor) {
        cursorWhileOpen = f.window->cursor().shape();
        QCOMPARE(editor.findChild<QLineEdit*>("txtId")->text(), QStringLiteral("5"));
        auto* goesInto = editor.findChild<QComboBox*>("cmbEntraEn");
        auto* comesOutOf = editor.findChild<QComboBox*>("cmbSaleDe");
        goesInto->setCurrentIndex(goesInto->findText("Luz"));
        comesOutOf->setCurrentIndex(comesOutOf->findText("Banco"));
        editor.findChild<QLineEdit*>("txtImporte")->setText("75,25");
        editor.findChild<QPlainTextEdit*>("txtDes")->setPlainText("Luz de mayo");
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    f.click("cmdNovo");
    QCOMPARE(f.services.dialogs.titles, QStringList{QStringLiteral("Nuevo apunte")});
    QCOMPARE(cursorWhileOpen, Qt::WaitCursor);
    QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.info(), QStringLiteral(" 5 registros"));
    // Today is 17/05/2024: the new entry is the newest.
    QCOMPARE(f.cell(0, EntryTableModel::DescriptionColumn), QStringLiteral("Luz de mayo"));
    QCOMPARE(f.cell(0, EntryTableModel::DateColumn), QStringLiteral("17/05/2024"));
    QVERIFY(f.messages.shown().isEmpty());
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
    QCOMPARE(f.ledger.state().returnRow, 5);
    QCOMPARE(f.grid()->currentIndex().row(), 4);
    QCOMPARE(f.grid()->rowAt(0), 4);
    QVERIFY(f.cell(4, EntryTableModel::IdColumn) != id);
}

QTEST_MAIN(TestFrmPrincipal)
#include "tst_frmprincipal.moc"
