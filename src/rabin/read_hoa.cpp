// Reading HOA v1 text into a rabin_t.
//
// Only the letters the product uses matter (no proposition true, or one
// proposition alone), so every label is evaluated on those |AP|+1 letters
// and never on the 2^|AP| valuations. A letter that no edge of a state
// matches leads to one added sink state that belongs to no good set; two
// edges of a state matching one letter make the file "not deterministic".
//
// Acceptance marks on states map directly onto the good and bad sets. Marks
// on transitions are moved onto states by the usual construction: a new
// state is a pair (HOA state, marks of the transition that entered it), the
// start state carries no marks, and the pairs are numbered breadth-first from
// it over letters -1, 0, 1, ... A run then visits marked states exactly when
// it takes marked transitions, from its second step on, which is all that
// Inf and Fin look at. Only marks that the acceptance condition mentions are
// kept, so marks it ignores do not split states.
//
// Every state 0 .. States-1 must have its "State:" line: together with the
// rule that tables are built only after "--END--", this keeps a large
// "States:" count from sizing anything the file does not back up. Without a
// "States:" item the count is one more than the highest state number the
// file mentions.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "rabin/automaton_readers.hpp"
#include "rabin/hoa_acceptance.hpp"
#include "rabin/hoa_label.hpp"
#include "rabin/hoa_lexer.hpp"
#include "support/message_text.hpp"

namespace {

bool is_header(const hoa_token_t& token, const char* name) {
    return token.kind == hoa_token_kind_t::header && token.text == name;
}

// Tokens that end a header item's values.
bool ends_item(const hoa_token_t& token) {
    switch (token.kind) {
    case hoa_token_kind_t::header: case hoa_token_kind_t::body: case hoa_token_kind_t::end:
    case hoa_token_kind_t::abort: case hoa_token_kind_t::end_of_input: case hoa_token_kind_t::error:
        return true;
    default:
        return false;
    }
}

struct hoa_alias_t {
    std::string name;
    std::vector<hoa_token_t> tokens;
    int line;
};

// One "State:" line and its edges, as read. Successor rows and mark ids are
// kept in flat vectors of letter_count entries per row.
struct hoa_row_t {
    int state;
    int line;
    int marks;  // interned mark set of the state itself
};

class hoa_reader_t {
public:
    hoa_reader_t(hoa_lexer_t& in, std::string& error) : in(in), error(error) {}

    // Null on failure (error set) or when the automaton was aborted.
    std::unique_ptr<rabin_t> read(bool& aborted);

private:
    bool fail(int line, const std::string& reason) {
        error = at_line(line, reason);
        return false;
    }
    bool fail_at(const hoa_token_t& token, const std::string& expected) {
        if (token.kind == hoa_token_kind_t::error) return fail(token.line, token.text);
        return fail(token.line, "expected " + expected + ", found " + shown(token));
    }
    bool read_int(const std::string& what, int& value);
    bool read_state_number(const std::string& what, const char* role, int& state);
    bool read_header(bool& aborted);
    bool finish_header(int body_line);
    bool read_marks(std::vector<int>& marks);
    int intern_marks(std::vector<int> marks);
    bool read_state(int& state_row);
    bool read_body(bool& aborted);
    std::string letter_text(int letter) const;
    bool satisfies(const mark_literal_t& literal, int mark_set) const;
    void fill_sets(rabin_t& automaton, int state, int mark_set) const;
    bool check_every_state_listed();
    std::unique_ptr<rabin_t> build();

    hoa_lexer_t& in;
    std::string& error;

    int state_count = -1, states_line = 0;
    long long highest_state = -1;  // the highest state number mentioned anywhere
    int start = -1, start_line = 0;
    bool ap_seen = false;
    std::vector<std::string> ap;
    std::vector<hoa_alias_t> aliases;
    std::unordered_map<std::string, letter_set_t> alias_sets;
    int set_count = -1, acceptance_line = 0;
    std::vector<hoa_conjunct_t> disjuncts;
    std::string acc_name;

    std::vector<int> relevant_marks;  // sorted marks the condition mentions
    std::vector<std::vector<int>> mark_sets{std::vector<int>{}};  // id 0: no marks
    std::unordered_map<std::string, int> mark_set_ids{{std::string(), 0}};
    bool transition_marks = false;

