// Property tests of velkin-explain on random specifications (every third one
// made of must transitions only) and automata with one to four acceptance pairs, with and without -f, against the real
// velkin binary:
// - YES: the output equals velkin -s, and the name checks are silent exactly
//   when the specification has no mistake in its names (an oracle below);
// - NO: the strategy passes the check of velkin-check -e; velkin -s answers
//   NO on the specification weakened to the core and YES when any one core
//   member is weakened as well; and a strategy with one environment move
//   changed (a planted fault) is caught by the check in most cases.
//
// usage: explain_properties VELKIN FIRST_SEED COUNT MIN_YES MIN_NO
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "check/check_input.hpp"
#include "check/core_weakening.hpp"
#include "check/strategy_listing.hpp"
#include "check/velkin_check.hpp"
#include "dmts/dmts.hpp"
#include "explain/velkin_explain.hpp"
#include "product/product.hpp"
#include "rabin/rabin.hpp"
#include "random_models.hpp"
#include "run_program.hpp"

namespace {

struct case_t {
    uint64_t seed;
    bool deadlock_free;
    std::string spec_text, automaton_text, spec_path, automaton_path;
};

int failures = 0;
int yes_cases = 0, silent_checked = 0, no_cases = 0, with_memory = 0, planted = 0, broken = 0, caught = 0;

void fail(const case_t& c, const std::string& what, const std::string& detail) {
    ++failures;
    std::cerr << "seed " << c.seed << (c.deadlock_free ? " (-f)" : "") << ": " << what << "\n--- specification\n"
              << c.spec_text << "--- automaton\n" << c.automaton_text << "--- detail\n" << detail << "\n";
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

program_run_t explain(const case_t& c) {
    std::vector<std::string> args{"velkin-explain", "-r", c.automaton_path, "-p", "P0", c.spec_path};
    if (c.deadlock_free) args.insert(args.begin() + 1, "-f");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    std::ostringstream out, err;
    program_run_t run;
    run.status = velkin_explain_main(static_cast<int>(args.size()), argv.data(), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

program_run_t velkin_solve(const std::string& velkin, const case_t& c, const std::string& spec_path,
                           const std::string& process, const std::string& dir) {
    std::vector<std::string> args{velkin, "-r", c.automaton_path, "-s", process, spec_path};
    if (c.deadlock_free) args.push_back("-f");
    return run_program(args, dir);
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }
bool says_yes(const program_run_t& run) { return first_line(run.out).rfind("The answer is YES", 0) == 0; }

// The model written back as text, every process named X<index>, so that
// inline processes can be written too; velkin reads the same game from it.
std::string written(const dmts_t& model) {
    auto name = [](int p) { return p == 0 ? std::string("0") : "X" + std::to_string(p); };
    std::string text;
    for (size_t i = 1; i < model.processes.size(); ++i) {
        const process_t& p = *model.processes[i];
        if (!p.defined) continue;
        std::vector<std::string> terms;
        for (alternatives_t h : p.must) {
            std::string group;
            for (const transition_t& t : h) group += (group.empty() ? "" : " | ") + model.action_names[static_cast<size_t>(t.action)] + "." + name(t.target);
            terms.push_back(h.size() == 1 ? group : "{" + group + "}");
        }
        for (const transition_t& t : p.may) terms.push_back("?" + model.action_names[static_cast<size_t>(t.action)] + "." + name(t.target));
        if (terms.empty()) continue;
        text += name(static_cast<int>(i)) + " =";
        for (size_t k = 0; k < terms.size(); ++k) text += (k ? " + " : " ") + terms[k];
        text += "\n";
    }
    return text;
}

// The answer of velkin -s on a model, through the same library calls as its
// driver: YES unless the process has no deadlock-free implementation or the
// initial product state is lost.
int solve_answer(dmts_t& model, int process, rabin_t& automaton, bool deadlock_free) {
    if (deadlock_free) model.disallow_deadlocks();
    const process_t& chosen = *model.processes[static_cast<size_t>(process)];
    if (chosen.deadlocked || (deadlock_free && !chosen.defined)) return -1;
    ra_product_t product(&automaton, &model, process);
    product.init_actions();
    std::ostringstream diagnostics;
    product.make_product(diagnostics);
    product.set_gb();
    product.solve();
    return product.win->test(0) ? 1 : 0;
}

bool solves_yes(dmts_t& model, int process, rabin_t& automaton, bool deadlock_free) {
    return solve_answer(model, process, automaton, deadlock_free) == 1;
}

// The oracle for the name checks: P0 occurs (it always does here); every
// named process reachable from it is defined; every proposition is an action
// of a reachable process.
bool names_without_mistake(const dmts_t& model, const rabin_t& automaton) {
    const int start = model.process_index.find("P0");
    std::vector<char> seen(model.processes.size(), 0);
    std::deque<int> queue{start};
    seen[static_cast<size_t>(start)] = 1;
    std::set<std::string> actions;
    bool fine = true;
    while (!queue.empty()) {
        const process_t& p = *model.processes[static_cast<size_t>(queue.front())];
        queue.pop_front();
        if (!p.defined && p.name[0] >= 'A' && p.name[0] <= 'Z') fine = false;
        for (const transition_t& t : p.may) {
            actions.insert(model.action_names[static_cast<size_t>(t.action)]);
            if (!seen[static_cast<size_t>(t.target)]) {
                seen[static_cast<size_t>(t.target)] = 1;
                queue.push_back(t.target);
            }
        }
    }
    for (const std::string& ap : automaton.ap) fine &= actions.count(ap) > 0;
    return fine;
}

// The game model the strategy was made for: the core kept, then restricted.
std::unique_ptr<dmts_t> game_model(const case_t& c, const std::vector<std::pair<int, int>>& kept) {
    std::string error;
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> model = parse_specification(c.spec_text, "spec", error, warnings);
    weaken_all_but(*model, kept);
    if (c.deadlock_free) model->disallow_deadlocks();
    return model;
}

// Changes the move of one state to another must hypertransition of its
// process whose alternatives all lead to states of the strategy (the first
// that fits); false when no state has such a move.
bool plant_fault(const dmts_t& model, const rabin_t& automaton, strategy_listing_t& listing, random_source_t& random) {
    const int n = static_cast<int>(listing.states.size());
    const int offset = random.below(n);
    for (int i = 0; i < n; ++i) {
        listed_state_t& st = listing.states[static_cast<size_t>((i + offset) % n)];
        const int p = find_listed_process(model, st.move.process);
        const int current = find_must(model, p, st.move.alternatives);
        for (size_t k = 0; k < model.processes[static_cast<size_t>(p)]->must.size(); ++k) {
            if (static_cast<int>(k) == current) continue;
            const listed_hyper_t other = listed_must(model, p, static_cast<int>(k));
            std::vector<int> next;
            for (const listed_transition_t& t : other.alternatives) {
                int letter = -1;
                for (size_t j = 0; j < automaton.ap.size(); ++j) {
                    if (automaton.ap[j] == t.action) letter = static_cast<int>(j);
                }
                const int q = automaton.successor(st.ra_state, letter);
                for (int s = 0; s < n && next.size() < other.alternatives.size(); ++s) {
                    const listed_state_t& cand = listing.states[static_cast<size_t>(s)];
                    if (cand.move.process == t.target && cand.ra_state == q) {
                        next.push_back(s);
                        break;
                    }
                }
            }
            if (next.size() != other.alternatives.size()) continue;
            st.move = other;
            st.next = next;
            return true;
        }
    }
    return false;
}

// A second opinion on a strategy whose steps are consistent: with it fixed,
// the implementation wins its Rabin condition on the graph of strategy states
// if it wins with a positional choice of one alternative per state, so try
// every such choice (when there are few) and test the cycle the single run
// ends in. Returns -1 when there are too many choices to try.
int oracle_beaten(const strategy_listing_t& listing, const rabin_t& automaton) {
    const size_t n = listing.states.size();
    long combinations = 1;
    for (const listed_state_t& st : listing.states) {
        combinations *= static_cast<long>(std::max<size_t>(1, st.next.size()));
        if (combinations > 4096) return -1;
    }
    for (long code = 0; code < combinations; ++code) {
        std::vector<int> pick(n);
        long rest = code;
        for (size_t s = 0; s < n; ++s) {
            const long options = static_cast<long>(std::max<size_t>(1, listing.states[s].next.size()));
            pick[s] = static_cast<int>(rest % options);
            rest /= options;
        }
        std::vector<int> seen_at(n, -1), order;
        int s = 0;
        bool stuck = false;
        while (seen_at[static_cast<size_t>(s)] < 0) {
            seen_at[static_cast<size_t>(s)] = static_cast<int>(order.size());
            order.push_back(s);
            if (listing.states[static_cast<size_t>(s)].next.empty()) {
                stuck = true;  // the implementation has no alternative: it loses
                break;
            }
            s = listing.states[static_cast<size_t>(s)].next[static_cast<size_t>(pick[static_cast<size_t>(s)])];
        }
        if (stuck) continue;
        for (int i = 0; i < automaton.pair_count; ++i) {
            bool good = false, bad = false;
            for (size_t k = static_cast<size_t>(seen_at[static_cast<size_t>(s)]); k < order.size(); ++k) {
                const uint32_t q = static_cast<uint32_t>(listing.states[static_cast<size_t>(order[k])].ra_state);
                good |= automaton.good[static_cast<size_t>(i)].test(q);
                bad |= automaton.bad[static_cast<size_t>(i)].test(q);
            }
            if (good && !bad) return 1;
        }
    }
    return 0;
}

void negative_case(const std::string& velkin, const case_t& c, const program_run_t& run, const std::string& dir,
                   const rabin_t& automaton, random_source_t& random) {
    strategy_listing_t listing;
    std::string error;
    if (!read_strategy_listing(run.out, listing, error)) return fail(c, "the output cannot be read back", error + "\n" + run.out);
    std::set<std::pair<std::string, int>> positions;
    for (const listed_state_t& st : listing.states) positions.insert({st.move.process, st.ra_state});
    if (positions.size() < listing.states.size()) ++with_memory;  // one position, several states
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> spec = parse_specification(c.spec_text, "spec", error, warnings);
    const int process = spec->process_index.find("P0");
    {
        std::unique_ptr<dmts_t> copy = parse_specification(c.spec_text, "spec", error, warnings);
        const check_result_t r = run_strategy_check(*copy, process, automaton, c.deadlock_free, listing, error);
        if (!error.empty() || !r.holds) return fail(c, "the strategy fails the check", error + "\n" + run.out);
    }
    std::vector<std::pair<int, int>> kept;
    if (!resolve_core(*spec, listing.core, kept, error)) return fail(c, "the core is not in the specification", error);
    // velkin -s on the core alone, and with each member weakened too; the
    // first NO case of a run asks the binary on the written-out model, the
    // others its library, to keep the run short.
    for (size_t drop = 0; drop <= kept.size(); ++drop) {
        std::vector<std::pair<int, int>> keep = kept;
        if (drop < kept.size()) keep.erase(keep.begin() + static_cast<long>(drop));
        std::unique_ptr<dmts_t> weak = parse_specification(c.spec_text, "spec", error, warnings);
        weaken_all_but(*weak, keep);
        bool yes;
        if (no_cases == 1 || no_cases % 25 == 0) {
            const std::string path = dir + "/weak";
            write_file(path, written(*weak));
            yes = says_yes(velkin_solve(velkin, c, path, "X" + std::to_string(process), dir));
        } else {
            std::string automaton_error;
            std::istringstream automaton_in(c.automaton_text);
            std::unique_ptr<rabin_t> own = read_automaton(automaton_in, automaton_error);
            yes = solves_yes(*weak, process, *own, c.deadlock_free);
        }
        if (drop == kept.size() && yes) return fail(c, "velkin -s answers YES on the core alone", run.out);
        if (drop < kept.size() && !yes) {
            return fail(c, "velkin -s answers NO with core member " + std::to_string(drop) + " weakened", run.out);
        }
    }
    if (listing.states.empty()) return;  // no acceptance pair: no strategy to disturb
    // Without -f the strategy wins the game of the whole specification too,
    // where the processes offer more moves to change it to.
    if (!c.deadlock_free) {
        listing.has_core = false;
        listing.core.clear();
        kept.clear();
        for (size_t p = 0; p < spec->processes.size(); ++p) {
            for (size_t k = 0; k < spec->processes[p]->must.size(); ++k) kept.push_back({static_cast<int>(p), static_cast<int>(k)});
        }
        std::unique_ptr<dmts_t> copy = parse_specification(c.spec_text, "spec", error, warnings);
        const check_result_t r = run_strategy_check(*copy, process, automaton, false, listing, error);
        if (!error.empty() || !r.holds) return fail(c, "the strategy fails the check on the whole specification", run.out);
    }
    std::unique_ptr<dmts_t> model = game_model(c, kept);
    if (!plant_fault(*model, automaton, listing, random)) return;
    std::unique_ptr<dmts_t> copy = parse_specification(c.spec_text, "spec", error, warnings);
    const check_result_t r = run_strategy_check(*copy, process, automaton, c.deadlock_free, listing, error);
    if (!error.empty()) return fail(c, "a planted fault made the strategy unreadable", error);
    const int beaten = oracle_beaten(listing, automaton);
    if (beaten < 0) return;
    ++planted;
    if (beaten != !r.holds) return fail(c, "the check and the brute-force oracle disagree on a planted fault", run.out);
    if (beaten) ++broken, ++caught;
}

// Cases are told apart in process; the binary is asked for the YES cases
// until yes_quota of them have been compared, and later YES cases are skipped.
void run_case(const std::string& velkin, const case_t& c, const std::string& dir, random_source_t& random,
              int yes_quota) {
    std::string error;
    std::istringstream automaton_in(c.automaton_text);
    std::unique_ptr<rabin_t> automaton = read_automaton(automaton_in, error);
    if (!automaton) return;  // a start state outside the states: nothing to explain
    std::vector<std::string> parse_warnings;
    std::unique_ptr<dmts_t> model = parse_specification(c.spec_text, "spec", error, parse_warnings);
    const int answer = solve_answer(*model, model->process_index.find("P0"), *automaton, c.deadlock_free);
    if (answer < 0 || (answer == 1 && yes_cases >= yes_quota)) return;
    const program_run_t run = explain(c);
    if (answer == 1) {
        const program_run_t solved = velkin_solve(velkin, c, c.spec_path, "P0", dir);
        ++yes_cases;
        if (run.status != 0 || run.out != solved.out) return fail(c, "YES differs from velkin -s", run.out + "\n" + solved.out);
        std::vector<std::string> warnings;
        std::unique_ptr<dmts_t> spec = parse_specification(c.spec_text, "spec", error, warnings);
        const bool clean = names_without_mistake(*spec, *automaton);
        if (clean) ++silent_checked;
        if (clean != run.err.empty()) return fail(c, "the name checks disagree with the oracle", run.err);
        return;
    }
    ++no_cases;
    if (run.status != 1) return fail(c, "NO without exit status 1", run.out + run.err);
    if (first_line(run.out) !=
        "The answer is NO, no implementation of P0 satisfies the condition given by the Rabin automaton.") {
        return fail(c, "the verdict is not velkin's NO", run.out);
    }
    negative_case(velkin, c, run, dir, *automaton, random);
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc != 6) {
        std::cerr << "usage: explain_properties VELKIN FIRST_SEED COUNT MIN_YES MIN_NO\n";
        return 2;
    }
    const std::string velkin = argv[1];
    const uint64_t first = std::strtoull(argv[2], nullptr, 10);
    const int count = std::atoi(argv[3]);
    const int min_yes = std::atoi(argv[4]), min_no = std::atoi(argv[5]);
    char scratch_template[] = "/tmp/explain_properties.XXXXXX";
    const char* scratch = mkdtemp(scratch_template);
    if (!scratch) return 2;
    const std::string dir = scratch;
    for (int i = 0; i < count && failures < 5; ++i) {
        case_t c;
        c.seed = first + static_cast<uint64_t>(i);
        random_source_t random(c.seed);
        // Every third case a game rich in choices of the environment, half of
        // them against an automaton that makes it alternate, where strategies
        // with memory occur.
        const bool game = c.seed % 3 == 0;
        c.spec_text = game ? random_game_specification(random) : random_specification(random);
        c.automaton_text = game && random.chance(50) ? letter_tracking_automaton(random) : random_automaton(random, 1, 4);
        c.deadlock_free = random.chance(50);
        c.spec_path = dir + "/spec";
        c.automaton_path = dir + "/automaton";
        if (!write_file(c.spec_path, c.spec_text) || !write_file(c.automaton_path, c.automaton_text)) return 2;
        run_case(velkin, c, dir, random, min_yes);
    }
    for (const char* name : {"/spec", "/automaton", "/weak", "/stdout", "/stderr"}) unlink((dir + name).c_str());
    rmdir(dir.c_str());
    std::cout << count << " cases from seed " << first << ": " << yes_cases << " YES (" << silent_checked
              << " without name mistakes), " << no_cases << " NO (" << with_memory << " strategies with memory); " << planted << " planted faults, " << broken
              << " of them losing for the environment, " << caught << " caught; " << failures << " failures\n";
    if (failures) return 1;
    if (yes_cases < min_yes || no_cases < min_no) {
        std::cerr << "too few cases of one answer: the generator no longer exercises the checks\n";
        return 1;
    }
    // A changed move often wins as well; the ones that lose must all be caught.
    if (caught != broken || (planted >= 20 && broken == 0)) {
        std::cerr << "planted faults: " << caught << " of " << broken << " losing ones caught\n";
        return 1;
    }
    return 0;
}
