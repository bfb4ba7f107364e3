// Property tests of the whole tool: random specifications and automata are
// solved by the real velkin binary, and every positive answer is checked by
// the independent checker: the implementation refines the process, all its
// runs are accepted, with -f it never deadlocks, and with -m it is bisimilar
// to the unminimised one and has no two bisimilar classes.
//
// usage: velkin_properties VELKIN FIRST_SEED COUNT
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "check/bisimulation.hpp"
#include "check/check_input.hpp"
#include "check/velkin_check.hpp"
#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"
#include "random_models.hpp"
#include "run_program.hpp"

namespace {

struct case_t {
    uint64_t seed;
    std::string spec_text, automaton_text;
    std::string spec_path, automaton_path;
};

int failures = 0;
int positive_answers = 0;

void fail(const case_t& c, const std::string& what, const std::string& detail) {
    ++failures;
    std::cerr << "seed " << c.seed << ": " << what << "\n--- specification\n" << c.spec_text
              << "--- automaton\n" << c.automaton_text << "--- detail\n" << detail << "\n";
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

bool positive(const program_run_t& run) {
    return first_line(run.out).rfind("The answer is YES, there is an implementation of P0 that", 0) == 0;
}

bool negative(const program_run_t& run) {
    return first_line(run.out) == "The answer is NO, no implementation of P0 satisfies the condition given by "
                                  "the Rabin automaton.";
}

// Checks one positive listing; returns the system read from it.
bool check_listing(const case_t& c, const std::string& mode, const program_run_t& run, const dmts_t& spec,
                   const rabin_t& automaton, bool deadlock_free, lts_t& lts) {
    std::string error;
    if (!read_implementation(run.out, "velkin " + mode, "I0", lts, error)) {
        fail(c, "velkin " + mode + " printed an unreadable implementation", error + "\n" + run.out);
        return false;
    }
    check_request_t request;
    request.spec = &spec;
    request.process = spec.process_index.find("P0");
    if (request.process < 0) {
        fail(c, "the specification has no process P0", "");
        return false;
    }
    request.impl = &lts;
    request.automaton = &automaton;
    request.deadlock_free = deadlock_free;
    const check_result_t result = run_checks(request);
    if (!result.holds) {
        std::string lines = run.out;
        for (const std::string& line : result.lines) lines += line + "\n";
        fail(c, "the implementation of velkin " + mode + " does not check", lines);
        return false;
    }
    return true;
}

void run_case(const std::string& velkin, const case_t& c, const std::string& scratch) {
    std::string error;
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> spec = parse_specification(c.spec_text, "specification", error, warnings);
    std::istringstream automaton_in(c.automaton_text);
    std::unique_ptr<rabin_t> automaton = read_automaton(automaton_in, error);
    if (!spec || !automaton) {
        fail(c, "the generated input does not load", error);
        return;
    }
    const program_run_t plain = run_program({velkin, "-r", c.automaton_path, "-s", "P0", c.spec_path}, scratch);
    const program_run_t minimised =
        run_program({velkin, "-r", c.automaton_path, "-s", "P0", "-m", c.spec_path}, scratch);
    const program_run_t deadlock_free =
        run_program({velkin, "-r", c.automaton_path, "-f", "-s", "P0", c.spec_path}, scratch);

    for (const program_run_t* run : {&plain, &minimised, &deadlock_free}) {
        if (run->status != 0 || !run->err.empty()) {
            const bool refused = run == &deadlock_free &&
                                 run->err == "process P0 has no deadlock-free implementations\n" && run->out.empty();
            if (!refused) {
                fail(c, "velkin failed", "status " + std::to_string(run->status) + "\n" + run->err + run->out);
                return;
            }
        } else if (!positive(*run) && !negative(*run)) {
            fail(c, "velkin printed no verdict", run->out);
            return;
        }
    }
    if (positive(plain) != positive(minimised)) {
        fail(c, "minimising changed the verdict", plain.out + minimised.out);
        return;
    }
    // A deadlock-free implementation is an implementation too.
    if (positive(deadlock_free) && !positive(plain)) {
        fail(c, "-f found an implementation that the plain run missed", deadlock_free.out + plain.out);
        return;
    }
    lts_t plain_lts, minimised_lts, deadlock_free_lts;
    if (positive(plain)) {
        ++positive_answers;
        if (!check_listing(c, "-s", plain, *spec, *automaton, false, plain_lts)) return;
        if (!check_listing(c, "-s -m", minimised, *spec, *automaton, false, minimised_lts)) return;
        if (!bisimilar(plain_lts, minimised_lts)) {
            fail(c, "the minimised implementation is not bisimilar to the unminimised one", plain.out + minimised.out);
            return;
        }
        const std::vector<int> classes = bisimulation_classes(minimised_lts);
        if (std::set<int>(classes.begin(), classes.end()).size() != classes.size()) {
            fail(c, "two classes of the minimised implementation are bisimilar", minimised.out);
            return;
        }
    }
    if (positive(deadlock_free)) {
        check_listing(c, "-f -s", deadlock_free, *spec, *automaton, true, deadlock_free_lts);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc != 4) {
        std::cerr << "usage: velkin_properties VELKIN FIRST_SEED COUNT\n";
        return 2;
    }
    const std::string velkin = argv[1];
    const uint64_t first = std::strtoull(argv[2], nullptr, 10);
    const int count = std::atoi(argv[3]);
    char scratch_template[] = "/tmp/velkin_properties.XXXXXX";
    const char* scratch = mkdtemp(scratch_template);
    if (!scratch) {
        std::cerr << "cannot create a scratch directory\n";
        return 2;
    }
    const std::string dir = scratch;
    for (int i = 0; i < count; ++i) {
        case_t c;
        c.seed = first + static_cast<uint64_t>(i);
        random_source_t random(c.seed);
        c.spec_text = random_specification(random);
        c.automaton_text = random_automaton(random);
        c.spec_path = dir + "/spec";
        c.automaton_path = dir + "/automaton";
        if (!write_file(c.spec_path, c.spec_text) || !write_file(c.automaton_path, c.automaton_text)) {
            std::cerr << "cannot write the inputs\n";
            return 2;
        }
        run_case(velkin, c, dir);
        if (failures >= 5) break;  // enough to debug from; keep the log readable
    }
    for (const char* name : {"/spec", "/automaton", "/stdout", "/stderr"}) unlink((dir + name).c_str());
    rmdir(dir.c_str());
    std::cout << count << " cases from seed " << first << ", " << positive_answers << " positive answers checked, "
              << failures << " failures\n";
    // Too few positive answers would make the run check almost nothing.
    if (failures == 0 && positive_answers * 4 < count) {
        std::cerr << "only " << positive_answers << " positive answers: the generator no longer exercises the checks\n";
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
