// Dense numbering of the pairs (x, y), 0 <= x < width_x, 0 <= y < width_y,
// that a search actually meets. A flat table is used while width_x * width_y
// is small enough to allocate; beyond that a hash map keeps the memory
// proportional to the pairs met.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class pair_index_t {
public:
    pair_index_t(int width_x, int width_y)
        : width_y_(static_cast<uint64_t>(width_y)),
          dense_(static_cast<uint64_t>(width_x) * width_y_ <= dense_limit) {
        if (dense_) table_.assign(static_cast<size_t>(width_x) * static_cast<size_t>(width_y), -1);
    }

    // The pair's number, or -1 when it has not been added.
    int find(int x, int y) const {
        const uint64_t key = static_cast<uint64_t>(x) * width_y_ + static_cast<uint64_t>(y);
        if (dense_) return table_[key];
        auto it = hashed_.find(key);
        return it == hashed_.end() ? -1 : it->second;
    }

    // Returns (number, true) for a pair added now, (number, false) for one known before.
    std::pair<int, bool> add(int x, int y) {
        const uint64_t key = static_cast<uint64_t>(x) * width_y_ + static_cast<uint64_t>(y);
        const int fresh = static_cast<int>(first_.size());
        if (dense_) {
            int& slot = table_[key];
            if (slot >= 0) return {slot, false};
            slot = fresh;
        } else {
            auto inserted = hashed_.emplace(key, fresh);
            if (!inserted.second) return {inserted.first->second, false};
        }
        first_.push_back(x);
        second_.push_back(y);
        return {fresh, true};
    }

    int size() const { return static_cast<int>(first_.size()); }
    int first(int number) const { return first_[number]; }
    int second(int number) const { return second_[number]; }

private:
    static constexpr uint64_t dense_limit = uint64_t(1) << 22;
    uint64_t width_y_;
    bool dense_;
    std::vector<int> table_;
    std::unordered_map<uint64_t, int> hashed_;
    std::vector<int> first_, second_;
};
