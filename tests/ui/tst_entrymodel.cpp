// The entry grid's model: cells, banding, red expenses, and an empty list that
// shows nothing at all.

#include "entries/EntryTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;

namespace {

EntryList listOf(std::initializer_list<std::pair<const char*, double>> rows) {
    EntryList list;
    qint64 id = 9;
    for (const auto& [movementClass, amount] : rows) {
        const QByteArray description = QStringLiteral("Apunte nº %1").arg(id).toUtf8();
        list.append(id, QDate(2024, 3, static_cast<int>(id)), description.toStdString(), "Luz",
                    "Banco", amount, movementClass);
        --id;
    }
    return list;
}

} // namespace

class TestEntryModel : public QObject {
    Q_OBJECT
private slots:
    void cellsAndColours();
    void emptyListHasNoColumns();
};

void TestEntryModel::cellsAndColours() {
    Palette palette;
    palette.setMain(12632256); // light grey
    EntryTableModel model(palette);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.setList(listOf({{"G", 1200}, {"I", -450.5}, {"T", 3}}));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 8);

    const auto cell = [&model](int r, int c, int role = Qt::DisplayRole) {
        return model.data(model.index(r, c), role);
    };
    QCOMPARE(cell(0, EntryTableModel::IdColumn).toLongLong(), 9);
    QCOMPARE(cell(0, EntryTableModel::ClassColumn).toString(), QStringLiteral("G"));
    QCOMPARE(cell(1, EntryTableModel::DescriptionColumn).toString(), QStringLiteral("Apunte nº 8"));
    QCOMPARE(cell(2, EntryTableModel::GoesIntoColumn).toString(), QStringLiteral("Luz"));
    QCOMPARE(cell(2, EntryTableModel::ComesOutOfColumn).toString(), QStringLiteral("Banco"));
    QCOMPARE(cell(1, EntryTableModel::LineColumn).toInt(), 2);
    QCOMPARE(cell(0, EntryTableModel::DateColumn).toString(), QStringLiteral("09/03/2024"));
    QCOMPARE(cell(0, EntryTableModel::AmountColumn).toString(), QStringLiteral("1.200,00"));
    QCOMPARE(cell(1, EntryTableModel::AmountColumn).toString(), QStringLiteral("-450,50"));

    // Line 1 white, line 2 in the main colour, line 3 white.
    const QColor white(255, 255, 255);
    const QColor grey(192, 192, 192);
    for (int c = EntryTableModel::DateColumn; c < EntryTableModel::ColumnCount; ++c) {
        QCOMPARE(cell(0, c, Qt::BackgroundRole).value<QColor>(), white);
        QCOMPARE(cell(1, c, Qt::BackgroundRole).value<QColor>(), grey);
        QCOMPARE(cell(2, c, Qt::BackgroundRole).value<QColor>(), white);
    }
    // Only expenses have their amount in red.
    QCOMPARE(cell(0, EntryTableModel::AmountColumn, Qt::ForegroundRole).value<QColor>(),
             QColor(255, 0, 0));
    QVERIFY(!cell(1, EntryTableModel::AmountColumn, Qt::ForegroundRole).isValid());
    QVERIFY(!cell(2, EntryTableModel::AmountColumn, Qt::ForegroundRole).isValid());
    QVERIFY(!cell(0, EntryTableModel::DescriptionColumn, Qt::ForegroundRole).isValid());

    QCOMPARE(model.headerData(EntryTableModel::GoesIntoColumn, Qt::Horizontal).toString(),
             QStringLiteral("Entra en  ..."));
    QCOMPARE(model.data(model.index(0, EntryTableModel::AmountColumn), Qt::TextAlignmentRole)
                 .value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
}

void TestEntryModel::emptyListHasNoColumns() {
    Palette palette;
    EntryTableModel model(palette);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setList(listOf({{"G", 1}}));
    model.setList(EntryList());
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
}

QTEST_GUILESS_MAIN(TestEntryModel)
#include "tst_entrymodel.moc"
