// The budget window through its widgets: a month chosen shows its figures, a
// budget set through the account's window (keys typed, button clicked) is stored
// and read back at once, a bad amount is refused with its message and nothing
// stored, a budget removed after the question, differences that are bad news in
// the negative colour on any palette, and nothing cut on a small screen.

#include "Household.h"
#include "budget/BudgetTableModel.h"
#include "budget/frmPresupuesto.h"
#include "store/Amount.h"
#include "store/Sqlite.h"
#include "support/WindowFixture.h"
#include "support/WindowSpace.h"
#include "ui/Contrast.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct BudgetWindow : WindowFixture<frmPresupuesto> {
    BudgetWindow() { fillHousehold(ledger); }

    // Every row as "name|budget|actual|difference".
    QStringList shown() const {
        QStringList rows;
        const QAbstractItemModel* model = grid()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column) {
                cells.append(model->index(row, column).data().toString());
            }
            rows.append(cells.join(u'|'));
        }
        return rows;
    }
    QString row(const QString& name) const { return shown().value(rowOf(name)); }
    int rowOf(const QString& name) const {
        const QStringList lines = shown();
        for (int r = 0; r < lines.size(); ++r) {
            if (lines[r].section(u'|', 0, 0) == name) {
                return r;
            }
        }
        return -1;
    }
    void choose(int month) const {
        auto* months = find<QComboBox>("cmbMes");
        months->setFocus();
        months->setCurrentIndex(month);
    }
    void select(const QString& name) const {
        grid()->setCurrentIndex(grid()->model()->index(rowOf(name), 0));
    }
};

// Types into a field as a user does, over whatever it held.
void typeInto(QDialog& card, const char* field, const QString& text) {
    auto* edit = card.findChild<QLineEdit*>(QString::fromLatin1(field));
    QVERIFY(edit != nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void click(QDialog& card, const char* button) {
    auto* pressed = card.findChild<QAbstractButton*>(QString::fromLatin1(button));
    QVERIFY(pressed != nullptr);
    // Near the left edge, where a radio button's circle is: a wide one takes no
    // click past the end of its text.
    QTest::mouseClick(pressed, Qt::LeftButton, {}, QPoint(6, pressed->height() / 2));
}

// What is done in the account's window: "every:TEXT" types one amount for every
// month, "month:N:TEXT" picks one per month and types TEXT into month N, "gone"
// has another copy of the program delete the account meanwhile.
using CardScript = QStringList;

} // namespace

class TestFrmPresupuesto : public QObject {
    Q_OBJECT
private slots:
    void monthChosen_data();
    void monthChosen();
    void budgetSet_data();
    void budgetSet();
    void budgetRemoved_data();
    void budgetRemoved();
    void noAccountChosen();
    void unreadableAmountNamed();
    void badNewsInTheNegativeColour_data();
    void badNewsInTheNegativeColour();
    void nothingCut_data();
    void nothingCut();
};

void TestFrmPresupuesto::monthChosen_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("February") << 2
                              << QStringList{u"Ingresos|||"_s,
                                             u"Intereses||0,00|0,00"_s,
                                             u"Nómina|2.000,00|2.100,00|100,00"_s,
                                             u"Regalos||0,00|0,00"_s,
                                             u"Total ingresos|2.000,00|2.100,00|100,00"_s,
                                             u"Gastos|||"_s,
                                             u"Comida|400,00|450,00|-50,00"_s,
                                             u"Luz|70,00|0,00|70,00"_s,
                                             u"Ocio||0,00|0,00"_s,
                                             u"Total gastos|470,00|450,00|20,00"_s,
                                             u"Resultado|1.530,00|1.650,00|120,00"_s};
    QTest::newRow("the whole year")
        << 0
        << QStringList{u"Ingresos|||"_s,
                       u"Intereses||12,34|12,34"_s,
                       u"Nómina|24.000,00|6.100,00|-17.900,00"_s,
                       u"Regalos||0,00|0,00"_s,
                       u"Total ingresos|24.000,00|6.112,34|-17.887,66"_s,
                       u"Gastos|||"_s,
                       u"Comida|4.800,00|750,00|4.050,00"_s,
                       u"Luz|790,00|135,75|654,25"_s,
                       u"Ocio||40,00|-40,00"_s,
                       u"Total gastos|5.590,00|925,75|4.664,25"_s,
                       u"Resultado|18.410,00|5.186,59|-13.223,41"_s};
}

