// The product graph as DOT: state nodes as boxes, choice nodes as diamonds.
// Once the game is solved (win set), winning states are filled and carry
// their rank, and the alternatives of a winning choice node that the
// extraction would not follow are dashed.
#include <ostream>

#include "support/dot_text.hpp"
#include "product/product.hpp"

void ra_product_t::output_dot(std::ostream& out) const {
    const bool solved = win != nullptr;
    out << "digraph product {\n";
    for (int i = 0; i < state_count; ++i) {
        const product_state_t& s = states[static_cast<std::size_t>(i)];
        const bool winning = solved && win->test(static_cast<uint32_t>(i));
        out << i << " [label=\"";
        if (winning) out << "TS" << rank[static_cast<std::size_t>(i)] << ' ';
        out << s.ra_state << ", " << dot_escaped(dmts->processes[static_cast<std::size_t>(s.process)]->name);
        if (s.choice >= 0) out << ", f" << s.choice;
        // A state reached through a missing automaton entry (-1) has no signature.
        if (s.ra_state >= 0 && s.ra_state < rabin->state_count) rabin->out_gb_string(out, s.ra_state);
        out << "\", shape=" << (s.choice >= 0 ? "diamond" : "box");
        if (winning) out << ", style=filled";
        out << "]\n";
    }
    for (int u = 0; u < state_count; ++u) {
        const uint32_t begin = edge_begin[static_cast<std::size_t>(u)];
        const uint32_t end = edge_begin[static_cast<std::size_t>(u) + 1];
        const bool winning_choice = solved && is_choice(u) && win->test(static_cast<uint32_t>(u));
        for (uint32_t e = begin; e < end; ++e) {
            const product_edge_t& edge = edges[e];
            out << u << " -> " << edge.target << " [label=\"";
            if (edge.action < 0) out << 'T';
            else out << dot_escaped(dmts->action_names[static_cast<std::size_t>(edge.action)]);
            out << '"';
            if (winning_choice) {
                const uint32_t t = static_cast<uint32_t>(edge.target);
                if (!win->test(t) || rank[t] != best_rank[static_cast<std::size_t>(u)]) out << ", style=dashed";
            }
            out << "]\n";
        }
    }
    out << "}" << std::endl;
}
