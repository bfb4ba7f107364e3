// Writing a deterministic Rabin automaton in the two formats velkin -r reads:
// "DRA v2 explicit" (one successor per letter, all 2^AP letters) and HOA v1
// with a Rabin acceptance condition and labelled edges. An automaton built
// for one action per step is said to be so in the Comment: line or a HOA
// comment; in the explicit format a letter with several propositions goes
// where its lowest proposition alone goes, which adds no edge to the graph.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ltl/dra.hpp"

// The number of successor lines the explicit format needs (state_count * 2^AP).
std::uint64_t explicit_line_count(const dra_t& a);
void write_dra_explicit(std::ostream& out, const dra_t& a, const std::vector<std::string>& props,
                        const std::string& formula);
void write_hoa(std::ostream& out, const dra_t& a, const std::vector<std::string>& props, const std::string& formula);
