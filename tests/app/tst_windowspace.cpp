// Every window opened over the main one, on an 800x600 screen: it can be made
// small enough, and there its commands and captions are whole and its lists
// reach its right edge.

#include "accounts/frmCuentas.h"
#include "accounts/frmCuentasFicha.h"
#include "analysis/frmArrastre.h"
#include "analysis/frmBalance.h"
#include "analysis/frmEstadisticas.h"
#include "analysis/frmEvolucion.h"
#include "analysis/frmExtracto.h"
#include "analysis/frmResumen.h"
#include "analysis/frmSaldos.h"
#include "budget/frmPresupuesto.h"
#include "entries/frmApuntesDetalle.h"
#include "exchange/ImportSession.h"
#include "exchange/frmImportar.h"
#include "exchange/frmReglas.h"
#include "maintenance/frmCopiaPen.h"
#include "preferences/frmAcercaDe.h"
#include "preferences/frmColor.h"
#include "preferences/frmConfiguracion.h"
#include "receipts/ReceiptStore.h"
#include "receipts/frmRecibos.h"
#include "receipts/frmRecibosFicha.h"
#include "receipts/frmRecibosPendientes.h"
#include "reports/frmInformeListado.h"
#include "store/AccountStore.h"
#include "store/Amount.h"
#include "store/OpeningBalances.h"
#include "store/Sqlite.h"
#include "support/TestLedger.h"
#include "support/TestServices.h"
#include "support/WindowSpace.h"
#include "ui/AppState.h"
#include "years/frmAno.h"
#include "years/frmBuscarAnos.h"

#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

using namespace velmora;
using namespace velmora::test;

namespace {

// Builds a window; what it works on, beside the ledger, goes in `keep`.
using MakeWindow =
    std::function<std::unique_ptr<QDialog>(AppState&, Services&, std::shared_ptr<void>& keep)>;

template <typename Window> MakeWindow plain() {
    return [](AppState& state, Services& services, std::shared_ptr<void>&) {
        return std::make_unique<Window>(state, services);
    };
}

// What an 800x600 screen leaves under the title bar.
constexpr QSize kSmallScreen(800, 560);

} // namespace

Q_DECLARE_METATYPE(MakeWindow)

class TestWindowSpace : public QObject {
    Q_OBJECT
private slots:
    void fitsASmallScreen_data();
    void fitsASmallScreen();
};

