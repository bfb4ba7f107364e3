#include "support/row_numbering.hpp"

#include <algorithm>

std::vector<int> number_rows(const std::vector<int>& flat, const std::vector<std::size_t>& begin, std::size_t& count) {
    const std::size_t n = begin.size() - 1;
    std::vector<int> order(n);
    for (std::size_t s = 0; s < n; ++s) order[s] = static_cast<int>(s);
    auto row_less = [&](int a, int b) {
        const auto row = [&](int s) { return flat.begin() + static_cast<long>(begin[static_cast<std::size_t>(s)]); };
        const auto row_end = [&](int s) { return flat.begin() + static_cast<long>(begin[static_cast<std::size_t>(s) + 1]); };
        return std::lexicographical_compare(row(a), row_end(a), row(b), row_end(b));
    };
    std::sort(order.begin(), order.end(), row_less);
    std::vector<int> id(n);
    count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && row_less(order[i - 1], order[i])) ++count;
        id[static_cast<std::size_t>(order[i])] = static_cast<int>(count);
    }
    if (n > 0) ++count;
    return id;
}
