// The greatest fixpoint at the innermost level of the Rabin solver, where a
// single acceptance pair is left:
//
//   Y = attractor within allowed of base(Y),  base(Y) = (good ∩ cpred(Y)) ∪ goal.
//
// The plain iteration recomputes cpred and the attractor over the whole
// product in every round, although a round usually removes only a few states.
// This engine keeps both up to date instead. cpred(Y) is a counter per state
// that changes only around the states leaving Y. The attractor keeps, for
// every member, a layer and a justification by members of lower layers (all
// successors of a state node, one witness successor of a choice node); when
// members leave, those whose justification used them are taken out, a
// choice node first trying another witness of a lower layer, and those of
// them that the rest still attracts are put back.
// A state that drops out of cpred(Y) outside goal cannot be in the fixpoint,
// so it leaves Y at once, together with what that pulls out of cpred(Y) in
// turn, rather than one round at a time: on a losing product most of Y goes
// in one round instead of dozens, each of which would take out and put back
// the same large part of X. The fixpoint is the same set; the caller ranks it
// with one ordinary attractor run, which gives exactly the ranks of the plain
// iteration's last round.
#pragma once

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"
#include "product/game_view.hpp"

class pair_fixpoint_t {
public:
    // Keeps a reference to the view, which must outlive the engine.
    explicit pair_fixpoint_t(const game_view_t& view);

    // The greatest fixpoint Y; base is set to base(Y), the first layer of its
    // attractor. good must lie within allowed. When within is given, it must
    // hold Y (and so goal): the rounds then start from it instead of from
    // every state, and only its members are set up. Attracting only within
    // a superset of Y gives the same fixpoint, as every layer of Y's own
    // attractor lies in Y.
    bitset_t greatest(const bitset_t& allowed, const bitset_t& good, const bitset_t& goal, bitset_t& base,
                      const bitset_t* within = nullptr);

private:
    bool is_choice(uint32_t s) const { return view.is_choice(s); }
    bool in_cpred_of_y(uint32_t s) const;
    uint32_t degree(uint32_t s) const { return view.degree(s); }
    uint32_t& witness(uint32_t choice) { return just[choice].link; }
    uint32_t& outside(uint32_t state) { return just[state].link; }
    void join(uint32_t s, uint32_t layer);
    void attract(const bitset_t& allowed);
    void take_out_unjustified();
    void put_back_attracted(const bitset_t& allowed);
    void leave_y(const bitset_t& goal);

    const game_view_t& view;
    const predecessors_t& pred;
    const uint32_t n;

    bitset_t in_y;
    bitset_t in_x;      // the attractor of base(Y); equals Y between rounds
    bitset_t in_base;
    // Choice node: edges into Y; state node: edges leaving Y.
    std::vector<uint32_t> y_edges;
    // What the passes read of a state together. layer: a member's layer; a
    // state node outside X keeps there the highest layer of its successors in
    // X, so that it knows its own layer when the last one joins. link: for a
    // choice node in X outside base, the witness, the successor that
    // justifies it; for a state node outside X, the number of its edges into
    // states not in X. No state needs both, and eight bytes a state keep
    // more of the table in cache than twelve.
    struct justification_t {
        uint32_t layer;
        uint32_t link;
    };
    std::vector<justification_t> just;

    std::vector<uint32_t> leaving;      // states going out of Y
    std::vector<uint32_t> roots;        // members of X that just left Y
    std::vector<uint32_t> taken_out;    // states taken out in this round
    std::vector<uint32_t> unwitnessed;  // choice nodes in X that may have lost their witness
    std::vector<uint32_t> joined;       // the attraction's work list
};
