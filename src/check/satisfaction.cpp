#include "check/satisfaction.hpp"

#include <algorithm>
#include <deque>

#include "check/pair_index.hpp"
#include "rabin/rabin.hpp"

std::vector<int> action_letters(const lts_t& impl, const rabin_t& automaton) {
    std::vector<int> letter(impl.action_names.size(), -1);
    for (size_t a = 0; a < impl.action_names.size(); ++a) {
        for (size_t j = 0; j < automaton.ap.size(); ++j) {
            if (automaton.ap[j] == impl.action_names[a]) letter[a] = static_cast<int>(j);
        }
    }
    return letter;
}

namespace {

struct product_edge_t {
    int target;     // product node
    int impl_edge;  // the implementation edge it follows
};

class satisfaction_checker_t {
public:
    satisfaction_checker_t(const lts_t& impl, const rabin_t& automaton)
        : impl_(impl), ra_(automaton), nodes_(impl.state_count(), automaton.state_count),
          letter_(action_letters(impl, automaton)) {}

    check_result_t run(lasso_t* lasso) {
        check_result_t result;
        if (!build(result)) return result;
        std::vector<int> witness;
        if (!find_rejected_component(witness)) return result;
        lasso_t found;
        found.prefix = path_to(witness.front());
        found.cycle = cycle_through(witness);
        describe(found, result);
        if (lasso) *lasso = found;
        return result;
    }

private:
    int state_of(int node) const { return nodes_.first(node); }
    int ra_state_of(int node) const { return nodes_.second(node); }

    std::string edge_step(int impl_edge) const {
        const lts_edge_t& e = impl_.edges[impl_edge];
        return " --" + impl_.action_names[e.action] + "--> " + impl_.state_names[e.target];
    }

    std::string path_text(const std::vector<int>& edges, int from_state) const {
        std::string text = impl_.state_names[from_state];
        for (int e : edges) text += edge_step(e);
        return text;
    }

    // Breadth-first construction of the reachable product, with the edge that
    // first reached each node kept for the prefix of a counterexample. Stops
    // with a failure at the first transition the automaton cannot read.
    bool build(check_result_t& result) {
        nodes_.add(0, ra_.start);
        parent_.push_back(-1);
        first_.push_back(0);
        for (int node = 0; node < nodes_.size(); ++node) {
            const int s = state_of(node);
            const int q = ra_state_of(node);
            for (int e = impl_.edge_begin(s); e < impl_.edge_end(s); ++e) {
                const lts_edge_t& edge = impl_.edges[e];
                const int next_q = ra_.successor(q, letter_[edge.action]);
                if (next_q < 0 || next_q >= ra_.state_count) {
                    result.holds = false;
                    const int a = letter_[edge.action];
                    result.lines.push_back(
                        "does not hold: the automaton has no successor of its state " + std::to_string(q) +
                        (a < 0 ? " under the other letter" : " under the letter " + ra_.ap[a]) +
                        ", needed for action " + impl_.action_names[edge.action]);
                    result.lines.push_back("  after " + path_text(prefix_edges(node), 0) + edge_step(e));
                    return false;
                }
                auto added = nodes_.add(edge.target, next_q);
                if (added.second) parent_.push_back(static_cast<int>(edges_.size()));
                edges_.push_back({added.first, e});
                edge_source_.push_back(node);
            }
            first_.push_back(static_cast<int>(edges_.size()));
        }
        return true;
    }

    std::vector<int> prefix_edges(int node) const {
        std::vector<int> path;
        for (int n = node; parent_[n] >= 0; n = edge_source_[parent_[n]]) path.push_back(edges_[parent_[n]].impl_edge);
        std::reverse(path.begin(), path.end());
        return path;
    }

    std::vector<int> path_to(int node) const { return prefix_edges(node); }

    bool in_good(int pair, int node) const { return ra_.good[pair].test(ra_state_of(node)); }
    bool in_bad(int pair, int node) const { return ra_.bad[pair].test(ra_state_of(node)); }

