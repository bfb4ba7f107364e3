// The number of each stored product state, found by hashing. The keys live
// only in the product's state vector: the table holds state numbers (4 bytes a
// slot, at most half the slots used), probed linearly, so a lookup touches one
// or two cache lines and the index costs 8 to 16 bytes per product state.
#pragma once

#include <cstdint>
#include <vector>

#include "dmts/prefetch.hpp"

class product_index_t {
public:
    static constexpr uint32_t empty_slot = UINT32_MAX;

    // The slot that holds the number n for which is_key(n) is true, or, when
    // no stored number matches, the empty slot where the key belongs. The
    // caller writes the new number into that slot itself. Call reserve() for
    // one more entry before looking up a key that may be new.
    template <class IsKey>
    uint32_t& slot_for(uint64_t hash, IsKey is_key) {
        const uint32_t mask = static_cast<uint32_t>(slots.size()) - 1;
        for (uint32_t i = home(hash);; i = (i + 1) & mask) {
            uint32_t& slot = slots[i];
            if (slot == empty_slot || is_key(slot)) return slot;
        }
    }

    // Starts loading the slot where a lookup of hash begins.
    void prefetch_slot(uint64_t hash) const {
        if (!slots.empty()) prefetch(&slots[home(hash)]);
    }

    // Makes room for count entries with at most half the slots used,
    // rehashing the numbers 0 .. stored - 1 with hash_of when the table grows.
    template <class HashOf>
    void reserve(uint32_t count, uint32_t stored, HashOf hash_of) {
        if (static_cast<uint64_t>(count) * 2 <= slots.size()) return;
        uint64_t size = slots.empty() ? 16 : slots.size();
        while (static_cast<uint64_t>(count) * 2 > size) size *= 2;
        slots.assign(static_cast<std::size_t>(size), empty_slot);
        const uint32_t mask = static_cast<uint32_t>(size) - 1;
        for (uint32_t n = 0; n < stored; ++n) {
            uint32_t i = home(hash_of(n));
            while (slots[i] != empty_slot) i = (i + 1) & mask;
            slots[i] = n;
        }
    }

    std::size_t slot_count() const { return slots.size(); }

private:
    // The slot where the probe for a hash starts.
    uint32_t home(uint64_t hash) const { return static_cast<uint32_t>(hash) & (static_cast<uint32_t>(slots.size()) - 1); }

    std::vector<uint32_t> slots;
};
