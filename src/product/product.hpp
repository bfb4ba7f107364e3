// The product of one DMTS process with the Rabin automaton, laid out as a
// two-player game graph, together with everything the solver, the extraction
// and the minimisation compute on it. States are numbered densely from 0 (the
// initial state node) in breadth-first order; edges are stored grouped by
// source in compressed rows, in the order they were added.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "dmts/dmts.hpp"
#include "support/large_table_allocator.hpp"
#include "support/bitset.hpp"
#include "product/impl_predecessors.hpp"
#include "product/product_index.hpp"
#include "rabin/rabin.hpp"

struct product_edge_t {
    int action;  // -1 for the edge from a state node to one of its choice nodes
    int target;
};

struct impl_transition_t {
    int source;
    int action;
    int target;
};

class ra_product_t {
public:
    struct product_state_t {
        int ra_state;  // -1 after a missing automaton entry ("FATAL ERROR")
        int process;
        int choice;    // -1 for a state node, k >= 0 for the k-th choice node
        bool operator==(const product_state_t& o) const {
            return ra_state == o.ra_state && process == o.process && choice == o.choice;
        }
    };

    ra_product_t(rabin_t* automaton, dmts_t* model, int process_index);

    rabin_t* rabin;
    dmts_t* dmts;
    int process;
    int state_count = 0;
    std::vector<product_state_t> states;
    // Number of each stored state that node_numbers does not hold, keyed by
    // the whole triple (see store()).
    product_index_t state_index;
    // Whether some choice nodes are numbered but not yet in state_index.
    bool unindexed_choices = false;
    // The ranges of node_numbers, fixed at construction: automaton states
    // (-1 included) and processes.
    uint64_t table_ra_states = 0;
    uint64_t table_processes = 0;
    static constexpr uint64_t max_node_numbers = uint64_t{1} << 22;
    // The numbers of the state nodes (choice -1) within those ranges, plus
    // one (0 while unnumbered), at position process * table_ra_states +
    // ra_state + 1. Far smaller than the index, it stays in cache as the
    // product grows; empty when the ranges are too large for it, and then the
    // index numbers every state. Read at random, it is placed on huge pages
    // once it is large.
    std::vector<uint32_t, large_table_allocator_t<uint32_t>> node_numbers;

    // Edges of source s: edges[edge_begin[s] .. edge_begin[s+1]), in insertion order.
    std::vector<uint32_t> edge_begin;
    std::vector<product_edge_t> edges;

    // Implementation transitions, grouped by ascending source, each source's
    // transitions in insertion order.
    std::vector<impl_transition_t> impl_trans;

    std::vector<bitset_t> good;
    std::vector<bitset_t> bad;

    std::unique_ptr<bitset_t> state_nodes;
    std::unique_ptr<bitset_t> win;
    std::vector<uint32_t> rank;
    std::vector<uint32_t> best_rank;

    int action_count = 0;
    std::vector<int> action_ap;

    std::unique_ptr<bitset_t> impl_states;

    bool is_choice(int s) const { return states[s].choice >= 0; }
    const product_state_t& load(int n) const { return states[n]; }
    bool has_edges() const { return !edges.empty(); }

    // Construction (product.cpp).
    void init_actions();
    // The "FATAL ERROR" lines of a missing automaton successor go to diagnostics.
    void make_product(std::ostream& diagnostics);
    void set_gb();
    // The number of s, and whether s was stored just now: a new state gets
    // the number state_count. The first store of a triple fixes its number.
    std::pair<int, bool> store(const product_state_t& s);
    // Whether the automaton state (-1 included) and the process of s lie
    // within the ranges fixed at construction.
    bool in_pair_ranges(const product_state_t& s) const;
    // The entry of s in node_numbers, or null when s is numbered by the index.
    uint32_t* node_number_entry(const product_state_t& s);
    // The index slot of s (hash and check computed by the caller), making
    // room for s first in case it is new.
    product_index_t::slot_t& index_slot(const product_state_t& s, uint64_t hash, uint32_t check);
    // Numbers s, a choice node known to be new, without entering it in the index.
    std::pair<int, bool> add_new_choice_node(const product_state_t& s);
    // Enters the choice nodes that add_new_choice_node left out into the index.
    void index_choice_nodes();

    // Rendering, unsolved or solved (product_dot.cpp).
    void output_dot(std::ostream& out) const;

    // Rabin game (solver.cpp).
    void solve();
    bitset_t cpred(const bitset_t& x) const;
    // The states won at one level of the recursion over the acceptance pairs
    // still available; ranks the states it adds to ranked, from counter on.
    bitset_t Rabin(const bitset_t& pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                   uint32_t& counter);

    // Extraction and output (implementation.cpp).
    std::ostream& answer(std::ostream& out) const;
    void produce_impl();
    // The implementation goes to out; with dot, the verdict sentence and the
    // note on an implementation without transitions go to err instead.
    void output_impl(bool dot, std::ostream& out, std::ostream& err);
    // Writes one implementation transition; text mode joins the transitions
    // of one source on one line, so it remembers the source written last.
    void out_trans(std::ostream& out, bool dot, int source, int action, int target);
    int last_written_source = -1;

    // Minimisation (minimize.cpp).
    void minimize_impl();
    // Fills pred from impl_trans.
    void precompute();
    // The transitions into every implementation state, with their actions;
    // minimisation reads the predecessors of a block under one action from it.
    impl_predecessors_t pred;
};
