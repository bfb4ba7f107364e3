#include "product/predecessors.hpp"

#include "product/product.hpp"

predecessors_t::predecessors_t(const ra_product_t& product) {
    const std::size_t n = static_cast<std::size_t>(product.state_count);
    begin.assign(n + 1, 0);
    for (const product_edge_t& e : product.edges) ++begin[static_cast<std::size_t>(e.target) + 1];
    for (std::size_t t = 0; t < n; ++t) begin[t + 1] += begin[t];
    source.assign(product.edges.size(), 0);
    std::vector<uint32_t> fill(begin.begin(), begin.end() - 1);
    for (std::size_t s = 0; s < n; ++s) {
        const uint32_t entry = static_cast<uint32_t>(s) | (product.is_choice(static_cast<int>(s)) ? choice_flag : 0u);
        for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e)
            source[fill[static_cast<std::size_t>(product.edges[e].target)]++] = entry;
    }
}