void TestFrmPresupuesto::monthChosen() {
    QFETCH(int, month);
    BudgetWindow f;
    f.open();
    // It opens on the month under way: May, with no entry at all.
    QCOMPARE(f.find<QComboBox>("cmbMes")->currentText(), u"Mayo"_s);
    QCOMPARE(f.row(u"Total gastos"_s), u"Total gastos|460,00|0,00|460,00"_s);
    f.choose(month);
    QTEST(f.shown(), "rows");
    QCOMPARE(f.grid()
                 ->model()
                 ->headerData(BudgetTableModel::DifferenceColumn, Qt::Horizontal)
                 .toString(),
             u"Diferencia"_s);
    // The chart follows the row chosen: Luz's twelve months, budget beside actual.
    f.select(u"Luz"_s);
    QCOMPARE(f.window->chartShown()->name, u"Luz"_s);
    QCOMPARE(f.window->chartShown()->budget[11], 80.0);
    QCOMPARE(f.window->chartShown()->actual[0], 60.5);
    f.select(u"Total gastos"_s);
    QCOMPARE(f.window->chartShown()->name, u"Total gastos"_s);
    QCOMPARE(f.window->chartShown()->actual[1], 450.0);
    QCOMPARE(f.window->chartShown()->budget[1], 470.0);
    f.select(u"Resultado"_s);
    QCOMPARE(f.window->chartShown()->actual[0], 3639.5);
    QVERIFY(f.messages.texts().isEmpty());
}

void TestFrmPresupuesto::budgetSet_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<CardScript>("script");
    QTest::addColumn<QString>("january"); // the account's row for January afterwards
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("cardStaysOpen");
    QTest::addColumn<QString>("opener"); // the button, "enter" or "double-click"
    const QStringList luzBefore = [] {
        QStringList rows;
        for (size_t m = 0; m < 12; ++m) {
            rows.append(u"Luz|%1|%2"_s.arg(m + 1).arg(kLuzBudget[m]));
        }
        return rows;
    }();

    QTest::newRow("one amount for every month, typed the Spanish way")
        << u"Ocio"_s << CardScript{u"every:1.234,5"_s} << u"Ocio|1.234,50|0,00|1.234,50"_s
        << QStringList{u"Ocio|0|123450"_s} << QStringList{} << false << u"cmdPresupuesto"_s;
    QTest::newRow("the largest, with the point key for the comma")
        << u"Regalos"_s << CardScript{u"every:999999999999.99"_s}
        << u"Regalos|999.999.999.999,99|0,00|-999.999.999.999,99"_s
        << QStringList{u"Regalos|0|99999999999999"_s} << QStringList{} << false << u"enter"_s;
    // The months start from the amount it had, January changed alone.
    QTest::newRow("one per month")
        << u"Comida"_s << CardScript{u"month:1:250"_s} << u"Comida|250,00|300,00|-50,00"_s
        << QStringList{u"Comida|1|25000"_s,  u"Comida|2|40000"_s,  u"Comida|3|40000"_s,
                       u"Comida|4|40000"_s,  u"Comida|5|40000"_s,  u"Comida|6|40000"_s,
                       u"Comida|7|40000"_s,  u"Comida|8|40000"_s,  u"Comida|9|40000"_s,
                       u"Comida|10|40000"_s, u"Comida|11|40000"_s, u"Comida|12|40000"_s}
        << QStringList{} << false << u"double-click"_s;
    QTest::newRow("one per month back to the same for all")
        << u"Luz"_s << CardScript{u"every:55"_s} << u"Luz|55,00|60,50|-5,50"_s
        << QStringList{u"Luz|0|5500"_s} << QStringList{} << false << u"cmdPresupuesto"_s;
    // Refused: the window stays open with what was typed, nothing stored.
    QTest::newRow("not an amount")
        << u"Luz"_s << CardScript{u"month:3:abc"_s} << u"Luz|70,00|60,50|9,50"_s << luzBefore
        << QStringList{u"Ponga un nº correcto"_s} << true << u"cmdPresupuesto"_s;
    QTest::newRow("past the largest")
        << u"Comida"_s << CardScript{u"every:1.000.000.000.000"_s}
        << u"Comida|400,00|300,00|100,00"_s << QStringList{u"Comida|0|40000"_s}
        << QStringList{u"Ponga un nº correcto"_s} << true << u"cmdPresupuesto"_s;
    // Told why, with what was typed still there to keep elsewhere.
    QTest::newRow("account deleted meanwhile by another copy")
        << u"Ocio"_s << CardScript{u"every:30"_s, u"gone"_s} << u"Ocio||0,00|0,00"_s
        << QStringList{}
        << QStringList{u"No se puede guardar el presupuesto de «Ocio»: la cuenta ya no existe"_s}
        << true << u"cmdPresupuesto"_s;
    QTest::newRow("empty") << u"Comida"_s << CardScript{u"every:"_s}
                           << u"Comida|400,00|300,00|100,00"_s << QStringList{u"Comida|0|40000"_s}
                           << QStringList{u"Ponga un nº correcto"_s} << true << u"cmdPresupuesto"_s;
}

