// The program's side of velmora-xls: whatever a helper led astray by a hostile
// workbook does (dies, hangs, writes garbage or a flood), the import gets a
// Spanish reason and this process carries on. Each row runs a stand-in helper,
// a shell script that writes the bytes given and ends as told.

#include "exchange/SheetRules.h"
#include "exchange/SheetStream.h"
#include "exchange/XlsChild.h"

#include "support/Files.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace velmora;
using namespace velmora::test;

namespace {

using namespace std::chrono_literals;

// A frame as the helper writes it: its length, then its fields.
QByteArray frame(char kind, auto&&... fields) {
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << quint8(kind);
    (stream << ... << fields);
    char head[4];
    qToBigEndian<quint32>(quint32(payload.size()), head);
    return QByteArray(head, 4) + payload;
}

QByteArray start() {
    return frame('S', quint8(0));
}

QByteArray row(int line, const QString& text, bool number = false) {
    return frame('R', qint32(line), quint32(1), text, quint8(number));
}

QByteArray end(int rows) {
    return frame('E', quint32(rows));
}

QByteArray tableBytes(const SheetTable& table) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSheetTable(buffer, table);
    return buffer.data();
}

QByteArray refusalBytes(const QString& reason) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSheetRefusal(buffer, reason);
    return buffer.data();
}

SheetTable smallTable() {
    SheetTable table;
    table.rows.push_back(
        {1, {{QStringLiteral("Fecha"), false}, {QStringLiteral("Importe"), false}}});
    table.rows.push_back(
        {2, {{QStringLiteral("2024-03-01"), false}, {QStringLiteral("-5"), true}}});
    return table;
}

const QString kMark = QStringLiteral("VELMORA_MARCA_DEL_PADRE");

} // namespace

class TestXlsChild : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refused_data();
    void refused();
};

void TestXlsChild::initTestCase() {
    // Set here for the helper to find if the environment leaked through.
    qputenv(kMark.toLatin1(), "1");
}

