#include "dmts/name_index.hpp"

#include <cstring>

#include "support/hash.hpp"

namespace {

uint32_t load4(const char* p) {
    uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

}  // namespace

// Eight bytes at a time, and the last one to eight bytes with two fixed-size
// loads rather than a copy of variable length: names are short, and a
// byte-wise tail costs more than the rest of a lookup. The length is mixed in
// first, so the overlapping loads of a short tail cannot make two names of
// different lengths agree.
uint64_t hash_name(std::string_view name) {
    const char* p = name.data();
    std::size_t left = name.size();
    uint64_t h = golden_ratio_64 ^ left;
    while (left > 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        h = mix64(h ^ word);
        p += 8;
        left -= 8;
    }
    uint64_t tail = 0;
    if (left >= 4) {
        tail = load4(p) | static_cast<uint64_t>(load4(p + left - 4)) << 32;
    } else if (left > 0) {
        // One to three bytes: the first, the middle and the last cover them all.
        tail = static_cast<uint64_t>(static_cast<unsigned char>(p[0])) |
               static_cast<uint64_t>(static_cast<unsigned char>(p[left / 2])) << 8 |
               static_cast<uint64_t>(static_cast<unsigned char>(p[left - 1])) << 16;
    }
    return mix64(h ^ tail);
}
