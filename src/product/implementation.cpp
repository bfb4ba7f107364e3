// The verdict sentence, the extraction of an implementation from the solved
// game, and its output as process definitions or as a DOT graph.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "product/product.hpp"

namespace {

bool initial_state_wins(const ra_product_t& p) { return p.win && p.state_count > 0 && p.win->test(0); }

}  // namespace

std::ostream& ra_product_t::answer(std::ostream& out) const {
    const bool positive = initial_state_wins(*this);
    out << "The answer is " << (positive ? "YES, there is an implementation of " : "NO, no implementation of ")
        << dmts->processes[process]->name << (positive ? " that" : "")
        << " satisfies the condition given by the Rabin automaton." << std::endl;
    return out;
}

// Breadth-first from state 0 over the winning strategy: every edge of a state
// node is kept, and a choice node is replaced by those of its winning
// alternatives whose rank is the least one (best_rank). Only state nodes
// become implementation states.
void ra_product_t::produce_impl() {
    impl_states = std::make_unique<bitset_t>(static_cast<uint32_t>(state_count), BS_EMPTY);
    impl_trans.clear();
    if (!initial_state_wins(*this)) return;

    // Each source is dequeued once and emits all its transitions at once, so
    // in visit order a source's transitions are one contiguous run; run_begin
    // remembers where each run starts for the regrouping below.
    std::vector<impl_transition_t> visited_order;
    std::vector<uint32_t> run_begin(static_cast<size_t>(state_count) + 1, 0);
    std::vector<int> queue;
    queue.push_back(0);
    impl_states->set(0);
    auto keep = [&](int source, int action, int target) {
        visited_order.push_back({source, action, target});
        if (!impl_states->test(static_cast<uint32_t>(target))) {
            impl_states->set(static_cast<uint32_t>(target));
            queue.push_back(target);
        }
    };
    for (size_t head = 0; head < queue.size(); ++head) {
        const int u = queue[head];
        run_begin[u] = static_cast<uint32_t>(visited_order.size());
        for (uint32_t e = edge_begin[u]; e < edge_begin[u + 1]; ++e) {
            const int v = edges[e].target;
            if (!is_choice(v)) {
                keep(u, edges[e].action, v);
                continue;
            }
            for (uint32_t f = edge_begin[v]; f < edge_begin[v + 1]; ++f) {
                const int x = edges[f].target;
                if (win->test(static_cast<uint32_t>(x)) && rank[x] == best_rank[v]) keep(u, edges[f].action, x);
            }
        }
    }

    // Regroup by ascending source: walk the implementation states in
    // ascending order and copy each one's run, which keeps insertion order.
    impl_trans.reserve(visited_order.size());
    const uint32_t n = impl_states->capacity();
    for (uint32_t s = impl_states->next(0); s < n; s = impl_states->next(s + 1)) {
        for (uint32_t i = run_begin[s]; i < visited_order.size() && visited_order[i].source == static_cast<int>(s); ++i)
            impl_trans.push_back(visited_order[i]);
    }
}

void ra_product_t::out_trans(std::ostream& out, bool dot, int source, int action, int target) {
    const std::string& name = dmts->action_names[action];
    if (dot) {
        out << 'I' << source << " -> I" << target << " [label=\"" << name << "\"]\n";
        return;
    }
    if (source == last_written_source) {
        out << " + ";
    } else {
        if (last_written_source != -1) out << '\n';
        out << 'I' << source << " = ";
    }
    out << name << ".I" << target;
    last_written_source = source;
}

void ra_product_t::output_impl(bool dot, std::ostream& out, std::ostream& err) {
    last_written_source = -1;
    answer(dot ? err : out);
    if (dot) out << "digraph product {\n";
    // Without any product edge the implementation has no transitions; that
    // is worth saying only when there is an implementation at all.
    if (!has_edges() && initial_state_wins(*this)) {
        if (dot) {
            out << "nil\n";
            err << "There exists an implementation with no transitions.\n";
        } else {
            out << "There exists an implementation with no transitions.\n";
        }
    }
    if (impl_trans.empty()) produce_impl();
    for (const impl_transition_t& t : impl_trans) out_trans(out, dot, t.source, t.action, t.target);
    if (dot) out << '}';
    out << '\n' << std::flush;
}
