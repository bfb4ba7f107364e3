// The number of each stored product state, found by hashing. The keys live in
// the product's state vector; a slot holds a state's number and a check word,
// the high half of the key's hash (8 bytes a slot, at most half the slots
// used, probed linearly). A slot whose check differs is passed over without a
// look at the state vector, whose records lie all over memory in a large
// product; a match is confirmed by is_key. The index costs 16 to 32 bytes per
// entry.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "support/prefetch.hpp"

class product_index_t {
public:
    static constexpr uint32_t empty_slot = UINT32_MAX;

    // The check word kept with a key of this hash.
    static uint32_t check_of(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

    struct slot_t {
        uint32_t number;
        uint32_t check;
    };

    // The slot that holds the number n of the key, or, when no stored number
    // matches, the empty slot where the key belongs; fill() that slot to add
    // the key. Call reserve_one_more() before looking up a key that may be new.
    template <class IsKey>
    slot_t& slot_for(uint64_t hash, uint32_t check, IsKey is_key) {
        const uint32_t mask = static_cast<uint32_t>(slots.size()) - 1;
        for (uint32_t i = home(hash);; i = (i + 1) & mask) {
            slot_t& slot = slots[i];
            if (slot.number == empty_slot) return slot;
            if (slot.check == check && is_key(slot.number)) return slot;
        }
    }

    // Enters number with its check into the empty slot that slot_for returned.
    void fill(slot_t& slot, uint32_t number, uint32_t check) {
        slot = slot_t{number, check};
        ++entries;
    }

    // Starts loading the slot where a lookup of hash begins.
    void prefetch_slot(uint64_t hash) const {
        if (!slots.empty()) prefetch(&slots[home(hash)]);
    }

    // Makes room for one more entry with at most half the slots used. When
    // the table grows, its entries move to their new homes; hash_of(n) gives
    // the hash of the key numbered n.
    template <class HashOf>
    void reserve_one_more(HashOf hash_of) {
        if ((static_cast<uint64_t>(entries) + 1) * 2 <= slots.size()) return;
        std::vector<slot_t> old(slots.empty() ? 16 : slots.size() * 2, slot_t{empty_slot, 0});
        old.swap(slots);
        const uint32_t mask = static_cast<uint32_t>(slots.size()) - 1;
        for (const slot_t& entry : old) {
            if (entry.number == empty_slot) continue;
            uint32_t i = home(hash_of(entry.number));
            while (slots[i].number != empty_slot) i = (i + 1) & mask;
            slots[i] = entry;
        }
    }

    std::size_t size() const { return entries; }
    std::size_t slot_count() const { return slots.size(); }

private:
    // The slot where the probe for a hash starts.
    uint32_t home(uint64_t hash) const { return static_cast<uint32_t>(hash) & (static_cast<uint32_t>(slots.size()) - 1); }

    std::vector<slot_t> slots;
    uint32_t entries = 0;
};
