// The account list driven through its real widgets, with the card driven by a
// script and questions answered by the message recorder.

#include "AccountLedger.h"
#include "accounts/AccountTableModel.h"
#include "accounts/frmCuentas.h"
#include "support/WindowFixture.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace velmora;
using namespace velmora::test;

namespace {

struct Fixture : WindowFixture<frmCuentas> {
    std::unique_ptr<QAbstractItemModelTester> modelCheck;

    Fixture() {
        fillAccounts(ledger); // Caja, Luz, Nómina and entries naming them
        for (const char* name : {"Agua", "Banco", "Regalos", "Teléfono", "Vacaciones"}) {
            ledger.addAccount(QString::fromUtf8(name), "G");
        }
        open([this](frmCuentas& w) {
            modelCheck = std::make_unique<QAbstractItemModelTester>(
                &w.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        });
    }
    QString info() { return find<QLabel>("lblInfo")->text(); }
    QStringList names() {
        QStringList listed;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            listed.append(cell(r, AccountTableModel::NameColumn));
        }
        return listed;
    }
    void deleteNamed(const QString& name) {
        grid()->setCurrentIndex(grid()->model()->index(int(names().indexOf(name)), 1));
        messages.answerNext(MessageAnswer::Yes);
        click("cmdBorrar");
    }
};

} // namespace

class TestFrmCuentas : public QObject {
    Q_OBJECT
private slots:
    void listOnOpening();
    void filter_data();
    void filter();
    void deleteQuestion_data();
    void deleteQuestion();
    void editReselectsTheReturnRow_data();
    void editReselectsTheReturnRow();
    void newAccountAndReport();
    void undoDelete_data();
    void undoDelete();
};

void TestFrmCuentas::listOnOpening() {
    Fixture f;
    QCOMPARE(f.info(), QStringLiteral("8 registros"));
    QVERIFY(f.find<QLineEdit>("txtFiltro")->hasFocus());
    QCOMPARE(f.cell(2, 0) + f.cell(2, 1) + f.cell(2, 3), QStringLiteral("3CajaCaja"));
    QCOMPARE(f.cell(4, 1) + f.cell(4, 3), QStringLiteral("NóminaIngreso"));
    QCOMPARE(f.grid()->model()->index(1, 1).data(Qt::BackgroundRole).value<QColor>(),
             f.ledger.state().palette.main());
}

void TestFrmCuentas::filter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("middle of a name") << "léf" << true << QStringList{"Teléfono"};
    QTest::newRow("other letter case") << "NÓM" << false << QStringList{"Nómina"};
    QTest::newRow("quote, nothing found") << "'" << true << QStringList{};
}

void TestFrmCuentas::filter() {
    QFETCH(QString, text);
    QFETCH(bool, enter);
    QFETCH(QStringList, names);
    Fixture f;
    auto* box = f.find<QLineEdit>("txtFiltro");
    box->setText(text);
    if (enter) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        f.click("cmdFiltrar");
    }
    QCOMPARE(f.names(), names);
    QCOMPARE(f.info(), QString::number(names.size()) + QStringLiteral(" registros"));
    QCOMPARE(f.grid()->horizontalHeader()->isVisible(), !names.isEmpty());
    QVERIFY(f.messages.shown().isEmpty());
}

void TestFrmCuentas::deleteQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<int>>("rowsAtMessage");
    QTest::newRow("yes") << true << QStringList{"¿Borrar Caja?", "PROCESO FINALIZADO"}
                         << QList<int>{8, 7};
    QTest::newRow("no") << false << QStringList{"¿Borrar Caja?"} << QList<int>{8};
}

void TestFrmCuentas::deleteQuestion() {
    QFETCH(bool, yes);
    Fixture f;
    f.grid()->setCurrentIndex(f.grid()->model()->index(2, 1));
    f.messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
    f.click("cmdBorrar");
    QTEST(f.messages.texts(), "messages");
    QTEST(f.messages.rowsAtMessage, "rowsAtMessage");
    // The entries keep naming the deleted account.
    QCOMPARE(entryAccounts(f.ledger), kEntriesBefore);
}

void TestFrmCuentas::editReselectsTheReturnRow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("double click") << "double click";
    QTest::newRow("Enter in the grid") << "enter";
}

