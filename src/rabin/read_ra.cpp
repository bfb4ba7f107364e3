// Reading an automaton file in the line-based format: a head of keyword lines ("States:",
// "Acceptance-Pairs:", "Start:", "AP:", in any order, other lines ignored)
// ended by a line that starts with '-', then one block per state: a state
// line (second word: the state number), a signature line (after its first
// word, items of one sign character and a pair number) and 2^|AP| successors
// spread over any white space, the rest of the last successor's line dropped.
//
// ra_reader.hpp describes the reading protocol.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "rabin/automaton_readers.hpp"
#include "rabin/ra_reader.hpp"
#include "rabin/rabin.hpp"
#include "rabin/text_cursor.hpp"
#include "support/message_text.hpp"

namespace {

std::string range_text(int count) { return "0.." + std::to_string(count - 1); }

}  // namespace

ra_reader_t::ra_reader_t(std::istream& stream, rabin_t* automaton)
    : in(&stream), rabin(automaton), own_cursor_(std::in_place, stream), cursor_(&*own_cursor_) {}

ra_reader_t::ra_reader_t(text_cursor_t& cursor, rabin_t* automaton)
    : in(nullptr), rabin(automaton), cursor_(&cursor), looked_at_first_word_(true) {}

int ra_reader_t::get_last_one(int x) {
    if (x == 0) return -1;
    unsigned bits = static_cast<unsigned>(x);
    int index = 0;
    for (; (bits & 1u) == 0; bits >>= 1) ++index;
    return index;
}

// The first word picks the format: "HOA:" starts HOA v1 text, anything else
// is the line-based format. The word is put back, so both readers count
// lines from the start of the file. White space and HOA comments ("/* ... */",
// nesting) may come first. A UTF-8 byte-order mark at the very start is
// dropped, in either format.
void ra_reader_t::look_at_first_word() {
    if (looked_at_first_word_) return;
    looked_at_first_word_ = true;
    text_cursor_t& cursor = *cursor_;
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
    hoa_ = word == "HOA:";
}

bool ra_reader_t::holds_hoa() {
    look_at_first_word();
    return hoa_;
}

void ra_reader_t::read_hoa() {
    look_at_first_word();
    std::unique_ptr<rabin_t> automaton = read_hoa_automaton(*cursor_, error_);
    if (!automaton) return;
    *rabin = std::move(*automaton);
    complete_ = true;
}

void ra_reader_t::read_ap_line(std::istream& rest, int line) {
    int count;
    if (!(rest >> count)) return;  // an unreadable count adds nothing
    if (!ap_error_.empty()) return;
    if (count < 0) {
        ap_error_ = at_line(line, "negative AP: count " + std::to_string(count));
        return;
    }
    if (count > max_proposition_count - static_cast<int>(ap_.size())) {
        ap_error_ = at_line(line, std::to_string(static_cast<long long>(ap_.size()) + count) +
                                      " atomic propositions, at most " + std::to_string(max_proposition_count) +
                                      " are supported");
        return;
    }
    for (int k = 0; k < count; ++k) {
        std::string word;
        if (!(rest >> word)) {
            ap_error_ = at_line(line, "AP: count " + std::to_string(count) + " but only " + std::to_string(k) +
                                          " names");
            return;
        }
        // The names stand between quotes; the two outer characters are cut
        // without looking at them.
        ap_.push_back(word.size() >= 2 ? word.substr(1, word.size() - 2) : std::string());
    }
}

void ra_reader_t::read_head() {
    look_at_first_word();
    rabin->state_count = 0;
    std::string line;
    while (true) {
        int number = cursor_->line();
        if (!cursor_->read_line(line) || (!line.empty() && line[0] == '-')) {
            head_end_line_ = number;
            break;
        }
        std::istringstream rest(line);
        std::string keyword;
        if (!(rest >> keyword)) continue;
        head_value_t* target = keyword == "States:"              ? &states_
                               : keyword == "Acceptance-Pairs:" ? &pairs_
                               : keyword == "Start:"            ? &start_
                                                                : nullptr;
        int value;
        if (target && rest >> value) *target = {value, number};
        else if (keyword == "AP:") read_ap_line(rest, number);
    }
    if (states_.value == 0) return;  // the head gave no states: error stays ""
    error_ = check_head();
    if (!error_.empty()) return;
    rabin->state_count = states_.value;
    rabin->start = start_.value;
    rabin->pair_count = pairs_.value;
    rabin->ap = ap_;
}

// The checks on the head once it is complete; "" when it can be used.
std::string ra_reader_t::check_head() const {
    if (states_.value < 0)
        return at_line(states_.line, "negative number of states " + std::to_string(states_.value));
    if (!ap_error_.empty()) return ap_error_;
    if (pairs_.line == 0) return at_line(head_end_line_, "no Acceptance-Pairs: line in the head");
    if (pairs_.value < 0)
        return at_line(pairs_.line, "negative number of acceptance pairs " + std::to_string(pairs_.value));
    if (pairs_.value > max_pair_count)
        return at_line(pairs_.line, std::to_string(pairs_.value) + " acceptance pairs, at most " +
                                        std::to_string(max_pair_count) + " are supported");
    if (start_.line == 0) return at_line(head_end_line_, "no Start: line in the head");
    if (start_.value < 0 || start_.value >= states_.value)
        return at_line(start_.line, "start state " + std::to_string(start_.value) + " outside " +
                                        range_text(states_.value));
    return "";
}

void ra_reader_t::read_state() {
    if (complete_ || !error_.empty() || blocks_read_ >= rabin->state_count) return;
    error_ = read_block();
    if (!error_.empty()) {
        block_states_ = {};
        good_pairs_ = {};
        bad_pairs_ = {};
        successors_ = {};
        return;
    }
    if (++blocks_read_ == rabin->state_count) build_automaton();
}

