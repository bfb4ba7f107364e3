// ra_reader_t fills one rabin_t from an automaton file. The caller asks
// holds_hoa() first; for HOA text it calls read_hoa(), otherwise read_head()
// and then read_state() once for each of the state_count states the head
// announced, stopping early once error() is set. complete() then tells
// whether *rabin is a usable automaton.
//
// Nothing is sized by a head count before the file backs it up: read_state
// collects each block as it is read (one successor row and two pair masks),
// and the automaton's transition table and per-pair state sets are built by
// the read_state call that reads the last block. A head that claims two
// billion states in a few bytes therefore fails on the first missing block
// without allocating for its claim.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "rabin/rabin.hpp"
#include "rabin/text_cursor.hpp"

struct ra_reader_t {
    // A reader over a stream that nothing has been read from yet.
    ra_reader_t(std::istream& stream, rabin_t* automaton);
    // A reader of the line-based format over a cursor whose first word the
    // caller has already looked at (in stays null).
    ra_reader_t(text_cursor_t& cursor, rabin_t* automaton);

    std::istream* in;
    rabin_t* rabin;  // the automaton being filled; the driver nulls it when reading failed

    // Whether the file's first word is "HOA:". Looks at that word once,
    // dropping a UTF-8 byte-order mark and skipping leading white space and
    // HOA comments, and puts everything else back.
    bool holds_hoa();
    // Reads a whole HOA v1 automaton with a Rabin acceptance form into *rabin.
    void read_hoa();

    // Reads the head up to the separator line: sets state_count (0 when the
    // head gives no states), start, pair_count and ap.
    void read_head();
    // Reads one state block.
    void read_state();

    // -1 for x = 0, otherwise the index of the lowest set bit of x.
    static int get_last_one(int x);

    // "" while everything read is usable, else "line N: reason". It stays ""
    // when the head gave no states.
    const std::string& error() const { return error_; }
    // Whether *rabin holds a whole automaton.
    bool complete() const { return complete_; }

private:
    // One keyword value of the head: the last value that could be read, and
    // the line it came from (0: never given).
    struct head_value_t {
        int value = 0;
        int line = 0;
    };

    void look_at_first_word();
    void read_ap_line(std::istream& rest, int line);
    std::string check_head() const;
    std::string read_block();
    void build_automaton();

    std::optional<text_cursor_t> own_cursor_;
    text_cursor_t* cursor_;
    bool looked_at_first_word_ = false;
    bool hoa_ = false;
    bool complete_ = false;
    std::string error_;

    head_value_t states_, pairs_, start_;
    std::vector<std::string> ap_;
    std::string ap_error_;  // the first malformed "AP:" line, reported only when there are states
    int head_end_line_ = 0; // the separator line, or where the input ended

    // The blocks as read, in file order; replayed in that order when the
    // automaton is built, so that a later block of the same state
    // overwrites its transitions and adds to its sets.
    int blocks_read_ = 0;
    std::vector<int> block_states_;
    std::vector<uint64_t> good_pairs_, bad_pairs_;
    std::vector<int> successors_;  // |ap| + 1 entries per block, letter -1 first
};