    // Strongly connected components of the nodes whose block is b, restricted
    // to edges inside that block; iterative Tarjan. Components are appended to
    // components as node lists.
    void components_of(const std::vector<int>& members, int b, std::vector<std::vector<int>>& components) {
        for (int v : members) index_[v] = -1;
        int counter = 0;
        std::vector<int> stack;
        struct frame_t {
            int node;
            int next_edge;
        };
        std::vector<frame_t> call;
        for (int root : members) {
            if (index_[root] >= 0) continue;
            call.push_back({root, first_[root]});
            index_[root] = low_[root] = counter++;
            stack.push_back(root);
            on_stack_[root] = 1;
            while (!call.empty()) {
                frame_t& f = call.back();
                const int v = f.node;
                if (f.next_edge < first_[v + 1]) {
                    const int w = edges_[f.next_edge++].target;
                    if (block_[w] != b) continue;
                    if (index_[w] < 0) {
                        index_[w] = low_[w] = counter++;
                        stack.push_back(w);
                        on_stack_[w] = 1;
                        call.push_back({w, first_[w]});
                    } else if (on_stack_[w]) {
                        low_[v] = std::min(low_[v], index_[w]);
                    }
                    continue;
                }
                call.pop_back();
                if (!call.empty()) low_[call.back().node] = std::min(low_[call.back().node], low_[v]);
                if (low_[v] != index_[v]) continue;
                components.emplace_back();
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    on_stack_[w] = 0;
                    components.back().push_back(w);
                } while (w != v);
            }
        }
    }

    bool has_edge_inside(int v, int b) const {
        for (int i = first_[v]; i < first_[v + 1]; ++i) {
            if (block_[edges_[i].target] == b) return true;
        }
        return false;
    }

    // Finds a strongly connected set of nodes (with at least one edge) that,
    // for every pair, holds a bad state or no good state. Blocks label the
    // node sets still to be decomposed; -1 marks discarded nodes.
    bool find_rejected_component(std::vector<int>& witness) {
        const int n = nodes_.size();
        const int pair_count = ra_.pair_count;
        block_.assign(n, 0);
        index_.assign(n, -1);
        low_.assign(n, 0);
        on_stack_.assign(n, 0);
        int next_block = 1;
        std::vector<std::vector<int>> work;
        work.emplace_back();
        for (int v = 0; v < n; ++v) work.back().push_back(v);
        std::vector<char> has_good(pair_count), has_bad(pair_count);
        while (!work.empty()) {
            std::vector<int> members = std::move(work.back());
            work.pop_back();
            const int b = block_[members.front()];
            std::vector<std::vector<int>> components;
            components_of(members, b, components);
            for (std::vector<int>& component : components) {
                const int c = next_block++;
                for (int v : component) block_[v] = c;
                if (component.size() == 1 && !has_edge_inside(component.front(), c)) {
                    block_[component.front()] = -1;
                    continue;
                }
                std::fill(has_good.begin(), has_good.end(), 0);
                std::fill(has_bad.begin(), has_bad.end(), 0);
                for (int v : component) {
                    for (int i = 0; i < pair_count; ++i) {
                        has_good[i] |= in_good(i, v);
                        has_bad[i] |= in_bad(i, v);
                    }
                }
                bool violated = false;  // some pair has good states but no bad state here
                for (int i = 0; i < pair_count; ++i) violated |= has_good[i] && !has_bad[i];
                if (!violated) {
                    // Nodes are numbered breadth-first, so the least one has
                    // the shortest prefix; the cycle starts there.
                    std::swap(component.front(), *std::min_element(component.begin(), component.end()));
                    witness = std::move(component);
                    witness_block_ = c;
                    witness_needs_bad_.clear();
                    for (int i = 0; i < pair_count; ++i) {
                        if (has_good[i]) witness_needs_bad_.push_back(i);
                    }
                    return true;
                }
                // A rejected run inside this component must avoid the good
                // states of every such pair for ever; drop them and look again.
                std::vector<int> rest;
                for (int v : component) {
                    bool drop = false;
                    for (int i = 0; i < pair_count && !drop; ++i) drop = has_good[i] && !has_bad[i] && in_good(i, v);
                    if (drop) block_[v] = -1;
                    else rest.push_back(v);
                }
                if (!rest.empty()) work.push_back(std::move(rest));
            }
        }
        return false;
    }

