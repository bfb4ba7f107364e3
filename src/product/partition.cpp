// Pass-based partition refinement with counting splitters.
//
// The sequence of splits is fixed by the pass scheme described in
// partition.hpp: in a pass, for every action a and every block B of the
// partition as it stood at the start of the pass (the snapshot), the
// predecessor set S = pre(a, B) splits every current block X that meets S
// without lying inside it into X \ S (keeping X's index) and X ∩ S (appended),
// the X taken in ascending index order. The simple way to run it keeps one
// state set per block and per (target, action) predecessor entry and
// intersects every block with every S; this file computes exactly the same
// sequence with much less work:
//
// * S is the same set: at the start of a pass the predecessor entries of the
//   states of every block, block by block in index order, are placed into
//   rows by action, so each row holds the transitions of one action grouped
//   by the snapshot block of their target in ascending order, and the
//   sources of one group are exactly pre(a, B). The groups come in
//   ascending action order and, inside one action, ascending snapshot block
//   order, which is the order in which the pass offers the splitters. A pair
//   (a, B) without transitions has S empty, which splits nothing, so
//   skipping it changes nothing.
// * The split of one S is the same split: a block that contains no state of S
//   has an empty intersection and stays as it is, so only the blocks reached
//   from S are looked at. Each of them counts its states in S (duplicate
//   sources are counted once); fewer than its size means S meets it without
//   containing it, which is exactly the condition for a split. The touched
//   blocks are split in ascending index order and each split appends the
//   part inside S as the next block, so every block receives the index it
//   would receive otherwise. Blocks appended while one S is handled contain
//   only states of S and would not be split by it again; they are not
//   touched, as in the simple scheme.
// * Blocks created during a pass are never splitters in that pass because the
//   grouping is done when the pass starts; they count for the splits
//   (block_of is current), as every current block does. The order in which
//   a group marks its sources moves states inside their blocks only, so it
//   has no effect on which states a split takes.
//
// Hence every block index after every split agrees with the simple scheme,
// and so do the final numbering and the printed quotient. A pass costs time
// linear in states + transitions + actions, plus sorting the touched blocks
// of each splitter; memory is linear in states + transitions + actions.
#include "product/partition.hpp"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <utility>

#include "support/row_layout.hpp"

namespace {

// Blocks as contiguous ranges of one array of states; a block's states that
// are marked for the current splitter sit at the end of its range.
struct block_layout_t {
    std::vector<int> elems;
    std::vector<uint32_t> pos;  // position of each state in elems
    std::vector<uint32_t> first, last, marked;
    std::vector<int>* block_of;

    void mark(int s) {
        const int b = (*block_of)[s];
        const uint32_t p = pos[s];
        const uint32_t q = last[b] - 1 - marked[b];
        const int other = elems[q];
        elems[q] = s;
        pos[s] = q;
        elems[p] = other;
        pos[other] = p;
        ++marked[b];
    }

    uint32_t size(int b) const { return last[b] - first[b]; }

    // Splits the marked tail of b off as a new block; returns whether it did.
    bool split_marked(int b) {
        const uint32_t k = marked[b];
        marked[b] = 0;
        if (k == size(b)) return false;
        const int nb = static_cast<int>(first.size());
        first.push_back(last[b] - k);
        last.push_back(last[b]);
        marked.push_back(0);
        last[b] -= k;
        for (uint32_t p = first[nb]; p < last[nb]; ++p) (*block_of)[elems[p]] = nb;
        return true;
    }
};

}  // namespace

