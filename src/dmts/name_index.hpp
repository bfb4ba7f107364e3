// An index from names to the int indices they were entered with: open
// addressing with linear probing over a power-of-two table, kept at most half
// full. A slot holds a name of up to twelve bytes itself, so finding a short
// name reads one slot and nothing else: in a large model the names' owners are
// scattered over memory, and reading them was most of the cost of a lookup.
// A longer name keeps its first eight bytes and part of its hash in the slot
// and is compared in full, read back through name_of(index), only when those
// match. A name is found exactly when it was entered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "support/large_table_allocator.hpp"
#include "support/prefetch.hpp"

uint64_t hash_name(std::string_view name);

template <typename name_of_t>
class name_index_t {
public:
    explicit name_index_t(name_of_t name_of) : name_of_(name_of) {}

    // The index entered for name, or -1.
    int find(std::string_view name) const {
        if (slots_.empty()) return -1;
        const key_t key(name);
        return index_of(slots_[probe(name, key)]);
    }
    std::size_t count(std::string_view name) const { return find(name) < 0 ? 0 : 1; }
    // The index entered for name; throws std::out_of_range when there is none.
    int at(std::string_view name) const {
        const int index = find(name);
        if (index < 0) throw std::out_of_range("name_index_t: no such name");
        return index;
    }
    std::size_t size() const { return size_; }

    // Starts loading the slot where a lookup of name begins.
    void prefetch(std::string_view name) const {
        if (!slots_.empty()) ::prefetch(&slots_[home(hash_name(name))]);
    }

    // The index entered for name; when there is none, enters `fresh` and
    // returns it. The caller must make name_of(fresh) yield name before the
    // index is used again.
    int find_or_enter(std::string_view name, int fresh) {
        if (2 * (size_ + 1) > slots_.size()) grow();
        const key_t key(name);
        slot_t& slot = slots_[probe(name, key)];
        if (slot.tag == empty_tag) {
            key.store(slot, fresh);
            ++size_;
        }
        return index_of(slot);
    }

private:
    static constexpr uint32_t empty_tag = 0;
    static constexpr uint32_t long_bit = 0x80000000u;
    static constexpr std::size_t inline_size = 12;

    // tag is 0 for an empty slot, else index + 1, with long_bit set when the
    // name is longer than the slot holds.
    struct slot_t {
        char bytes[inline_size];
        uint32_t tag;
    };

    // What a name leaves in a slot. A name fits when it has at most twelve
    // bytes and does not end in a zero byte: padded with zeros, it is then
    // told apart from every other name that fits.
    struct key_t {
        uint64_t hash;
        char bytes[inline_size] = {};
        uint32_t long_flag;

        explicit key_t(std::string_view name) : hash(hash_name(name)) {
            const bool fits = name.size() <= inline_size && (name.empty() || name.back() != '\0');
            long_flag = fits ? 0 : long_bit;
            if (fits) {
                std::memcpy(bytes, name.data(), name.size());
            } else {
                std::memcpy(bytes, name.data(), name.size() < 8 ? name.size() : 8);
                const uint32_t high = static_cast<uint32_t>(hash >> 32);
                std::memcpy(bytes + 8, &high, 4);
            }
        }
        bool matches(const slot_t& slot) const {
            return (slot.tag & long_bit) == long_flag && std::memcmp(slot.bytes, bytes, inline_size) == 0;
        }
        void store(slot_t& slot, int index) const {
            std::memcpy(slot.bytes, bytes, inline_size);
            slot.tag = (static_cast<uint32_t>(index) + 1) | long_flag;
        }
    };

    static int index_of(const slot_t& slot) { return static_cast<int>(slot.tag & ~long_bit) - 1; }

    // The slot where the probe for a hash starts.
    std::size_t home(uint64_t hash) const { return static_cast<std::size_t>(hash) & (slots_.size() - 1); }

    // The slot holding name, or the empty slot where it would go.
    std::size_t probe(std::string_view name, const key_t& key) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t s = home(key.hash);; s = (s + 1) & mask) {
            const slot_t& slot = slots_[s];
            if (slot.tag == empty_tag) return s;
            if (key.matches(slot) && (key.long_flag == 0 || name_of_(index_of(slot)) == name)) return s;
        }
    }

    // The name a slot holds, read back from the slot itself when it fits.
    std::string_view name_in(const slot_t& slot) const {
        if (slot.tag & long_bit) return name_of_(index_of(slot));
        std::size_t size = inline_size;
        while (size > 0 && slot.bytes[size - 1] == '\0') --size;
        return std::string_view(slot.bytes, size);
    }

    void grow() {
        slot_table_t old(slots_.empty() ? 8 : 2 * slots_.size(), slot_t{{}, empty_tag});
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const slot_t& slot : old) {
            if (slot.tag == empty_tag) continue;
            std::size_t s = home(hash_name(name_in(slot)));
            while (slots_[s].tag != empty_tag) s = (s + 1) & mask;
            slots_[s] = slot;
        }
    }

    name_of_t name_of_;
    // Probed at random, so placed on huge pages once it is large.
    using slot_table_t = std::vector<slot_t, large_table_allocator_t<slot_t>>;
    slot_table_t slots_;
    std::size_t size_ = 0;
};
