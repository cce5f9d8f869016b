// Every text the grids paint reads on the background under it, whatever main
// colour the user chose and whether the desktop is light or dark.
#include "accounts/AccountTableModel.h"
#include "analysis/MonthlyStatistics.h"
#include "analysis/StatisticsTableModel.h"
#include "entries/EntryList.h"
#include "entries/EntryTableModel.h"
#include "exchange/ImportPlan.h"
#include "exchange/PlannedEntryModel.h"
#include "state/ColourChoices.h"
#include "store/AccountStore.h"
#include "support/TestLedger.h"
#include "ui/Contrast.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include <algorithm>

using namespace velmora;
using velmora::test::TestLedger;

namespace {

QPalette darkDesktop() {
    QPalette dark(QColor(53, 53, 53), QColor(35, 35, 35));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    return dark;
}

void addColourRows() {
    QTest::addColumn<qint32>("main");
    QTest::addColumn<bool>("darkDesktop");

    const std::pair<const char*, qint32> mains[] = {{"white", 0xFFFFFF},
                                                    {"black", 0},
                                                    {"navy", 0x800000},
                                                    {"yellow", 0x00FFFF},
                                                    {"default", defaultMainColour()}};
    for (const auto& [name, value] : mains) {
        QTest::addRow("%s, light desktop", name) << value << false;
        QTest::addRow("%s, dark desktop", name) << value << true;
    }
}

// The desktop's palette for one test row, put back even when a check fails.
class DesktopPalette {
public:
    explicit DesktopPalette(bool dark) : before_(QApplication::palette()) {
        if (dark) {
            QApplication::setPalette(darkDesktop());
        }
    }
    ~DesktopPalette() { QApplication::setPalette(before_); }
    DesktopPalette(const DesktopPalette&) = delete;
    DesktopPalette& operator=(const DesktopPalette&) = delete;

private:
    QPalette before_;
};

// The cells whose text does not read, as "row,column ratio".
QStringList unreadableCells(const QAbstractItemModel& model) {
    const QPalette desktop = QApplication::palette();
    QStringList faults;
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            const QVariant background = index.data(Qt::BackgroundRole);
            const QVariant text = index.data(Qt::ForegroundRole);
            const QColor under =
                background.isValid() ? background.value<QColor>() : desktop.color(QPalette::Base);
            const QColor ink =
                text.isValid() ? text.value<QColor>() : desktop.color(QPalette::Text);
            const double ratio = contrastRatio(under, ink);
            if (ratio < kReadableContrast) {
                faults.append(
                    QStringLiteral("%1,%2 %3").arg(row).arg(column).arg(ratio, 0, 'f', 2));
            }
        }
    }
    return faults;
}

} // namespace

class TestContrast : public QObject {
    Q_OBJECT
private slots:
    void textIsMovedOnlyAsFarAsNeeded_data();
    void textIsMovedOnlyAsFarAsNeeded();
    void everyGridCellReads_data();
    void everyGridCellReads();
    void paintedFieldsAndLabelsRead_data();
    void paintedFieldsAndLabelsRead();
};

void TestContrast::textIsMovedOnlyAsFarAsNeeded_data() {
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("wanted");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("darker");

    QTest::newRow("black on white") << QColor(Qt::white) << QColor(Qt::black) << true << false;
    // Pure red on white is 4.0:1: a deeper red.
    QTest::newRow("red on white") << QColor(Qt::white) << QColor(255, 0, 0) << false << true;
    QTest::newRow("red on black") << QColor(Qt::black) << QColor(255, 0, 0) << true << false;
    QTest::newRow("dark red on dark grey")
        << QColor(30, 30, 30) << QColor(192, 0, 0) << false << false;
    QTest::newRow("red on pale blue")
        << colourFromValue(defaultMainColour()) << QColor(255, 0, 0) << false << true;
    // White does not reach it on mid grey: only a darker grey will do.
    QTest::newRow("grey on mid grey")
        << QColor(128, 128, 128) << QColor(120, 120, 120) << false << true;
}

