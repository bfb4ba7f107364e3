// An index from names to the int indices they were entered with: open
// addressing with linear probing over a power-of-two table of indices, kept
// at most half full. It stores only the indices; the names live once, in the
// table that owns them, and name_of(index) reads them back to compare. A name
// is found exactly when it was entered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

uint64_t hash_name(std::string_view name);

template <typename name_of_t>
class name_index_t {
public:
    explicit name_index_t(name_of_t name_of) : name_of_(name_of) {}

    // The index entered for name, or -1.
    int find(std::string_view name) const {
        if (slots_.empty()) return -1;
        return slots_[probe(name)];
    }
    std::size_t count(std::string_view name) const { return find(name) < 0 ? 0 : 1; }
    // The index entered for name; throws std::out_of_range when there is none.
    int at(std::string_view name) const {
        const int index = find(name);
        if (index < 0) throw std::out_of_range("name_index_t: no such name");
        return index;
    }
    std::size_t size() const { return size_; }

    // The index entered for name; when there is none, enters `fresh` and
    // returns it. The caller must make name_of(fresh) yield name before the
    // index is used again.
    int find_or_enter(std::string_view name, int fresh) {
        if (2 * (size_ + 1) > slots_.size()) grow();
        int& slot = slots_[probe(name)];
        if (slot < 0) {
            slot = fresh;
            ++size_;
        }
        return slot;
    }

private:
    static constexpr int empty_slot = -1;

    // The slot holding name, or the empty slot where it would go.
    std::size_t probe(std::string_view name) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t s = static_cast<std::size_t>(hash_name(name)) & mask;
        while (slots_[s] != empty_slot && name_of_(slots_[s]) != name) s = (s + 1) & mask;
        return s;
    }

    void grow() {
        std::vector<int> old(slots_.empty() ? 8 : 2 * slots_.size(), empty_slot);
        old.swap(slots_);
        for (int index : old)
            if (index != empty_slot) slots_[probe(name_of_(index))] = index;
    }

    name_of_t name_of_;
    std::vector<int> slots_;
    std::size_t size_ = 0;
};
