#include "support/bitset.hpp"

#include <cstring>

bitset_t::bitset_t(uint32_t capacity, bitset_type_t fill)
    : size(capacity), words(capacity ? new uint32_t[words_for(capacity)] : nullptr) {
    uint32_t n = word_count();
    // A set of capacity 0 has no words: memset must not see its null pointer.
    if (n == 0) return;
    if (fill == BS_EMPTY) {
        std::memset(words.get(), 0, n * sizeof(uint32_t));
    } else if (fill == BS_FULL) {
        std::memset(words.get(), 0xff, n * sizeof(uint32_t));
        mask_last_word();
    }
}

bitset_t::bitset_t(const bitset_t& other)
    : size(other.size), words(other.size ? new uint32_t[words_for(other.size)] : nullptr) {
    if (size) std::memcpy(words.get(), other.words.get(), word_count() * sizeof(uint32_t));
}

bitset_t::bitset_t(bitset_t&& other) noexcept : size(other.size), words(std::move(other.words)) {
    other.size = 0;
}

bitset_t& bitset_t::operator=(const bitset_t& other) {
    // Copy before releasing, so that self-assignment leaves the set unchanged.
    std::unique_ptr<uint32_t[]> fresh(other.size ? new uint32_t[words_for(other.size)] : nullptr);
    if (other.size) std::memcpy(fresh.get(), other.words.get(), words_for(other.size) * sizeof(uint32_t));
    size = other.size;
    words = std::move(fresh);
    return *this;
}

bitset_t& bitset_t::operator=(bitset_t&& other) noexcept {
    if (this != &other) {
        size = other.size;
        words = std::move(other.words);
        other.size = 0;
    }
    return *this;
}

void bitset_t::mask_last_word() {
    if (size % 32 != 0) words[word_count() - 1] &= (1u << (size % 32)) - 1;
}

bitset_t bitset_t::complement() const {
    bitset_t result(size, BS_UNDEF);
    uint32_t n = word_count();
    const uint32_t* source = words.get();
    uint32_t* target = result.words.get();
    for (uint32_t i = 0; i < n; ++i) target[i] = ~source[i];
    result.mask_last_word();
    return result;
}

void bitset_t::intersect_with(const bitset_t& other) {
    uint32_t n = word_count();
    uint32_t* target = words.get();
    const uint32_t* source = other.words.get();
    for (uint32_t i = 0; i < n; ++i) target[i] &= source[i];
}

void bitset_t::unite_with(const bitset_t& other) {
    uint32_t n = word_count();
    uint32_t* target = words.get();
    const uint32_t* source = other.words.get();
    for (uint32_t i = 0; i < n; ++i) target[i] |= source[i];
}

void bitset_t::subtract(const bitset_t& other) {
    uint32_t n = word_count();
    uint32_t* target = words.get();
    const uint32_t* source = other.words.get();
    for (uint32_t i = 0; i < n; ++i) target[i] &= ~source[i];
}

bool bitset_t::is_empty() const {
    uint32_t n = word_count();
    for (uint32_t i = 0; i < n; ++i)
        if (words[i]) return false;
    return true;
}

bool bitset_t::equals(const bitset_t& other) const {
    uint32_t n = word_count();
    for (uint32_t i = 0; i < n; ++i)
        if (words[i] != other.words[i]) return false;
    return true;
}

bool is_subset(const bitset_t& a, const bitset_t& b) {
    const uint32_t* x = a.data();
    const uint32_t* y = b.data();
    const uint32_t words = a.word_count();
    for (uint32_t w = 0; w < words; ++w)
        if ((x[w] & ~y[w]) != 0) return false;
    return true;
}

uint32_t bitset_t::next(uint32_t from) const {
    if (from >= size) return size;
    uint32_t w = from >> 5;
    uint32_t bits = words[w] & (~0u << (from & 31));
    uint32_t n = word_count();
    while (true) {
        if (bits) return (w << 5) + static_cast<uint32_t>(__builtin_ctz(bits));
        if (++w == n) return size;
        bits = words[w];
    }
}

uint32_t bitset_t::count() const {
    uint32_t total = 0, n = word_count();
    for (uint32_t i = 0; i < n; ++i) total += static_cast<uint32_t>(__builtin_popcount(words[i]));
    return total;
}
