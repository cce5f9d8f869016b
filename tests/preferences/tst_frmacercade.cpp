// The about window on screen: its width held to the banner's plus a margin
// whatever the size asked for, and a click on the banner opening the site.

#include "preferences/frmAcercaDe.h"
#include "support/WindowFixture.h"
#include "ui/Formats.h"

#include <QLabel>

using namespace velmora;
using namespace velmora::test;

class TestFrmAcercaDe : public QObject {
    Q_OBJECT
private slots:
    void widthSnaps_data();
    void widthSnaps();
    void clickOpensSite();
};

void TestFrmAcercaDe::widthSnaps_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("narrower") << 200 << 250;
    QTest::newRow("wider, taller") << 1400 << 600;
}

void TestFrmAcercaDe::widthSnaps() {
    QFETCH(int, width);
    QFETCH(int, height);
    WindowFixture<frmAcercaDe> fixture;
    fixture.open();
    const int picture = fixture.find<QLabel>("Image1")->width();
    QCOMPARE(picture, twips(9000));
    QCOMPARE(fixture.window->width(), picture + twips(500));
    fixture.window->resize(width, height);
    QTRY_COMPARE(fixture.window->height(), height);
    QCOMPARE(fixture.window->width(), picture + twips(500));
}

void TestFrmAcercaDe::clickOpensSite() {
    WindowFixture<frmAcercaDe> fixture;
    QList<QUrl> opened;
    fixture.open(
        [&opened](frmAcercaDe& w) { w.openSite = [&opened](const QUrl& url) { opened << url; }; });
    QTest::mouseClick(fixture.find<QLabel>("lblInforma"), Qt::LeftButton);
    QVERIFY(opened.isEmpty());
    QTest::mouseClick(fixture.find<QLabel>("Image1"), Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{frmAcercaDe::site()});
    QVERIFY(fixture.messages.shown().isEmpty());
}

QTEST_MAIN(TestFrmAcercaDe)
#include "tst_frmacercade.moc"
