// The about window on screen: a click on the banner opens the site.

#include "preferences/frmAcercaDe.h"
#include "support/WindowFixture.h"

#include <QLabel>

using namespace velmora;
using namespace velmora::test;

class TestFrmAcercaDe : public QObject {
    Q_OBJECT
private slots:
    void clickOpensSite();
};

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
