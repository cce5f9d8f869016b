#include "exchange/CsvExport.h"

#include "entries/EntryList.h"
#include "exchange/Csv.h"
#include "store/Amount.h"

#include <QSaveFile>

namespace velmora {

CsvExport exportCsv(Database& db, const EntryFilter& filter, QIODevice& out) {
    const EntryList list = queryEntries(db, filter);
    CsvExport result;
    CsvWriter writer(out);
    writer.writeHeader();
    // The list is newest first; a file reads best in the order things happened.
    for (auto row = list.rows().rbegin(); row != list.rows().rend(); ++row) {
        const std::optional<qint64> cents = amountCents(row->amount);
        if (!cents) {
            result.unreadable.push_back(row->id);
            continue;
        }
        const EntryMovement& movement = list.movement(*row);
        writer.writeRow(row->date(), list.description(*row), list.text(movement.goesInto),
                        list.text(movement.comesOutOf), *cents);
        ++result.written;
    }
    result.complete = writer.finish();
    return result;
}

CsvExportFile exportCsvFile(Database& db, const EntryFilter& filter, const QString& path) {
    CsvExportFile result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.outcome = CsvExportFile::Outcome::CannotOpen;
        result.error = file.errorString();
        return result;
    }
    result.rows = exportCsv(db, filter, file);
    if (!result.rows.complete || !file.commit()) {
        result.outcome = CsvExportFile::Outcome::Incomplete;
        result.error = file.errorString();
        file.cancelWriting();
    }
    return result;
}

} // namespace velmora
