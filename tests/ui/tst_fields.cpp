// The input fields every window shares, on their own: a date or amount field
// keeps the focus until it holds a valid value, "." types the decimal comma, and
// a length limit holds for typing only, never for a value read from the file.

#include "ui/Fields.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"

#include <QTest>
#include <QVBoxLayout>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

struct Form {
    Palette palette;
    RecordingMessageService messages;
    QWidget window;
    QLineEdit* next = new QLineEdit;

    Form() { palette.setMain(0xC0C0C0); }
    template <typename Field> Field* add(Field* field) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        field->setFocus(Qt::TabFocusReason);
        return field;
    }
};

} // namespace

class TestFields : public QObject {
    Q_OBJECT
private slots:
    void dateLeftWithEnter_data();
    void dateLeftWithEnter();
    void dateReplacedWhenTyped_data();
    void dateReplacedWhenTyped();
    void amountLeftWithEnter_data();
    void amountLeftWithEnter();
    void storedTextsShowWhole();
};

void TestFields::dateLeftWithEnter_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("maskAfter");
    const int always = int(DateField::Mask::Always);
    const int whileFocused = int(DateField::Mask::WhileFocused);
    const int fromFocus = int(DateField::Mask::FromFocus);
    QTest::newRow("31 February") << always << "31022024" << false << "99/99/9999;_";
    QTest::newRow("unfilled blank") << whileFocused << "1503202" << false << "99/99/9999;_";
    QTest::newRow("leap day, mask goes") << whileFocused << "29022024" << true << "";
    QTest::newRow("mask stays") << fromFocus << "01042024" << true << "99/99/9999;_";
}

void TestFields::dateLeftWithEnter() {
    QFETCH(int, mask);
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    Form form;
    auto* date =
        form.add(new DateField(form.palette, form.messages, static_cast<DateField::Mask>(mask)));
    QCOMPARE(date->palette().color(QPalette::Base), form.palette.main());
    date->selectAll();
    QTest::keyClicks(date, typed);
    QTest::keyClick(date, Qt::Key_Return);
    if (valid) {
        QVERIFY(form.next->hasFocus());
        QCOMPARE(date->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(form.messages.shown().isEmpty());
    } else {
        QTRY_COMPARE(form.messages.texts(), QStringList{"Ponga una fecha correcta"});
        QVERIFY(date->hasFocus());
        QCOMPARE(date->palette().color(QPalette::Base), form.palette.main());
    }
    QTEST(date->inputMask(), "maskAfter");
}

namespace {
enum class Arrival { Tab, Click, ClickWhileFocused, DoubleClick, SecondClick };
}

void TestFields::dateReplacedWhenTyped_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<Arrival>("arrival");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const int always = int(DateField::Mask::Always);
    QTest::newRow("Tab") << always << Arrival::Tab << u"01112026"_s << u"01/11/2026"_s;
    // A click between the 2 and the 0 of the year used to leave the caret there:
    // 01/01/2011.
    QTest::newRow("click") << always << Arrival::Click << u"01112026"_s << u"01/11/2026"_s;
    QTest::newRow("click, the mask set on focus")
        << int(DateField::Mask::WhileFocused) << Arrival::Click << u"01112026"_s << u"01/11/2026"_s;
    // As when a window opens with the focus in its first date.
    QTest::newRow("click into the focused field")
        << always << Arrival::ClickWhileFocused << u"01112026"_s << u"01/11/2026"_s;
    QTest::newRow("double click") << always << Arrival::DoubleClick << u"01112026"_s
                                  << u"01/11/2026"_s;
    // Once selected, a click places the caret: one digit can still be mended.
    QTest::newRow("second click") << always << Arrival::SecondClick << u"15"_s << u"15/01/2026"_s;
}

