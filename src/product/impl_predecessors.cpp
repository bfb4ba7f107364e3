#include "product/impl_predecessors.hpp"

#include "product/product.hpp"
#include "support/row_layout.hpp"

void impl_predecessors_t::assign(int state_count, const std::vector<impl_transition_t>& transitions) {
    row_layout_t<uint32_t> by_target;
    by_target.reset(static_cast<std::size_t>(state_count));
    for (const impl_transition_t& t : transitions) by_target.count(static_cast<std::size_t>(t.target));
    by_target.close();
    entries.resize(transitions.size());
    for (const impl_transition_t& t : transitions)
        entries[by_target.place(static_cast<std::size_t>(t.target))] = {t.action, t.source};
    begin = by_target.take_begin();
}
