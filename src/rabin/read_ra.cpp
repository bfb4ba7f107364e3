// Reading an automaton file in the line-based format: a head of keyword lines ("States:",
// "Acceptance-Pairs:", "Start:", "AP:", in any order, other lines ignored)
// ended by a line that starts with '-', then one block per state: a state
// line (second word: the state number), a signature line (after its first
// word, items of one sign character and a pair number) and 2^|AP| successors
// spread over any white space, the rest of the last successor's line dropped.
//
// Nothing is sized by a head count before the file backs it up: blocks are
// collected as they are read (one flat successor row and two pair masks
// each), and the automaton's tables are built only once all blocks are in.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "rabin/automaton_readers.hpp"
#include "rabin/rabin.hpp"
#include "rabin/text_cursor.hpp"
#include "support/message_text.hpp"

namespace {

std::string range_text(int count) { return "0.." + std::to_string(count - 1); }

// One keyword value of the head: the last value that could be read, and the
// line it came from (0: never given).
struct head_value_t {
    int value = 0;
    int line = 0;
};

struct dra_head_t {
    head_value_t states, pairs, start;
    std::vector<std::string> ap;
    std::string error;  // the first malformed "AP:" line, reported only when there are states
    int end_line = 0;   // the separator line, or where the input ended
};

void read_head_value(std::istringstream& rest, int line, head_value_t& target) {
    int value;
    if (rest >> value) target = {value, line};
}

void read_ap_line(std::istringstream& rest, int line, dra_head_t& head) {
    int count;
    if (!(rest >> count)) return;  // an unreadable count adds nothing
    if (!head.error.empty()) return;
    if (count < 0) {
        head.error = at_line(line, "negative AP: count " + std::to_string(count));
        return;
    }
    if (count > max_proposition_count - static_cast<int>(head.ap.size())) {
        head.error = at_line(line, std::to_string(static_cast<long long>(head.ap.size()) + count) +
                                       " atomic propositions, at most " +
                                       std::to_string(max_proposition_count) + " are supported");
        return;
    }
    for (int k = 0; k < count; ++k) {
        std::string word;
        if (!(rest >> word)) {
            head.error = at_line(line, "AP: count " + std::to_string(count) + " but only " +
                                           std::to_string(k) + " names");
            return;
        }
        // The names stand between quotes; the two outer characters are cut
        // without looking at them.
        head.ap.push_back(word.size() >= 2 ? word.substr(1, word.size() - 2) : std::string());
    }
}

dra_head_t read_head(text_cursor_t& in) {
    dra_head_t head;
    std::string line;
    while (true) {
        int number = in.line();
        if (!in.read_line(line)) {
            head.end_line = number;
            break;
        }
        if (!line.empty() && line[0] == '-') {
            head.end_line = number;
            break;
        }
        std::istringstream rest(line);
        std::string keyword;
        if (!(rest >> keyword)) continue;
        if (keyword == "States:") read_head_value(rest, number, head.states);
        else if (keyword == "Acceptance-Pairs:") read_head_value(rest, number, head.pairs);
        else if (keyword == "Start:") read_head_value(rest, number, head.start);
        else if (keyword == "AP:") read_ap_line(rest, number, head);
    }
    return head;
}

// The checks on the head once it is complete; "" when it can be used.
std::string check_head(const dra_head_t& head) {
    if (head.states.value < 0)
        return at_line(head.states.line, "negative number of states " + std::to_string(head.states.value));
    if (!head.error.empty()) return head.error;
    if (head.pairs.line == 0) return at_line(head.end_line, "no Acceptance-Pairs: line in the head");
    if (head.pairs.value < 0)
        return at_line(head.pairs.line, "negative number of acceptance pairs " + std::to_string(head.pairs.value));
    if (head.pairs.value > max_pair_count)
        return at_line(head.pairs.line, std::to_string(head.pairs.value) + " acceptance pairs, at most " +
                                            std::to_string(max_pair_count) + " are supported");
    if (head.start.line == 0) return at_line(head.end_line, "no Start: line in the head");
    if (head.start.value < 0 || head.start.value >= head.states.value)
        return at_line(head.start.line, "start state " + std::to_string(head.start.value) + " outside " +
                                            range_text(head.states.value));
    return "";
}

// The blocks as read, in file order; replayed in that order so that a later
// block of the same state overwrites its transitions and adds to its sets.
struct blocks_t {
    int letter_count = 1;
    std::vector<int> states;
    std::vector<uint64_t> good_pairs, bad_pairs;
    std::vector<int> successors;  // letter_count entries per block, letter -1 first
};

std::string read_block(text_cursor_t& in, const dra_head_t& head, int block, blocks_t& blocks) {
    const int state_count = head.states.value;
    std::string line;

    int number = in.line();
    if (!in.read_line(line))
        return at_line(number, "end of file where the block of state " + std::to_string(block + 1) + " of " +
                                   std::to_string(state_count) + " should start");
    std::istringstream state_line(line);
    std::string skipped;
    int state;
    state_line >> skipped;
    if (!(state_line >> state)) return at_line(number, "state line without a state number");
    if (state < 0 || state >= state_count)
        return at_line(number, "state " + std::to_string(state) + " outside " + range_text(state_count));

    number = in.line();
    if (!in.read_line(line))
        return at_line(number, "end of file where the signature line of state " + std::to_string(state) +
                                   " should be");
    std::istringstream signature(line);
    signature >> skipped;
    uint64_t good_pairs = 0, bad_pairs = 0;
    char sign;
    int pair;
    while (signature >> sign >> pair) {
        if (pair < 0 || pair >= head.pairs.value)
            return at_line(number, head.pairs.value == 0
                                       ? "acceptance pair " + std::to_string(pair) + " but no pairs declared"
                                       : "acceptance pair " + std::to_string(pair) + " outside " +
                                             range_text(head.pairs.value));
        (sign == '+' ? good_pairs : bad_pairs) |= uint64_t{1} << pair;
    }

    // Successor k belongs to the letter in which exactly the propositions of
    // k's set bits hold; only k = 0 (letter -1) and k = 2^j (letter j) are kept.
    const int propositions = static_cast<int>(head.ap.size());
    const uint32_t total = uint32_t{1} << propositions;
    std::size_t row = blocks.successors.size();
    blocks.successors.resize(row + static_cast<std::size_t>(blocks.letter_count), -1);
    int next_single = 0;  // the proposition j whose k = 2^j comes next
    for (uint32_t k = 0; k < total; ++k) {
        int successor = 0;
        text_cursor_t::number_t status = in.read_int(successor);
        number = in.line();  // the line of the number, or where the input ended
        std::string which = "successor " + std::to_string(k) + " of state " + std::to_string(state);
        if (status == text_cursor_t::number_t::end_of_input)
            return at_line(number, "end of file before " + which);
        if (status == text_cursor_t::number_t::not_a_number)
            return at_line(number, which + " is not a number: '" + message_excerpt(in.take_word()) + "'");
        if (status == text_cursor_t::number_t::too_large)
            return at_line(number, which + " is out of the int range");
        if (successor < 0 || successor >= state_count)
            return at_line(number, which + " is " + std::to_string(successor) + ", outside " +
                                       range_text(state_count));
        if (k == 0) {
            blocks.successors[row] = successor;
        } else if (next_single < propositions && k == (uint32_t{1} << next_single)) {
            blocks.successors[row + static_cast<std::size_t>(next_single) + 1] = successor;
            ++next_single;
        }
    }
    in.skip_rest_of_line();

    blocks.states.push_back(state);
    blocks.good_pairs.push_back(good_pairs);
    blocks.bad_pairs.push_back(bad_pairs);
    return "";
}

}  // namespace