block_partition_t refine_by_predecessors(int state_count, int action_count, const std::vector<int>& members,
                                         const impl_predecessors_t& pred) {
    block_partition_t result;
    result.block_of.assign(static_cast<size_t>(state_count), -1);
    if (members.empty()) return result;

    block_layout_t layout;
    layout.block_of = &result.block_of;
    layout.elems = members;
    layout.pos.assign(static_cast<size_t>(state_count), 0);
    for (uint32_t i = 0; i < layout.elems.size(); ++i) {
        layout.pos[layout.elems[i]] = i;
        result.block_of[layout.elems[i]] = 0;
    }
    layout.first.push_back(0);
    layout.last.push_back(static_cast<uint32_t>(layout.elems.size()));
    layout.marked.push_back(0);

    // Offsets of each action's row; fixed, since the actions never change.
    // An action beyond action_count (a caller's stale count) widens the table
    // rather than indexing past it.
    const size_t entry_count = pred.entries.size();
    for (const impl_predecessors_t::entry_t& e : pred.entries) action_count = std::max(action_count, e.action + 1);
    row_layout_t<uint32_t> by_action;
    by_action.reset(static_cast<size_t>(action_count));
    for (const impl_predecessors_t::entry_t& e : pred.entries) by_action.count(static_cast<size_t>(e.action));
    by_action.close();
    const std::vector<uint32_t>& action_begin = by_action.begin();

    // One pass's transitions: source and snapshot block of the target.
    struct grouped_t {
        int source;
        int splitter;
    };
    std::vector<grouped_t> grouped(entry_count);
    std::vector<uint64_t> seen_in_group(static_cast<size_t>(state_count), 0);
    uint64_t group_id = 0;
    std::vector<int> touched;

    bool changed = true;
    while (changed) {
        changed = false;
        const int snapshot_blocks = static_cast<int>(layout.first.size());
        by_action.restart();
        for (int b = 0; b < snapshot_blocks; ++b) {
            for (uint32_t p = layout.first[b]; p < layout.last[b]; ++p) {
                const int t = layout.elems[p];
                for (uint32_t e = pred.begin[t]; e < pred.begin[t + 1]; ++e)
                    grouped[by_action.place(static_cast<size_t>(pred.entries[e].action))] = {pred.entries[e].source, b};
            }
        }

        for (size_t a = 0; a < static_cast<size_t>(action_count); ++a) {
            const size_t row_end = action_begin[a + 1];
            for (size_t g = action_begin[a]; g < row_end;) {
                const int splitter = grouped[g].splitter;
                ++group_id;
                touched.clear();
                for (; g < row_end && grouped[g].splitter == splitter; ++g) {
                    const int source = grouped[g].source;
                    if (seen_in_group[source] == group_id) continue;
                    seen_in_group[source] = group_id;
                    const int b = result.block_of[source];
                    if (layout.marked[b] == 0) touched.push_back(b);
                    layout.mark(source);
                }
                std::sort(touched.begin(), touched.end());
                for (int b : touched) changed |= layout.split_marked(b);
            }
        }
    }
    result.block_count = static_cast<int>(layout.first.size());
    return result;
}

block_partition_t refine_partition(int state_count, int action_count, const std::vector<int>& members,
                                   const std::vector<impl_transition_t>& transitions) {
    impl_predecessors_t pred;
    pred.assign(state_count, transitions);
    return refine_by_predecessors(state_count, action_count, members, pred);
}

std::vector<int> number_classes(const block_partition_t& partition, int initial) {
    std::vector<int> class_of = partition.block_of;
    const int initial_block = initial >= 0 && initial < static_cast<int>(class_of.size()) ? class_of[initial] : -1;
    if (initial_block > 0) {
        for (int& c : class_of) {
            if (c == initial_block) c = 0;
            else if (c == 0) c = initial_block;
        }
    }
    return class_of;
}

std::vector<impl_transition_t> quotient_transitions(const std::vector<int>& class_of,
                                                    const std::vector<impl_transition_t>& transitions) {
    std::vector<impl_transition_t> quotient;
    quotient.reserve(transitions.size());
    for (const impl_transition_t& t : transitions) quotient.push_back({class_of[t.source], t.action, class_of[t.target]});
    auto key = [](const impl_transition_t& t) { return std::make_tuple(t.source, t.action, t.target); };
    std::sort(quotient.begin(), quotient.end(),
              [&](const impl_transition_t& x, const impl_transition_t& y) { return key(x) < key(y); });
    quotient.erase(std::unique(quotient.begin(), quotient.end(),
                               [&](const impl_transition_t& x, const impl_transition_t& y) { return key(x) == key(y); }),
                   quotient.end());
    return quotient;
}
