// Product construction: the breadth-first exploration of (automaton state,
// process) pairs over the process's must hypertransitions, and the lifting of
// the acceptance pairs to product states.
#include "product/product.hpp"

#include <algorithm>
#include <ostream>

#include "support/hash.hpp"
#include "support/prefetch.hpp"
#include "support/row_layout.hpp"

namespace {

uint64_t hash_of_state(const ra_product_t::product_state_t& s) {
    // Mix the three fields into one 64-bit word, then finish it so that the
    // low bits used by the table depend on every field.
    uint64_t h = static_cast<uint32_t>(s.ra_state);
    h = h * golden_ratio_64 + static_cast<uint32_t>(s.process);
    h = h * golden_ratio_64 + static_cast<uint32_t>(s.choice);
    return mix64(h);
}

// An edge as it is found during the exploration; make_product sorts these
// into compressed rows by source afterwards.
struct found_edge_t {
    int source;
    int action;
    int target;
};

}  // namespace

ra_product_t::ra_product_t(rabin_t* automaton, dmts_t* model, int process_index)
    : rabin(automaton), dmts(model), process(process_index) {
    // The fields' ranges as they stand now; a state outside them, such as one
    // of a process added later, is numbered by the index.
    table_ra_states = rabin && rabin->state_count >= 0 ? static_cast<uint64_t>(rabin->state_count) + 1 : 0;
    table_processes = dmts ? dmts->processes.size() : 0;
    const uint64_t pairs = table_ra_states * table_processes;
    // Four bytes for each pair, at most 16 MiB.
    if (pairs > 0 && pairs <= max_node_numbers) node_numbers.assign(static_cast<std::size_t>(pairs), 0);
}

bool ra_product_t::in_pair_ranges(const product_state_t& s) const {
    const int64_t ra = static_cast<int64_t>(s.ra_state) + 1;
    return ra >= 0 && static_cast<uint64_t>(ra) < table_ra_states && s.process >= 0 &&
           static_cast<uint64_t>(s.process) < table_processes;
}

uint32_t* ra_product_t::node_number_entry(const product_state_t& s) {
    if (node_numbers.empty() || s.choice != -1 || !in_pair_ranges(s)) return nullptr;
    const uint64_t ra = static_cast<uint64_t>(static_cast<int64_t>(s.ra_state) + 1);
    return &node_numbers[static_cast<std::size_t>(s.process) * table_ra_states + static_cast<std::size_t>(ra)];
}

std::pair<int, bool> ra_product_t::store(const product_state_t& s) {
    if (uint32_t* entry = node_number_entry(s)) {
        if (*entry != 0) return {static_cast<int>(*entry - 1), false};
        *entry = static_cast<uint32_t>(state_count) + 1;
    } else {
        // Only a choice key can match a choice node left out of the index.
        if (s.choice != -1 && unindexed_choices) index_choice_nodes();
        const uint64_t hash = hash_of_state(s);
        const uint32_t check = product_index_t::check_of(hash);
        product_index_t::slot_t& slot = index_slot(s, hash, check);
        if (slot.number != product_index_t::empty_slot) return {static_cast<int>(slot.number), false};
        state_index.fill(slot, static_cast<uint32_t>(state_count), check);
    }
    states.push_back(s);
    return {state_count++, true};
}

product_index_t::slot_t& ra_product_t::index_slot(const product_state_t& s, uint64_t hash, uint32_t check) {
    state_index.reserve_one_more([this](uint32_t n) { return hash_of_state(states[n]); });
    return state_index.slot_for(hash, check, [this, &s](uint32_t n) { return states[n] == s; });
}

std::pair<int, bool> ra_product_t::add_new_choice_node(const product_state_t& s) {
    unindexed_choices = true;
    states.push_back(s);
    return {state_count++, true};
}

void ra_product_t::index_choice_nodes() {
    unindexed_choices = false;
    for (std::size_t n = 0; n < states.size(); ++n) {
        const product_state_t& s = states[n];
        if (s.choice == -1) continue;
        const uint64_t hash = hash_of_state(s);
        const uint32_t check = product_index_t::check_of(hash);
        state_index.fill(index_slot(s, hash, check), static_cast<uint32_t>(n), check);
    }
}

void ra_product_t::init_actions() {
    action_count = dmts->action_count;
    action_ap.assign(static_cast<std::size_t>(action_count), -1);
    // Ascending proposition order: of two propositions with the same name the
    // later one wins.
    for (std::size_t j = 0; j < rabin->ap.size(); ++j) {
        const int found = dmts->action_index.find(rabin->ap[j]);
        if (found >= 0 && found < action_count) action_ap[static_cast<std::size_t>(found)] = static_cast<int>(j);
    }
}

