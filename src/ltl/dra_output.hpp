// Writing a deterministic Rabin automaton in the two formats velkin -r reads:
// "DRA v2 explicit" (one successor per letter, all 2^AP letters) and HOA v1
// with a Rabin acceptance condition and labelled edges.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ltl/dra.hpp"

void write_dra_explicit(std::ostream& out, const dra_t& a, const std::vector<std::string>& props,
                        const std::string& formula);
void write_hoa(std::ostream& out, const dra_t& a, const std::vector<std::string>& props, const std::string& formula);
