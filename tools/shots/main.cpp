// velmora-shots: pictures of every window of the program over a real year, to
// look at after a change of layout or colours. It starts the program as `velmora`
// does (its settings beside the executable or in the user's folder), opens each
// window through the main window's own buttons and menu, and writes one PNG per
// window. Run it under a display the size of the screen to try, e.g.
//   Xvfb :99 -screen 0 800x600x24 & DISPLAY=:99 velmora-shots /tmp/shots --dark
// --dark paints with a dark palette, as a dark desktop theme would.

#include "app/Desktop.h"
#include "app/Program.h"
#include "app/frmPrincipal.h"
#include "receipts/ReceiptStore.h"
#include "state/Settings.h"
#include "store/Amount.h"
#include "store/Sqlite.h"
#include "ui/MessageService.h"
#include "ui/Services.h"
#include "years/YearFolders.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QPalette>
#include <QScreen>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace velmora;

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

void settle(int ms = 300) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(90, 160, 240));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return p;
}

// Writes the picture of a window and says whether it fits the screen.
void shoot(QWidget& window, const QString& folder, const QString& name) {
    settle();
    const QRect screen =
        window.screen() != nullptr ? window.screen()->availableGeometry() : QRect();
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    window.grab().save(file);
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    out() << name << ": " << window.width() << "x" << window.height() << ", smallest "
          << least.width() << "x" << least.height()
          << (least.width() > screen.width() || least.height() > screen.height()
                  ? " DOES NOT FIT the screen"
                  : "")
          << " -> " << file << "\n";
    out().flush();
}

// Shows every window it is asked to run instead of waiting for the user, takes
// its picture, does what the script says inside it, and closes it.
class ShootingRunner : public DialogRunner {
public:
    QString folder;
    std::function<void(QDialog&)> inside;
    QStringList accepted; // windows answered as accepted, by name

    int run(QDialog& dialog) override {
        dialog.show();
        // The entry window opens twice: new and edited.
        const int seen = ++opened_[dialog.objectName()];
        const QString name =
            dialog.objectName() + (seen > 1 ? QStringLiteral("-%1").arg(seen) : QString());
        shoot(dialog, folder, name);
        if (inside) {
            const auto next = std::exchange(inside, nullptr);
            next(dialog);
        }
        if (accepted.contains(dialog.objectName())) {
            dialog.accept();
            return QDialog::Accepted;
        }
        dialog.reject();
        return QDialog::Rejected;
    }

private:
    QHash<QString, int> opened_;
};

class QuietMessages : public RecordingMessageService {
public:
    MessageAnswer show(QWidget* parent, const Message& message) override {
        out() << "  message: " << message.text << "\n";
        return RecordingMessageService::show(parent, message);
    }
};

// Clicks the named button of a window.
void press(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name))) {
        button->click();
    } else if (auto* action = window.findChild<QAction*>(QString::fromLatin1(name))) {
        action->trigger();
    } else {
        out() << "  no " << name << " in " << window.objectName() << "\n";
    }
}

class SavingChooser : public FileChooser {
public:
    QString path;
    std::optional<QString> openFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return path;
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return path;
    }
};