std::unique_ptr<rabin_t> read_dra_automaton(text_cursor_t& in, std::string& error) {
    error.clear();
    dra_head_t head = read_head(in);
    if (head.states.value == 0) return nullptr;  // the head gave no states: error stays ""
    error = check_head(head);
    if (!error.empty()) return nullptr;

    blocks_t blocks;
    blocks.letter_count = static_cast<int>(head.ap.size()) + 1;
    for (int block = 0; block < head.states.value; ++block) {
        error = read_block(in, head, block, blocks);
        if (!error.empty()) return nullptr;
    }

    auto automaton = std::make_unique<rabin_t>();
    automaton->state_count = head.states.value;
    automaton->start = head.start.value;
    automaton->pair_count = head.pairs.value;
    automaton->ap = std::move(head.ap);
    const std::size_t letters = static_cast<std::size_t>(automaton->letter_count());
    const uint32_t capacity = static_cast<uint32_t>(automaton->state_count);
    automaton->delta.assign(static_cast<std::size_t>(automaton->state_count) * letters, -1);
    automaton->good.assign(static_cast<std::size_t>(automaton->pair_count), bitset_t(capacity, BS_EMPTY));
    automaton->bad.assign(static_cast<std::size_t>(automaton->pair_count), bitset_t(capacity, BS_EMPTY));
    for (std::size_t b = 0; b < blocks.states.size(); ++b) {
        const int state = blocks.states[b];
        const int* row = &blocks.successors[b * letters];
        int* target = &automaton->delta[static_cast<std::size_t>(state) * letters];
        for (std::size_t letter = 0; letter < letters; ++letter) target[letter] = row[letter];
        for (int i = 0; i < automaton->pair_count; ++i) {
            if ((blocks.good_pairs[b] >> i) & 1u) automaton->good[i].set(static_cast<uint32_t>(state));
            if ((blocks.bad_pairs[b] >> i) & 1u) automaton->bad[i].set(static_cast<uint32_t>(state));
        }
    }
    return automaton;
}

std::unique_ptr<rabin_t> read_rabin_automaton(std::istream& in, std::string& error) {
    error.clear();
    text_cursor_t cursor(in);
    // The first word picks the format: "HOA:" starts HOA v1 text, anything
    // else is the line-based format. The word is put back, so both readers
    // count lines from the start of the file.
    // White space and HOA comments ("/* ... */", nesting) may come first.
    // A UTF-8 byte-order mark at the very start is dropped, in either format.
    if (cursor.peek() == 0xEF) {
        std::string mark(1, static_cast<char>(cursor.get()));
        if (cursor.peek() == 0xBB) mark.push_back(static_cast<char>(cursor.get()));
        if (mark.size() == 2 && cursor.peek() == 0xBF) mark.push_back(static_cast<char>(cursor.get()));
        if (mark != "\xEF\xBB\xBF") cursor.unread(mark);
    }
    std::string looked_at;
    while (true) {
        while (text_cursor_t::is_space(cursor.peek())) looked_at.push_back(static_cast<char>(cursor.get()));
        if (cursor.peek() != '/') break;
        looked_at.push_back(static_cast<char>(cursor.get()));
        if (cursor.peek() != '*') break;
        looked_at.push_back(static_cast<char>(cursor.get()));
        skip_nested_comment(cursor, &looked_at);
    }
    std::string word;
    while (word.size() < 4 && cursor.peek() != EOF && !text_cursor_t::is_space(cursor.peek()))
        word.push_back(static_cast<char>(cursor.get()));
    looked_at += word;
    cursor.unread(looked_at);
    if (word == "HOA:") return read_hoa_automaton(cursor, error);
    return read_dra_automaton(cursor, error);
}