void TestFrmPresupuesto::budgetSet() {
    QFETCH(QString, account);
    QFETCH(CardScript, script);
    QFETCH(bool, cardStaysOpen);
    BudgetWindow f;
    f.open([](frmPresupuesto& w) { w.setMonth(1); });
    f.select(account);
    bool openAfterAccept = false;
    QString shownAccount;
    const QString path = f.ledger.databasePath();
    f.services.dialogs.expect([&](QDialog& card) {
        shownAccount = card.findChild<QLabel*>(u"lblCuenta"_s)->text();
        for (const QString& step : script) {
            if (step == u"gone"_s) {
                Database other(path);
                other.exec("DELETE FROM Contas WHERE conNom = 'Ocio'", "test");
            } else if (step.startsWith(u"every:"_s)) {
                click(card, "optMismo");
                typeInto(card, "txtImporte", step.mid(6));
            } else {
                click(card, "optPorMes");
                typeInto(card, qPrintable(u"txtMes"_s + step.section(u':', 1, 1)),
                         step.section(u':', 2));
            }
        }
        click(card, "cmdAceptar");
        openAfterAccept = card.isVisible();
    });
    QFETCH(QString, opener);
    if (opener == u"enter"_s) {
        f.grid()->setFocus();
        QTest::keyClick(f.grid(), Qt::Key_Return);
    } else if (opener == u"double-click"_s) {
        const QRect cell = f.grid()->visualRect(f.grid()->currentIndex());
        // A view takes a double click only after the press of its first click.
        QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        f.click(opener);
    }
    QCOMPARE(shownAccount, account);
    QCOMPARE(openAfterAccept, cardStaysOpen);
    QTEST(f.row(account), "january");
    QStringList stored;
    for (const QString& row : storedBudgetRows(f.ledger.db())) {
        if (row.startsWith(account + u'|')) {
            stored.append(row);
        }
    }
    QTEST(stored, "stored");
    QTEST(f.messages.texts(), "messages");
    // The row chosen stays chosen after the reload.
    QCOMPARE(f.grid()->currentIndex().row(), f.rowOf(account));
}

void TestFrmPresupuesto::budgetRemoved_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("yes") << true << u"Comida||300,00|-300,00"_s << QStringList{};
    QTest::newRow("no") << false << u"Comida|400,00|300,00|100,00"_s
                        << QStringList{u"Comida|0|40000"_s};
}

void TestFrmPresupuesto::budgetRemoved() {
    QFETCH(bool, yes);
    BudgetWindow f;
    f.open([](frmPresupuesto& w) { w.setMonth(1); });
    f.select(u"Comida"_s);
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    f.click(u"cmdQuitar"_s);
    QCOMPARE(f.messages.texts(), QStringList{u"¿Quitar el presupuesto de «Comida»?"_s});
    QTEST(f.row(u"Comida"_s), "row");
    QStringList stored;
    for (const QString& row : storedBudgetRows(f.ledger.db())) {
        if (row.startsWith(u"Comida|"_s)) {
            stored.append(row);
        }
    }
    QTEST(stored, "stored");
}

// A heading or a total is no account: the user is told, no window opens.
void TestFrmPresupuesto::noAccountChosen() {
    BudgetWindow f;
    f.open();
    f.select(u"Total ingresos"_s);
    f.click(u"cmdPresupuesto"_s);
    f.select(u"Gastos"_s);
    f.click(u"cmdQuitar"_s);
    QCOMPARE(f.services.dialogs.titles, QStringList());
    QCOMPARE(f.messages.texts(), (QStringList{u"Elija una cuenta de ingreso o de gasto"_s,
                                              u"Elija una cuenta de ingreso o de gasto"_s}));
}

