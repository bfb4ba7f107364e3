// The predecessor rows: the edge rows turned around by a counting sort over
// the targets, O(n + m).
#include "product/predecessors.hpp"

#include "product/product.hpp"
#include "support/row_layout.hpp"

predecessors_t::predecessors_t(const ra_product_t& product) {
    const std::size_t n = static_cast<std::size_t>(product.state_count);
    row_layout_t<uint32_t> rows;
    rows.reset(n);
    for (const product_edge_t& e : product.edges) rows.count(static_cast<std::size_t>(e.target));
    rows.close();
    source.assign(product.edges.size(), 0);
    for (std::size_t s = 0; s < n; ++s) {
        const uint32_t entry = static_cast<uint32_t>(s) | (product.is_choice(static_cast<int>(s)) ? choice_flag : 0u);
        for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e)
            source[rows.place(static_cast<std::size_t>(product.edges[e].target))] = entry;
    }
    begin = rows.take_begin();
}
