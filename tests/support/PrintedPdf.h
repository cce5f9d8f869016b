#pragma once

// Printed output as the tests read it back: the text of a PDF, the file the PDF
// print queue leaves for a job, and file dialogs answered from a script.

#include "ui/Services.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

namespace velmora::test {

// The text of the PDF at pdfPath as pdftotext lays it out; empty, with the
// reason in the log, when it cannot be read.
QString pdfText(const QString& pdfPath);

// The folder where the CUPS PDF queue (VELMORA_CUPS_QUEUE) leaves the files this
// user prints (VELMORA_CUPS_PDF_DIR). Made before a print, it finds the file
// that print produced.
class PrintQueueOutput {
public:
    PrintQueueOutput();

    // Both variables set: scripts/test.sh sets them when it runs as root.
    static bool available();
    static QString queueName();

    // A PDF that was not in the folder before, or has been written again since,
    // once it has stopped growing; empty when none is complete within timeoutMs.
    // Each writing of a file is returned once.
    QString waitForNewPdf(int timeoutMs = 60000);

private:
    QString folder_;
    QHash<QString, QDateTime> known_; // each file with the time it was last written
};

// File dialogs that answer from a list given in advance, one answer per dialog,
// and cancel when the list is empty. Every call is recorded; for openFile the
// suggested path is the folder it starts in.
class ScriptedFiles : public FileChooser {
public:
    // nullopt: the user cancels that dialog.
    void answerNext(std::optional<QString> answer) { answers_.push_back(std::move(answer)); }
    size_t pending() const { return answers_.size(); }

    std::optional<QString> openFile(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& caption,
                                    const QString& suggested, const QString& filter) override;

    QStringList captions;
    QStringList suggestedPaths;

private:
    std::optional<QString> answer(const QString& caption, const QString& path);

    std::deque<std::optional<QString>> answers_;
};

} // namespace velmora::test
