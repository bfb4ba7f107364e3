#include "explain/velkin_explain.hpp"

#include <unistd.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <memory>
#include <new>
#include <ostream>
#include <sstream>

#include "check/check_input.hpp"
#include "check/core_weakening.hpp"
#include "check/strategy_listing.hpp"
#include "check/velkin_check.hpp"
#include "dmts/dmts.hpp"
#include "explain/core_search.hpp"
#include "explain/env_game.hpp"
#include "explain/env_strategy.hpp"
#include "explain/name_checks.hpp"
#include "explain/strategy_listing_of.hpp"
#include "product/product.hpp"
#include "rabin/rabin.hpp"
#include "support/command_failures.hpp"
#include "support/whole_file.hpp"

namespace {

const char usage_text[] =
    "usage: velkin-explain [-f] [-o FILE.dot] -r AUTOMATON -p PROCESS [SPEC]\n"
    "\tsolves like velkin -s and explains a NO: the must hypertransitions that force it\n"
    "\tand the environment's winning strategy, checked as velkin-check -e checks it\n"
    "\t-r FILE   \tthe Rabin automaton (either format velkin reads)\n"
    "\t-p PROCESS\tthe process to solve\n"
    "\t-f        \tlook for a deadlock-free implementation\n"
    "\t-o FILE   \talso write the strategy as a DOT graph to FILE\n"
    "\t-h        \tprint this text\n"
    "\tSPEC is read from standard input when not given\n"
    "\texit status: 0 YES, 1 NO, 2 unusable input or command line,\n"
    "\t3 output not written, 4 out of memory\n";

// The recursion of the strategy construction goes one level per pair.
constexpr int max_pairs = 8;

int trouble(std::ostream& err, const std::string& message) {
    err << "velkin-explain: " << message << std::endl;
    return 2;
}

struct inputs_t {
    std::string spec_text;
    std::string spec_source;
    std::string process_name;
    rabin_t* automaton = nullptr;
    bool deadlock_free = false;
};

// One solved game: the specification with only kept must hypertransitions
// (all of them when kept is null), restricted when asked.
struct solved_t {
    std::unique_ptr<dmts_t> model;
    std::unique_ptr<ra_product_t> product;
    int process = -1;
    bool deadlocked = false;
    bool yes = false;
    std::string trouble;  // the product could not be built
};

solved_t solve_weakened(const inputs_t& in, const std::vector<hyper_ref_t>* kept) {
    solved_t s;
    std::string error;
    std::vector<std::string> warnings;
    s.model = parse_specification(in.spec_text, in.spec_source, error, warnings);
    if (!s.model) {
        s.trouble = error;
        return s;
    }
    if (kept) weaken_all_but(*s.model, *kept);
    if (in.deadlock_free) s.model->disallow_deadlocks();
    s.process = s.model->get_process(in.process_name.c_str());
    const process_t& chosen = *s.model->processes[static_cast<size_t>(s.process)];
    if (chosen.deadlocked || (in.deadlock_free && !chosen.defined)) {
        s.deadlocked = true;
        return s;
    }
    s.product = std::make_unique<ra_product_t>(in.automaton, s.model.get(), s.process);
    s.product->init_actions();
    std::ostringstream diagnostics;
    s.product->make_product(diagnostics);
    if (!diagnostics.str().empty()) {
        s.trouble = "the automaton has no successor for a letter that the product needs (FATAL ERROR in velkin)";
        return s;
    }
    s.product->set_gb();
    s.product->solve();
    s.yes = s.product->win->test(0);
    return s;
}

bool still_no(const inputs_t& in, const std::vector<hyper_ref_t>& kept) {
    const solved_t s = solve_weakened(in, &kept);
    return s.deadlocked || !s.yes;
}

// Every must hypertransition of the processes reachable from the chosen one.
std::vector<hyper_ref_t> reachable_musts(const dmts_t& model, int start) {
    std::vector<hyper_ref_t> all;
    std::vector<char> seen(model.processes.size(), 0);
    std::deque<int> queue{start};
    seen[static_cast<size_t>(start)] = 1;
    while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        const process_t& proc = *model.processes[static_cast<size_t>(p)];
        for (size_t k = 0; k < proc.must.size(); ++k) all.push_back({p, static_cast<int>(k)});
        for (const transition_t& t : proc.may) {
            if (seen[static_cast<size_t>(t.target)]) continue;
            seen[static_cast<size_t>(t.target)] = 1;
            queue.push_back(t.target);
        }
    }
    std::sort(all.begin(), all.end());
    return all;
}

// The environment's strategy on a solved negative game, as a listing or as
// the hypertransitions it insists on (support set).
strategy_listing_t strategy_of(const solved_t& s, std::vector<hyper_ref_t>* support) {
    const env_game_t game = game_of(*s.product);
    node_set_t losing(static_cast<size_t>(game.node_count));
    for (int v = 0; v < game.node_count; ++v) losing[static_cast<size_t>(v)] = !s.product->win->test(static_cast<uint32_t>(v));
    const env_strategy_t strategy(game, losing);
    if (!strategy.wins(0)) return strategy_listing_t();
    if (support) {
        *support = strategy_support(*s.product, game, strategy);
        return strategy_listing_t();
    }
    return listing_of(*s.product, game, strategy);
}

// The independent check of velkin-check -e, on the text about to be printed.
check_result_t check_own_output(const inputs_t& in, const std::string& text, std::string& error) {
    strategy_listing_t listing;
    if (!read_strategy_listing(text, listing, error)) return check_result_t();
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> spec = parse_specification(in.spec_text, in.spec_source, error, warnings);
    if (!spec) return check_result_t();
    const int process = spec->get_process(in.process_name.c_str());
    return run_strategy_check(*spec, process, *in.automaton, in.deadlock_free, listing, error);
}

}  // namespace

