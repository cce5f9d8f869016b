// The entry grid's model: cells, banding, red expenses, a colour picked while
// the grid is open, and an empty list that shows nothing at all.

#include "entries/EntryTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;

class TestEntryModel : public QObject {
    Q_OBJECT
private slots:
    void cellsAndColours();
};

void TestEntryModel::cellsAndColours() {
    Palette palette;
    palette.setMain(12632256); // light grey
    EntryTableModel model(palette);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    EntryList list;
    list.append(9, QDate(2024, 3, 9), "Luz", "Luz", "Banco", 1200, "G");
    list.append(8, QDate(2024, 3, 8), "Nómina", "Banco", "Nómina", -450.5, "I");
    list.append(7, QDate(2024, 3, 7), "Traspaso", "Caja", "Banco", 3, "T");
    model.setList(std::move(list));
    const auto cell = [&model](int r, int c, int role = Qt::DisplayRole) {
        return model.data(model.index(r, c), role);
    };
    QCOMPARE(cell(0, EntryTableModel::IdColumn).toLongLong(), 9);
    QCOMPARE(cell(1, EntryTableModel::LineColumn).toInt(), 2);
    QCOMPARE(cell(0, EntryTableModel::DateColumn).toString(), QStringLiteral("09/03/2024"));
    QCOMPARE(cell(1, EntryTableModel::AmountColumn).toString(), QStringLiteral("-450,50"));
    // Line 1 white, line 2 in the main colour; only expenses have their amount in red.
    QCOMPARE(cell(0, EntryTableModel::DescriptionColumn, Qt::BackgroundRole).value<QColor>(),
             QColor(Qt::white));
    QCOMPARE(cell(1, EntryTableModel::DescriptionColumn, Qt::BackgroundRole).value<QColor>(),
             QColor(192, 192, 192));
    QCOMPARE(cell(0, EntryTableModel::AmountColumn, Qt::ForegroundRole).value<QColor>(),
             QColor(255, 0, 0));
    QVERIFY(!cell(1, EntryTableModel::AmountColumn, Qt::ForegroundRole).isValid());

    // A colour picked while the grid is open reaches it at once.
    QSignalSpy repaints(&model, &QAbstractItemModel::dataChanged);
    palette.setMain(0x00FF00);
    QCOMPARE(repaints.count(), 1);
    QCOMPARE(cell(1, EntryTableModel::DateColumn, Qt::BackgroundRole).value<QColor>(),
             QColor(0, 255, 0));

    model.setList(EntryList());
    QCOMPARE(model.columnCount(), 0);
}

QTEST_GUILESS_MAIN(TestEntryModel)
#include "tst_entrymodel.moc"
