// The about window on screen: its width held to the banner's plus a margin
// whatever the size asked for, and a click on the banner opening the site.

#include "preferences/frmAcercaDe.h"
#include "support/WindowFixture.h"

#include <QLabel>

using namespace velmora;
using namespace velmora::test;

class TestFrmAcercaDe : public QObject {
    Q_OBJECT
private slots:
    void widthFollowsTheBanner();
    void clickOpensSite();
};

void TestFrmAcercaDe::widthFollowsTheBanner() {
    WindowFixture<frmAcercaDe> fixture;
    fixture.open();
    const int width = fixture.window->width();
    QVERIFY(width > fixture.find<QLabel>("Image1")->width());
    for (const QSize asked : {QSize(200, 250), QSize(1400, 600)}) {
        fixture.window->resize(asked);
        QTRY_COMPARE(fixture.window->height(), asked.height());
        QCOMPARE(fixture.window->width(), width);
    }
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