    int letter_count = 1;
    std::vector<hoa_row_t> rows;
    std::vector<int> successors;   // per row and letter: target, -1 when no edge matches
    std::vector<int> entry_marks;  // per row and letter: interned marks of that edge
    std::unordered_set<int> listed;
    std::unordered_map<int, int> first_target_line;  // state -> line of its first use as a target
    int end_line = 0;
};

bool hoa_reader_t::read_int(const std::string& what, int& value) {
    hoa_token_t token = in.take();
    if (token.kind != hoa_token_kind_t::integer) return fail_at(token, what);
    if (token.text.size() > 10 || std::stoll(token.text) > INT_MAX)
        return fail(token.line, what + " " + token.text + " is too large");
    value = std::stoi(token.text);
    return true;
}

// A state number; checked against "States:" when the header gave it.
bool hoa_reader_t::read_state_number(const std::string& what, const char* role, int& state) {
    const int line = in.peek().line;
    if (!read_int(what, state)) return false;
    if (states_line != 0 && state >= state_count)
        return fail(line, std::string(role) + std::to_string(state) + " outside 0.." + std::to_string(state_count - 1));
    highest_state = std::max<long long>(highest_state, state);
    return true;
}

bool hoa_reader_t::read_header(bool& aborted) {
    const hoa_token_t first = in.take();  // "HOA:", checked by the caller
    const hoa_token_t version = in.take();
    if (version.kind == hoa_token_kind_t::error) return fail(version.line, version.text);
    if (ends_item(version)) return fail(first.line, "HOA: without a version, v1 expected");
    if (version.kind != hoa_token_kind_t::identifier || version.text != "v1")
        return fail(version.line, "unsupported HOA version " + shown(version) + ", v1 expected");

    while (true) {
        const hoa_token_t& token = in.peek();
        if (token.kind == hoa_token_kind_t::body) {
            const int body_line = token.line;
            in.take();
            return finish_header(body_line);
        }
        if (token.kind == hoa_token_kind_t::abort) {
            in.take();
            aborted = true;
            return false;
        }
        if (token.kind != hoa_token_kind_t::header) return fail_at(token, "a header item or --BODY--");
        const hoa_token_t item = in.take();
        if (item.text == "States:") {
            // A second count would silently replace the first, which sized nothing yet.
            if (states_line != 0)
                return fail(item.line, "a second States: (the first is on line " + std::to_string(states_line) + ")");
            if (!read_int("a state count after States:", state_count)) return false;
            states_line = item.line;
        } else if (item.text == "Start:") {
            int state;
            if (!read_int("a state number after Start:", state)) return false;
            // Initial states form a set: naming the same one again changes nothing.
            if (start_line != 0 && state != start)
                return fail(item.line, "a second Start: (the first is on line " + std::to_string(start_line) +
                                           "): exactly one initial state is supported");
            if (start_line == 0) start_line = item.line;
            start = state;
            if (is_punct(in.peek(), '&'))
                return fail(in.peek().line, "Start: with a conjunction of states: alternating automata are not supported");
        } else if (item.text == "AP:") {
            if (ap_seen) return fail(item.line, "a second AP: line");
            ap_seen = true;
            int count;
            if (!read_int("a proposition count after AP:", count)) return false;
            if (count > max_hoa_proposition_count)
                return fail(item.line, std::to_string(count) + " atomic propositions, at most " +
                                           std::to_string(max_hoa_proposition_count) + " are supported");
            std::unordered_set<std::string> names;
            for (int k = 0; k < count; ++k) {
                hoa_token_t name = in.take();
                if (name.kind != hoa_token_kind_t::string)
                    return name.kind == hoa_token_kind_t::error
                               ? fail(name.line, name.text)
                               : fail(name.line, "AP: declares " + std::to_string(count) + " names but lists " +
                                                     std::to_string(k));
                if (!names.insert(name.text).second)
                    return fail(name.line, "proposition \"" + message_excerpt(name.text) + "\" is declared twice in AP:");
                ap.push_back(name.text);
            }
        } else if (item.text == "Alias:") {
            hoa_token_t name = in.take();
            if (name.kind != hoa_token_kind_t::alias) return fail_at(name, "an alias name after Alias:");
            for (const hoa_alias_t& earlier : aliases)
                if (earlier.name == name.text) return fail(name.line, "alias " + name.text + " defined twice");
            hoa_alias_t alias{name.text, {}, name.line};
            while (!ends_item(in.peek())) alias.tokens.push_back(in.take());
            aliases.push_back(std::move(alias));
        } else if (item.text == "Acceptance:") {
            if (acceptance_line != 0) return fail(item.line, "a second Acceptance: line");
            acceptance_line = item.line;
            if (!read_int("an acceptance set count after Acceptance:", set_count)) return false;
            if (!parse_acceptance(in, set_count, static_cast<std::size_t>(max_pair_count), disjuncts, error))
                return false;
        } else if (item.text == "acc-name:") {
            // Informative only: the Acceptance: formula decides.
            while (!ends_item(in.peek())) {
                if (!acc_name.empty()) acc_name += ' ';
                acc_name += in.take().text;
            }
        } else if (item.text[0] >= 'A' && item.text[0] <= 'Z') {
            // The format reserves upper-case items for what a reader must understand.
            return fail(item.line, "unknown header item " + shown(item) +
                                       ": items that start with an upper-case letter cannot be ignored");
        } else {
            // name:, tool:, properties:, controllable-AP:, ... carry nothing the
            // automaton needs.
            while (!ends_item(in.peek())) in.take();
        }
        if (in.peek().kind == hoa_token_kind_t::error) return fail(in.peek().line, in.peek().text);
    }
}

bool hoa_reader_t::finish_header(int body_line) {
    if (states_line != 0 && state_count == 0) return fail(states_line, "States: 0, the automaton has no states");
    if (start_line == 0) return fail(body_line, "no Start: line in the header");
    if (states_line != 0 && start >= state_count)
        return fail(start_line, "start state " + std::to_string(start) + " outside 0.." +
                                    std::to_string(state_count - 1));
    highest_state = start;
    if (acceptance_line == 0) return fail(body_line, "no Acceptance: line in the header");
    letter_count = static_cast<int>(ap.size()) + 1;

    // Aliases may use the aliases defined before them.
    hoa_label_context_t context{static_cast<int>(ap.size()), &alias_sets};
    for (const hoa_alias_t& alias : aliases) {
        int end = alias.tokens.empty() ? alias.line : alias.tokens.back().line;
        hoa_token_list_t tokens(alias.tokens, end);
        letter_set_t label;
        if (!parse_label(tokens, context, label, error)) return false;
        if (tokens.peek().kind != hoa_token_kind_t::end_of_input)
            return fail_at(tokens.peek(), "the end of the alias " + alias.name);
        alias_sets[alias.name] = std::move(label);
    }

    for (const hoa_conjunct_t& conjunct : disjuncts) {
        if (conjunct.inf.size() > 1)
            return fail(acceptance_line,
                        "acceptance " + (acc_name.empty() ? std::string() : "'" + message_excerpt(acc_name) + "' ") +
                            "is not a Rabin condition: the disjunct " + conjunct_text(conjunct) +
                            " needs several Inf sets at once");
        for (const mark_literal_t& literal : conjunct.fin) relevant_marks.push_back(literal.mark);
        for (const mark_literal_t& literal : conjunct.inf) relevant_marks.push_back(literal.mark);
    }
    std::sort(relevant_marks.begin(), relevant_marks.end());
    relevant_marks.erase(std::unique(relevant_marks.begin(), relevant_marks.end()), relevant_marks.end());
    return true;
}

// "{ n n ... }" after the '{' was seen; keeps only the marks the condition uses.
bool hoa_reader_t::read_marks(std::vector<int>& marks) {
    in.take();
    while (!is_punct(in.peek(), '}')) {
        int mark;
        int line = in.peek().line;
        if (!read_int("an acceptance set number or '}'", mark)) return false;
        if (mark >= set_count)
            return fail(line, "acceptance set " + std::to_string(mark) + " but Acceptance: declares " +
                                  std::to_string(set_count));
        if (std::binary_search(relevant_marks.begin(), relevant_marks.end(), mark)) marks.push_back(mark);
    }
    in.take();
    return true;
}

int hoa_reader_t::intern_marks(std::vector<int> marks) {
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    std::string key;
    for (int mark : marks) key.append(reinterpret_cast<const char*>(&mark), sizeof mark);
    auto found = mark_set_ids.find(key);
    if (found != mark_set_ids.end()) return found->second;
    int id = static_cast<int>(mark_sets.size());
    mark_sets.push_back(std::move(marks));
    mark_set_ids.emplace(std::move(key), id);
    return id;
}

std::string hoa_reader_t::letter_text(int letter) const {
    return letter < 0 ? "the letter in which no proposition holds"
                      : "the letter in which only \"" + message_excerpt(ap[static_cast<std::size_t>(letter)]) + "\" holds";
}

bool hoa_reader_t::read_state(int& state_row) {
    const hoa_token_t state_token = in.take();  // "State:"
    const hoa_label_context_t context{static_cast<int>(ap.size()), &alias_sets};
    bool state_labelled = false;
    letter_set_t state_label;
    if (is_punct(in.peek(), '[')) {
        in.take();
        if (!parse_label(in, context, state_label, error)) return false;
        if (!is_punct(in.peek(), ']')) return fail_at(in.peek(), "']' after the state label");
        in.take();
        state_labelled = true;
    }
    int state;
    int line = in.peek().line;
    if (!read_state_number("a state number after State:", "state ", state)) return false;
    if (!listed.insert(state).second) return fail(line, "state " + std::to_string(state) + " is listed twice");
    if (in.peek().kind == hoa_token_kind_t::string) in.take();  // the state's name
    std::vector<int> own_marks;
    if (is_punct(in.peek(), '{') && !read_marks(own_marks)) return false;

    const std::size_t base = successors.size();
    if (base + static_cast<std::size_t>(letter_count) > max_hoa_table_entries)
        return fail(line, "the transition table would exceed " + std::to_string(max_hoa_table_entries) +
                              " entries (" + std::to_string(rows.size() + 1) + " states x " +
                              std::to_string(letter_count) + " letters)");
    state_row = static_cast<int>(rows.size());
    rows.push_back({state, state_token.line, intern_marks(own_marks)});
    successors.resize(base + static_cast<std::size_t>(letter_count), -1);
    entry_marks.resize(base + static_cast<std::size_t>(letter_count), 0);

    bool explicit_seen = false, implicit_seen = false;
    uint64_t implicit_index = 0;  // k of the next implicitly labelled edge
    // 2^|AP| implicitly labelled edges; 0 stands for more than any file can list.
    const uint64_t valuations = ap.size() < 63 ? uint64_t{1} << ap.size() : 0;
    const std::string valuations_text =
        valuations != 0 ? std::to_string(valuations) : "2^" + std::to_string(ap.size());
    while (is_punct(in.peek(), '[') || in.peek().kind == hoa_token_kind_t::integer) {
        const int edge_line = in.peek().line;
        letter_set_t label;
        if (is_punct(in.peek(), '[')) {
            if (state_labelled) return fail(edge_line, "an edge label in a state that has a state label");
            if (implicit_seen) return fail(edge_line, "state " + std::to_string(state) + " mixes labelled and unlabelled edges");
            explicit_seen = true;
            in.take();
            if (!parse_label(in, context, label, error)) return false;
            if (!is_punct(in.peek(), ']')) return fail_at(in.peek(), "']' after the edge label");
            in.take();
        } else if (state_labelled) {
            label = state_label;
        } else {
            if (explicit_seen) return fail(edge_line, "state " + std::to_string(state) + " mixes labelled and unlabelled edges");
            implicit_seen = true;
            if (valuations != 0 && implicit_index >= valuations)
                return fail(edge_line, "state " + std::to_string(state) + " has more than " + valuations_text +
                                           " implicitly labelled edges");
            // Edge k carries the valuation whose set bits are the true propositions.
            const uint64_t k = implicit_index++;
            if (k == 0) label = letter_set_t::single(0);
            else if ((k & (k - 1)) == 0) label = letter_set_t::single(__builtin_ctzll(k) + 1);
        }
        int target;
        line = in.peek().line;
        if (!read_state_number("a target state", "target state ", target)) return false;
        first_target_line.emplace(target, line);
        if (is_punct(in.peek(), '&'))
            return fail(in.peek().line, "a conjunction of target states: alternating automata are not supported");
        std::vector<int> marks;
        if (is_punct(in.peek(), '{') && !read_marks(marks)) return false;
        if (!marks.empty()) transition_marks = true;
        marks.insert(marks.end(), mark_sets[static_cast<std::size_t>(rows.back().marks)].begin(),
                     mark_sets[static_cast<std::size_t>(rows.back().marks)].end());
        const int mark_id = intern_marks(std::move(marks));

        // Transitions form a set: an edge that repeats another one on some
        // letter, with the same target and marks, is the same transition.
        int clash = -1;
        for_each_letter(label, letter_count, [&](int bit) {
            const std::size_t at = base + static_cast<std::size_t>(bit);
            if (successors[at] >= 0 && (successors[at] != target || entry_marks[at] != mark_id)) {
                if (clash < 0) clash = bit;
                return;
            }
            successors[at] = target;
            entry_marks[at] = mark_id;
        });
        if (clash >= 0)
            return fail(edge_line, "not deterministic: state " + std::to_string(state) + " has two edges for " +
                                       letter_text(clash - 1));
    }
    if (implicit_seen && implicit_index != valuations)
        return fail(in.peek().line, "state " + std::to_string(state) + " has " + std::to_string(implicit_index) +
                                        " implicitly labelled edges, " + valuations_text + " expected");
    return true;
}

bool hoa_reader_t::read_body(bool& aborted) {
    while (true) {
        const hoa_token_t& token = in.peek();
        if (token.kind == hoa_token_kind_t::end) {
            end_line = token.line;
            in.take();
            break;
        }
        if (token.kind == hoa_token_kind_t::abort) {
            in.take();
            aborted = true;
            return false;
        }
        if (!is_header(token, "State:")) return fail_at(token, "State: or --END--");
        int row;
        if (!read_state(row)) return false;
    }
    return check_every_state_listed();
}

// Every state needs its "State:" line. A missing one that the file uses is
// reported where it is first used (the Start: item, else its first edge);
// otherwise the least missing state is reported at the --END-- line.
bool hoa_reader_t::check_every_state_listed() {
    const long long count = states_line != 0 ? state_count : highest_state + 1;
    if (static_cast<long long>(rows.size()) == count) {
        state_count = static_cast<int>(count);
        return true;
    }
    if (!listed.count(start)) return fail(start_line, "start state " + std::to_string(start) + " has no State: line");
    int used = -1, used_line = 0;
    for (const auto& [target, line] : first_target_line)
        if (!listed.count(target) && (used < 0 || line < used_line || (line == used_line && target < used)))
            used = target, used_line = line;
    if (used >= 0) return fail(used_line, "target state " + std::to_string(used) + " has no State: line");
    std::vector<int> numbers;
    numbers.reserve(rows.size());
    for (const hoa_row_t& row : rows) numbers.push_back(row.state);
    std::sort(numbers.begin(), numbers.end());
    int missing = 0;
    while (missing < static_cast<int>(numbers.size()) && numbers[static_cast<std::size_t>(missing)] == missing)
        ++missing;
    return fail(end_line, "state " + std::to_string(missing) + " has no State: line");
}

bool hoa_reader_t::satisfies(const mark_literal_t& literal, int mark_set) const {
    const std::vector<int>& marks = mark_sets[static_cast<std::size_t>(mark_set)];
    return std::binary_search(marks.begin(), marks.end(), literal.mark) != literal.negated;
}

void hoa_reader_t::fill_sets(rabin_t& automaton, int state, int mark_set) const {
    for (std::size_t p = 0; p < disjuncts.size(); ++p) {
        const hoa_conjunct_t& conjunct = disjuncts[p];
        bool good = conjunct.inf.empty() || satisfies(conjunct.inf[0], mark_set);
        bool bad = false;
        for (const mark_literal_t& literal : conjunct.fin) bad = bad || satisfies(literal, mark_set);
        if (good) automaton.good[p].set(static_cast<uint32_t>(state));
        if (bad) automaton.bad[p].set(static_cast<uint32_t>(state));
    }
}

std::unique_ptr<rabin_t> hoa_reader_t::build() {
    const std::size_t letters = static_cast<std::size_t>(letter_count);
    std::vector<int> row_of(static_cast<std::size_t>(state_count));
    for (std::size_t r = 0; r < rows.size(); ++r) row_of[static_cast<std::size_t>(rows[r].state)] = static_cast<int>(r);

    auto automaton = std::make_unique<rabin_t>();
    automaton->ap = ap;
    automaton->pair_count = static_cast<int>(disjuncts.size());

    // Each automaton state: its HOA state and the marks it carries.
    std::vector<int> hoa_state, carried;
    int sink = -1;
    if (!transition_marks) {
        // States keep their HOA numbers.
        for (int q = 0; q < state_count; ++q) {
            hoa_state.push_back(q);
            carried.push_back(rows[static_cast<std::size_t>(row_of[static_cast<std::size_t>(q)])].marks);
        }
        automaton->delta.assign(static_cast<std::size_t>(state_count) * letters, -1);
        for (int q = 0; q < state_count; ++q) {
            const std::size_t row = static_cast<std::size_t>(row_of[static_cast<std::size_t>(q)]);
            for (std::size_t l = 0; l < letters; ++l)
                automaton->delta[static_cast<std::size_t>(q) * letters + l] = successors[row * letters + l];
        }
        automaton->start = start;
    } else {
        // Breadth-first over (HOA state, entering marks) from (start, none).
        std::unordered_map<uint64_t, int> index;
        auto state_of = [&](int q, int marks) {
            uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(q)) << 32) | static_cast<uint32_t>(marks);
            auto found = index.find(key);
            if (found != index.end()) return found->second;
            int fresh = static_cast<int>(hoa_state.size());
            index.emplace(key, fresh);
            hoa_state.push_back(q);
            carried.push_back(marks);
            return fresh;
        };
        state_of(start, 0);
        for (std::size_t u = 0; u < hoa_state.size(); ++u) {
            if ((u + 1) * letters > max_hoa_table_entries) {
                fail(end_line, "moving the transition marks onto states needs more than " +
                                   std::to_string(max_hoa_table_entries) + " table entries (" +
                                   std::to_string(letters) + " letters per state)");
                return nullptr;
            }
            const std::size_t row = static_cast<std::size_t>(row_of[static_cast<std::size_t>(hoa_state[u])]);
            for (std::size_t l = 0; l < letters; ++l) {
                int target = successors[row * letters + l];
                automaton->delta.push_back(target < 0 ? -1 : state_of(target, entry_marks[row * letters + l]));
            }
        }
        automaton->start = 0;
    }
    // The sink goes last, so that the numbering above stays as it is.
    const int counted = static_cast<int>(hoa_state.size());
    for (int& entry : automaton->delta) {
        if (entry >= 0) continue;
        if (sink < 0) sink = counted;
        entry = sink;
    }
    automaton->state_count = counted + (sink < 0 ? 0 : 1);
    if (sink >= 0) automaton->delta.resize(automaton->delta.size() + letters, sink);

    const uint32_t capacity = static_cast<uint32_t>(automaton->state_count);
    automaton->good.assign(disjuncts.size(), bitset_t(capacity, BS_EMPTY));
    automaton->bad.assign(disjuncts.size(), bitset_t(capacity, BS_EMPTY));
    for (int s = 0; s < counted; ++s) fill_sets(*automaton, s, carried[static_cast<std::size_t>(s)]);
    return automaton;
}

