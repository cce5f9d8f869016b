// The date field's parsing and the stored form of dates: any text either is refused
// or is a real date that shows again as the same dd/MM/yyyy; a date read from the
// file's stored text is written back as the same ten characters.

#include "FuzzCheck.h"

#include "store/Formats.h"
#include "store/Schema.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    const QString text = fuzz::textOf(data, size);
    if (const std::optional<QDate> date = parseDate(text)) {
        FUZZ_CHECK(date->isValid());
        FUZZ_CHECK(formatDate(*date) == text.trimmed());
        FUZZ_CHECK(fromStoredDate(toStoredDate(*date).toStdString()) == *date);
    }

    const std::string_view stored(reinterpret_cast<const char*>(data), size);
    const QDate read = fromStoredDate(stored);
    if (read.isValid()) {
        FUZZ_CHECK(toStoredDate(read).toStdString() == stored.substr(0, 10));
    }
    return 0;
}
