// Rendering of a process and everything it reaches over may transitions: as a
// DOT graph, and as a plain text listing (a diagnostic aid that no run mode
// calls), each to the stream it is given. Both walk breadth-first from the
// start process, so each reachable process is written once, in the same order.
#include <ostream>
#include <vector>

#include "dmts/dmts.hpp"
#include "support/dot_text.hpp"
#include "support/prefetch.hpp"

namespace {

// The walk's queue says which processes come next, so their records, their
// transition sets and the records of their targets, whose names are written,
// are requested a few steps before they are read: in a large model they lie
// all over memory, and waiting for each in turn is most of the walk's time.
[[gnu::always_inline]] inline void load_ahead(const process_table_t& processes, const std::vector<int>& order,
                                              std::size_t head) {
    if (head + 8 < order.size()) prefetch(processes[order[head + 8]]);
    if (head + 4 < order.size()) prefetch_sets(*processes[order[head + 4]]);
    if (head + 2 < order.size())
        for (const transition_t& t : processes[order[head + 2]]->may) prefetch(processes[t.target]);
}

// Calls visit(process) for every process reachable from start over may
// transitions, breadth-first; successors are queued in may-set order.
template <typename visit_t>
void walk_breadth_first(const process_table_t& processes, int start, visit_t visit) {
    std::vector<char> visited(processes.size(), 0);
    std::vector<int> order;  // the queue, read from the front
    visited[start] = 1;
    order.push_back(start);
    for (std::size_t head = 0; head < order.size(); ++head) {
        load_ahead(processes, order, head);
        const process_t& process = *processes[order[head]];
        visit(process);
        for (const transition_t& t : process.may) {
            if (!visited[t.target]) {
                visited[t.target] = 1;
                order.push_back(t.target);
            }
        }
    }
}

// Nil and anonymous processes are drawn without a label; every other defined
// process is created by DOT from its edges, labelled with its name.
bool is_unlabelled(const std::string& name) {
    return name == "nil" || (!name.empty() && name[0] == '$');
}

}  // namespace

void process_t::output_dot(const process_table_t* processes,
                           const std::vector<std::string>* action_names, int& point_counter,
                           bool must_only, std::ostream& out) const {
    const std::string quoted_name = dot_escaped(name);
    auto target_name = [&](const transition_t& t) { return dot_escaped((*processes)[t.target]->name); };
    auto action_name = [&](const transition_t& t) { return dot_escaped((*action_names)[t.action]); };

    if (!defined) {
        // The one node written bare: it must still be a valid DOT identifier.
        out << dot_identifier(name) << " [label=\"" << quoted_name << "\\nundefined\"]\n";
        return;
    }
    if (is_unlabelled(name)) out << '"' << quoted_name << "\" [label=\"\"]\n";

    if (must.empty() && (must_only || may.empty())) return;

    // The may transitions drawn as part of a must hypertransition, by their
    // position in may; the others are drawn dashed at the end.
    std::vector<char> drawn(must_only ? 0 : may.size(), 0);
    auto mark_drawn = [&](const transition_t& t) {
        if (must_only) return;
        const transition_t* at = may.lower_bound(t);
        if (at != may.end() && *at == t) drawn[static_cast<std::size_t>(at - may.begin())] = 1;
    };

    for (const alternatives_t hyper : must) {
        out << '"' << quoted_name << "\" -> ";
        if (hyper.size() == 1) {
            const transition_t& t = hyper.front();
            out << '"' << target_name(t) << "\" [label=\"" << action_name(t) << "\"]\n";
            mark_drawn(t);
            continue;
        }
        const int point = point_counter;
        out << '_' << point << "[arrowhead=none]\n";
        out << '_' << point << "[shape=point]\n";
        for (const transition_t& t : hyper) {
            out << '_' << point << " -> \"" << target_name(t) << "\" [label=\"" << action_name(t)
                << "\"]\n";
            mark_drawn(t);
        }
        ++point_counter;
    }
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        if (drawn[i]) continue;
        const transition_t& t = may.begin()[i];
        out << '"' << quoted_name << "\" -> \"" << target_name(t) << "\" [style=dashed,label=\""
            << action_name(t) << "\"]\n";
    }
}

void process_t::output(const process_table_t* processes,
                       const std::vector<std::string>* action_names, std::ostream& out) const {
    out << "P: " << name;
    if (!defined) {
        out << " undefined\n";
        return;
    }
    out << "\n\tmay:\n";
    for (const transition_t& t : may)
        out << "\t\t" << (*action_names)[t.action] << '.' << (*processes)[t.target]->name << '\n';
    out << "\tmust:\n";
    for (const alternatives_t hyper : must) {
        out << "\t\t| ";
        for (const transition_t& t : hyper)
            out << (*action_names)[t.action] << '.' << (*processes)[t.target]->name << " | ";
        out << '\n';
    }
}

void dmts_t::output_dot(int start, std::ostream& out) const {
    out << "digraph DMTS {\n";
    int point_counter = 0;  // shared by every process of the graph
    walk_breadth_first(processes, start, [&](const process_t& process) {
        process.output_dot(&processes, &action_names, point_counter, false, out);
    });
    out << "}" << std::endl;
}

void dmts_t::draw(int start, std::ostream& out) const {
    walk_breadth_first(processes, start, [&](const process_t& process) {
        process.output(&processes, &action_names, out);
    });
    out << std::flush;
}
