// The real message boxes speak Spanish and give back the button pressed.

#include "ui/MessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace velmora;

namespace {

// Reads the open box's button texts and presses the one with `press` as its text.
struct BoxAnswerer {
    QString press;
    QStringList buttonTexts;

    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, [this] { answer(); });
            return;
        }
        QAbstractButton* target = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            buttonTexts.append(button->text());
            if (button->text() == press) {
                target = button;
            }
        }
        buttonTexts.sort();
        if (target != nullptr) {
            target->click();
        } else {
            box->reject();
        }
    }
};

} // namespace

class TestMessageService : public QObject {
    Q_OBJECT
private slots:
    void spanishButtons_data();
    void spanishButtons();
};

void TestMessageService::spanishButtons_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(MessageButtons::YesNo) << "Sí" << QStringList{"No", "Sí"}
                         << int(MessageAnswer::Yes);
    QTest::newRow("cancel") << int(MessageButtons::OkCancel) << "Cancelar"
                            << QStringList{"Aceptar", "Cancelar"} << int(MessageAnswer::Cancel);
}

void TestMessageService::spanishButtons() {
    QFETCH(int, buttons);
    QFETCH(QString, press);
    QFETCH(QStringList, texts);
    QFETCH(int, answer);
    DialogMessageService service;
    BoxAnswerer answerer{press, {}};
    QTimer::singleShot(0, [&answerer] { answerer.answer(); });
    const MessageAnswer given = service.show(
        nullptr, Message{QStringLiteral("¿Seguro?"), QStringLiteral("Atención!!"),
                         MessageIcon::Information, static_cast<MessageButtons>(buttons)});
    QCOMPARE(answerer.buttonTexts, texts);
    QCOMPARE(int(given), answer);
}

QTEST_MAIN(TestMessageService)
#include "tst_messageservice.moc"