    // Shortest path of product edges inside the witness block from one node
    // to another, as implementation edges; with nonempty set, at least one edge.
    void path_inside(int from, int to, bool nonempty, std::vector<int>& out_nodes, std::vector<int>& out) {
        if (from == to && !nonempty) return;
        std::vector<int> via(nodes_.size(), -2);  // product edge that reached each node
        std::deque<int> queue;
        via[from] = -1;
        queue.push_back(from);
        int found = -1;
        while (!queue.empty() && found < 0) {
            const int v = queue.front();
            queue.pop_front();
            for (int i = first_[v]; i < first_[v + 1]; ++i) {
                const int w = edges_[i].target;
                if (block_[w] != witness_block_) continue;
                if (w == to) {
                    found = i;
                    break;
                }
                if (via[w] != -2) continue;
                via[w] = i;
                queue.push_back(w);
            }
        }
        std::vector<int> reversed{found};
        for (int v = edge_source_[found]; v != from; v = edge_source_[via[v]]) reversed.push_back(via[v]);
        for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
            out.push_back(edges_[*it].impl_edge);
            out_nodes.push_back(edges_[*it].target);
        }
    }

    // A cycle from the witness's first node that visits, for every pair with
    // good states in the witness, one of its bad states; the witness is
    // strongly connected, so each leg exists.
    std::vector<int> cycle_through(const std::vector<int>& witness) {
        const int start = witness.front();
        std::vector<int> cycle, visited{start};
        int at = start;
        for (int pair : witness_needs_bad_) {
            bool seen = false;
            for (int v : visited) seen |= in_bad(pair, v);
            if (seen) continue;
            int target = -1;
            for (int v : witness) {
                if (in_bad(pair, v)) {
                    target = v;
                    break;
                }
            }
            path_inside(at, target, false, visited, cycle);
            at = target;
        }
        path_inside(at, start, cycle.empty(), visited, cycle);
        return cycle;
    }

    void describe(const lasso_t& lasso, check_result_t& result) const {
        result.holds = false;
        result.lines.push_back("does not hold: a run of " + impl_.state_names[0] + " is not accepted by the automaton");
        auto actions = [this](const std::vector<int>& edges) {
            std::string text;
            for (int e : edges) text += " " + impl_.action_names[impl_.edges[e].action];
            return text.empty() ? std::string(" (empty)") : text;
        };
        result.lines.push_back("  prefix:" + actions(lasso.prefix));
        result.lines.push_back("  cycle:" + actions(lasso.cycle));
        const int cycle_start = lasso.prefix.empty() ? 0 : impl_.edges[lasso.prefix.back()].target;
        const std::string prefix = lasso.prefix.empty() ? std::string() : path_text(lasso.prefix, 0) + ", then ";
        result.lines.push_back("  run: " + prefix + "for ever " + path_text(lasso.cycle, cycle_start));
    }

    const lts_t& impl_;
    const rabin_t& ra_;
    pair_index_t nodes_;  // product node = (implementation state, automaton state)
    std::vector<int> letter_;
    std::vector<product_edge_t> edges_;  // edges of node v: edges_[first_[v] .. first_[v + 1])
    std::vector<int> first_;
    std::vector<int> edge_source_;
    std::vector<int> parent_;  // product edge that first reached each node, -1 for node 0
    std::vector<int> block_, index_, low_;
    std::vector<char> on_stack_;
    int witness_block_ = -1;
    std::vector<int> witness_needs_bad_;
};

}  // namespace

check_result_t check_satisfaction(const lts_t& impl, const rabin_t& automaton, lasso_t* lasso) {
    satisfaction_checker_t checker(impl, automaton);
    return checker.run(lasso);
}
