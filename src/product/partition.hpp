// The coarsest partition of a labelled transition system's states that is
// stable under every action (strong bisimilarity), computed by refinement
// passes whose block numbering is part of the printed result: blocks are
// numbered in the order the passes split them off, so the refinement follows
// one fixed sequence of splits (see partition.cpp).
#pragma once

#include <vector>

#include "product/product.hpp"

struct block_partition_t {
    std::vector<int> block_of;  // block index of each state, -1 for states outside the system
    int block_count = 0;
};

// members: the system's states, ascending, each below state_count.
// pred: the system's transitions (among members, with actions 0 ..
// action_count-1) by target, as ra_product_t::precompute fills it.
// All members start in block 0; every pass offers each action against each
// block of the partition as it stood when the pass began, actions outer,
// blocks in index order, and splits every current block that has some but
// not all of its states among that block's predecessors. Of a split block,
// the part outside the predecessors keeps the index and the part inside gets
// the next free one; blocks are split in ascending index order. Passes repeat
// until one splits nothing.
block_partition_t refine_by_predecessors(int state_count, int action_count, const std::vector<int>& members,
                                         const impl_predecessors_t& pred);
// The same, with the predecessor table taken from the transitions first.
block_partition_t refine_partition(int state_count, int action_count, const std::vector<int>& members,
                                   const std::vector<impl_transition_t>& transitions);

// Class numbers: the block indices, except that the block of `initial` and
// block 0 exchange their numbers, so the initial state's class is 0.
std::vector<int> number_classes(const block_partition_t& partition, int initial);

// The transitions between classes, ascending by (source class, action,
// target class), each at most once.
std::vector<impl_transition_t> quotient_transitions(const std::vector<int>& class_of,
                                                    const std::vector<impl_transition_t>& transitions);