void TestFrmCuentas::editReselectsTheReturnRow() {
    QFETCH(QString, how);
    Fixture f;
    // Room for three rows, so that row 5 of 8 can be scrolled to the top.
    QTableView* grid = f.grid();
    f.window->resize(f.window->width(), f.window->height() - grid->viewport()->height() +
                                            3 * grid->verticalHeader()->defaultSectionSize());
    grid->setCurrentIndex(grid->model()->index(4, 2));
    Qt::CursorShape cursorWhileOpen = Qt::ArrowCursor;
    f.services.dialogs.expect([&](QDialog& card) {
        cursorWhileOpen = f.window->cursor().shape();
        card.findChild<QLineEdit*>("txtCon")->setText("Sueldo neto");
        QTest::mouseClick(card.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    const QPoint cell = grid->visualRect(grid->currentIndex()).center();
    if (how == QLatin1String("button")) {
        f.click("cmdEditar");
    } else if (how == QLatin1String("enter")) {
        QTest::keyClick(grid, Qt::Key_Return);
    } else {
        // A view takes a double click only after the press of its first click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    }
    QCOMPARE(f.services.dialogs.titles, QStringList{"Modificando NÓMINA"});
    QCOMPARE(cursorWhileOpen, Qt::WaitCursor);
    QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.cell(4, AccountTableModel::ConceptColumn), QStringLiteral("Sueldo neto"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(4, AccountTableModel::NameColumn));
    QCOMPARE(grid->rowAt(0), 4);
    // Back in the list, the focus is in the filter again, as on every return.
    QCOMPARE(f.window->focusWidget(), f.find<QLineEdit>("txtFiltro"));
}

void TestFrmCuentas::newAccountAndReport() {
    Fixture f;
    f.services.dialogs.expect([](QDialog& card) {
        card.findChild<QLineEdit*>("txtNom")->setText("Gas");
        card.findChild<QLineEdit*>("txtCon")->setText("Gas natural");
        card.findChild<QComboBox*>("cmbTipo")->setCurrentIndex(0);
        QTest::mouseClick(card.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    f.click("cmdNovo");
    QCOMPARE(f.services.dialogs.titles, QStringList{"Nueva cuenta"});
    QCOMPARE(f.info(), QStringLiteral("9 registros"));
    QCOMPARE(f.window->focusWidget(), f.find<QLineEdit>("txtFiltro"));

    f.click("cmdInformes");
    QCOMPARE(f.messages.texts(), QStringList{"En preparación"});
    QTest::keyClick(f.grid(), Qt::Key_Escape);
    QVERIFY(!f.window->isVisible());
}

void TestFrmCuentas::undoDelete_data() {
    QTest::addColumn<QStringList>("deleted"); // in the order deleted
    QTest::addColumn<QString>("meanwhile");   // SQL run before the first Ctrl+Z
    QTest::addColumn<bool>("reopen");         // the list closed and opened again first
    QTest::addColumn<QString>("focus");       // where Ctrl+Z is pressed
    QTest::addColumn<int>("undos");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("info");
    QTest::newRow("the last one first") << QStringList{"Caja", "Luz"} << QString() << false
                                        << "mshDatos" << 1 << QStringList{} << "Luz"
                                        << "7 registros";
    QTest::newRow("both, after reopening, in the filter box")
        << QStringList{"Caja", "Luz"} << QString() << true << "txtFiltro" << 2 << QStringList{}
        << "Caja"
        << "8 registros";
    QTest::newRow("name taken meanwhile")
        << QStringList{"Luz"} << "INSERT INTO Contas VALUES ('LUZ', 'Otra', 'C')" << false
        << "mshDatos" << 1
        << QStringList{"No se puede recuperar la cuenta «Luz»: ya hay otra cuenta con ese "
                       "nombre. Cámbiele el nombre a la otra y pulse de nuevo Ctrl+Z."}
        << "LUZ"
        << "8 registros";
}

void TestFrmCuentas::undoDelete() {
    QFETCH(QStringList, deleted);
    QFETCH(QString, meanwhile);
    QFETCH(bool, reopen);
    QFETCH(int, undos);
    Fixture f;
    const QStringList before = accountRows(f.ledger);
    for (const QString& name : deleted) {
        f.deleteNamed(name);
    }
    if (!meanwhile.isEmpty()) {
        f.ledger.db().exec(meanwhile.toUtf8().constData(), "test");
    }
    if (reopen) {
        f.modelCheck.reset();
        QTest::keyClick(f.grid(), Qt::Key_Escape);
        f.open();
    }
    f.messages.clear();
    QFETCH(QString, focus);
    QWidget* focused = f.find<QWidget>(focus);
    for (int i = 0; i < undos; ++i) {
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
    }
    QTEST(f.messages.texts(), "messages");
    QTEST(f.cell(f.grid()->currentIndex().row(), AccountTableModel::NameColumn), "selected");
    QTEST(f.info(), "info");
    if (!meanwhile.isEmpty()) {
        // Still kept: with the other account renamed, Ctrl+Z brings it back.
        f.ledger.db().exec("UPDATE Contas SET conNom = 'Luz 2' WHERE conNom = 'LUZ'", "test");
        QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.names().indexOf("Luz"), 3);
    } else if (undos == deleted.size()) {
        QCOMPARE(accountRows(f.ledger), before);
    }
}

QTEST_MAIN(TestFrmCuentas)
#include "tst_frmcuentas.moc"
