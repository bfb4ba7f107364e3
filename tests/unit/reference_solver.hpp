// The Rabin game solved by the plain nested fixpoint iteration, every fixpoint
// recomputed with the controllable predecessor over all edges, no attractor.
// Slow but direct, it is the yardstick the product's solver is held against;
// only a call repeated with the very same arguments is answered from a cache.
#pragma once

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"
#include "product/product.hpp"

namespace product_test {

struct reference_verdict_t {
    bitset_t win;
    std::vector<uint32_t> rank;       // meaningful for winning states only
    std::vector<uint32_t> best_rank;  // meaningful for winning choice nodes only
};

// Reads the product's states, edges, good and bad sets; changes nothing.
reference_verdict_t reference_solve(const ra_product_t& product);

// The controllable predecessor of x, by the edge walk that skips the rest of
// a source once it is decided.
bitset_t reference_cpred(const ra_product_t& product, const bitset_t& x);

}  // namespace product_test
