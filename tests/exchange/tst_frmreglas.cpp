// The import rules window driven through its real widgets: each change reaches
// the rules file at once, in the order shown; a rule the file cannot take stays
// typed in its window, and the list stays as the file has it.

#include "RuleLists.h"
#include "exchange/HouseRuleTableModel.h"
#include "exchange/HouseRules.h"
#include "exchange/frmReglas.h"
#include "store/PathText.h"
#include "support/Files.h"
#include "support/HostilePaths.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace velmora;
using namespace velmora::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kThree = {u"IBERDROLA=Luz"_s, u"MERCADONA=Súper"_s, u"CANAL=Agua"_s};

struct Fixture : WindowFixture<frmReglas> {
    explicit Fixture(const QStringList& rules) {
        for (const char* name : {"Luz", "Súper", "Agua", "Banco"}) {
            ledger.addAccount(QString::fromUtf8(name), "G");
        }
        if (!rules.isEmpty()) {
            writeHouseRules(ledger.dataRoot(), rulesOf(rules));
        }
    }
    QString path() const { return houseRulesPath(ledger.dataRoot()); }
    QStringList shown() const {
        QStringList pairs;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            pairs.append(cell(r, HouseRuleTableModel::TextColumn) + u'=' +
                         cell(r, HouseRuleTableModel::AccountColumn));
        }
        return pairs;
    }
    QStringList inFile() const { return pairsOf(readHouseRules(ledger.dataRoot()).rules); }
    void select(int row) const {
        grid()->setCurrentIndex(grid()->model()->index(row, HouseRuleTableModel::TextColumn));
    }
    // The rule window's script: types the rule and accepts it.
    void typeRule(const QString& text, const QString& account) {
        services.dialogs.expect([text, account](QDialog& card) {
            card.findChild<QLineEdit*>("txtTexto")->setText(text);
            card.findChild<QComboBox*>("cmbCuenta")->setEditText(account);
            QTest::mouseClick(card.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
        });
    }
};

} // namespace

class TestFrmReglas : public QObject {
    Q_OBJECT
private slots:
    void changes_data();
    void changes();
    void ruleRefused_data();
    void ruleRefused();
    void writeFails_data();
    void writeFails();
    void noFileInItsPlace_data();
    void noFileInItsPlace();
    void damagedLines();
};

void TestFrmReglas::changes_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("after"); // on screen and in the file
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("add to none") << QStringList{} << u"cmdAnadir"_s << -1
                                 << QStringList{u"REPSOL=Súper"_s} << 0 << QStringList{};
    QTest::newRow("add goes last")
        << kThree << u"cmdAnadir"_s << 0 << (kThree + QStringList{u"REPSOL=Súper"_s}) << 3
        << QStringList{};
    QTest::newRow("modify") << kThree << u"cmdModificar"_s << 1
                            << QStringList{u"IBERDROLA=Luz"_s, u"REPSOL=Súper"_s, u"CANAL=Agua"_s}
                            << 1 << QStringList{};
    QTest::newRow("up") << kThree << u"cmdSubir"_s << 2
                        << QStringList{u"IBERDROLA=Luz"_s, u"CANAL=Agua"_s, u"MERCADONA=Súper"_s}
                        << 1 << QStringList{};
    QTest::newRow("down") << kThree << u"cmdBajar"_s << 0
                          << QStringList{u"MERCADONA=Súper"_s, u"IBERDROLA=Luz"_s, u"CANAL=Agua"_s}
                          << 1 << QStringList{};
    QTest::newRow("up from the top stays")
        << kThree << u"cmdSubir"_s << 0 << kThree << 0 << QStringList{};
    QTest::newRow("down from the bottom stays")
        << kThree << u"cmdBajar"_s << 2 << kThree << 2 << QStringList{};
    QTest::newRow("delete, yes")
        << kThree << u"cmdBorrar"_s << 1 << QStringList{u"IBERDROLA=Luz"_s, u"CANAL=Agua"_s} << 1
        << QStringList{u"¿Borrar la regla concepto contiene «MERCADONA» → Súper?"_s,
                       u"PROCESO FINALIZADO"_s};
    QTest::newRow("delete the last one, yes")
        << kThree << u"cmdBorrar"_s << 2 << QStringList{u"IBERDROLA=Luz"_s, u"MERCADONA=Súper"_s}
        << 1
        << QStringList{u"¿Borrar la regla concepto contiene «CANAL» → Agua?"_s,
                       u"PROCESO FINALIZADO"_s};
    QTest::newRow("delete, no") << kThree << u"cmdBorrar"_s << 0 << kThree << 0
                                << QStringList{u"¿Borrar la regla concepto contiene «IBERDROLA» → "
                                               "Luz?"_s};
}

