// The model's sets as plain lists in iteration order, so a comparison with a
// std::set also checks the order and that nothing is repeated.
#pragma once

#include <vector>

#include "dmts/transition.hpp"

template <typename set_t>
std::vector<transition_t> transitions_of(const set_t& set) {
    return {set.begin(), set.end()};
}

template <typename set_t>
std::vector<hypertransition_t> hypertransitions_of(const set_t& set) {
    std::vector<hypertransition_t> listed;
    for (const auto& h : set) listed.emplace_back(h.begin(), h.end());
    return listed;
}
