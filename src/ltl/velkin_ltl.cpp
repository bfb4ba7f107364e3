#include "ltl/velkin_ltl.hpp"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <string>

#include "ltl/action_steps.hpp"
#include "ltl/dra_output.hpp"
#include "ltl/parser.hpp"
#include "ltl/translate.hpp"
#include "support/command_failures.hpp"
#include "support/whole_file.hpp"

namespace {

const char usage_text[] =
    "usage: velkin-ltl [-a] [-H] [-v] [-l STATES] [-o FILE] FORMULA\n"
    "       velkin-ltl [-a] [-H] [-v] [-l STATES] [-o FILE] -f FILE\n"
    "Writes a deterministic Rabin automaton for the LTL formula (DRA v2 explicit,\n"
    "or HOA v1 with -H) for velkin -r. -a builds it for one action per step (at\n"
    "most one proposition true), as velkin reads it: smaller, and up to 64\n"
    "propositions. -f reads the formula from FILE ('-' for standard input; lines\n"
    "starting with # are comments); -l bounds the number of states (default\n"
    "100000); -o writes to FILE instead of standard output; -v tells the size\n"
    "and the construction that built the automaton on standard error.\n";

// What the tool is doing, named when memory runs out. Set between the steps,
// never inside their loops.
const char* stage = "reading the command line";

int trouble(std::ostream& err, const std::string& message) {
    err << "velkin-ltl: " << message << std::endl;
    return 1;
}

// The formula text of a file: comment lines dropped, lines joined by blanks.
std::string formula_of(std::istream& in) {
    std::string text, line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!text.empty()) text += ' ';
        text += line;
    }
    return text;
}

// Blanks of every kind become one space, and none lead or trail: the formula
// as the Comment: line shows it.
std::string tidy(const std::string& text) {
    std::string r;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
        if (blank) {
            if (!r.empty() && r.back() != ' ') r += ' ';
        } else {
            r += c;
        }
    }
    if (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

int run_command(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    std::string formula_file, output_file;
    bool have_file = false, hoa = false, actions = false, verbose = false;
    ltl_limits_t limits;
    opterr = 0;
    optind = 1;
    int option;
    while ((option = getopt(argc, argv, ":f:o:l:aHvh")) != -1) {
        switch (option) {
        case 'f': formula_file = optarg; have_file = true; break;
        case 'o': output_file = optarg; break;
        case 'H': hoa = true; break;
        case 'a': actions = true; break;
        case 'v': verbose = true; break;
        case 'l': {
            char* end = nullptr;
            errno = 0;
            const long value = std::strtol(optarg, &end, 10);
            if (end == optarg || *end != '\0' || errno != 0 || value < 1 || value > INT_MAX)
                return trouble(err, std::string("-l expects a positive number of states, not '") + optarg + "'");
            limits.max_states = static_cast<int>(value);
            break;
        }
        case 'h': out << usage_text << std::flush; return 0;
        case ':': return trouble(err, std::string("option '-") + static_cast<char>(optopt) + "' requires an argument");
        default: return trouble(err, std::string("unknown option '-") + static_cast<char>(optopt) + "'; -h prints the usage");
        }
    }
    stage = "reading the formula";
    std::string text;
    if (have_file) {
        if (argc != optind) return trouble(err, "give the formula either with -f or as an argument, not both");
        if (formula_file == "-") {
            text = formula_of(in);
        } else {
            std::string contents, error;
            if (!read_whole_file(formula_file, contents, error)) return trouble(err, error);
            std::istringstream file(contents);
            text = formula_of(file);
        }
    } else {
        if (argc - optind != 1) return trouble(err, "expected one formula; -h prints the usage");
        text = argv[optind];
    }

    stage = "parsing the formula";
    ltl_pool_t pool;
    int formula;
    std::string error;
    std::vector<ltl_conjunction_t> conjunctions;
    if (!parse_ltl(text, pool, formula, error, &conjunctions)) return trouble(err, error);
    if (actions)
        for (std::size_t column : impossible_conjunctions(pool, conjunctions))
            err << "velkin-ltl: warning: column " << column
                << ": this conjunction needs two different propositions in one step, which never holds with one "
                   "action per step\n";
    stage = "building the automaton";
    dra_t automaton;
    std::string construction;
    if (!translate_ltl(pool, formula, limits, automaton, error, actions, &construction)) return trouble(err, error);
    if (verbose)
        err << "velkin-ltl: " << automaton.state_count << " states, " << automaton.pairs.size() << " pairs, by "
            << construction << '\n';
    if (!hoa && explicit_line_count(automaton) > ltl_limits_t::max_table_entries)
        return trouble(err, "the DRA format needs " + std::to_string(automaton.state_count) + " * 2^" +
                                std::to_string(pool.props().size()) + " successor lines, more than " +
                                std::to_string(ltl_limits_t::max_table_entries) + "; write HOA with -H");

    stage = "writing the automaton";
    std::ostringstream written;
    const std::string shown = tidy(text);
    if (hoa) write_hoa(written, automaton, pool.props(), shown);
    else write_dra_explicit(written, automaton, pool.props(), shown);
    if (output_file.empty()) {
        out << written.str() << std::flush;
        return 0;
    }
    std::ofstream file(output_file);
    if (!file) return trouble(err, "cannot write " + output_file + ": " + std::strerror(errno));
    file << written.str();
    return output_reached(file, err, "velkin-ltl: ", output_file) ? 0 : 1;
}

}  // namespace

int velkin_ltl_main(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    stage = "reading the command line";
    try {
        return run_command(argc, argv, in, out, err);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(err, "velkin-ltl: ", stage);
        return 1;
    }
}
