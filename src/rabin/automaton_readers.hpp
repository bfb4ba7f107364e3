// The two automaton file formats that read_rabin_automaton() accepts, each
// reading from a line-counting cursor. ra_reader_t looks at the first word of
// the file to pick one and hands the cursor over with nothing consumed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "rabin/rabin.hpp"
#include "rabin/text_cursor.hpp"

// At most this many acceptance pairs are accepted: the game solver's work
// grows with the factorial of the pair count, and a pair set fits one 64-bit
// word while a file is read.
constexpr int max_pair_count = 64;
// 2^30 successors per block is the most that fits the line-based format's
// int letter numbers.
constexpr int max_proposition_count = 30;
// HOA labels are evaluated on |AP|+1 letters only, so HOA files may declare
// far more propositions; this bound only keeps the tables of a sane size.
constexpr int max_hoa_proposition_count = 100000;
// Entries of the transition table (states x letters) that a HOA file may ask
// for: 512 MiB of successors. With many propositions the table grows with
// the product of two counts that each grow with the file.
constexpr std::size_t max_hoa_table_entries = std::size_t{1} << 27;

// The line-based format with a "States:" / "Acceptance-Pairs:" / "Start:" /
// "AP:" head, a separator line and one block per state, read by an ra_reader_t
// over the cursor.
std::unique_ptr<rabin_t> read_dra_automaton(text_cursor_t& in, std::string& error);

// HOA v1 text whose acceptance condition has a Rabin form (read_hoa.cpp).
std::unique_ptr<rabin_t> read_hoa_automaton(text_cursor_t& in, std::string& error);
