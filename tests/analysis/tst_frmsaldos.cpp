// The balances window through its widgets: an opening balance typed in the grid
// moves the balance and the total, a bad one is refused with nothing stored,
// negative figures in the negative colour, the date moves every figure, an
// account chosen is handed on, and the largest amounts are never cut.

#include "analysis/frmSaldos.h"
#include "store/Amount.h"
#include "store/OpeningBalances.h"
#include "support/WindowFixture.h"
#include "support/WindowSpace.h"
#include "ui/Palette.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct BalancesWindow : WindowFixture<frmSaldos> {
    BalancesWindow() {
        ledger.addAccount("Banco", "C");
        ledger.addAccount("Caja", "C");
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Luz", "G");
        ledger.addEntry(1, "02/01/2024", "Nómina", "Banco", "Nómina", 2100.5, "I");
        ledger.addEntry(2, "15/03/2024", "Cajero", "Caja", "Banco", 100, "T");
        ledger.addEntry(3, "20/06/2024", "Recibo", "Luz", "Caja", 150, "G");
    }
    QTableView* cash() const { return find<QTableView>("mshCaja"); }
    // Name and the four figures of each cash account, then the cash total.
    QStringList cashFigures() const {
        QStringList rows;
        const QAbstractItemModel* model = cash()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column) {
                cells.append(model->index(row, column).data().toString());
            }
            rows.append(cells.join(u'|'));
        }
        return rows << find<QLabel>("lblTotalCaja")->text();
    }
    // Types into the opening balance of a row as a user does: the key opens the editor.
    void typeOpening(int row, const QString& text) {
        cash()->setFocus();
        cash()->setCurrentIndex(cash()->model()->index(row, 1));
        QTest::keyClick(cash(), Qt::Key_F2);
        auto* editor = cash()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor hands its text over on the next turn of the event loop, and
        // the window stores it on the one after, once the editor is gone.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

} // namespace

class TestFrmSaldos : public QObject {
    Q_OBJECT
private slots:
    void openingTyped_data();
    void openingTyped();
    void dateMovesTheFigures();
    void accountChosen();
    void largestAmountsFit();
};

void TestFrmSaldos::openingTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("figures");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("messages");
    const QString caja = u"Caja|0,00|100,00|150,00|-50,00"_s;
    QTest::newRow("a Spanish amount") << u"1.234,5"_s
                                      << QStringList{u"Banco|1.234,50|2.100,50|100,00|3.235,00"_s,
                                                     caja, u"Total en caja: 3.185,00"_s}
                                      << QStringList{u"Banco|123450"_s} << QStringList{};
    QTest::newRow("negative") << u"-20"_s
                              << QStringList{u"Banco|-20,00|2.100,50|100,00|1.980,50"_s, caja,
                                             u"Total en caja: 1.930,50"_s}
                              << QStringList{u"Banco|-2000"_s} << QStringList{};
    const QStringList unchanged{u"Banco|0,00|2.100,50|100,00|2.000,50"_s, caja,
                                u"Total en caja: 1.950,50"_s};
    QTest::newRow("not a number") << u"abc"_s << unchanged << QStringList{}
                                  << QStringList{u"Ponga un nº correcto"_s};
    QTest::newRow("past the largest") << u"1.000.000.000.000"_s << unchanged << QStringList{}
                                      << QStringList{u"Ponga un nº correcto"_s};
}

void TestFrmSaldos::openingTyped() {
    QFETCH(QString, typed);
    BalancesWindow f;
    f.open([](frmSaldos& w) { w.setDate(QDate(2024, 12, 31)); });
    f.typeOpening(0, typed);
    QTEST(f.cashFigures(), "figures");
    QStringList stored;
    for (const OpeningBalance& opening : openingBalances(f.ledger.db())) {
        stored.append(opening.account + u'|' + QString::number(opening.cents));
    }
    QTEST(stored, "stored");
    QTEST(f.messages.texts(), "messages");
}

// Caja's balance is -50,00 only from June on; its figure and the total turn red.
void TestFrmSaldos::dateMovesTheFigures() {
    BalancesWindow f;
    f.open([](frmSaldos& w) { w.setDate(QDate(2024, 3, 31)); });
    QCOMPARE(f.cashFigures(),
             (QStringList{u"Banco|0,00|2.100,50|100,00|2.000,50"_s,
                          u"Caja|0,00|100,00|0,00|100,00"_s, u"Total en caja: 2.100,50"_s}));
    QCOMPARE(f.find<QLabel>("lblGastos")->text(), u"Gastos: 0,00"_s);
    auto* date = f.find<QLineEdit>("mskFecha");
    date->selectAll();
    QTest::keyClicks(date, u"30062024"_s);
    QCOMPARE(f.cash()->model()->index(1, 4).data().toString(), u"-50,00"_s);
    // Red, as dark as the banding under it needs; the positive figure is not.
    const auto red = [&](int row) {
        const QColor c = f.cash()->model()->index(row, 4).data(Qt::ForegroundRole).value<QColor>();
        return c.red() > 2 * c.green() && c.red() > 2 * c.blue();
    };
    QVERIFY(red(1));
    QVERIFY(!red(0));
    QCOMPARE(f.find<QLabel>("lblGastos")->text(), u"Gastos: 150,00"_s);
    QCOMPARE(f.find<QLabel>("lblIngresos")->text(), u"Ingresos: 2.100,50"_s);
}

// Double-click on the name, or Enter on a row, in either grid; a double-click on
// the opening balance types it instead.
void TestFrmSaldos::accountChosen() {
    BalancesWindow f;
    f.open();
    QSignalSpy chosen(f.window.get(), &frmSaldos::accountChosen);
    const auto doubleClick = [](QTableView* grid, int row, int column) {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        // A view takes a double click only after the press of its first click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    };
    doubleClick(f.cash(), 1, 0);
    auto* results = f.find<QTableView>("mshResultados");
    results->setFocus();
    results->setCurrentIndex(results->model()->index(1, 2));
    QTest::keyClick(results, Qt::Key_Return);
    doubleClick(f.cash(), 0, 1);
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(chosen[0][0].toString(), u"Caja"_s);
    QCOMPARE(chosen[1][0].toString(), u"Luz"_s);
}

// The largest amounts on the smallest screen: every figure whole, every button in reach.
void TestFrmSaldos::largestAmountsFit() {
    BalancesWindow f;
    setOpeningBalance(f.ledger.db(), u"Banco"_s, -kMaxAmountCents);
    f.ledger.addEntry(4, "01/02/2024", "Herencia", "Caja", "Nómina", 999999999999.99, "I");
    f.open();
    resizeAndSettle(*f.window, QSize(800, 600));
    QVERIFY(f.window->width() <= 800 && f.window->height() <= 600);
    QCOMPARE(buttonsOutOfReach(*f.window), QStringList());
    QCOMPARE(cutLabels(*f.window), QStringList());
    for (const char* name : {"mshCaja", "mshResultados"}) {
        auto* grid = f.find<QTableView>(name);
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            for (int column = 0; column < grid->model()->columnCount(); ++column) {
                const QModelIndex index = grid->model()->index(row, column);
                QVERIFY2(grid->columnWidth(column) > grid->sizeHintForIndex(index).width() - 1,
                         qPrintable(index.data().toString()));
            }
        }
    }
}

QTEST_MAIN(TestFrmSaldos)
#include "tst_frmsaldos.moc"
