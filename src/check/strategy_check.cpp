#include "check/strategy_check.hpp"

#include <algorithm>
#include <deque>

#include "check/core_weakening.hpp"
#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"
#include "support/scc.hpp"

namespace {

std::string state_label(const strategy_listing_t& listing, int s) {
    const listed_state_t& st = listing.states[static_cast<size_t>(s)];
    return "S" + std::to_string(s) + " (" + st.move.process + "@" + std::to_string(st.ra_state) + ")";
}

check_result_t failure(const std::string& line) {
    check_result_t r;
    r.holds = false;
    r.lines.push_back("does not hold: " + line);
    return r;
}

int letter_of(const rabin_t& automaton, const std::string& action) {
    int letter = -1;
    for (size_t j = 0; j < automaton.ap.size(); ++j) {
        if (automaton.ap[j] == action) letter = static_cast<int>(j);
    }
    return letter;
}

// The states reachable from S0, checked against the model and the automaton
// on the way. Returns an empty result when every step is consistent.
check_result_t check_steps(const dmts_t& model, int process, const rabin_t& automaton,
                           const strategy_listing_t& listing, std::vector<char>& reached) {
    const auto& states = listing.states;
    const listed_state_t& first = states.front();
    if (find_listed_process(model, first.move.process) != process || first.ra_state != automaton.start) {
        return failure("S0 must be " + listed_process_name(model, process) + "@" + std::to_string(automaton.start) +
                       ", the initial process and automaton state, but is " + first.move.process + "@" +
                       std::to_string(first.ra_state));
    }
    reached.assign(states.size(), 0);
    std::deque<int> queue{0};
    reached[0] = 1;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        const listed_state_t& st = states[static_cast<size_t>(s)];
        const int p = find_listed_process(model, st.move.process);
        if (p < 0) return failure(state_label(listing, s) + ": no process " + st.move.process + " in the specification");
        if (st.ra_state < 0 || st.ra_state >= automaton.state_count) {
            return failure(state_label(listing, s) + ": the automaton has no state " + std::to_string(st.ra_state));
        }
        const int k = find_must(model, p, st.move.alternatives);
        if (k < 0) {
            if (model.processes[static_cast<size_t>(p)]->must.empty()) {
                return failure(state_label(listing, s) + ": " + st.move.process +
                               " has no must hypertransition, so the implementation may stop there, and a "
                               "finite run is accepted");
            }
            return failure(state_label(listing, s) + ": " + hyper_text(st.move.alternatives) +
                           " is not a must hypertransition of " + st.move.process);
        }
        for (size_t j = 0; j < st.next.size(); ++j) {
            const listed_transition_t& alt = st.move.alternatives[j];
            const int target = find_listed_process(model, alt.target);
            const int q = automaton.successor(st.ra_state, letter_of(automaton, alt.action));
            if (q < 0) {
                return failure(state_label(listing, s) + ": the automaton has no successor of its state " +
                               std::to_string(st.ra_state) + " for action " + alt.action);
            }
            const int n = st.next[j];
            const listed_state_t& next = states[static_cast<size_t>(n)];
            if (find_listed_process(model, next.move.process) != target || next.ra_state != q) {
                return failure(state_label(listing, s) + ": " + alt.action + "." + alt.target + " leads to " +
                               alt.target + "@" + std::to_string(q) + ", but S" + std::to_string(n) + " is " +
                               next.move.process + "@" + std::to_string(next.ra_state));
            }
            if (!reached[static_cast<size_t>(n)]) {
                reached[static_cast<size_t>(n)] = 1;
                queue.push_back(n);
            }
        }
    }
    return check_result_t();
}

// Shortest path of strategy edges from one state to another, through states
// allowed; with nonempty, at least one step. Returned as the states after from.
std::vector<int> path_between(const strategy_listing_t& listing, int from, int to, bool nonempty,
                              const std::vector<char>& allowed) {
    if (from == to && !nonempty) return {};
    std::vector<int> via(listing.states.size(), -2);
    std::deque<int> queue{from};
    via[static_cast<size_t>(from)] = -1;
    while (!queue.empty()) {
        const int v = queue.front();
        queue.pop_front();
        for (int w : listing.states[static_cast<size_t>(v)].next) {
            if (!allowed[static_cast<size_t>(w)]) continue;
            if (w == to) {
                std::vector<int> path{w};
                for (int u = v; u != from; u = via[static_cast<size_t>(u)]) path.push_back(u);
                std::reverse(path.begin(), path.end());
                return path;
            }
            if (via[static_cast<size_t>(w)] != -2) continue;
            via[static_cast<size_t>(w)] = v;
            queue.push_back(w);
        }
    }
    return {};
}

std::string steps_text(const strategy_listing_t& listing, int from, const std::vector<int>& path) {
    std::string text = "S" + std::to_string(from);
    int at = from;
    for (int s : path) {
        const listed_state_t& st = listing.states[static_cast<size_t>(at)];
        const auto it = std::find(st.next.begin(), st.next.end(), s);
        const listed_transition_t& alt = st.move.alternatives[static_cast<size_t>(it - st.next.begin())];
        text += " --" + alt.action + "--> S" + std::to_string(s);
        at = s;
    }
    return text;
}

}  // namespace

check_result_t check_strategy(const dmts_t& model, int process, const rabin_t& automaton,
                              const strategy_listing_t& listing) {
    if (listing.states.empty()) return failure("the strategy has no states");
    std::vector<char> reached;
    check_result_t steps = check_steps(model, process, automaton, listing, reached);
    if (!steps.holds) return steps;

    const size_t n = listing.states.size();
    for (int pair = 0; pair < automaton.pair_count; ++pair) {
        std::vector<char> alive(n, 0);
        std::vector<std::vector<int>> successors(n);
        for (size_t s = 0; s < n; ++s) {
            alive[s] = reached[s] && !automaton.bad[static_cast<size_t>(pair)].test(static_cast<uint32_t>(listing.states[s].ra_state));
        }
        for (size_t s = 0; s < n; ++s) {
            if (!alive[s]) continue;
            for (int w : listing.states[s].next) {
                if (alive[static_cast<size_t>(w)]) successors[s].push_back(w);
            }
        }
        const scc_result_t scc = strongly_connected_components(successors);
        for (size_t s = 0; s < n; ++s) {
            if (!alive[s] || !scc.cyclic[static_cast<size_t>(scc.component[s])]) continue;
            if (!automaton.good[static_cast<size_t>(pair)].test(static_cast<uint32_t>(listing.states[s].ra_state))) continue;
            // A cycle through s inside its component satisfies the pair.
            const int g = static_cast<int>(s);
            std::vector<char> inside(n, 0);
            for (size_t v = 0; v < n; ++v) inside[v] = alive[v] && scc.component[v] == scc.component[s];
            const std::vector<int> prefix = path_between(listing, 0, g, false, reached);
            const std::vector<int> cycle = path_between(listing, g, g, true, inside);
            check_result_t r = failure("an implementation beats the strategy: its run satisfies acceptance pair " +
                                       std::to_string(pair));
            r.lines.push_back("  run: " + (g == 0 ? std::string() : steps_text(listing, 0, prefix) + ", then ") +
                              "for ever " + steps_text(listing, g, cycle));
            r.lines.push_back("  where " + state_label(listing, g) + " is in the good set of pair " +
                              std::to_string(pair) + " and the cycle avoids its bad set");
            return r;
        }
    }
    return check_result_t();
}
