// A deterministic Rabin automaton over atomic propositions. A letter is a
// proposition index j (proposition j holds alone) or -1, the other letter (no
// proposition holds); letters where several propositions hold are not kept.
// The transition function is a dense table indexed by state and letter, with
// -1 where the file gave no successor.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "support/bitset.hpp"

struct rabin_t {
    int state_count = 0;
    int start = 0;
    int pair_count = 0;
    std::vector<std::string> ap;
    // delta[state * letter_count() + letter + 1]; -1 marks a missing entry.
    std::vector<int> delta;
    std::vector<bitset_t> good;  // good[i]: states with "+i" in their signature
    std::vector<bitset_t> bad;   // bad[i]: states with any other sign before i

    int letter_count() const { return static_cast<int>(ap.size()) + 1; }

    // The successor of state under letter, or -1 when there is none. Never adds entries.
    int successor(int state, int letter) const;
    // As successor(), but a missing entry is entered with successor 0 first
    // (what the automaton rendering does for letters the file did not give).
    int enter_successor(int state, int letter);

    // Rendering (rabin_dot.cpp).
    bool out_gb_string(std::ostream& out, int state) const;
    void output_dot(std::ostream& out, bool reachable_only);
};

// Reads one automaton from in with an ra_reader_t (ra_reader.hpp), either
// format. On success returns it; on failure returns null
// and sets error to "" when the head gave no states (the caller then reports
// the plain "error reading Rabin automaton") or to "line N: reason" for a
// malformed file.
std::unique_ptr<rabin_t> read_rabin_automaton(std::istream& in, std::string& error);
