#include "dmts/name_index.hpp"

#include <cstring>

namespace {

// The finaliser of splitmix64: every input bit reaches every output bit, so
// names that differ in one character (P1, P2, ...) scatter over the table.
uint64_t mix(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebULL;
    return h ^ (h >> 31);
}

}  // namespace

// Eight bytes at a time: names are short, and a byte-wise hash spends most of
// a lookup on them.
uint64_t hash_name(std::string_view name) {
    const char* p = name.data();
    std::size_t left = name.size();
    uint64_t h = 0x9e3779b97f4a7c15ULL ^ left;
    while (left >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        h = mix(h ^ word);
        p += 8;
        left -= 8;
    }
    uint64_t tail = 0;
    if (left > 0) std::memcpy(&tail, p, left);
    return mix(h ^ tail);
}