namespace {

int run_command(int argc, char** argv, std::ostream& out, std::ostream& err) {
    inputs_t in;
    std::string automaton_file, dot_file;
    bool have_automaton = false, have_process = false;
    opterr = 0;
    optind = 1;
    int option;
    while ((option = getopt(argc, argv, ":fo:r:p:h")) != -1) {
        switch (option) {
        case 'f': in.deadlock_free = true; break;
        case 'o': dot_file = optarg; break;
        case 'r': automaton_file = optarg; have_automaton = true; break;
        case 'p': in.process_name = optarg; have_process = true; break;
        case 'h': out << usage_text << std::flush; return 0;
        case ':': return trouble(err, std::string("option '-") + static_cast<char>(optopt) + "' requires an argument");
        default: return trouble(err, std::string("unknown option '-") + static_cast<char>(optopt) + "'");
        }
    }
    if (!have_automaton) return trouble(err, "no automaton given (-r AUTOMATON); -h prints the usage");
    if (!have_process) return trouble(err, "no process given (-p PROCESS); -h prints the usage");
    if (argc - optind > 1) return trouble(err, "expected at most one specification file; -h prints the usage");

    std::string text, error;
    if (!read_whole_file(automaton_file, text, error)) return trouble(err, error);
    std::istringstream automaton_in(text);
    std::unique_ptr<rabin_t> automaton = read_automaton(automaton_in, error);
    if (!automaton) return trouble(err, automaton_file + ": " + error);
    if (automaton->pair_count > max_pairs) {
        return trouble(err, automaton_file + ": " + std::to_string(automaton->pair_count) +
                                " acceptance pairs; at most " + std::to_string(max_pairs) + " can be explained");
    }
    in.automaton = automaton.get();
    in.spec_source = optind < argc ? argv[optind] : "standard input";
    if (!read_whole_file(optind < argc ? argv[optind] : "-", in.spec_text, error)) return trouble(err, error);

    parser_program_name = "velkin-explain";
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> source = parse_specification(in.spec_text, in.spec_source, error, warnings);
    if (!source) return trouble(err, error);
    for (const std::string& w : warnings) err << "velkin-explain: " << w << '\n';
    for (const std::string& m : name_check_messages(*source, in.process_name, *automaton, in.spec_source)) {
        err << "velkin-explain: " << m << '\n';
    }
    err.flush();

    solved_t full = solve_weakened(in, nullptr);
    if (!full.trouble.empty()) return trouble(err, full.trouble);
    if (full.deadlocked) {
        err << "process " << in.process_name << " has no deadlock-free implementations" << std::endl;
        return 1;
    }
    if (full.yes) {
        full.product->output_impl(false, out, err);
        return 0;
    }
    if (!edges_follow_must(*full.product)) {
        return trouble(err, "internal error: the product's edges do not follow the must hypertransitions");
    }

    // The core. Without the restriction the hypertransitions the strategy
    // of the whole game insists on already keep the answer NO, which
    // shortens the search; the restriction can change which ones there are,
    // so with it every reachable one is a candidate.
    std::vector<hyper_ref_t> candidates;
    if (!in.deadlock_free && automaton->pair_count > 0) {
        strategy_of(full, &candidates);
        if (!still_no(in, candidates)) candidates.clear();
    }
    if (candidates.empty()) candidates = reachable_musts(*source, source->get_process(in.process_name.c_str()));
    const std::vector<hyper_ref_t> core =
        minimal_core(candidates, [&in](const std::vector<hyper_ref_t>& kept) { return still_no(in, kept); });

    std::ostringstream listing_text;
    full.product->answer(listing_text);
    strategy_listing_t listing;
    solved_t weak = solve_weakened(in, &core);
    if (!weak.trouble.empty()) return trouble(err, weak.trouble);
    if (automaton->pair_count > 0 && !weak.deadlocked) {
        listing = strategy_of(weak, nullptr);
        if (listing.states.empty()) return trouble(err, "internal error: no winning strategy of the environment found");
    }
    listing.has_core = true;
    for (const hyper_ref_t& h : core) listing.core.push_back(listed_must(*source, h.first, h.second));
    write_core(listing_text, listing);
    if (automaton->pair_count == 0) {
        listing_text << "The automaton has no acceptance pairs, so it accepts no run at all.\n";
    } else if (forces_one_run(listing)) {
        write_run(listing_text, listing);
    } else {
        write_states(listing_text, listing);
    }

    if (automaton->pair_count > 0) {
        const check_result_t verdict = check_own_output(in, listing_text.str(), error);
        if (!error.empty() || !verdict.holds) {
            err << "velkin-explain: internal error: the strategy fails its own check" << (error.empty() ? "" : ": " + error)
                << '\n';
            for (const std::string& line : verdict.lines) err << "velkin-explain: " << line << '\n';
            err.flush();
            return 2;
        }
    }
    if (!dot_file.empty()) {
        std::ofstream dot(dot_file);
        if (!dot) return trouble(err, dot_file + ": cannot be opened for writing");
        write_strategy_dot(dot, listing);
        if (!output_reached(dot, err, "velkin-explain: ", dot_file)) return 3;
    }
    out << listing_text.str() << std::flush;
    return 1;
}

}  // namespace

int velkin_explain_main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    try {
        return run_command(argc, argv, out, err);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(err, "velkin-explain: ", "explaining");
        return 4;
    }
}
