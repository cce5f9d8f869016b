#include "exchange/ImportedRows.h"

namespace velmora {

quint32 ImportedRows::nameIndex(const QString& name) {
    const auto found = nameIndexes_.constFind(name);
    if (found != nameIndexes_.constEnd()) {
        return *found;
    }
    const auto index = quint32(names_.size());
    names_.append(name);
    nameIndexes_.insert(name, index);
    return index;
}

void ImportedRows::append(int line, const QDate& date, QStringView description,
                          const QString& goesInto, const QString& comesOutOf, qint64 cents) {
    Row row;
    row.cents = cents;
    row.line = line;
    row.day = qint32(date.toJulianDay());
    row.goesInto = nameIndex(goesInto);
    row.comesOutOf = nameIndex(comesOutOf);
    rows_.push_back(row);
    descriptions_.append(description);
}

void ImportedRows::setReason(qsizetype row, const QString& reason) {
    rows_[size_t(row)].reason = nameIndex(reason);
}

void ImportedRows::setGoesInto(qsizetype row, const QString& name) {
    rows_[size_t(row)].goesInto = nameIndex(name);
}

void ImportedRows::setComesOutOf(qsizetype row, const QString& name) {
    rows_[size_t(row)].comesOutOf = nameIndex(name);
}

} // namespace velmora
