// Hashing for the open-addressing tables: the splitmix64 finaliser, after
// which every input bit reaches every output bit, so keys that differ only
// in their low bits (P1, P2, ...; consecutive state numbers) scatter over
// the table, whose slot is taken from the low bits of the hash.
#pragma once

#include <cstdint>

// The 64-bit golden ratio, for combining words before the finaliser.
constexpr uint64_t golden_ratio_64 = 0x9e3779b97f4a7c15ull;

inline uint64_t mix64(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}
