// The colour window through its swatches: what it marks, what a click changes
// and writes, and the main window's grid following the choice.

#include "app/frmPrincipal.h"
#include "preferences/frmColor.h"
#include "state/ColourChoices.h"
#include "support/Files.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

struct ColourWindow : WindowFixture<frmColor> {
    // The indexes marked ">>>"; -1 for any other caption.
    QList<int> marked(const QString& grid) const {
        QList<int> indexes;
        for (int i = 0; i < 10; ++i) {
            const QString caption = find<QLabel>(u"%1(%2)"_s.arg(grid).arg(i))->text();
            if (!caption.isEmpty()) {
                indexes.append(caption == u">>>"_s ? i : -1);
            }
        }
        return indexes;
    }
    QByteArray file(const QString& name) const {
        return fileBytes(ledger.programFolder() + u'/' + name);
    }
};

} // namespace

class TestFrmColor : public QObject {
    Q_OBJECT
private slots:
    void marksAndClicks_data();
    void marksAndClicks();
};

void TestFrmColor::marksAndClicks_data() {
    QTest::addColumn<qint32>("main");
    QTest::addColumn<qint32>("section");
    QTest::addColumn<QString>("click");      // a swatch, or empty for none
    QTest::addColumn<QByteArray>("written"); // its file afterwards
    QTest::addColumn<bool>("blocked");       // the clicked grid's file cannot be written
    QTest::addColumn<QList<int>>("mainMarks");
    QTest::addColumn<QList<int>>("sectionMarks");

    const qint32 white = 16777215;
    const qint32 pink = 13156594; // lblColor2(0)
    QTest::newRow("fuera de la paleta") << qint32{255} << qint32{1} << QString() << QByteArray()
                                        << false << QList<int>{} << QList<int>{};
    QTest::newRow("colores de fábrica")
        << defaultMainColour() << defaultSectionColour() << QString() << QByteArray() << false
        << QList<int>{1} << QList<int>{2};
    // The same green is in both grids; each is marked against its own colour only.
    QTest::newRow("lblColor2(8)") << white << pink << u"lblColor2(8)"_s
                                  << QByteArray(" 8117174 \r\n") << false << QList<int>{3}
                                  << QList<int>{8};
    QTest::newRow("lblColor(8)") << white << pink << u"lblColor(8)"_s << QByteArray(" 8117174 \r\n")
                                 << false << QList<int>{8} << QList<int>{0};
    QTest::newRow("color2.ini no se puede escribir")
        << white << pink << u"lblColor2(8)"_s << QByteArray() << true << QList<int>{3}
        << QList<int>{8};
}

void TestFrmColor::marksAndClicks() {
    QFETCH(qint32, main);
    QFETCH(qint32, section);
    QFETCH(QString, click);
    QFETCH(QByteArray, written);
    QFETCH(bool, blocked);
    QFETCH(QList<int>, mainMarks);
    QFETCH(QList<int>, sectionMarks);

    ColourWindow w;
    w.ledger.state().palette.setMain(main);
    w.ledger.state().palette.setSection(section);
    const bool mainGrid = click.startsWith(u"lblColor("_s);
    const QString fileName = mainGrid ? u"color.ini"_s : u"color2.ini"_s;
    QTemporaryDir elsewhere;
    if (blocked) {
        // A file whose folder is gone cannot be replaced.
        QVERIFY(QFile::link(elsewhere.filePath(u"no-existe/x.ini"_s),
                            w.ledger.programFolder() + u'/' + fileName));
    }

    // Two rows, so the second shows the band in the main colour.
    w.ledger.addAccount(u"Caja"_s, u"C"_s);
    w.ledger.addEntry(1, u"05/03/2024"_s, u"Luz"_s, u"Caja"_s, u"Caja"_s, 45.1, u"C"_s);
    w.ledger.addEntry(2, u"06/03/2024"_s, u"Agua"_s, u"Caja"_s, u"Caja"_s, 12.0, u"C"_s);
    frmPrincipal mainWindow(w.ledger.state(), w.services.services);
    QVERIFY(showForInput(mainWindow));
    w.open();

    const QTableView* grid = mainWindow.findChild<QTableView*>(u"mshDatos"_s);
    QSignalSpy repainted(grid->model(), &QAbstractItemModel::dataChanged);
    if (!click.isEmpty()) {
        QLabel* chosen = w.find<QLabel>(click);
        const qint32 shown = valueFromColour(chosen->palette().color(QPalette::Window));
        QTest::mouseClick(chosen, Qt::LeftButton);
        // The colour applies at once, whether or not its file could be written.
        QCOMPARE(mainGrid ? w.ledger.state().palette.mainValue()
                          : w.ledger.state().palette.sectionValue(),
                 shown);
        QCOMPARE(w.messages.shown().size(), blocked ? 1 : 0);
        QVERIFY(!blocked || w.messages.texts().value(0).contains(fileName));
        QCOMPARE(w.file(fileName), written);
        QVERIFY(blocked || written.trimmed().toInt() == shown);
        // The open main window repaints its grid's bands at once.
        if (mainGrid) {
            QVERIFY(!repainted.isEmpty());
            QVERIFY(repainted.last().at(2).value<QList<int>>().contains(Qt::BackgroundRole));
        }
        // The other grid's file is left alone.
        QCOMPARE(w.file(mainGrid ? u"color2.ini"_s : u"color.ini"_s), QByteArray());
    }
    QCOMPARE(w.marked(u"lblColor"_s), mainMarks);
    QCOMPARE(w.marked(u"lblColor2"_s), sectionMarks);
}

QTEST_MAIN(TestFrmColor)
#include "tst_frmcolor.moc"
