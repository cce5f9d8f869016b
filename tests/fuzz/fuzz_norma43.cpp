// The Norma 43 reader on any bytes: it either refuses the file with a reason or
// hands back accounts whose movements add up to their closing balance, and a
// file it reads is one that looksLikeNorma43 tells from a CSV file.

#include "FuzzCheck.h"

#include "exchange/Norma43.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const bool looks = looksLikeNorma43(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    N43Statement statement;
    try {
        statement = readNorma43(buffer);
    } catch (const Norma43Error& error) {
        FUZZ_CHECK(error.line() >= 0);
        FUZZ_CHECK(!error.reason().isEmpty());
        FUZZ_CHECK(error.message().endsWith(error.reason()));
        return 0;
    }
    if (!statement.accounts.isEmpty()) {
        FUZZ_CHECK(looks);
    }
    for (const N43Account& account : statement.accounts) {
        FUZZ_CHECK(account.key().size() == 18);
        qint64 balance = account.initialCents;
        int line = 0;
        for (const N43Movement& movement : account.movements) {
            FUZZ_CHECK(movement.line > line);
            line = movement.line;
            FUZZ_CHECK(movement.cents >= 0);
            FUZZ_CHECK(movement.operationDate.isValid());
            balance += movement.signedCents();
        }
        FUZZ_CHECK(balance == account.finalCents);
    }
    return 0;
}
