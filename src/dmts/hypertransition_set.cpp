#include "dmts/hypertransition_set.hpp"

#include <algorithm>
#include <numeric>
#include <vector>

hypertransition_set_t::hypertransition_set_t(std::initializer_list<hypertransition_t> hypertransitions) {
    for (const hypertransition_t& h : hypertransitions) append(h);
    normalize();
}

void hypertransition_set_t::spell_out_ends() {
    for (std::size_t k = 0; k < alternatives_.size(); ++k) ends_.push_back(static_cast<uint32_t>(k + 1));
}

void hypertransition_set_t::append(alternatives_t h) {
    if (ends_.empty() && h.size() == 1) {
        alternatives_.push_back(h.front());
        return;
    }
    if (ends_.empty()) spell_out_ends();
    alternatives_.insert(alternatives_.size(), h.begin(), h.end());
    ends_.push_back(static_cast<uint32_t>(alternatives_.size()));
}

bool hypertransition_set_t::insert(alternatives_t h) {
    std::size_t low = 0, high = size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if ((*this)[middle] < h) low = middle + 1;
        else high = middle;
    }
    if (low < size() && (*this)[low] == h) return false;
    if (ends_.empty() && h.size() == 1) {
        alternatives_.insert(low, h.begin(), h.end());
        return true;
    }
    if (ends_.empty()) spell_out_ends();
    const std::size_t at = start(low);
    alternatives_.insert(at, h.begin(), h.end());
    const uint32_t end = static_cast<uint32_t>(at + h.size());
    ends_.insert(low, &end, &end + 1);
    for (std::size_t k = low + 1; k < ends_.size(); ++k) ends_[k] += static_cast<uint32_t>(h.size());
    return true;
}

void hypertransition_set_t::normalize() {
    if (ends_.empty()) {
        // Single alternatives order exactly like the transitions they hold.
        sort_unique(alternatives_);
        release_surplus();
        return;
    }
    const std::size_t n = size();
    bool ascending = true;
    for (std::size_t k = 1; k < n && ascending; ++k) ascending = (*this)[k - 1] < (*this)[k];
    if (!ascending) {
        std::vector<uint32_t> order(n);
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [this](uint32_t a, uint32_t b) { return (*this)[a] < (*this)[b]; });
        hypertransition_set_t sorted;
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0 && (*this)[order[i]] == (*this)[order[i - 1]]) continue;
            const alternatives_t h = (*this)[order[i]];
            sorted.alternatives_.insert(sorted.alternatives_.size(), h.begin(), h.end());
            sorted.ends_.push_back(static_cast<uint32_t>(sorted.alternatives_.size()));
        }
        *this = std::move(sorted);
    }
    release_surplus();
}

void hypertransition_set_t::release_surplus() {
    alternatives_.release_surplus();
    ends_.release_surplus();
}

void hypertransition_set_t::clear() {
    alternatives_.clear();
    ends_.clear();
}

bool operator==(const hypertransition_set_t& a, const hypertransition_set_t& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}
