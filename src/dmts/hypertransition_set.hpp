// The must hypertransitions of a process: a set of alternative lists, in
// lexicographic order without duplicates, stored as runs in one array.
// Hypertransition k is alternatives_[start(k) .. ends_[k]). Almost every
// hypertransition has a single alternative, and as long as all of them do the
// run boundaries are implied (run k is alternative k) and ends_ stays empty.
//
// As with flat_set_t, bulk building appends and then calls normalize() once;
// insert() keeps the order at O(n) per call. Every list handed in must itself
// be sorted and free of duplicates, and must not point into this set.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "support/compact_vector.hpp"
#include "dmts/transition.hpp"

class hypertransition_set_t {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = alternatives_t;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = alternatives_t;

        const_iterator(const hypertransition_set_t* set, std::size_t k) : set_(set), k_(k) {}
        alternatives_t operator*() const { return (*set_)[k_]; }
        const_iterator& operator++() {
            ++k_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++k_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return k_ == other.k_ && set_ == other.set_; }
        bool operator!=(const const_iterator& other) const { return !(*this == other); }

    private:
        const hypertransition_set_t* set_;
        std::size_t k_;
    };
    using value_type = alternatives_t;

    hypertransition_set_t() = default;
    hypertransition_set_t(std::initializer_list<hypertransition_t> hypertransitions);

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    std::size_t size() const { return ends_.empty() ? alternatives_.size() : ends_.size(); }
    bool empty() const { return size() == 0; }
    // The number of alternatives of all hypertransitions together.
    std::size_t alternative_count() const { return alternatives_.size(); }
    // Where the alternatives of every hypertransition lie, one run after another.
    const transition_t* alternatives_data() const { return alternatives_.begin(); }
    // Where the runs end, or null while every run has one alternative.
    const uint32_t* ends_data() const { return ends_.begin(); }
    alternatives_t operator[](std::size_t k) const {
        const transition_t* base = alternatives_.begin();
        return {base + start(k), base + finish(k)};
    }

    // Adds h in its place; false when it was there already.
    bool insert(alternatives_t h);
    bool insert(const hypertransition_t& h) { return insert(alternatives_t(h)); }
    // Adds h at the end; the set is out of order until normalize().
    void append(alternatives_t h);
    // Sorts the hypertransitions, drops duplicates and frees surplus room.
    void normalize();
    // Empties the set and frees its storage.
    void clear();

    friend bool operator==(const hypertransition_set_t& a, const hypertransition_set_t& b);
    friend bool operator!=(const hypertransition_set_t& a, const hypertransition_set_t& b) { return !(a == b); }

private:
    std::size_t start(std::size_t k) const { return ends_.empty() ? k : k == 0 ? 0 : ends_[k - 1]; }
    std::size_t finish(std::size_t k) const { return ends_.empty() ? k + 1 : ends_[k]; }
    // Writes out the implied boundaries, before a run of another length joins.
    void spell_out_ends();
    void release_surplus();

    compact_vector_t<transition_t> alternatives_;
    compact_vector_t<uint32_t> ends_;  // empty while every run has one alternative
};