void TestFields::dateReplacedWhenTyped() {
    QFETCH(int, mask);
    QFETCH(Arrival, arrival);
    Form form;
    auto* date =
        form.add(new DateField(form.palette, form.messages, static_cast<DateField::Mask>(mask)));
    date->setText(u"01/01/2026"_s);
    if (arrival != Arrival::ClickWhileFocused) {
        form.next->setFocus(Qt::OtherFocusReason);
    }
    const QPoint inYear(date->contentsRect().left() + 4 +
                            date->fontMetrics().horizontalAdvance(u"01/01/2"_s),
                        date->height() / 2);
    switch (arrival) {
    case Arrival::Tab:
        QTest::keyClick(form.next, Qt::Key_Tab);
        break;
    case Arrival::Click:
    case Arrival::ClickWhileFocused:
        QTest::mouseClick(date, Qt::LeftButton, {}, inYear);
        break;
    case Arrival::DoubleClick:
        // As the window system sends it: the second press comes as a double click.
        QTest::mouseClick(date, Qt::LeftButton, {}, inYear);
        QTest::mouseDClick(date, Qt::LeftButton, {}, inYear);
        QTest::mouseRelease(date, Qt::LeftButton, {}, inYear);
        break;
    case Arrival::SecondClick:
        QTest::mouseClick(date, Qt::LeftButton, {}, inYear);
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(1, date->height() / 2));
        break;
    }
    QVERIFY(date->hasFocus());
    QFETCH(QString, typed);
    QTest::keyClicks(date, typed);
    QTEST(date->text(), "shown");
}

void TestFields::amountLeftWithEnter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("value"); // 0: refused
    QTest::newRow("point types a comma") << u"1234.5"_s << u"1234,5"_s << 1234.5;
    QTest::newRow("grouped the Spanish way") << u"1.850,00"_s << u"1,850,00"_s << 1850.0;
    // Cut at 12 characters, as the field was, "12,345,678,9" reads as 12.345.678,90.
    QTest::newRow("grouped, past 12 characters")
        << u"12.345.678,95"_s << u"12,345,678,95"_s << 12345678.95;
    QTest::newRow("lowest, grouped")
        << u"-999.999.999.999,99"_s << u"-999,999,999,999,99"_s << -999999999999.99;
    QTest::newRow("group of two") << u"1.85,00"_s << u"1,85,00"_s << 0.0;
    QTest::newRow("letters") << u"abc"_s << u"abc"_s << 0.0;
}

void TestFields::amountLeftWithEnter() {
    QFETCH(QString, typed);
    QFETCH(double, value);
    Form form;
    auto* amount = form.add(new AmountField(form.palette, form.messages));
    QTest::keyClicks(amount, typed);
    QTEST(amount->text(), "shown");
    QTest::keyClick(amount, Qt::Key_Return);
    if (value != 0.0) {
        QVERIFY(form.next->hasFocus());
        QCOMPARE(amount->amount(), std::optional<double>(value));
    } else {
        QTRY_COMPARE(form.messages.texts(), QStringList{"Ponga un nº correcto"});
        QVERIFY(amount->hasFocus());
    }
}

// The limit used to cut what was loaded, and an unchanged save wrote the cut
// text back.
void TestFields::storedTextsShowWhole() {
    Form form;
    DescriptionField description(form.palette, 250);
    const QString stored = QString(300, QLatin1Char('a'));
    description.showStoredText(stored);
    QCOMPARE(description.toPlainText(), stored);
    // Typing and pasting never make it longer, and keep what stood around them.
    description.moveCursor(QTextCursor::Start);
    description.insertPlainText(QStringLiteral("bcd"));
    QCOMPARE(description.toPlainText(), stored);

    DescriptionField fresh(form.palette, 250);
    fresh.insertPlainText(QString(245, QLatin1Char('x')));
    fresh.insertPlainText(QStringLiteral("abcdefghij"));
    QCOMPARE(fresh.toPlainText(), QString(245, QLatin1Char('x')) + "abcde");
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
