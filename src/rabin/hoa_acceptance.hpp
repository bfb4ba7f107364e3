// HOA acceptance conditions turned into Rabin pairs. The condition is brought
// into disjunctive form; each disjunct must be a conjunction of Fin atoms and
// at most one Inf atom, and becomes one pair: "finitely often the union of
// its Fin sets, infinitely often its Inf set" (all states when it has no Inf
// atom). This covers Rabin and Büchi conditions and every parity variant
// written as its usual formula; conditions that need several Inf atoms in one
// disjunct (generalized Büchi, Streett) are rejected.
#pragma once

#include <string>
#include <vector>

#include "rabin/hoa_lexer.hpp"

// Acceptance set number, possibly complemented: Inf(!3), Fin(!3).
struct mark_literal_t {
    int mark = 0;
    bool negated = false;
    bool operator==(const mark_literal_t& o) const { return mark == o.mark && negated == o.negated; }
    bool operator<(const mark_literal_t& o) const {
        return mark != o.mark ? mark < o.mark : negated < o.negated;
    }
};

struct hoa_conjunct_t {
    std::vector<mark_literal_t> fin;  // sorted, without repeats
    std::vector<mark_literal_t> inf;  // sorted, without repeats
};

// Parses "Acceptance:"'s condition (after the set count) into disjunctive
// form: no disjunct means false; an empty disjunct means true. Stops before
// the first token that cannot continue the condition. Fails with
// "line N: reason" on a malformed condition, a set number >= set_count, or
// a disjunctive form of more than max_terms disjuncts.
bool parse_acceptance(hoa_lexer_t& in, int set_count, std::size_t max_terms,
                      std::vector<hoa_conjunct_t>& disjuncts, std::string& error);

// "Inf(0) & Fin(!2)" for messages.
std::string conjunct_text(const hoa_conjunct_t& conjunct);
