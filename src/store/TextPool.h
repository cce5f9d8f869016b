#pragma once

// Texts read from a file, each distinct one kept once in one block of UTF-8. A
// household repeats the same descriptions and accounts all year ("Supermercado",
// "Recibo de la luz"), so a hundred thousand rows hold a few thousand texts, found
// again by a quick hash instead of being made anew for every row.

#include <QString>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TextPool {
public:
    TextPool(); // text 0 is the empty text

    // The index of the text equal to `utf8`, added when it is new.
    quint32 add(std::string_view utf8);
    std::string_view bytes(quint32 index) const;
    QString text(quint32 index) const;
    size_t size() const { return ends_.size(); }
    // Room for as many texts and bytes as `like` holds.
    void reserveLike(const TextPool& like);

private:
    // Text i is the bytes up to ends_[i], from where i - 1 ends.
    std::string bytes_;
    std::vector<quint32> ends_;
    std::vector<quint32> slots_; // finds a text by its bytes
};

namespace texthash {

// Up to eight bytes of a text as one number: equal texts of the same length give
// equal numbers and different ones different numbers. Overlapping loads cover
// every byte without a loop; account names and classes are mostly this short.
[[gnu::always_inline]] inline quint64 shortWord(const char* p, size_t n) {
    if (n >= 4) {
        quint32 low = 0;
        quint32 high = 0;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        return low | (quint64{high} << 32);
    }
    if (n == 0) {
        return 0;
    }
    const auto byte = [p](size_t i) { return quint64{static_cast<unsigned char>(p[i])}; };
    return byte(0) | (byte(n / 2) << 8) | (byte(n - 1) << 16);
}

// A quick hash of short texts, eight bytes at a time, chained through `seed`.
[[gnu::always_inline]] inline quint64 hashOf(std::string_view text, quint64 seed = 0) {
    constexpr quint64 kMix = 0x9E3779B97F4A7C15;
    const char* p = text.data();
    const size_t n = text.size();
    quint64 h = seed ^ n;
    if (n <= 8) {
        h = (h ^ shortWord(p, n)) * kMix;
        return h ^ (h >> 29);
    }
    size_t i = 0;
    quint64 word = 0;
    for (; i + 8 < n; i += 8) {
        std::memcpy(&word, p + i, 8);
        h = (h ^ word) * kMix;
    }
    // The last eight bytes, overlapping the words before when the length is no
    // multiple of eight.
    std::memcpy(&word, p + n - 8, 8);
    h = (h ^ word) * kMix;
    return h ^ (h >> 29);
}

// Equal texts, without a call into the C library for the short ones.
[[gnu::always_inline]] inline bool sameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    const size_t n = a.size();
    if (n <= 8) {
        return shortWord(a.data(), n) == shortWord(b.data(), n);
    }
    if (n <= 16) {
        // Two overlapping words: a stored date, most descriptions.
        quint64 a0 = 0, a1 = 0, b0 = 0, b1 = 0;
        std::memcpy(&a0, a.data(), 8);
        std::memcpy(&b0, b.data(), 8);
        std::memcpy(&a1, a.data() + n - 8, 8);
        std::memcpy(&b1, b.data() + n - 8, 8);
        return a0 == b0 && a1 == b1;
    }
    return std::memcmp(a.data(), b.data(), n) == 0;
}

// Open addressing over the indices of a table's entries: index + 1, or 0 where
// free. Never more than half full, so a lookup stops after a probe or two. Gives
// the slot that holds the entry `same` accepts, or the free slot where it belongs.
template <typename Same>
quint32& slotFor(std::vector<quint32>& table, quint64 hash, const Same& same) {
    const size_t mask = table.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        if (table[slot] == 0 || same(table[slot] - 1)) {
            return table[slot];
        }
    }
}

// Makes room for one more beside `count` entries, placing each again when the
// table doubles.
template <typename HashOfEntry>
void makeRoom(std::vector<quint32>& table, size_t count, const HashOfEntry& hashOfEntry) {
    if (2 * (count + 1) <= table.size()) {
        return;
    }
    std::vector<quint32> larger(std::max<size_t>(64, 2 * table.size()), 0);
    for (quint32 index = 0; index < count; ++index) {
        slotFor(larger, hashOfEntry(index), [](quint32) { return false; }) = index + 1;
    }
    table = std::move(larger);
}

} // namespace texthash

} // namespace velmora