void TestXlsChild::refused_data() {
    QTest::addColumn<QByteArray>("output"); // the bytes the helper writes
    QTest::addColumn<QByteArray>("then");   // what the script does after writing them
    QTest::addColumn<int>("seconds");       // the time limit
    QTest::addColumn<QString>("reason");

    const QString damaged = damagedReason();
    const QByteArray table = tableBytes(smallTable());
    const QString password = passwordProtectedReason();

    QTest::newRow("no helper") << QByteArray() << QByteArray() << 30 << missingHelperReason();
    // A helper taken down by FreeXL, after or before writing anything.
    QTest::newRow("killed by a signal") << table << QByteArray("kill -SEGV $$") << 30 << damaged;
    QTest::newRow("killed before a byte")
        << QByteArray() << QByteArray("kill -KILL $$") << 30 << damaged;
    // A sanitizer ends the process with its own status once the table is out.
    QTest::newRow("a whole table, then another status")
        << table << QByteArray("exit 1") << 30 << damaged;
    QTest::newRow("hangs") << QByteArray() << QByteArray("exec /bin/sleep 60") << 1
                           << slowHelperReason();
    QTest::newRow("hangs after closing its output")
        << start() << QByteArray("exec >&-; exec /bin/sleep 60") << 1 << slowHelperReason();
    // Past a limit it is refused as the bytes come, not once the helper ends.
    QByteArray tooMany = start();
    for (int line = 1; line <= kMostSheetRows + 1; ++line) {
        tooMany += row(line, QStringLiteral("x"));
    }
    QTest::newRow("more rows than a sheet has, then hangs")
        << tooMany << QByteArray("exec /bin/sleep 60") << 20 << tooManyRowsReason();
    QTest::newRow("a row wider than a sheet")
        << start() + frame('R', qint32(1), quint32(kMostSheetColumns + 1)) << QByteArray("exit 0")
        << 30 << tooManyColumnsReason();
    QTest::newRow("a cell past the longest")
        << start() + row(1, QString(kLongestSheetCell + 1, u'a')) + end(1) << QByteArray("exit 0")
        << 30 << longCellReason();
    QTest::newRow("a frame longer than any row, never sent whole")
        << start() + QByteArray("\x7f\xff\xff\xff"
                                "R",
                                5)
        << QByteArray("exec /bin/sleep 60") << 20 << damaged;

    // Garbage, whatever the status.
    QTest::newRow("not a stream") << QByteArray("PK\x03\x04 basura") << QByteArray("exit 0") << 30
                                  << damaged;
    QTest::newRow("nothing at all") << QByteArray() << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("cut short before its end")
        << table.chopped(end(2).size()) << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("cut inside a frame")
        << table.chopped(3) << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("bytes after its end")
        << table + start() << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("an end that miscounts the rows")
        << start() + row(1, QStringLiteral("Fecha")) + end(2) << QByteArray("exit 0") << 30
        << damaged;
    QTest::newRow("rows out of order")
        << start() + row(2, QStringLiteral("a")) + row(1, QStringLiteral("b")) + end(2)
        << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("a row without cells") << start() + frame('R', qint32(1), quint32(0)) + end(1)
                                         << QByteArray("exit 0") << 30 << damaged;
    // The budget drops such a row without counting it: the helper never sends
    // one, and an endless run of them must not pass for an empty sheet.
    QTest::newRow("an empty cell at a row's end")
        << start() + row(1, QString()) + end(0) << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("a number that is not one")
        << start() + row(1, QStringLiteral("12abc"), true) + end(1) << QByteArray("exit 0") << 30
        << damaged;
    QTest::newRow("a number that is not finite")
        << start() + row(1, QStringLiteral("inf"), true) + end(1) << QByteArray("exit 0") << 30
        << damaged;
    QTest::newRow("a flag that is neither")
        << start() + frame('R', qint32(1), quint32(1), QStringLiteral("a"), quint8(7)) + end(1)
        << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("a row with bytes left over")
        << start() + frame('R', qint32(1), quint32(1), QStringLiteral("a"), quint8(0), quint8(0)) +
               end(1)
        << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("a table twice") << table + table << QByteArray("exit 0") << 30 << damaged;

    // A refusal counts only as a refusal, and only a sentence is shown.
    QTest::newRow("a refusal passed on")
        << refusalBytes(password) << QByteArray("exit 3") << 30 << password;
    QTest::newRow("a refusal ending well")
        << refusalBytes(password) << QByteArray("exit 0") << 30 << damaged;
    QTest::newRow("a table ending as refused") << table << QByteArray("exit 3") << 30 << damaged;
    QTest::newRow("a refusal after a table")
        << table + refusalBytes(password) << QByteArray("exit 3") << 30 << damaged;
    QTest::newRow("a refusal with control characters")
        << refusalBytes(QStringLiteral("el libro\x1b[2J está dañado")) << QByteArray("exit 3") << 30
        << damaged;
    QTest::newRow("a refusal of a page")
        << refusalBytes(QString(5000, u'a')) << QByteArray("exit 3") << 30 << damaged;
    QTest::newRow("an empty refusal")
        << refusalBytes(QString()) << QByteArray("exit 3") << 30 << damaged;

    // The helper gets none of this process's environment.
    QTest::newRow("environment kept from the helper")
        << refusalBytes(QStringLiteral("entorno limpio"))
        << QByteArray("[ -z \"$" + kMark.toLatin1() + "\" ] && exit 3; exit 0") << 30
        << QStringLiteral("entorno limpio");
}

void TestXlsChild::refused() {
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, then);
    QFETCH(int, seconds);
    QFETCH(QString, reason);

    QTemporaryDir folder;
    const QString outputPath = folder.filePath(QStringLiteral("salida"));
    QVERIFY(putBytes(outputPath, output));
    QString helper = folder.filePath(QStringLiteral("velmora-xls"));
    if (then.isEmpty()) {
        helper = folder.filePath(QStringLiteral("no-esta"));
    } else {
        QVERIFY(
            putBytes(helper, "#!/bin/sh\n/bin/cat '" + outputPath.toUtf8() + "'\n" + then + "\n"));
        QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString bookPath = folder.filePath(QStringLiteral("banco.xls"));
    QVERIFY(putBytes(bookPath, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")));
    QFile book(bookPath);
    QVERIFY(book.open(QIODevice::ReadOnly));

    QString refusal;
    try {
        readXlsWith(helper, book, std::chrono::seconds(seconds));
    } catch (const SheetError& error) {
        refusal = error.reason();
    }
    QCOMPARE(refusal, reason);
}

QTEST_GUILESS_MAIN(TestXlsChild)
#include "tst_xlschild.moc"