void TestFrmReglas::changes() {
    QFETCH(QStringList, before);
    QFETCH(QString, command);
    QFETCH(int, row);
    QFETCH(QStringList, after);
    QFETCH(int, selected);
    Fixture f(before);
    f.open();
    QCOMPARE(f.shown(), before);
    if (row >= 0) {
        f.select(row);
    }
    // Typed as the user might: spaces around, the account in other letters.
    f.typeRule(u"  REPSOL "_s, u"súper"_s);
    if (command == u"cmdBorrar"_s) {
        f.messages.answerNext(QTest::currentDataTag() == "delete, no"_ba ? MessageAnswer::No
                                                                         : MessageAnswer::Yes);
    }
    f.click(command);
    const bool opensTheRule = command == u"cmdAnadir"_s || command == u"cmdModificar"_s;
    QCOMPARE(f.services.dialogs.pending(), opensTheRule ? size_t(0) : size_t(1));
    QCOMPARE(f.shown(), after);
    QCOMPARE(f.inFile(), after);
    QCOMPARE(f.grid()->currentIndex().row(), selected);
    QTEST(f.messages.texts(), "messages");
    QCOMPARE(f.window->rules().rules.size(), after.size());
}

void TestFrmReglas::ruleRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no text") << u"   "_s << u"Luz"_s
                             << u"Escriba el texto que debe contener el concepto"_s
                             << u"txtTexto"_s;
    // It would be in every concept once folded, and take every movement.
    QTest::newRow("an accent alone")
        << u"\u0301"_s << u"Luz"_s << u"Escriba el texto que debe contener el concepto"_s
        << u"txtTexto"_s;
    QTest::newRow("no account") << u"IBERDROLA"_s << u"  "_s << u"Escriba o elija la cuenta"_s
                                << u"cmbCuenta"_s;
}

void TestFrmReglas::ruleRefused() {
    QFETCH(QString, text);
    QFETCH(QString, account);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Fixture f({u"IBERDROLA=Luz"_s});
    f.open();
    bool keptOpen = false;
    bool focused = false;
    f.services.dialogs.expect([&](QDialog& card) {
        card.findChild<QLineEdit*>("txtTexto")->setText(text);
        card.findChild<QComboBox*>("cmbCuenta")->setEditText(account);
        QTest::mouseClick(card.findChild<QPushButton*>("cmdAceptar"), Qt::LeftButton);
        keptOpen = card.isVisible();
        // The combo's own line edit has the focus when the combo has it.
        QWidget* field = card.findChild<QWidget*>(focus);
        QWidget* has = card.focusWidget();
        focused = has != nullptr && (has == field || field->isAncestorOf(has));
    });
    f.click("cmdAnadir");
    QVERIFY(keptOpen);
    QVERIFY(focused);
    QCOMPARE(f.messages.texts(), QStringList{message});
    QCOMPARE(f.inFile(), QStringList{u"IBERDROLA=Luz"_s});
    QCOMPARE(f.shown(), QStringList{u"IBERDROLA=Luz"_s});
}

void TestFrmReglas::writeFails_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("afterwards"); // once the file can be written again
    QTest::newRow("add") << u"cmdAnadir"_s << (kThree + QStringList{u"REPSOL=Súper"_s});
    QTest::newRow("modify") << u"cmdModificar"_s
                            << QStringList{u"IBERDROLA=Luz"_s, u"REPSOL=Súper"_s, u"CANAL=Agua"_s};
    QTest::newRow("up") << u"cmdSubir"_s << QStringList{};
    QTest::newRow("delete") << u"cmdBorrar"_s << QStringList{};
}

