#include "explain/core_search.hpp"

namespace {

using predicate_t = std::function<bool(const std::vector<hyper_ref_t>&)>;

std::vector<hyper_ref_t> joined(std::vector<hyper_ref_t> a, const std::vector<hyper_ref_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The members of candidates needed on top of background. The recursion
// halves candidates, so its depth is at most log2 of their number.
std::vector<hyper_ref_t> needed(const std::vector<hyper_ref_t>& background, bool background_grew,
                                const std::vector<hyper_ref_t>& candidates, const predicate_t& still_no) {
    if (background_grew && still_no(background)) return {};
    if (candidates.size() == 1) return candidates;
    const auto middle = candidates.begin() + static_cast<long>(candidates.size() / 2);
    const std::vector<hyper_ref_t> first(candidates.begin(), middle), second(middle, candidates.end());
    const std::vector<hyper_ref_t> from_second = needed(joined(background, first), true, second, still_no);
    const std::vector<hyper_ref_t> from_first =
        needed(joined(background, from_second), !from_second.empty(), first, still_no);
    return joined(from_first, from_second);
}

}  // namespace

std::vector<hyper_ref_t> minimal_core(const std::vector<hyper_ref_t>& candidates, const predicate_t& still_no) {
    if (candidates.empty() || still_no({})) return {};
    return needed({}, false, candidates, still_no);
}
