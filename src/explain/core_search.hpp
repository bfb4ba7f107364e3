// QuickXplain over must hypertransitions: weakening one only adds
// implementations, so "the answer is NO with only these kept" is monotone
// and a divide-and-conquer search finds a minimal kept set with
// O(k log(n / k)) solves for a core of k out of n candidates.
#pragma once

#include <functional>
#include <utility>
#include <vector>

using hyper_ref_t = std::pair<int, int>;  // (process, position in its must set)

// still_no(kept) answers whether the answer stays NO when only kept are
// must. Requires still_no(candidates). Returns a subset of candidates for
// which still_no holds and from which no member can be dropped.
std::vector<hyper_ref_t> minimal_core(const std::vector<hyper_ref_t>& candidates,
                                      const std::function<bool(const std::vector<hyper_ref_t>&)>& still_no);
