#include "ReceiptTiming.h"

#include "Measurements.h"

#include "receipts/ReceiptStore.h"
#include "store/AccountStore.h"
#include "store/DatabaseFiles.h"
#include "store/Sqlite.h"

#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

namespace velmora::bench {

double timeDueReceipts(Database& db, int year, int runs) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        throw std::runtime_error("no temporary folder for the receipts");
    }
    const QString path = folder.filePath(QStringLiteral("Devedur.mdb"));
    copyDatabase(db, path);
    Database copy(path);
    QString expense;
    QString cash;
    for (const Account& account : listAccounts(copy, {})) {
        if (account.kind == QLatin1String("G") && expense.isEmpty()) {
            expense = account.name;
        } else if (account.kind == QLatin1String("C") && cash.isEmpty()) {
            cash = account.name;
        }
    }
    if (expense.isEmpty() || cash.isEmpty()) {
        throw std::runtime_error("the year has no expense or no cash account for the receipts");
    }
    std::vector<ReceiptWrite> firstHalf;
    {
        Transaction setUp(copy);
        for (int r = 0; r < kReceiptTemplates; ++r) {
            const qint64 id = saveReceipt(copy, {0,
                                                 QStringLiteral("Recibo %1").arg(r + 1),
                                                 expense,
                                                 cash,
                                                 qint64(1000 + r),
                                                 {1, 1 + r % 31, QDate(year, 1, 1), QDate()}});
            for (int month = 1; month <= 6; ++month) {
                const QDate due(year, month,
                                std::min(1 + r % 31, QDate(year, month, 1).daysInMonth()));
                firstHalf.push_back({id, due, due, qint64(1000 + r)});
            }
        }
        setUp.commit();
    }
    writeReceipts(copy, firstHalf);
    const DuePeriod wholeYear{QDate(year, 1, 1), QDate(year, 12, 31)};
    size_t found = 0;
    const auto times = timeRounds(runs, {[&] { found = dueReceipts(copy, wholeYear).size(); }});
    if (found != size_t(kReceiptTemplates) * 6) {
        throw std::runtime_error("the due receipts are not the half still unwritten");
    }
    return median(times[0]);
}

} // namespace velmora::bench