// With a folder put in the file's place while the window is open, nothing can be
// written: the user is told why, the list keeps the rules, and a rule being typed
// stays in its window, to be accepted again once the file can be written.
void TestFrmReglas::writeFails() {
    QFETCH(QString, command);
    QFETCH(QStringList, afterwards);
    Fixture f(kThree);
    f.open();
    f.select(1);
    QVERIFY(QFile::remove(f.path()));
    QVERIFY(QDir().mkdir(f.path()));
    const QString told = u"No se puede escribir %1: no se puede abrir el archivo para escribir. "
                         "Las reglas siguen como estaban."_s.arg(pathForMessage(f.path()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(f.path())));
    QString typedAfterFailure;
    bool openAfterFailure = false;
    f.services.dialogs.expect([&](QDialog& card) {
        auto* text = card.findChild<QLineEdit*>("txtTexto");
        text->setText(u"REPSOL"_s);
        card.findChild<QComboBox*>("cmbCuenta")->setEditText(u"Súper"_s);
        auto* accept = card.findChild<QPushButton*>("cmdAceptar");
        QTest::mouseClick(accept, Qt::LeftButton);
        openAfterFailure = card.isVisible();
        typedAfterFailure = text->text();
        QCOMPARE(f.shown(), kThree);
        QVERIFY(QDir().rmdir(f.path()));
        QTest::mouseClick(accept, Qt::LeftButton);
    });
    f.messages.answerNext(MessageAnswer::Yes);
    f.click(command);
    QCOMPARE(f.messages.texts().last(), told);
    if (afterwards.isEmpty()) {
        QCOMPARE(f.services.dialogs.pending(), size_t(1));
        QCOMPARE(f.shown(), kThree);
        QCOMPARE(f.grid()->currentIndex().row(), 1);
        return;
    }
    QVERIFY(openAfterFailure);
    QCOMPARE(typedAfterFailure, u"REPSOL"_s);
    QCOMPARE(f.shown(), afterwards);
    QCOMPARE(f.inFile(), afterwards);
}

void TestFrmReglas::noFileInItsPlace_data() {
    addHostileInputRows();
}

// Something there that cannot be read is said on opening, and never written
// over: it may be rules the user has not seen.
void TestFrmReglas::noFileInItsPlace() {
    QFETCH(QString, refusal);
    QTemporaryDir scratch;
    Fixture f({});
    const HostilePath hostile = hostileInput(scratch.path());
    QVERIFY(QFile::link(hostile.path, f.path()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"reglas no leídas"_s));
    f.open();
    QCOMPARE(f.shown(), QStringList{});
    QCOMPARE(f.messages.texts().size(), 1);
    const QString opening = f.messages.texts().first();
    QVERIFY2(opening.startsWith(u"No se pueden leer las reglas de importación: "_s),
             qPrintable(opening));
    QVERIFY2(opening.contains(refusal), qPrintable(opening));
    QVERIFY2(opening.endsWith(u". Las reglas no se pueden cambiar hasta que se corrija."_s),
             qPrintable(opening));
    f.typeRule(u"REPSOL"_s, u"Súper"_s);
    f.click("cmdAnadir");
    QCOMPARE(f.messages.texts().last(),
             u"No se pueden cambiar las reglas: %1 no se ha podido leer y se perderían las que "
             "tiene."_s.arg(pathForMessage(f.path())));
    QVERIFY(QFileInfo(f.path()).isSymLink());
    QCOMPARE(f.shown(), QStringList{});
}

// Lines that are no rule are said on opening, with what a change will do to them.
void TestFrmReglas::damagedLines() {
    Fixture f({});
    QVERIFY(putBytes(f.path(), "IBERDROLA\tLuz\nMERCADONA Super\n"));
    f.open();
    QCOMPARE(f.shown(), QStringList{u"IBERDROLA=Luz"_s});
    QCOMPARE(f.messages.texts(),
             QStringList{u"En %1, la línea 2 no es una regla (el texto, un tabulador y la cuenta); "
                         "se han leído las demás. Si cambia aquí las reglas, esas líneas se "
                         "quitarán del archivo."_s.arg(pathForMessage(f.path()))});
}

QTEST_MAIN(TestFrmReglas)
#include "tst_frmreglas.moc"
