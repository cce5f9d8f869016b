// The account register window: its lines and the way back from the entry editor.

#include "analysis/RegisterTableModel.h"
#include "analysis/frmExtracto.h"
#include "reports/ReportDefinition.h"
#include "reports/frmInformeListado.h"
#include "store/EntryStore.h"
#include "store/OpeningBalances.h"
#include "support/Files.h"
#include "support/PrintedPdf.h"
#include "support/WindowFixture.h"
#include "ui/Contrast.h"
#include "ui/Palette.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace velmora;

namespace {

constexpr int kBalance = RegisterTableModel::BalanceColumn;

struct Fixture : test::WindowFixture<frmExtracto> {
    explicit Fixture(const QString& bank = "Banco") {
        ledger.addAccount(bank, "C");
        ledger.addAccount("Caja", "C");
        ledger.addAccount("Nómina", "I");
        ledger.addAccount("Luz", "G");
        setOpeningBalance(ledger.db(), bank, 100000);
        ledger.addEntry(1, "01/02/2024", "Nómina", bank, "Nómina", 1000, "I");
        ledger.addEntry(2, "05/02/2024", "Luz", "Luz", bank, 2500, "G");
        ledger.addEntry(3, "10/02/2024", "Retirada", "Caja", bank, 100, "T");
        open([&](frmExtracto& window) { window.setAccount(bank); });
    }
    QStringList balances() const {
        QStringList all;
        for (int row = 0; row < grid()->model()->rowCount(); ++row) {
            all << cell(row, kBalance);
        }
        return all;
    }
};

} // namespace

class TestFrmExtracto : public QObject {
    Q_OBJECT
private slots:
    void lines();
    void editorReturn_data();
    void editorReturn();
    void printsTheRegister_data();
    void printsTheRegister();
};

void TestFrmExtracto::lines() {
    Fixture f;
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Extracto de Banco"));
    QCOMPARE(f.cell(0, RegisterTableModel::DescriptionColumn), QStringLiteral("Saldo inicial"));
    QCOMPARE(f.balances(), (QStringList{"1.000,00", "2.000,00", "-500,00", "-600,00"}));
    // Only the balances below zero are painted as money owed.
    const auto negative = [&](int row) {
        const QModelIndex cell = f.grid()->model()->index(row, kBalance);
        return cell.data(Qt::ForegroundRole) ==
               readableCellText(cell.data(Qt::BackgroundRole), Palette::negativeAmount());
    };
    QCOMPARE((QList<bool>{negative(0), negative(1), negative(2), negative(3)}),
             (QList<bool>{false, false, true, true}));
    QVERIFY(f.messages.shown().isEmpty());
}

void TestFrmExtracto::editorReturn_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("change"); // a new amount, or "delete" meanwhile
    QTest::addColumn<QStringList>("balances");
    QTest::addColumn<int>("selected");

    const QStringList unchanged{"1.000,00", "2.000,00", "-500,00", "-600,00"};
    QTest::newRow("Enter, new amount")
        << "enter" << 2 << "250" << QStringList{"1.000,00", "2.000,00", "1.750,00", "1.650,00"}
        << 2;
    QTest::newRow("double-click, new amount")
        << "double-click" << 1 << "10"
        << QStringList{"1.000,00", "1.010,00", "-1.490,00", "-1.590,00"} << 1;
    // The entry went while the editor was open: the list reloads shorter.
    QTest::newRow("deleted meanwhile")
        << "enter" << 2 << "delete" << QStringList{"1.000,00", "2.000,00", "1.900,00"} << 2;
    QTest::newRow("last line deleted meanwhile")
        << "enter" << 3 << "delete" << QStringList{"1.000,00", "2.000,00", "-500,00"} << 2;
    // The opening balance is no entry: nothing opens.
    QTest::newRow("Enter on the opening balance") << "enter" << 0 << "" << unchanged << 0;
}

void TestFrmExtracto::editorReturn() {
    QFETCH(QString, how);
    QFETCH(int, row);
    QFETCH(QString, change);
    Fixture f;
    const qint64 id = f.window->model().entryAt(row).value_or(0);
    f.services.dialogs.expect([&](QDialog& editor) {
        QCOMPARE(editor.findChild<QLineEdit*>("txtId")->text(), QString::number(id));
        if (change == "delete") {
            QVERIFY(takeEntry(f.ledger.db(), id));
            return;
        }
        auto* amount = editor.findChild<QLineEdit*>("txtImporte");
        amount->setFocus(Qt::TabFocusReason);
        amount->selectAll();
        QTest::keyClicks(amount, change);
        QTest::mouseClick(editor.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
    });
    const QModelIndex line = f.grid()->model()->index(row, RegisterTableModel::DescriptionColumn);
    f.grid()->setCurrentIndex(line);
    if (how == "enter") {
        QTest::keyClick(f.grid(), Qt::Key_Return);
    } else {
        const QRect cell = f.grid()->visualRect(line);
        QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QCOMPARE(f.services.dialogs.pending(), size_t(row == 0 ? 1 : 0));
    QTEST(f.balances(), "balances");
    QTEST(f.grid()->currentIndex().row(), "selected");
    QVERIFY(f.messages.shown().isEmpty());
}

void TestFrmExtracto::printsTheRegister_data() {
    QTest::addColumn<QByteArray>("existing"); // the report file before; null: none
    QTest::addColumn<QString>("title");

    QTest::newRow("written when missing") << QByteArray() << "Extracto de O'Brien";
    QTest::newRow("one the user edited is used and kept")
        << defaultRegisterReportFile().replace("Extracto de {pCuenta}", "Cuenta {pCuenta}")
        << "Cuenta O'Brien";
}

void TestFrmExtracto::printsTheRegister() {
    QFETCH(QByteArray, existing);
    QFETCH(QString, title);
    Fixture f("O'Brien");
    const QString file = registerReportFilePath(f.ledger.dataRoot());
    if (!existing.isNull()) {
        QVERIFY(test::putBytes(file, existing));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("extracto.pdf");
    f.services.files.answerNext(pdf);
    QStringList printed;
    f.services.dialogs.expect([&](QDialog& dialog) {
        const auto& window = dynamic_cast<frmInformeListado&>(dialog);
        QVERIFY(window.loaded());
        const ReportRows& rows = window.report().rows();
        for (size_t row = 0; row < rows.rowCount(); ++row) {
            printed << rows.cell(row, rows.columns - 1);
        }
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdPDF"), Qt::LeftButton);
    });
    f.click("cmdImprimir");

    QCOMPARE(printed, f.balances().mid(1)); // the window's, after its opening line
    // Without imp.ini the PDF goes to the file the user named, never to a printer.
    QCOMPARE(f.services.dialogs.titles, QStringList{"Informe"});
    const QString text = test::pdfText(pdf).simplified();
    for (const QString& expected : {title, QStringLiteral("Saldo inicial: 1.000,00"),
                                    QStringLiteral("SALDO FINAL: -600,00")}) {
        QVERIFY2(text.contains(expected), qPrintable(text));
    }
    QCOMPARE(test::fileBytes(file), existing.isNull() ? defaultRegisterReportFile() : existing);
    QVERIFY(f.messages.shown().isEmpty());
}

QTEST_MAIN(TestFrmExtracto)
#include "tst_frmextracto.moc"