std::string ra_reader_t::read_block() {
    text_cursor_t& cursor = *cursor_;
    const int state_count = rabin->state_count;
    const int pair_count = rabin->pair_count;
    std::string line;

    int number = cursor.line();
    if (!cursor.read_line(line))
        return at_line(number, "end of file where the block of state " + std::to_string(blocks_read_ + 1) +
                                   " of " + std::to_string(state_count) + " should start");
    std::istringstream state_line(line);
    std::string skipped;
    int state;
    state_line >> skipped;
    if (!(state_line >> state)) return at_line(number, "state line without a state number");
    if (state < 0 || state >= state_count)
        return at_line(number, "state " + std::to_string(state) + " outside " + range_text(state_count));

    number = cursor.line();
    if (!cursor.read_line(line))
        return at_line(number, "end of file where the signature line of state " + std::to_string(state) +
                                   " should be");
    std::istringstream signature(line);
    signature >> skipped;
    uint64_t good_pairs = 0, bad_pairs = 0;
    char sign;
    int pair;
    while (signature >> sign >> pair) {
        if (pair < 0 || pair >= pair_count)
            return at_line(number, pair_count == 0
                                       ? "acceptance pair " + std::to_string(pair) + " but no pairs declared"
                                       : "acceptance pair " + std::to_string(pair) + " outside " +
                                             range_text(pair_count));
        (sign == '+' ? good_pairs : bad_pairs) |= uint64_t{1} << pair;
    }

    // Successor k belongs to the letter in which exactly the propositions of
    // k's set bits hold; only k = 0 (letter -1) and k = 2^j (letter j) are kept.
    const uint32_t total = uint32_t{1} << rabin->ap.size();
    const std::size_t row = successors_.size();
    successors_.resize(row + static_cast<std::size_t>(rabin->letter_count()), -1);
    for (uint32_t k = 0; k < total; ++k) {
        int successor = 0;
        text_cursor_t::number_t status = cursor.read_int(successor);
        number = cursor.line();  // the line of the number, or where the input ended
        std::string which = "successor " + std::to_string(k) + " of state " + std::to_string(state);
        if (status == text_cursor_t::number_t::end_of_input) return at_line(number, "end of file before " + which);
        if (status == text_cursor_t::number_t::not_a_number)
            return at_line(number, which + " is not a number: '" + message_excerpt(cursor.take_word()) + "'");
        if (status == text_cursor_t::number_t::too_large) return at_line(number, which + " is out of the int range");
        if (successor < 0 || successor >= state_count)
            return at_line(number, which + " is " + std::to_string(successor) + ", outside " +
                                       range_text(state_count));
        if ((k & (k - 1)) == 0)
            successors_[row + static_cast<std::size_t>(get_last_one(static_cast<int>(k)) + 1)] = successor;
    }
    cursor.skip_rest_of_line();

    block_states_.push_back(state);
    good_pairs_.push_back(good_pairs);
    bad_pairs_.push_back(bad_pairs);
    return "";
}

// Builds the tables from the blocks once all of them are in, and lets the
// collected blocks go.
void ra_reader_t::build_automaton() {
    rabin_t& automaton = *rabin;
    const std::size_t letters = static_cast<std::size_t>(automaton.letter_count());
    const uint32_t capacity = static_cast<uint32_t>(automaton.state_count);
    automaton.delta.assign(static_cast<std::size_t>(automaton.state_count) * letters, -1);
    automaton.good.assign(static_cast<std::size_t>(automaton.pair_count), bitset_t(capacity, BS_EMPTY));
    automaton.bad.assign(static_cast<std::size_t>(automaton.pair_count), bitset_t(capacity, BS_EMPTY));
    for (std::size_t b = 0; b < block_states_.size(); ++b) {
        const int state = block_states_[b];
        const int* row = &successors_[b * letters];
        int* target = &automaton.delta[static_cast<std::size_t>(state) * letters];
        for (std::size_t letter = 0; letter < letters; ++letter) target[letter] = row[letter];
        for (int i = 0; i < automaton.pair_count; ++i) {
            if ((good_pairs_[b] >> i) & 1u) automaton.good[i].set(static_cast<uint32_t>(state));
            if ((bad_pairs_[b] >> i) & 1u) automaton.bad[i].set(static_cast<uint32_t>(state));
        }
    }
    block_states_ = {};
    good_pairs_ = {};
    bad_pairs_ = {};
    successors_ = {};
    complete_ = true;
}

namespace {

// The reading protocol: the head, then one block per announced state.
void read_line_based(ra_reader_t& reader) {
    reader.read_head();
    for (int k = 0; k < reader.rabin->state_count && reader.error().empty(); ++k) reader.read_state();
}

std::unique_ptr<rabin_t> finish(const ra_reader_t& reader, std::unique_ptr<rabin_t> automaton, std::string& error) {
    error = reader.error();
    if (!reader.complete()) return nullptr;
    return automaton;
}

}  // namespace

std::unique_ptr<rabin_t> read_dra_automaton(text_cursor_t& in, std::string& error) {
    auto automaton = std::make_unique<rabin_t>();
    ra_reader_t reader(in, automaton.get());
    read_line_based(reader);
    return finish(reader, std::move(automaton), error);
}

std::unique_ptr<rabin_t> read_rabin_automaton(std::istream& in, std::string& error) {
    auto automaton = std::make_unique<rabin_t>();
    ra_reader_t reader(in, automaton.get());
    if (reader.holds_hoa()) reader.read_hoa();
    else read_line_based(reader);
    return finish(reader, std::move(automaton), error);
}
