#include "exchange/SheetStream.h"

#include "exchange/SheetRules.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <cmath>

namespace velmora {

namespace {

constexpr QDataStream::Version kVersion = QDataStream::Qt_6_0;

constexpr char kStart = 'S';
constexpr char kRow = 'R';
constexpr char kEnd = 'E';
constexpr char kRefusal = 'X';

// A row frame holds at most the widest row of the longest cells: the frame's
// kind, the line and the count, then each cell's length, text and flag.
constexpr qint64 kLongestFrame = 9 + qint64(kMostSheetColumns) * (5 + 2 * kLongestSheetCell);

// A table within the limits of a sheet never takes more: every cell costs at
// least its frame's share in the budget, twice over for its UTF-16 text.
constexpr qint64 kMostStreamBytes = 2 * kMostSheetBytes + 13LL * kMostSheetRows + 64;

// A reason is a sentence; anything longer, or with control characters in it,
// is not one the helper wrote on purpose.
constexpr qsizetype kLongestReason = 400;

[[noreturn]] void damaged() {
    throw SheetError(damagedReason());
}

QByteArray payloadOf(char kind, auto&&... fields) {
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream.setVersion(kVersion);
    stream << quint8(kind);
    (stream << ... << fields);
    return payload;
}

bool writeFrame(QIODevice& out, const QByteArray& payload) {
    char head[4];
    qToBigEndian<quint32>(quint32(payload.size()), head);
    return out.write(head, 4) == 4 && out.write(payload) == payload.size();
}

bool isNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool isSentence(const QString& reason) {
    if (reason.isEmpty() || reason.size() > kLongestReason) {
        return false;
    }
    for (const QChar c : reason) {
        if (!c.isPrint()) {
            return false;
        }
    }
    return true;
}

} // namespace

bool writeSheetTable(QIODevice& out, const SheetTable& table) {
    if (!writeFrame(out, payloadOf(kStart, quint8(table.date1904)))) {
        return false;
    }
    for (const SheetRow& row : table.rows) {
        QByteArray payload;
        QDataStream stream(&payload, QIODevice::WriteOnly);
        stream.setVersion(kVersion);
        stream << quint8(kRow) << qint32(row.line) << quint32(row.cells.size());
        for (const SheetCell& cell : row.cells) {
            stream << cell.text << quint8(cell.number);
        }
        if (!writeFrame(out, payload)) {
            return false;
        }
    }
    return writeFrame(out, payloadOf(kEnd, quint32(table.rows.size())));
}

bool writeSheetRefusal(QIODevice& out, const QString& reason) {
    return writeFrame(out, payloadOf(kRefusal, reason));
}

void SheetStreamReader::feed(const QByteArray& bytes) {
    received_ += bytes.size();
    if (received_ > kMostStreamBytes) {
        throw SheetError(tooMuchTextReason());
    }
    pending_.append(bytes);
    // Frames are taken from the front without moving the rest each time, so
    // that many small rows in one read cost no more than their bytes.
    qsizetype at = 0;
    while (pending_.size() - at >= 4) {
        const quint32 length = qFromBigEndian<quint32>(pending_.constData() + at);
        if (length == 0 || length > kLongestFrame) {
            damaged();
        }
        if (pending_.size() - at - 4 < qsizetype(length)) {
            break;
        }
        frame(QByteArray::fromRawData(pending_.constData() + at + 4, qsizetype(length)));
        at += 4 + qsizetype(length);
    }
    pending_.remove(0, at);
}

void SheetStreamReader::frame(const QByteArray& payload) {
    QDataStream in(payload);
    in.setVersion(kVersion);
    quint8 kind = 0;
    in >> kind;
    switch (kind) {
    case kStart: {
        quint8 date1904 = 0;
        in >> date1904;
        if (started_ || refusal_ || date1904 > 1) {
            damaged();
        }
        started_ = true;
        table_.date1904 = date1904 == 1;
        break;
    }
    case kRow: {
        qint32 line = 0;
        quint32 count = 0;
        in >> line >> count;
        if (!started_ || ended_ || line <= lastLine_ || count == 0) {
            damaged();
        }
        if (count > quint32(kMostSheetColumns)) {
            throw SheetError(tooManyColumnsReason());
        }
        SheetRow row;
        row.line = line;
        row.cells.reserve(count);
        for (quint32 c = 0; c < count; ++c) {
            SheetCell cell;
            quint8 number = 0;
            in >> cell.text >> number;
            if (in.status() != QDataStream::Ok || number > 1) {
                damaged();
            }
            cell.number = number == 1;
            if (cell.number && !isNumber(cell.text)) {
                damaged();
            }
            row.cells.append(std::move(cell));
        }
        // The helper sends no empty row and no empty cell at a row's end,
        // which the budget would drop without counting them.
        if (row.cells.last().text.isEmpty()) {
            damaged();
        }
        lastLine_ = line;
        budget_.keep(table_, std::move(row));
        break;
    }
    case kEnd: {
        quint32 rows = 0;
        in >> rows;
        if (!started_ || ended_ || rows != table_.rows.size()) {
            damaged();
        }
        ended_ = true;
        break;
    }
    case kRefusal: {
        QString reason;
        in >> reason;
        if (started_ || refusal_ || !isSentence(reason)) {
            damaged();
        }
        refusal_ = std::move(reason);
        break;
    }
    default:
        damaged();
    }
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        damaged();
    }
}

SheetTable SheetStreamReader::finish(bool refusedExit) {
    if (!pending_.isEmpty()) {
        damaged();
    }
    if (refusedExit) {
        if (!refusal_) {
            damaged();
        }
        throw SheetError(*refusal_);
    }
    if (!ended_) {
        damaged();
    }
    return std::move(table_);
}

} // namespace velmora
