// Numbering rows of ints by value, the step of signature refinement (the
// coarsest bisimulation): rows are sorted lexicographically and equal rows
// get equal numbers, in the sorted order, so the numbering of a partition
// never depends on hashing. Cost: O(r log r) row comparisons for r rows.
#pragma once

#include <cstddef>
#include <vector>

// Row s is flat[begin[s] .. begin[s + 1]). Returns one number per row and
// sets count to the number of distinct rows.
std::vector<int> number_rows(const std::vector<int>& flat, const std::vector<std::size_t>& begin, std::size_t& count);
