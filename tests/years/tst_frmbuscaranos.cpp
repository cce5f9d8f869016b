// The search across years through its widgets, opened from the main window, and
// the main window on the year of the line chosen.

#include "app/frmPrincipal.h"
#include "entries/EntryTableModel.h"
#include "state/Settings.h"
#include "state/SingleInstance.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"
#include "years/YearFolders.h"
#include "years/frmBuscarAnos.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

// The main window on 2024; 2022 holds the entry searched for.
struct TwoYears : WindowFixture<frmPrincipal> {
    TwoYears() {
        {
            auto y2022 = createYear(ledger.dataRoot(), u"2022"_s);
            Statement insert(*y2022,
                             "INSERT INTO apuntes (Id, Data, Des, EntraEn, SaleDe, Importe, GoI)"
                             " VALUES (?1, ?2, ?3, 'Ocio', 'Caja', ?4, 'G')",
                             "test");
            for (int id = 1; id <= 3; ++id) {
                insert.reset();
                insert.bind(1, id)
                    .bind(2, QStringLiteral("2022-0%1-10").arg(id))
                    .bind(3, id == 2 ? u"Cumpleaños de Íñigo"_s : u"Cine"_s)
                    .bind(4, 10.0 * id);
                insert.run();
            }
        }
        ledger.addEntry(1, u"05/03/2024"_s, u"Cumpleaños"_s, u"Regalos"_s, u"Caja"_s, 25, u"G"_s);
        open();
    }
    // Runs the search window from the menu with `script`.
    void search(const std::function<void(frmBuscarAnos&)>& script) {
        services.dialogs.expect(
            [&](QDialog& dialog) { script(static_cast<frmBuscarAnos&>(dialog)); });
        find<QAction>(u"mnuOpBuscarAnos"_s)->trigger();
    }
};

void typeAndSearch(frmBuscarAnos& window, const QString& description) {
    auto* field = window.findChild<QLineEdit*>(u"txtConcepto"_s);
    field->setFocus();
    QTest::keyClicks(field, description);
    QTest::mouseClick(window.findChild<QPushButton*>(u"cmdBuscar"_s), Qt::LeftButton);
}

QString text(QWidget& window, const char* label) {
    return window.findChild<QLabel*>(QString::fromLatin1(label))->text();
}

} // namespace

class TestFrmBuscarAnos : public QObject {
    Q_OBJECT
private slots:
    void searchesAndSwitches();
    void lockedYearRefused();
};

// The search lists both years with their totals; Enter on the 2022 line puts the
// program on 2022 and selects that entry in the main list.
void TestFrmBuscarAnos::searchesAndSwitches() {
    TwoYears f;
    f.search([&](frmBuscarAnos& window) {
        QCOMPARE(window.findChild<QLineEdit*>(u"mskDesde"_s)->text(), u"01/01/2022"_s);
        QCOMPARE(window.findChild<QLineEdit*>(u"mskHasta"_s)->text(), u"31/12/2024"_s);
        typeAndSearch(window, u"CUMPLEAÑOS"_s);
        auto* grid = window.findChild<QTableView*>(u"mshDatos"_s);
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), u"2022"_s);
        QCOMPARE(grid->model()->index(0, 2).data().toString(), u"Cumpleaños de Íñigo"_s);
        QCOMPARE(grid->model()->index(1, 0).data().toString(), u"2024"_s);
        QCOMPARE(text(window, "lblBalance"),
                 u" INGRESOS: 0,00 | GASTOS: 45,00 | BALANCE: -45,00"_s);
        QCOMPARE(text(window, "lblSaltados"), QString());
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(f.messages.texts(), QStringList());
    QCOMPARE(f.ledger.session().year(), u"2022"_s);
    QCOMPARE(SettingsFiles(f.ledger.programFolder()).readYear(), u"2022"_s);
    QCOMPARE(f.window->windowTitle(), u"Velmora ## Año 2022"_s);
    QCOMPARE(f.grid()->model()->rowCount(), 3);
    const QModelIndex current = f.grid()->currentIndex();
    QCOMPARE(f.cell(current.row(), EntryTableModel::IdColumn), u"2"_s);
    // The program holds 2022 now, and has let go of 2024.
    QVERIFY(!SingleInstance(databasePathFor(f.ledger.dataRoot(), u"2022"_s)).acquire());
    QVERIFY(SingleInstance(databasePathFor(f.ledger.dataRoot(), u"2024"_s)).acquire());
}

// A year another copy holds is refused with the year window's message; the
// program stays on its year and the search window stays open.
void TestFrmBuscarAnos::lockedYearRefused() {
    TwoYears f;
    SingleInstance otherCopy(databasePathFor(f.ledger.dataRoot(), u"2022"_s));
    QVERIFY(otherCopy.acquire());
    f.search([&](frmBuscarAnos& window) {
        typeAndSearch(window, u"cine"_s);
        auto* grid = window.findChild<QTableView*>(u"mshDatos"_s);
        QCOMPARE(grid->model()->rowCount(), 2);
        window.elegir(0);
        QVERIFY(window.isVisible());
        QVERIFY(!window.chosen());
    });
    QCOMPARE(f.messages.texts(), QStringList{u"Otra copia del programa está trabajando en el año "
                                             "2022. Ciérrela antes de pasar a ese año."_s});
    QCOMPARE(f.ledger.session().year(), u"2024"_s);
    QCOMPARE(f.window->windowTitle(), u"Velmora ## Año 2024"_s);
}

QTEST_MAIN(TestFrmBuscarAnos)
#include "tst_frmbuscaranos.moc"
