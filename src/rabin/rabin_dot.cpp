// The automaton as a DOT graph, and the acceptance signature label that the
// product rendering shares.
#include <cstddef>
#include <ostream>
#include <vector>

#include "support/dot_text.hpp"
#include "rabin/rabin.hpp"

bool rabin_t::out_gb_string(std::ostream& out, int state) const {
    bool written = false;
    for (int i = 0; i < pair_count; ++i) {
        if (good[i].test(static_cast<uint32_t>(state))) {
            if (!written) out << "\\n";
            written = true;
            out << " +" << i;
        }
        if (bad[i].test(static_cast<uint32_t>(state))) {
            if (!written) out << "\\n";
            written = true;
            out << " -" << i;
        }
    }
    return written;
}

void rabin_t::output_dot(std::ostream& out, bool reachable_only) {
    const uint32_t n = static_cast<uint32_t>(state_count);
    bitset_t marked(n, reachable_only ? BS_EMPTY : BS_FULL);
    if (reachable_only && state_count > 0) {
        // Breadth-first from start, letters in the order -1, 0, 1, ...; the
        // queue is a vector read from the front, each state enters it once.
        std::vector<int> queue;
        queue.push_back(start);
        marked.set(static_cast<uint32_t>(start));
        for (std::size_t head = 0; head < queue.size(); ++head) {
            int u = queue[head];
            for (int letter = -1; letter < letter_count() - 1; ++letter) {
                int v = enter_successor(u, letter);
                if (!marked.test(static_cast<uint32_t>(v))) {
                    marked.set(static_cast<uint32_t>(v));
                    queue.push_back(v);
                }
            }
        }
    }

    // Names are quote-free words in files that translators write; escaping
    // keeps any other name from ending the label early.
    std::vector<std::string> labels;
    labels.reserve(ap.size());
    for (const std::string& name : ap) labels.push_back(dot_escaped(name));

    out << "digraph rabin {\n";
    for (int j = 0; j < state_count; ++j) {
        if (!marked.test(static_cast<uint32_t>(j))) continue;
        out << j << " [label=\"" << j;
        bool signed_state = out_gb_string(out, j);
        out << '"';
        if (signed_state) out << ", shape=box";
        if (j == start) out << ", style=filled";
        out << "]\n";
        for (int k = 0; k < static_cast<int>(ap.size()); ++k)
            out << j << " -> " << enter_successor(j, k) << " [label=\" " << labels[k] << "\"]\n";
        out << j << " -> " << enter_successor(j, -1) << " [label=\" other\"]\n";
    }
    out << "}" << std::endl;
}