void TestWindowSpace::fitsASmallScreen_data() {
    QTest::addColumn<MakeWindow>("make");
    QTest::newRow("accounts") << plain<frmCuentas>();
    QTest::newRow("account card") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>&) {
            auto card = std::make_unique<frmCuentasFicha>(state, services);
            card->setEstado(frmCuentasFicha::New);
            return card;
        });
    QTest::newRow("entry") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>&) {
            auto editor = std::make_unique<frmApuntesDetalle>(state, services);
            editor->setEstado(frmApuntesDetalle::New);
            return editor;
        });
    QTest::newRow("balance") << plain<frmBalance>();
    QTest::newRow("statistics") << plain<frmEstadisticas>();
    QTest::newRow("import") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>& keep) {
            auto session = std::make_shared<ImportSession>(state.session, 2024);
            keep = session;
            return std::make_unique<frmImportar>(state, services, *session);
        });
    QTest::newRow("import rules") << plain<frmReglas>();
    QTest::newRow("years") << plain<frmAno>();
    QTest::newRow("backup") << plain<frmCopiaPen>();
    QTest::newRow("about") << plain<frmAcercaDe>();
    QTest::newRow("colours") << plain<frmColor>();
    QTest::newRow("settings") << plain<frmConfiguracion>();
    QTest::newRow("balances") << plain<frmSaldos>();
    QTest::newRow("register") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>&) {
            auto statement = std::make_unique<frmExtracto>(state, services);
            statement->setAccount(QStringLiteral("Banco"));
            return statement;
        });
    QTest::newRow("yearly summary") << plain<frmResumen>();
    QTest::newRow("budget") << plain<frmPresupuesto>();
    // A receipt of the largest amount, due every month since January.
    const auto withReceipt = [](auto makeWindow) {
        return MakeWindow([makeWindow](AppState& state, Services& services,
                                       std::shared_ptr<void>&) -> std::unique_ptr<QDialog> {
            saveReceipt(state.db(), {0,
                                     QStringLiteral("Recibo de la luz"),
                                     QStringLiteral("Luz"),
                                     QStringLiteral("Banco"),
                                     kMaxAmountCents,
                                     {1, 31, QDate(2024, 1, 1), QDate(2030, 12, 31)}});
            return makeWindow(state, services);
        });
    };
    QTest::newRow("receipts") << withReceipt([](AppState& state, Services& services) {
        return std::make_unique<frmRecibos>(state, services);
    });
    QTest::newRow("pending receipts") << withReceipt([](AppState& state, Services& services) {
        return std::make_unique<frmRecibosPendientes>(state, services);
    });
    QTest::newRow("receipt card") << withReceipt([](AppState& state, Services& services) {
        auto card = std::make_unique<frmRecibosFicha>(state.palette, services.messages,
                                                      listAccounts(state.db(), {}),
                                                      [](const Receipt&) { return true; });
        card->setReceipt(listReceipts(state.db()).front());
        return card;
    });
    QTest::newRow("search across years") << plain<frmBuscarAnos>();
    QTest::newRow("cash over the years") << plain<frmEvolucion>();
    // Shown only when the year before would change an opening balance.
    QTest::newRow("carry-over") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>& keep) {
            std::shared_ptr<Database> before = createYear(state.session.dataRoot(), "2023");
            insertAccount(*before, {QStringLiteral("Banco"), {}, QStringLiteral("C")});
            keep = before;
            setOpeningBalance(state.db(), QStringLiteral("Banco"), -kMaxAmountCents);
            return std::make_unique<frmArrastre>(state, services);
        });
    QTest::newRow("report") << MakeWindow(
        [](AppState& state, Services& services, std::shared_ptr<void>&) {
            auto report = std::make_unique<frmInformeListado>(state, services);
            report->setRequest({QStringLiteral("Datos"), {}, {}, {}, {}, {}});
            return report;
        });
}

void TestWindowSpace::fitsASmallScreen() {
    QFETCH(MakeWindow, make);
    TestLedger ledger;
    ledger.addAccount("Banco", "C");
    ledger.addAccount("Luz", "G");
    ledger.addEntry(1, "10/02/2024", "Recibo de la luz", "Luz", "Banco", 123456789.01, "G");
    RecordingMessageService messages;
    TestServices services{messages};
    std::shared_ptr<void> kept;
    std::unique_ptr<QDialog> window = make(ledger.state(), services.services, kept);
    QVERIFY(showForInput(*window));

    const QSize smallest = window->minimumSizeHint().expandedTo(window->minimumSize());
    QVERIFY2(smallest.width() <= kSmallScreen.width() && smallest.height() <= kSmallScreen.height(),
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    for (const QSize size : {smallest, kSmallScreen}) {
        resizeAndSettle(*window, size.expandedTo(window->minimumSize()));
        QCOMPARE(buttonsOutOfReach(*window), QStringList());
        QCOMPARE(cutLabels(*window).join(QLatin1Char('|')), QString());
        for (const QTableView* grid : window->findChildren<QTableView*>()) {
            if (grid->isVisibleTo(window.get())) {
                const int right = grid->mapTo(window.get(), QPoint(grid->width(), 0)).x();
                QVERIFY2(window->width() - right <= 24, qPrintable(grid->objectName()));
            }
        }
    }
}

QTEST_MAIN(TestWindowSpace)
#include "tst_windowspace.moc"
