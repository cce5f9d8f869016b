// velmora-crashtest: kills a process in the middle of the program's writes, again
// and again over one installation, and checks after each kill that nothing
// confirmed was lost and nothing half done shows. See CrashCheck.h.

#include "CrashCheck.h"
#include "CrashChild.h"
#include "common/OwnMessages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstring>
#include <exception>

using namespace velmora::crashtest;
using namespace Qt::StringLiterals;

namespace {

// A child killed before it confirms anything tests only SQLite's own recovery,
// so most kills wait until it has opened the installation.
constexpr int kLongestWaitMs = 300;
constexpr int kChildStartMs = 60000;

struct Options {
    int kills = 0;
    quint64 seed = 0;
};

// Kills one child at a random moment and gives what it had reported.
ChildReport killOne(const CrashInstallation& installation, QRandomGenerator& random,
                    QTextStream& err) {
    QProcess child;
    // The children's year locks stay in the installation, not in the user's own folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, installation.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--child"_s, installation.programFolder(), QString::number(random.generate64())});
    QByteArray output;
    const bool early = random.bounded(10) == 0;
    if (early) {
        child.waitForFinished(static_cast<int>(random.bounded(30)));
    } else {
        // Until the child says it is ready: it has opened the year.
        while (!output.contains("ready\n") && child.waitForReadyRead(kChildStartMs)) {
            output += child.readAllStandardOutput();
        }
        child.waitForFinished(static_cast<int>(random.bounded(kLongestWaitMs)));
    }
    if (child.state() == QProcess::NotRunning) {
        err << "velmora-crashtest: el proceso hijo terminó solo:\n"
            << QString::fromLocal8Bit(child.readAllStandardError());
        err.flush();
        std::exit(2);
    }
    child.kill(); // SIGKILL
    child.waitForFinished(kChildStartMs);
    output += child.readAllStandardOutput();
    return parseReport(output);
}

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Mata con SIGKILL, una y otra vez y en un momento al azar, un proceso que guarda "
        "apuntes, renombra cuentas, cambia presupuestos, compacta, crea años, hace copias "
        "automáticas y copias en una unidad, importa archivos y apunta recibos en una "
        "instalación temporal, y comprueba después de cada vez que no se ha perdido nada "
        "confirmado ni queda nada a medias."_s);
    parser.addHelpOption();
    parser.addOption({u"kills"_s, u"Número de veces que se mata el proceso."_s, u"N"_s});
    parser.addOption(
        {u"seed"_s, u"Semilla de los números al azar (por defecto, una nueva)."_s, u"S"_s});
    parser.process(app);
    Options options;
    bool ok = false;
    options.kills = parser.value(u"kills"_s).toInt(&ok);
    if (!ok || options.kills < 1) {
        QTextStream(stderr) << "velmora-crashtest: --kills necesita un número entero positivo\n";
        std::exit(2);
    }
    options.seed = QRandomGenerator::global()->generate64();
    if (parser.isSet(u"seed"_s)) {
        options.seed = parser.value(u"seed"_s).toULongLong(&ok);
        if (!ok) {
            QTextStream(stderr) << "velmora-crashtest: --seed necesita un número entero\n";
            std::exit(2);
        }
    }
    return options;
}

int run(const Options& options) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    QElapsedTimer clock;
    clock.start();
    QRandomGenerator random(options.seed);
    CrashInstallation installation(options.seed);
    CrashModel model(installation);
    Figures figures;
    for (int kill = 0; kill < options.kills; ++kill) {
        const ChildReport report = killOne(installation, random, err);
        model.check(report, figures);
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;

    const auto row = [&](const QString& label, const QString& value) {
        out << "  " << label.leftJustified(48, u'.') << ' ' << value << '\n';
    };
    out << "Procesos matados a mitad de escritura\n";
    row(u"Semilla"_s, QString::number(options.seed));
    row(u"Procesos matados"_s, QString::number(figures.kills));
    row(u"Escrituras confirmadas"_s, QString::number(figures.confirmedWrites));
    row(u"Procesos matados a mitad de una escritura"_s, QString::number(figures.killsMidWrite));
    row(u"  de ellos, a mitad de una importación"_s, QString::number(figures.killsMidImport));
    row(u"  de ellos, a mitad de apuntar un recibo"_s, QString::number(figures.killsMidReceipt));
    row(u"  de ellos, a mitad de una copia en la unidad"_s,
        QString::number(figures.killsMidBackup));
    row(u"Bases de datos dañadas"_s, QString::number(figures.integrityFailures));
    row(u"Escrituras confirmadas perdidas"_s, QString::number(figures.lostCommits));
    row(u"Cambios a medias"_s, QString::number(figures.halfApplied));
    row(u"Archivos de ajustes dañados"_s, QString::number(figures.badSettings));
    row(u"Segundos"_s, QString::number(seconds, 'f', 1));
    out << "{\"kills\":" << figures.kills << ",\"integrity_failures\":" << figures.integrityFailures
        << ",\"lost_commits\":" << figures.lostCommits
        << ",\"half_applied\":" << figures.halfApplied
        << ",\"bad_settings\":" << figures.badSettings
        << ",\"kills_mid_import\":" << figures.killsMidImport
        << ",\"kills_mid_receipt\":" << figures.killsMidReceipt
        << ",\"kills_mid_backup\":" << figures.killsMidBackup
        << ",\"seconds\":" << QString::number(seconds, 'f', 1) << "}\n";
    if (!figures.clean()) {
        for (const QString& fault : figures.faults) {
            err << fault << '\n';
        }
        err.flush();
        installation.keep();
        out << "La instalación queda en " << installation.path() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    velmora::tools::keepOnlyOwnMessages();
    QCoreApplication app(argc, argv);
    // The child: velmora-crashtest --child PROGRAM_FOLDER SEED, never typed by hand.
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        return runChild(QString::fromLocal8Bit(argv[2]),
                        QString::fromLatin1(argv[3]).toULongLong());
    }
    try {
        return run(parseOptions(app));
    } catch (const std::exception& error) {
        QTextStream(stderr) << "velmora-crashtest: " << QString::fromUtf8(error.what()) << '\n';
        return 2;
    }
}
