#pragma once

// What every fuzz target shares: the entry point libFuzzer calls, and a check that
// stops at once with the broken condition, so that libFuzzer keeps the input.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "Comprobación fallida: %s (%s:%d)\n", #condition, __FILE__,       \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace velmora::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as a user's typed text; invalid UTF-8 turns into replacement characters,
// as it would on its way into a field.
inline QString textOf(const uint8_t* data, size_t size) {
    return QString::fromUtf8(bytesOf(data, size));
}

} // namespace velmora::fuzz