// The figures it enters read ¡ERROR!, and the user is told which entry to put right.
void TestFrmPresupuesto::unreadableAmountNamed() {
    BudgetWindow f;
    f.ledger.db().exec("UPDATE apuntes SET Importe = 'cuatrocientos' WHERE Id = 7", "test");
    f.open([](frmPresupuesto& w) { w.setMonth(2); });
    QCOMPARE(f.row(u"Comida"_s), u"Comida|400,00|¡ERROR!|¡ERROR!"_s);
    QCOMPARE(f.messages.texts(),
             QStringList{u"El importe del apunte de código 7 no es un número válido. Las cifras "
                         u"que lo incluyen se muestran como ¡ERROR!; corrija el apunte en la "
                         u"lista de apuntes."_s});
    // A month chosen afterwards tells nothing again.
    f.choose(1);
    QCOMPARE(f.row(u"Comida"_s), u"Comida|400,00|300,00|100,00"_s);
    QCOMPARE(f.messages.texts().size(), 1);
}

void TestFrmPresupuesto::badNewsInTheNegativeColour_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light desktop, light main colour") << false;
    QTest::newRow("dark desktop, dark main colour") << true;
}

// Every figure reads on its band; only the negative differences are red.
void TestFrmPresupuesto::badNewsInTheNegativeColour() {
    QFETCH(bool, dark);
    const QPalette before = QApplication::palette();
    if (dark) {
        QPalette night;
        for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
            night.setColor(role, QColor(30, 30, 30));
        }
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            night.setColor(role, QColor(230, 230, 230));
        }
        QApplication::setPalette(night);
    }
    BudgetWindow f;
    if (dark) {
        f.ledger.state().palette.setMain(0x303030);
    }
    f.open([](frmPresupuesto& w) { w.setMonth(2); });
    const QAbstractItemModel* model = f.grid()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            const QColor text = cell.data(Qt::ForegroundRole).value<QColor>();
            const QColor under = cell.data(Qt::BackgroundRole).value<QColor>();
            QVERIFY2(contrastRatio(text, under) >= kReadableContrast,
                     qPrintable(cell.data().toString()));
            const bool red = text.red() > 2 * text.green() && text.red() > 2 * text.blue();
            const bool negative = column == BudgetTableModel::DifferenceColumn &&
                                  cell.data().toString().startsWith(u'-');
            QVERIFY2(red == negative, qPrintable(cell.data().toString()));
        }
    }
    QApplication::setPalette(before);
}

void TestFrmPresupuesto::nothingCut_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("800x600") << QSize(800, 600);
}

// The largest amounts, even twelve of them in a year's total, never elided, and
// every button in reach.
void TestFrmPresupuesto::nothingCut() {
    QFETCH(QSize, size);
    BudgetWindow f;
    setBudgetEveryMonth(f.ledger.db(), u"Ocio"_s, -kMaxAmountCents);
    f.ledger.addEntry(20, "02/02/2024", u"x"_s, u"Ocio"_s, u"Banco"_s, 999999999999.99, u"G"_s);
    f.open([](frmPresupuesto& w) { w.setMonth(0); });
    resizeAndSettle(*f.window, size);
    QVERIFY(f.window->width() <= size.width() && f.window->height() <= size.height());
    QCOMPARE(buttonsOutOfReach(*f.window), QStringList());
    QCOMPARE(cutLabels(*f.window), QStringList());
    QTableView* grid = f.grid();
    for (int column = 0; column < grid->model()->columnCount(); ++column) {
        QVERIFY(grid->columnWidth(column) >= grid->horizontalHeader()->sectionSizeHint(column));
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex index = grid->model()->index(row, column);
            QVERIFY2(grid->columnWidth(column) >= grid->sizeHintForIndex(index).width(),
                     qPrintable(index.data().toString()));
        }
    }
    QCOMPARE(f.row(u"Ocio"_s),
             u"Ocio|-11.999.999.999.999,88|1.000.000.000.039,99|-13.000.000.000.039,87"_s);
}

QTEST_MAIN(TestFrmPresupuesto)
#include "tst_frmpresupuesto.moc"
