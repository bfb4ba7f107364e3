#include "check/strategy_listing.hpp"

#include <cctype>
#include <map>
#include <ostream>
#include <sstream>

const char core_heading[] = "Obligations that force it";
const char strategy_heading[] = "Winning strategy of the environment";
const char run_heading[] = "Failing run";

namespace {

std::string state_name(int id) { return "S" + std::to_string(id); }

std::string position_text(const listed_state_t& s) { return s.move.process + "@" + std::to_string(s.ra_state); }

bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::string trimmed(const std::string& line) {
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

// A name of the language (letters, digits, underscores), "0", or "$N".
bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// Reads a name at text[at...], advancing at.
bool read_name(const std::string& text, size_t& at, std::string& name) {
    size_t start = at;
    while (at < text.size() && is_name_char(text[at])) ++at;
    name = text.substr(start, at - start);
    return !name.empty();
}

bool read_literal(const std::string& text, size_t& at, const char* literal) {
    if (text.compare(at, std::char_traits<char>::length(literal), literal) != 0) return false;
    at += std::char_traits<char>::length(literal);
    return true;
}

bool read_transition(const std::string& text, size_t& at, listed_transition_t& t) {
    return read_name(text, at, t.action) && read_literal(text, at, ".") && read_name(text, at, t.target);
}

bool read_hyper(const std::string& text, size_t& at, std::vector<listed_transition_t>& alternatives) {
    alternatives.clear();
    listed_transition_t t;
    if (!read_literal(text, at, "{")) {
        if (!read_transition(text, at, t)) return false;
        alternatives.push_back(t);
        return true;
    }
    do {
        if (!read_transition(text, at, t)) return false;
        alternatives.push_back(t);
    } while (read_literal(text, at, " | "));
    return read_literal(text, at, "}");
}

bool read_number(const std::string& text, size_t& at, int& value) {
    size_t start = at;
    long long v = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 9) {
        v = v * 10 + (text[at++] - '0');
    }
    value = static_cast<int>(v);
    return at > start && (at == text.size() || !std::isdigit(static_cast<unsigned char>(text[at])));
}

bool read_state_id(const std::string& text, size_t& at, int& id) {
    return read_literal(text, at, "S") && read_number(text, at, id);
}

// "S3 = Proc @q: hyper -> S1 | S2"
bool read_state_line(const std::string& line, int& id, listed_state_t& state) {
    size_t at = 0;
    if (!read_state_id(line, at, id) || !read_literal(line, at, " = ")) return false;
    if (!read_name(line, at, state.move.process) || !read_literal(line, at, " @")) return false;
    if (!read_number(line, at, state.ra_state) || !read_literal(line, at, ": ")) return false;
    if (!read_hyper(line, at, state.move.alternatives) || !read_literal(line, at, " -> ")) return false;
    state.next.clear();
    do {
        int next;
        if (!read_state_id(line, at, next)) return false;
        state.next.push_back(next);
    } while (read_literal(line, at, " | "));
    return at == line.size() && state.next.size() == state.move.alternatives.size();
}

// "Proc: hyper"
bool read_core_line(const std::string& line, listed_hyper_t& hyper) {
    size_t at = 0;
    return read_name(line, at, hyper.process) && read_literal(line, at, ": ") &&
           read_hyper(line, at, hyper.alternatives) && at == line.size();
}

// "A@0 --a--> B@1 --b--> C@2": positions and the actions between them.
bool read_path(const std::string& text, std::vector<std::pair<std::string, int>>& positions,
               std::vector<std::string>& actions) {
    size_t at = 0;
    for (;;) {
        std::string process;
        int q;
        if (!read_name(text, at, process) || !read_literal(text, at, "@") || !read_number(text, at, q)) return false;
        positions.push_back({process, q});
        if (at == text.size()) return true;
        std::string action;
        if (!read_literal(text, at, " --") || !read_name(text, at, action) || !read_literal(text, at, "--> ")) {
            return false;
        }
        actions.push_back(action);
    }
}

// The run line becomes one state per position, each insisting on the single
// step the run takes; the cycle's last step leads back to its first state.
bool read_run_line(const std::string& run, std::vector<listed_state_t>& states) {
    static const char cycle_mark[] = "for ever ";
    const size_t split = run.find(cycle_mark);
    if (split == std::string::npos) return false;
    std::vector<std::pair<std::string, int>> prefix, cycle;
    std::vector<std::string> prefix_actions, cycle_actions;
    if (split > 0) {
        const std::string head = run.substr(0, split);
        static const char then[] = ", then ";
        if (head.size() < sizeof then - 1 || head.compare(head.size() - (sizeof then - 1), std::string::npos, then) != 0) {
            return false;
        }
        if (!read_path(head.substr(0, head.size() - (sizeof then - 1)), prefix, prefix_actions)) return false;
    }
    if (!read_path(run.substr(split + sizeof cycle_mark - 1), cycle, cycle_actions)) return false;
    if (cycle_actions.empty() || cycle.front() != cycle.back()) return false;
    if (!prefix.empty() && prefix.back() != cycle.front()) return false;
    if (!prefix.empty()) prefix.pop_back();  // the cycle's first position
    cycle.pop_back();                        // back at the start
    std::vector<std::pair<std::string, int>> positions = prefix;
    positions.insert(positions.end(), cycle.begin(), cycle.end());
    std::vector<std::string> actions = prefix_actions;
    actions.insert(actions.end(), cycle_actions.begin(), cycle_actions.end());
    const int n = static_cast<int>(positions.size());
    const int cycle_start = static_cast<int>(prefix.size());
    states.assign(n, listed_state_t());
    for (int i = 0; i < n; ++i) {
        const int next = i + 1 < n ? i + 1 : cycle_start;
        states[i].move.process = positions[i].first;
        states[i].ra_state = positions[i].second;
        states[i].move.alternatives = {{actions[i], positions[next].first}};
        states[i].next = {next};
    }
    return true;
}

}  // namespace

