// Transitions of the model and the alternatives of a must hypertransition.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// A transition (action index, target process index), ordered by action, then target.
struct transition_t {
    int action;
    int target;
    bool operator<(const transition_t& other) const {
        return action != other.action ? action < other.action : target < other.target;
    }
    bool operator==(const transition_t& other) const {
        return action == other.action && target == other.target;
    }
};

// A must hypertransition built on its own: its alternatives, sorted ascending
// and without duplicates.
using hypertransition_t = std::vector<transition_t>;

// The alternatives of one hypertransition, viewed where a set stores them.
// Views compare like the vectors they stand for: lexicographically, so a
// proper prefix comes first.
class alternatives_t {
public:
    alternatives_t() = default;
    alternatives_t(const transition_t* first, const transition_t* last) : first_(first), last_(last) {}
    alternatives_t(const hypertransition_t& h) : first_(h.data()), last_(h.data() + h.size()) {}

    const transition_t* begin() const { return first_; }
    const transition_t* end() const { return last_; }
    std::size_t size() const { return static_cast<std::size_t>(last_ - first_); }
    bool empty() const { return first_ == last_; }
    const transition_t& front() const { return *first_; }
    const transition_t& operator[](std::size_t i) const { return first_[i]; }

    friend bool operator==(alternatives_t a, alternatives_t b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator!=(alternatives_t a, alternatives_t b) { return !(a == b); }
    friend bool operator<(alternatives_t a, alternatives_t b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    const transition_t* first_ = nullptr;
    const transition_t* last_ = nullptr;
};
