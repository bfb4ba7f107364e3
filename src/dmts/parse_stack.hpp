// The parser's stack of states with their semantic values. Its growth follows a
// fixed rule (room for 200 entries, doubled whenever a push fills the last free
// slot, never beyond 10000), so the nesting depth at which parsing runs out of
// stack is an exact, documented number rather than a property of the machine.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// A semantic value: room for a transition (action, target); symbols with a
// single int value use `first`.
struct semantic_value_t {
    int first = 0;
    int second = 0;
};

class parse_stack_t {
public:
    static constexpr std::size_t initial_capacity = 200;
    static constexpr std::size_t max_capacity = 10000;

    parse_stack_t() { reserve(initial_capacity); }

    // Pushes an entry. When the push fills the last free slot the room
    // doubles (capped at max_capacity); when the room is already at the cap
    // the stack is exhausted and false is returned, so at most
    // max_capacity - 1 entries are ever held.
    bool push(int state, semantic_value_t value) {
        states_.push_back(state);
        values_.push_back(value);
        if (states_.size() < capacity_) return true;
        if (capacity_ >= max_capacity) {
            states_.pop_back();
            values_.pop_back();
            return false;
        }
        reserve(std::min(capacity_ * 2, max_capacity));
        return true;
    }

    void pop(std::size_t count) {
        states_.resize(states_.size() - count);
        values_.resize(values_.size() - count);
    }

    int top_state() const { return states_.back(); }
    // The value `depth` entries below the top (0 is the top).
    const semantic_value_t& value_below_top(std::size_t depth) const {
        return values_[values_.size() - 1 - depth];
    }
    std::size_t size() const { return states_.size(); }
    std::size_t capacity() const { return capacity_; }

private:
    void reserve(std::size_t capacity) {
        capacity_ = capacity;
        states_.reserve(capacity);
        values_.reserve(capacity);
    }

    std::vector<int> states_;
    std::vector<semantic_value_t> values_;
    std::size_t capacity_ = 0;
};