std::string hyper_text(const std::vector<listed_transition_t>& alternatives) {
    std::string text;
    for (const listed_transition_t& t : alternatives) {
        text += (text.empty() ? "" : " | ") + t.action + "." + t.target;
    }
    return alternatives.size() == 1 ? text : "{" + text + "}";
}

void write_core(std::ostream& out, const strategy_listing_t& listing) {
    if (!listing.has_core) return;
    out << core_heading << " (every other must hypertransition weakened to may transitions):\n";
    for (const listed_hyper_t& h : listing.core) out << "  " << h.process << ": " << hyper_text(h.alternatives) << '\n';
    if (listing.core.empty()) out << "  (none: the automaton or the requirement to keep a transition forces it alone)\n";
}

void write_states(std::ostream& out, const strategy_listing_t& listing) {
    out << strategy_heading << " (" << listing.states.size() << " states, S0 first):\n";
    for (size_t i = 0; i < listing.states.size(); ++i) {
        const listed_state_t& s = listing.states[i];
        out << "  " << state_name(static_cast<int>(i)) << " = " << s.move.process << " @" << s.ra_state << ": "
            << hyper_text(s.move.alternatives) << " ->";
        for (size_t j = 0; j < s.next.size(); ++j) out << (j ? " | " : " ") << state_name(s.next[j]);
        out << '\n';
    }
}

bool forces_one_run(const strategy_listing_t& listing) {
    for (const listed_state_t& s : listing.states) {
        if (s.next.size() != 1) return false;
    }
    return !listing.states.empty();
}

void write_run(std::ostream& out, const strategy_listing_t& listing) {
    // The states in the order the run meets them, up to the first repetition.
    std::vector<int> order, seen_at(listing.states.size(), -1);
    int s = 0;
    while (seen_at[s] < 0) {
        seen_at[s] = static_cast<int>(order.size());
        order.push_back(s);
        s = listing.states[s].next.front();
    }
    const int cycle_start = seen_at[s];
    auto actions = [&](int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i) text += " " + listing.states[order[i]].move.alternatives.front().action;
        return text.empty() ? std::string(" (empty)") : text;
    };
    auto path = [&](int from, int to) {  // positions order[from] .. order[to], to may wrap to the cycle start
        std::string text = position_text(listing.states[order[from]]);
        for (int i = from; i < to; ++i) {
            const int next = i + 1 < static_cast<int>(order.size()) ? order[i + 1] : order[cycle_start];
            text += " --" + listing.states[order[i]].move.alternatives.front().action + "--> " +
                    position_text(listing.states[next]);
        }
        return text;
    };
    const int n = static_cast<int>(order.size());
    out << run_heading << ", whatever the implementation chooses:\n";
    out << "  prefix:" << actions(0, cycle_start) << '\n';
    out << "  cycle:" << actions(cycle_start, n) << '\n';
    out << "  run: " << (cycle_start > 0 ? path(0, cycle_start) + ", then " : std::string()) << "for ever "
        << path(cycle_start, n) << '\n';
}

bool read_strategy_listing(const std::string& text, strategy_listing_t& listing, std::string& error) {
    listing = strategy_listing_t();
    std::istringstream in(text);
    std::string raw;
    bool in_core = false;
    std::map<int, listed_state_t> by_id;
    bool have_run = false;
    int line_number = 0;
    while (std::getline(in, raw)) {
        ++line_number;
        const std::string line = trimmed(raw);
        const std::string where = "line " + std::to_string(line_number) + ": ";
        if (starts_with(line, core_heading)) {
            in_core = true;
            listing.has_core = true;
            continue;
        }
        if (starts_with(line, strategy_heading) || starts_with(line, run_heading)) {
            in_core = false;
            continue;
        }
        if (in_core && !line.empty() && line[0] != '(') {
            listed_hyper_t hyper;
            if (!read_core_line(line, hyper)) {
                error = where + "not a must hypertransition of the form Process: a.Target";
                return false;
            }
            listing.core.push_back(hyper);
            continue;
        }
        if (starts_with(line, "run: ")) {
            if (!read_run_line(line.substr(5), listing.states)) {
                error = where + "not a run of the form Process@state --action--> ..., then for ever ...";
                return false;
            }
            have_run = true;
            continue;
        }
        if (line.size() > 1 && line[0] == 'S' && std::isdigit(static_cast<unsigned char>(line[1]))) {
            int id;
            listed_state_t state;
            if (!read_state_line(line, id, state)) {
                error = where + "not a strategy state of the form Sn = Process @q: a.Target -> Sm";
                return false;
            }
            if (!by_id.emplace(id, state).second) {
                error = where + "S" + std::to_string(id) + " is defined twice";
                return false;
            }
        }
    }
    if (have_run && !by_id.empty()) {
        error = "both a run and strategy states are given";
        return false;
    }
    if (have_run) return true;
    if (by_id.empty()) {
        error = "no strategy found (neither lines Sn = ... nor a run: line)";
        return false;
    }
    const int n = static_cast<int>(by_id.size());
    for (auto& entry : by_id) {
        if (entry.first >= n) {
            error = "the states are not numbered S0 to S" + std::to_string(n - 1);
            return false;
        }
        for (int next : entry.second.next) {
            if (next >= n) {
                error = "S" + std::to_string(entry.first) + " leads to S" + std::to_string(next) + ", which is not defined";
                return false;
            }
        }
        listing.states.push_back(entry.second);
    }
    return true;
}
