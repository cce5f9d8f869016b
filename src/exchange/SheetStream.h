#pragma once

// How velmora-xls hands the program a sheet through a pipe. The stream is a run
// of frames, each a four-byte big-endian length and that many bytes, the first
// byte naming the frame:
//   'S' date1904 (quint8)                     the table starts
//   'R' line (qint32) count (quint32), then count times text (QString) number (quint8)
//   'E' rows (quint32)                        the table is whole
//   'X' reason (QString)                      the workbook is refused
// A table is S, R..., E and exit status 0; a refusal is X alone and exit status
// kSheetRefusedExit. The reader trusts none of it: a helper that FreeXL has led
// astray may write anything, so every frame is checked against the limits of a
// sheet as it arrives, and anything else is a damaged workbook.

#include "exchange/SheetRules.h"
#include "exchange/SheetTable.h"

#include <QByteArray>

#include <optional>

class QIODevice;

namespace velmora {

// The helper's exit status when it refuses the workbook with a reason.
inline constexpr int kSheetRefusedExit = 3;

// Writes the frames of a table or of a refusal. False when out fails.
bool writeSheetTable(QIODevice& out, const SheetTable& table);
bool writeSheetRefusal(QIODevice& out, const QString& reason);

// Reads the frames as the helper writes them.
class SheetStreamReader {
public:
    // Takes the next bytes of the stream. Throws SheetError as soon as they
    // break a limit of a sheet or the form of the stream.
    void feed(const QByteArray& bytes);

    // Once the stream has ended: the table, if it came whole. Throws SheetError
    // when it did not, or when the helper refused the workbook (refusedExit:
    // it ended with kSheetRefusedExit), with that reason.
    SheetTable finish(bool refusedExit);

private:
    void frame(const QByteArray& payload);

    QByteArray pending_;
    qint64 received_ = 0;
    bool started_ = false;
    bool ended_ = false;
    int lastLine_ = 0;
    SheetTable table_;
    std::optional<QString> refusal_;
    SheetBudget budget_;
};

} // namespace velmora
