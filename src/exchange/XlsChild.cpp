#include "exchange/XlsChild.h"

#include "exchange/SheetRules.h"
#include "exchange/SheetStream.h"
#include "exchange/XlsReader.h"
#include "state/Logging.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace velmora {

namespace {

constexpr qint64 kChunk = 1 << 16;

// Leaving by an exception, the helper must not outlive the read.
class Ending {
public:
    explicit Ending(QProcess& child) : child_(child) {}
    ~Ending() {
        if (child_.state() != QProcess::NotRunning) {
            child_.kill();
            child_.waitForFinished(5000);
        }
    }
    Ending(const Ending&) = delete;
    Ending& operator=(const Ending&) = delete;

private:
    QProcess& child_;
};

[[noreturn]] void refuse(const QString& reason) {
    throw SheetError(reason);
}

bool isProgram(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QString missingHelperReason() {
    return QStringLiteral("falta el programa auxiliar velmora-xls; reinstale Velmora");
}

QString slowHelperReason() {
    return QStringLiteral("la lectura del libro no terminó a tiempo; puede estar dañado");
}

QString xlsHelperPath() {
    // Without an application there is no program folder, and a relative path
    // would run whatever velmora-xls the working folder holds.
    if (QCoreApplication::instance() == nullptr) {
        return {};
    }
    const QDir folder(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {folder.filePath(QStringLiteral("velmora-xls")),
          folder.filePath(QStringLiteral(VELMORA_HELPERS_FROM_BINDIR "/velmora-xls"))}) {
        if (isProgram(candidate)) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

SheetTable readXlsWith(const QString& helper, QFile& file, std::chrono::milliseconds timeLimit) {
    if (helper.isEmpty() || !isProgram(helper)) {
        qCWarning(lcExchange).noquote() << "xls: no se encuentra el auxiliar" << helper;
        refuse(missingHelperReason());
    }
    QProcess child;
    child.setProgram(helper);
    // Nothing of the user's environment (LD_PRELOAD, a locale, a home) reaches
    // the helper: it needs none of it.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    child.setProcessEnvironment(environment);
    // The descriptor the path gate checked, opened anew, so that the helper
    // reads the file checked and its reading moves nothing in this process.
    child.setStandardInputFile(QStringLiteral("/proc/self/fd/%1").arg(file.handle()));
    // Its log lines, and a sanitizer's report, go where ours go.
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });

    const QDeadlineTimer deadline(timeLimit);
    child.start(QIODevice::ReadOnly);
    const Ending ending(child);
    if (!child.waitForStarted(int(deadline.remainingTime()))) {
        qCWarning(lcExchange).noquote() << "xls: el auxiliar no arranca:" << child.errorString();
        refuse(missingHelperReason());
    }
    SheetStreamReader reader;
    for (;;) {
        const QByteArray bytes = child.read(kChunk);
        if (!bytes.isEmpty()) {
            reader.feed(bytes);
            continue;
        }
        if (child.state() == QProcess::NotRunning) {
            break;
        }
        if (deadline.hasExpired()) {
            qCWarning(lcExchange).noquote() << "xls: el auxiliar no terminó a tiempo";
            refuse(slowHelperReason());
        }
        // False once the helper has ended; its last bytes are then read.
        child.waitForReadyRead(int(deadline.remainingTime()));
    }
    if (child.exitStatus() != QProcess::NormalExit) {
        qCWarning(lcExchange).noquote() << "xls: el auxiliar terminó por una señal";
        refuse(damagedReason());
    }
    const int status = child.exitCode();
    if (status != 0 && status != kSheetRefusedExit) {
        qCWarning(lcExchange).noquote() << "xls: el auxiliar terminó con el código" << status;
        refuse(damagedReason());
    }
    return reader.finish(status == kSheetRefusedExit);
}

SheetTable readXls(QFile& file) {
    return readXlsWith(xlsHelperPath(), file, kXlsTimeLimit);
}

} // namespace velmora
