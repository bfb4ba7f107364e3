// Minimisation of the extracted implementation: its states are merged into
// the classes of the coarsest stable partition and its transitions replaced
// by the transitions between classes, numbered so that the initial state's
// class is 0.
#include <vector>

#include "product/partition.hpp"
#include "product/product.hpp"

void ra_product_t::precompute() { pred.assign(state_count, impl_trans); }

void ra_product_t::minimize_impl() {
    produce_impl();
    if (impl_states->is_empty()) return;  // negative verdict: nothing to minimise

    std::vector<int> members;
    const uint32_t n = impl_states->capacity();
    for (uint32_t s = impl_states->next(0); s < n; s = impl_states->next(s + 1)) members.push_back(static_cast<int>(s));

    precompute();
    const block_partition_t partition = refine_by_predecessors(state_count, action_count, members, pred);
    const std::vector<int> class_of = number_classes(partition, 0);
    impl_trans = quotient_transitions(class_of, impl_trans);
}