void ra_product_t::make_product(std::ostream& diagnostics) {
    std::vector<found_edge_t> found;
    std::vector<int> queue;  // state nodes to expand, read from the front
    // Each state node is expanded once, so the choice nodes it creates are
    // new, unless choice nodes were stored before the construction began.
    // Then they are numbered without a lookup, and they enter the index only
    // when a later store() looks up a choice node.
    const bool choices_are_new =
        std::none_of(states.begin(), states.end(), [](const product_state_t& s) { return s.choice != -1; });

    // The automaton letter of an action: its proposition, or -1 for none.
    auto letter_of = [this](int action) {
        return action >= 0 && action < action_count ? action_ap[static_cast<std::size_t>(action)] : -1;
    };
    // The automaton state after reading action a in state q, or -1 (reported)
    // when there is none: a missing entry, or q itself already -1.
    auto successor = [&](int q, int action) {
        int next = -1;
        if (q >= 0 && q < rabin->state_count) next = rabin->successor(q, letter_of(action));
        if (next < 0 || next >= rabin->state_count) {
            diagnostics << "FATAL ERROR" << std::endl;
            return -1;
        }
        return next;
    };
    // Stores the state node (q, t) reached by an edge of source with action a.
    auto step = [&](int source, int q, const transition_t& alternative) {
        std::pair<int, bool> target = store({successor(q, alternative.action), alternative.target, -1});
        found.push_back({source, alternative.action, target.first});
        if (target.second) queue.push_back(target.first);
    };

    // The process of the state node `ahead` places down the queue.
    auto process_ahead = [&](std::size_t head, std::size_t ahead) -> const process_t* {
        if (head + ahead >= queue.size()) return nullptr;
        return dmts->processes[static_cast<std::size_t>(states[static_cast<std::size_t>(queue[head + ahead])].process)];
    };
    // In a large product the process records, their hypertransitions, the
    // node table and the index slots lie anywhere in memory. The queue says
    // which processes come next: their records' must fields (which often lie
    // on the cache line after the record's first), and then their
    // hypertransitions, are requested a few nodes ahead; the numbers of the
    // choice nodes and state nodes that `node` leads to are requested before
    // it is expanded. Nothing is reported here.
    auto load_ahead = [&](std::size_t head, const product_state_t& node, const process_t& p) {
        if (const process_t* ahead = process_ahead(head, 8)) prefetch_span(&ahead->must, sizeof(ahead->must));
        if (const process_t* ahead = process_ahead(head, 4)) prefetch_must(*ahead);
        const int q = node.ra_state;
        if (q < 0 || q >= rabin->state_count) return;
        int k = 0;
        for (const alternatives_t h : p.must) {
            if (!choices_are_new && h.size() > 1) state_index.prefetch_slot(hash_of_state({q, node.process, k++}));
            for (const transition_t& alternative : h) {
                const product_state_t target{rabin->successor(q, letter_of(alternative.action)), alternative.target, -1};
                if (const uint32_t* entry = node_number_entry(target)) {
                    prefetch(entry);
                } else {
                    state_index.prefetch_slot(hash_of_state(target));
                }
            }
        }
    };

    std::pair<int, bool> initial = store({rabin->start, process, -1});
    queue.push_back(initial.first);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        int u = queue[head];
        const product_state_t node = states[static_cast<std::size_t>(u)];
        const process_t& p = *dmts->processes[static_cast<std::size_t>(node.process)];
        load_ahead(head, node, p);
        int k = 0;
        for (const alternatives_t h : p.must) {
            if (h.size() == 1) {
                step(u, node.ra_state, h.front());
                continue;
            }
            const product_state_t choice_node{node.ra_state, node.process, k++};
            std::pair<int, bool> choice = choices_are_new ? add_new_choice_node(choice_node) : store(choice_node);
            found.push_back({u, -1, choice.first});
            if (!choice.second) diagnostics << "FATAL ERROR!\n";
            for (const transition_t& alternative : h) step(choice.first, node.ra_state, alternative);
        }
    }
    std::vector<int>().swap(queue);

    // Compressed rows by a stable counting sort on the source: ascending
    // sources, and the edges of one source in the order they were found.
    row_layout_t<uint32_t> rows;
    rows.reset(static_cast<std::size_t>(state_count));
    for (const found_edge_t& e : found) rows.count(static_cast<std::size_t>(e.source));
    rows.close();
    edges.assign(found.size(), product_edge_t{0, 0});
    for (const found_edge_t& e : found) edges[rows.place(static_cast<std::size_t>(e.source))] = {e.action, e.target};
    edge_begin = rows.take_begin();
}

void ra_product_t::set_gb() {
    const std::size_t pairs = rabin->pair_count > 0 ? static_cast<std::size_t>(rabin->pair_count) : 0;
    const uint32_t n = static_cast<uint32_t>(state_count);
    good.assign(pairs, bitset_t(n, BS_EMPTY));
    bad.assign(pairs, bitset_t(n, BS_EMPTY));
    for (uint32_t s = 0; s < n; ++s) {
        int q = states[s].ra_state;
        // A state reached through a missing automaton entry (-1) lies in no set.
        if (q < 0 || q >= rabin->state_count) continue;
        for (std::size_t i = 0; i < pairs; ++i) {
            if (i < rabin->good.size() && rabin->good[i].test(static_cast<uint32_t>(q))) good[i].set(s);
            if (i < rabin->bad.size() && rabin->bad[i].test(static_cast<uint32_t>(q))) bad[i].set(s);
        }
    }
}