// The household's usual receipts, added once, so that their windows show some:
// one whose amount varies and one of the largest amount.
void addReceipts(const QString& programFolder) {
    const SettingsFiles settings(programFolder);
    Database db(databasePathFor(settings.readDataRoot(), settings.readYear()));
    if (!listReceipts(db).empty()) {
        return;
    }
    const int year = QDate::currentDate().year();
    const std::vector<Receipt> receipts = {
        {0, QStringLiteral("Alquiler del piso"), QStringLiteral("Alquiler"),
         QStringLiteral("Banco"), std::nullopt, ReceiptSchedule{1, 1, QDate(year, 1, 1), QDate()}},
        {0, QStringLiteral("Recibo de la luz (Iberdrola)"), QStringLiteral("Luz"),
         QStringLiteral("Banco"), qint64(4530), ReceiptSchedule{2, 31, QDate(year, 1, 1), QDate()}},
        {0, QStringLiteral("Cuota de la comunidad de vecinos"), QStringLiteral("Comunidad"),
         QStringLiteral("Banco"), qint64(6000), ReceiptSchedule{3, 5, QDate(year, 1, 5), QDate()}},
        {0, QStringLiteral("IBI"), QStringLiteral("IBI"), QStringLiteral("Banco"), kMaxAmountCents,
         ReceiptSchedule{12, 30, QDate(year, 6, 30), QDate(year + 5, 6, 30)}},
    };
    try {
        for (const Receipt& receipt : receipts) {
            saveReceipt(db, receipt);
        }
    } catch (const DbError& error) {
        out() << "  no receipts: " << error.what() << "\n";
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTranslator qtTexts;
    setUpDesktop(qtTexts);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.contains(QStringLiteral("--help"))) {
        out() << "velmora-shots FOLDER [--dark]: a PNG of every window in FOLDER\n";
        return args.isEmpty() ? 2 : 0;
    }
    const QString folder = args.first();
    QDir().mkpath(folder);
    if (args.contains(QStringLiteral("--dark"))) {
        QApplication::setPalette(darkPalette());
    }

    QuietMessages messages;
    ShootingRunner dialogs;
    dialogs.folder = folder;
    const Clock clock;
    SavingChooser files;
    files.path = QDir(folder).filePath(QStringLiteral("lista.csv"));
    const SystemInfo system;
    Services services{messages, dialogs, clock, files, system};
    Program program(QCoreApplication::applicationDirPath(), services);
    if (const std::optional<int> exitCode = program.start()) {
        return *exitCode;
    }
    frmPrincipal& main = *program.mainWindow();
    // As a maximised window under a title bar and a panel.
    const QRect screen = main.screen()->availableGeometry();
    main.resize(screen.width(), screen.height() - 60);
    main.move(screen.topLeft());
    shoot(main, folder, QStringLiteral("frmPrincipal"));

    for (const char* button :
         {"cmdNovo", "cmdEditar", "cmdBalance", "cmdEstadisticas", "cmdInforme"}) {
        press(main, button);
    }
    dialogs.inside = [](QDialog& accounts) { press(accounts, "cmdNovo"); };
    press(main, "mnuCuentas");
    for (const char* item :
         {"mnuAnos", "mnuOpCopia", "mnuOpCores", "mnuOpAcercade", "mnuOpConfiguracion",
          "mnuOpExportar", "mnuOpImportar", "mnuOpEvolucion"}) {
        press(main, item);
    }
    // The balances, then from them the first account's register and the carry-over.
    dialogs.inside = [&dialogs](QDialog& balances) {
        // And from the register, its printed form.
        dialogs.inside = [](QDialog& statement) { press(statement, "cmdImprimir"); };
        if (auto* grid = balances.findChild<QAbstractItemView*>(QStringLiteral("mshCaja"))) {
            grid->setCurrentIndex(grid->model()->index(0, 0));
            QMetaObject::invokeMethod(grid, "doubleClicked",
                                      Q_ARG(QModelIndex, grid->model()->index(0, 0)));
        }
        press(balances, "cmdAnoAnterior");
    };
    press(main, "mnuOpSaldos");
    // The yearly summary, then its printed form.
    dialogs.inside = [](QDialog& summary) { press(summary, "cmdImprimir"); };
    press(main, "mnuOpResumen");
    // The budget over the whole year, then the first expense account's own window.
    dialogs.inside = [](QDialog& budget) {
        if (auto* months = budget.findChild<QComboBox*>(QStringLiteral("cmbMes"))) {
            months->setCurrentIndex(0);
        }
        if (auto* grid = budget.findChild<QAbstractItemView*>(QStringLiteral("mshDatos"))) {
            for (int row = 0; row < grid->model()->rowCount(); ++row) {
                if (grid->model()->index(row, 0).data().toString() == QLatin1String("Gastos")) {
                    grid->setCurrentIndex(grid->model()->index(row + 1, 0));
                    break;
                }
            }
        }
        press(budget, "cmdPresupuesto");
    };
    press(main, "mnuOpPresupuesto");
    // Every year searched, with a search that finds something in each.
    dialogs.inside = [&dialogs](QDialog& search) {
        press(search, "cmdBuscar");
        shoot(search, dialogs.folder, QStringLiteral("frmBuscarAnos-resultado"));
    };
    press(main, "mnuOpBuscarAnos");
    // A bank's own movements file, with the holder above its table and the balance
    // after each movement, into the first cash account; then its columns.
    const QString bankFile = QDir(folder).filePath(QStringLiteral("banco.csv"));
    if (QFile file(bankFile); file.open(QIODevice::WriteOnly)) {
        const int year = QDate::currentDate().year();
        file.write(QStringLiteral("Titular: ANA GARCÍA LÓPEZ\r\n"
                                  "IBAN: ES12 0049 1500 0512 3456 7890\r\n\r\n"
                                  "F. Operación;F. Valor;Concepto;Importe;Saldo\r\n"
                                  "05/03/%1;05/03/%1;RECIBO IBERDROLA CLIENTES SAU;-45,30;"
                                  "999.999.954,70\r\n"
                                  "03/03/%1;03/03/%1;COMPRA MERCADONA VALENCIA;-62,15;"
                                  "1.000.000.000,00\r\n"
                                  "01/03/%1;01/03/%1;TRANSFERENCIA NOMINA EMPRESA SL;"
                                  "1.500,00;1.000.000.062,15\r\n")
                       .arg(year)
                       .toUtf8());
    }
    files.path = bankFile;
    dialogs.accepted = {QStringLiteral("frmCuentaExtracto")};
    // The account's question first, then the preview.
    dialogs.inside = [&dialogs](QDialog&) {
        dialogs.inside = [&dialogs](QDialog& preview) {
            auto* tabs = preview.findChild<QTabWidget*>(QStringLiteral("tabs"));
            for (const char* page : {"grdApuntes", "grdColumnas"}) {
                if (tabs != nullptr) {
                    tabs->setCurrentWidget(preview.findChild<QWidget*>(QString::fromLatin1(page)));
                }
                shoot(preview, dialogs.folder,
                      QStringLiteral("frmImportar-") + QString::fromLatin1(page));
            }
        };
    };
    press(main, "mnuOpImportar");
    dialogs.accepted.clear();
    press(main, "mnuOpReglas");
    // The receipts, a new one's form and a changed one's, and the pending ones.
    addReceipts(QCoreApplication::applicationDirPath());
    dialogs.inside = [](QDialog& receipts) {
        press(receipts, "cmdAnadir");
        if (auto* grid = receipts.findChild<QAbstractItemView*>(QStringLiteral("mshDatos"))) {
            grid->setCurrentIndex(grid->model()->index(3, 1));
        }
        press(receipts, "cmdModificar");
        press(receipts, "cmdPendientes");
    };
    press(main, "mnuOpRecibos");
    // A filtered list, with its line saying so.
    main.findChild<QWidget*>(QStringLiteral("mshDatos"))->setFocus();
    for (auto* action : main.actions()) {
        if (action->objectName() == QLatin1String("actFiltroConcepto")) {
            action->trigger();
        }
    }
    if (auto* box = main.findChild<QWidget*>(QStringLiteral("txtFiltroDes"))) {
        QMetaObject::invokeMethod(box, "setText", Q_ARG(QString, QStringLiteral("luz")));
        QMetaObject::invokeMethod(box, "returnPressed");
    }
    shoot(main, folder, QStringLiteral("frmPrincipal-filtro"));
    messages.answerNext(MessageAnswer::Yes);
    main.close();
    return 0;
}
