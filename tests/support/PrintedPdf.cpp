#include "support/PrintedPdf.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTest>

namespace velmora::test {

namespace {

QStringList pdfsIn(const QString& folder) {
    QStringList paths;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        paths.append(file.absoluteFilePath());
    }
    return paths;
}

} // namespace

QString pdfText(const QString& pdfPath) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                   pdfPath, QStringLiteral("-")});
    // Not started (poppler-utils missing?), stuck, or failed: the reason goes to the log.
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("pdftotext failed on %s: %s %s", qPrintable(pdfPath),
                 qPrintable(process.errorString()), process.readAllStandardError().constData());
        process.kill();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

PrintQueueOutput::PrintQueueOutput() : folder_(qEnvironmentVariable("VELMORA_CUPS_PDF_DIR")) {
    if (!folder_.isEmpty()) {
        for (const QString& path : pdfsIn(folder_)) {
            known_.insert(path, QFileInfo(path).lastModified());
        }
    }
}

bool PrintQueueOutput::available() {
    return !qEnvironmentVariableIsEmpty("VELMORA_CUPS_QUEUE") &&
           !qEnvironmentVariableIsEmpty("VELMORA_CUPS_PDF_DIR");
}

QString PrintQueueOutput::queueName() {
    return qEnvironmentVariable("VELMORA_CUPS_QUEUE");
}

QString PrintQueueOutput::waitForNewPdf(int timeoutMs) {
    if (folder_.isEmpty()) {
        qWarning("VELMORA_CUPS_PDF_DIR is not set");
        return {};
    }
    // cups-pdf writes the file while the job converts, so a new file counts only
    // once its size has held still for a while.
    constexpr qint64 kSettledMs = 300;
    struct Seen {
        qint64 size = -1;
        QElapsedTimer unchanged;
    };
    QHash<QString, Seen> growing;
    QElapsedTimer waited;
    waited.start();
    while (true) {
        for (const QString& path : pdfsIn(folder_)) {
            // A print with the same document name writes over an older file.
            const QDateTime modified = QFileInfo(path).lastModified();
            if (known_.value(path) == modified) {
                continue;
            }
            const qint64 size = QFileInfo(path).size();
            Seen& seen = growing[path];
            if (size != seen.size) {
                seen.size = size;
                seen.unchanged.start();
            } else if (size > 0 && seen.unchanged.elapsed() >= kSettledMs) {
                known_.insert(path, modified);
                return path;
            }
        }
        if (waited.elapsed() >= timeoutMs) {
            break;
        }
        QTest::qWait(100);
    }
    qWarning("no new PDF in %s after %d ms", qPrintable(folder_), timeoutMs);
    return {};
}

std::optional<QString> ScriptedFiles::openFile(QWidget*, const QString& caption,
                                               const QString& folder, const QString&) {
    return answer(caption, folder);
}

std::optional<QString> ScriptedFiles::saveFile(QWidget*, const QString& caption,
                                               const QString& suggested, const QString&) {
    return answer(caption, suggested);
}

std::optional<QString> ScriptedFiles::answer(const QString& caption, const QString& path) {
    captions.append(caption);
    suggestedPaths.append(path);
    if (answers_.empty()) {
        return std::nullopt;
    }
    std::optional<QString> next = std::move(answers_.front());
    answers_.pop_front();
    return next;
}

} // namespace velmora::test
