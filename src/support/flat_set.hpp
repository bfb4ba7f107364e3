// A set kept as a sorted array without duplicates: the same iteration order
// as std::set, a fraction of its memory and none of its per-element
// allocations.
//
// Bulk building appends in any order and calls normalize() once, which costs
// O(n log n) however the values arrive; insert() keeps the set sorted at
// O(n) per call and suits small sets only.
#pragma once

#include <algorithm>
#include <initializer_list>

#include "support/compact_vector.hpp"

template <typename T>
class flat_set_t {
public:
    using value_type = T;
    using const_iterator = const T*;

    flat_set_t() = default;
    flat_set_t(std::initializer_list<T> values) {
        for (const T& value : values) append(value);
        normalize();
    }

    const T* begin() const { return values_.begin(); }
    const T* end() const { return values_.end(); }
    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    const T* lower_bound(const T& key) const { return std::lower_bound(begin(), end(), key); }
    std::size_t count(const T& value) const { return std::binary_search(begin(), end(), value) ? 1 : 0; }

    // Adds value in its place; false when it was there already.
    bool insert(const T& value) {
        const T* at = lower_bound(value);
        if (at != end() && *at == value) return false;
        values_.insert(static_cast<std::size_t>(at - begin()), &value, &value + 1);
        return true;
    }

    // Adds value at the end; the set is out of order until normalize().
    void append(const T& value) { values_.push_back(value); }

    // Sorts, drops duplicates and frees surplus room.
    void normalize() {
        sort_unique(values_);
        values_.release_surplus();
    }

    // Removes every value for which drop(value) holds, keeping the order.
    template <typename predicate_t>
    void erase_if(predicate_t drop) {
        values_.truncate(static_cast<std::size_t>(std::remove_if(values_.begin(), values_.end(), drop) - values_.begin()));
        values_.release_surplus();
    }

    // Empties the set and frees its storage.
    void clear() { values_.clear(); }

    friend bool operator==(const flat_set_t& a, const flat_set_t& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator!=(const flat_set_t& a, const flat_set_t& b) { return !(a == b); }

private:
    compact_vector_t<T> values_;
};