void TestContrast::textIsMovedOnlyAsFarAsNeeded() {
    QFETCH(QColor, background);
    QFETCH(QColor, wanted);
    QFETCH(bool, kept);
    QFETCH(bool, darker);

    const QColor shown = readableOn(background, wanted);
    QVERIFY2(contrastRatio(background, shown) >= kReadableContrast, qPrintable(shown.name()));
    if (kept) {
        QCOMPARE(shown, wanted);
        return;
    }
    QCOMPARE(shown.lightness() < wanted.lightness(), darker);
    // Only as far as needed: one step back towards the wanted colour no longer reads.
    const QColor closer((shown.red() * 19 + wanted.red()) / 20,
                        (shown.green() * 19 + wanted.green()) / 20,
                        (shown.blue() * 19 + wanted.blue()) / 20);
    if (closer != shown) {
        QVERIFY(contrastRatio(background, closer) < kReadableContrast + 0.1);
    }
    // A red stays a red.
    if (wanted.red() > 150 && wanted.green() == 0) {
        QVERIFY(shown.red() > 2 * std::max(shown.green(), shown.blue()));
    }
}

void TestContrast::everyGridCellReads_data() {
    addColourRows();
}

void TestContrast::paintedFieldsAndLabelsRead_data() {
    addColourRows();
}

// Under a dark desktop the text of a field or label painted white stayed white.
void TestContrast::paintedFieldsAndLabelsRead() {
    QFETCH(qint32, main);
    QFETCH(bool, darkDesktop);
    const DesktopPalette desktop(darkDesktop);
    QLineEdit field;
    QLabel label;
    paintFieldBackground(field, colourFromValue(main));
    paintBackground(label, colourFromValue(main));
    QVERIFY(contrastRatio(field.palette().color(QPalette::Base),
                          field.palette().color(QPalette::Text)) >= kReadableContrast);
    QVERIFY(contrastRatio(label.palette().color(QPalette::Window),
                          label.palette().color(QPalette::WindowText)) >= kReadableContrast);
}

void TestContrast::everyGridCellReads() {
    QFETCH(qint32, main);
    QFETCH(bool, darkDesktop);

    const DesktopPalette desktop(darkDesktop);
    Palette palette;
    palette.setMain(main);

    TestLedger ledger;
    ledger.addAccount(QStringLiteral("Banco"), QStringLiteral("C"));
    ledger.addAccount(QStringLiteral("Luz"), QStringLiteral("G"));
    ledger.addAccount(QStringLiteral("Nómina"), QStringLiteral("I"));
    ledger.addEntry(1, "01/02/2024", "Nómina de enero", "Banco", "Nómina", 1850, "I");
    ledger.addEntry(2, "10/02/2024", "Recibo de la luz", "Luz", "Banco", 45.5, "G");
    ledger.addEntry(3, "10/03/2024", "Recibo de la luz", "Luz", "Banco", 52.25, "G");

    EntryTableModel entries(palette);
    entries.setList(
        queryEntries(ledger.db(), EntryFilter{{}, {}, {}, QDate(2024, 1, 1), QDate(2024, 12, 31)}));
    AccountTableModel accounts(palette);
    accounts.setAccounts({{"Banco", "Cuenta corriente", "C"}, {"Luz", "Recibos", "G"}});
    StatisticsTableModel statistics(palette);
    statistics.setTable(loadMonthlyStatistics(ledger.db(), StatisticsKind::ExpenseByMonth));
    ImportedRows rows;
    rows.append(2, QDate(2024, 4, 10), QStringLiteral("Recibo de la luz"), QStringLiteral("Luz"),
                QStringLiteral("Banco"), 4810);
    rows.append(3, QDate(2024, 4, 30), QStringLiteral("Nómina de abril"), QStringLiteral("Banco"),
                QStringLiteral("Nómina"), 185000);
    const ImportPlan plan = planImport(ledger.db(), rows, 2024);
    PlannedEntryModel planned(rows, plan);

    const std::pair<const char*, const QAbstractItemModel*> models[] = {
        {"entries", &entries},
        {"accounts", &accounts},
        {"statistics", &statistics},
        {"import preview", &planned}};
    for (const auto& [name, model] : models) {
        QVERIFY2(model->rowCount() >= 2, name);
        const QStringList faults = unreadableCells(*model);
        QVERIFY2(faults.isEmpty(), qPrintable(QString::fromUtf8(name) + QStringLiteral(": ") +
                                              faults.join(QLatin1Char(' '))));
    }
}

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