std::unique_ptr<rabin_t> hoa_reader_t::read(bool& aborted) {
    aborted = false;
    if (!read_header(aborted) || !read_body(aborted)) return nullptr;
    return build();
}

}  // namespace

std::unique_ptr<rabin_t> read_hoa_automaton(text_cursor_t& cursor, std::string& error) {
    error.clear();
    hoa_lexer_t in(cursor);
    // Several automata may follow one another: the first one not aborted
    // with --ABORT-- is read, the rest of the file is not looked at.
    while (true) {
        if (!is_header(in.peek(), "HOA:")) {
            if (in.peek().kind == hoa_token_kind_t::error) error = at_line(in.peek().line, in.peek().text);
            else error = at_line(in.peek().line, "expected HOA:, found " + shown(in.peek()));
            return nullptr;
        }
        hoa_reader_t reader(in, error);
        bool aborted = false;
        std::unique_ptr<rabin_t> automaton = reader.read(aborted);
        if (!aborted) return automaton;
        const int abort_line = in.peek().line;
        while (!is_header(in.peek(), "HOA:") && in.peek().kind != hoa_token_kind_t::end_of_input) in.take();
        if (in.peek().kind == hoa_token_kind_t::end_of_input) {
            error = at_line(abort_line, "the automaton was aborted with --ABORT-- and no other follows");
            return nullptr;
        }
        error.clear();
    }
}
