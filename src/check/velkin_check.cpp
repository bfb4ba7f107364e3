#include "check/velkin_check.hpp"

#include <unistd.h>

#include <iostream>
#include <memory>
#include <new>
#include <sstream>

#include "check/check_input.hpp"
#include "check/deadlock.hpp"
#include "check/refinement.hpp"
#include "check/satisfaction.hpp"
#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"
#include "support/command_failures.hpp"
#include "support/whole_file.hpp"

namespace {

const char usage_text[] =
    "usage: velkin-check [-f] [-r AUTOMATON] -p PROCESS [-i STATE] SPEC IMPL\n"
    "\tchecks that the implementation IMPL implements PROCESS of the specification SPEC\n"
    "\tIMPL is the output of velkin -s, or a specification with must transitions only;\n"
    "\t'-' reads it from standard input\n"
    "\t-p PROCESS\tthe process of SPEC that IMPL must implement\n"
    "\t-i STATE  \tthe initial state of IMPL (default I0)\n"
    "\t-r FILE   \talso require every maximal run to be accepted by the Rabin automaton in FILE\n"
    "\t-f        \talso require every reachable state to have a transition\n"
    "\t-h        \tprint this text\n"
    "\texit status: 0 holds, 1 does not hold, 2 unusable input,\n"
    "\t3 output not written, 4 out of memory\n";

// What the checker is doing, named when memory runs out. Set between the
// steps, never inside their loops.
const char* stage = "reading the command line";

void append(check_result_t& total, const check_result_t& part) {
    if (part.holds) return;
    total.holds = false;
    total.lines.insert(total.lines.end(), part.lines.begin(), part.lines.end());
}

int trouble(std::ostream& err, const std::string& message) {
    err << "velkin-check: " << message << std::endl;
    return 2;
}

}  // namespace

check_result_t run_checks(const check_request_t& request) {
    check_result_t total;
    stage = "checking refinement";
    append(total, check_refinement(*request.spec, request.process, *request.impl));
    stage = "checking deadlock freedom";
    if (request.deadlock_free) append(total, check_deadlock_free(*request.impl));
    stage = "checking the runs against the automaton";
    if (request.automaton) append(total, check_satisfaction(*request.impl, *request.automaton));
    return total;
}

namespace {

int run_command(int argc, char** argv, std::ostream& out, std::ostream& err) {
    bool deadlock_free = false;
    std::string automaton_file, process_name, initial = "I0";
    bool have_automaton = false, have_process = false;
    opterr = 0;
    optind = 1;
    int option;
    while ((option = getopt(argc, argv, ":fr:p:i:h")) != -1) {
        switch (option) {
        case 'f': deadlock_free = true; break;
        case 'r': automaton_file = optarg; have_automaton = true; break;
        case 'p': process_name = optarg; have_process = true; break;
        case 'i': initial = optarg; break;
        case 'h': out << usage_text << std::flush; return 0;
        case ':': return trouble(err, std::string("option '-") + static_cast<char>(optopt) + "' requires an argument");
        default: return trouble(err, std::string("unknown option '-") + static_cast<char>(optopt) + "'");
        }
    }
    if (!have_process) return trouble(err, "no process given (-p PROCESS); -h prints the usage");
    if (argc - optind != 2) return trouble(err, "expected the files SPEC and IMPL; -h prints the usage");
    const std::string spec_file = argv[optind], impl_file = argv[optind + 1];

    std::unique_ptr<rabin_t> automaton;
    if (have_automaton) {
        stage = "reading the automaton";
        std::string text, error;
        if (!read_whole_file(automaton_file, text, error)) return trouble(err, error);
        std::istringstream in(text);
        automaton = read_automaton(in, error);
        if (!automaton) return trouble(err, automaton_file + ": " + error);
    }

    stage = "reading the specification";
    std::string spec_text, impl_text, error;
    if (!read_whole_file(spec_file, spec_text, error)) return trouble(err, error);
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> spec = parse_specification(spec_text, spec_file, error, warnings);
    if (!spec) return trouble(err, error);
    for (const std::string& warning : warnings) err << "velkin-check: " << warning << std::endl;
    const int process = spec->process_index.find(process_name);
    if (process < 0) {
        return trouble(err, "process " + process_name + " does not occur in " + spec_file);
    }

    stage = "reading the implementation";
    if (!read_whole_file(impl_file, impl_text, error)) return trouble(err, error);
    lts_t impl;
    if (!read_implementation(impl_text, impl_file, initial, impl, error)) return trouble(err, error);

    check_request_t request;
    request.spec = spec.get();
    request.process = process;
    request.impl = &impl;
    request.automaton = automaton.get();
    request.deadlock_free = deadlock_free;
    const check_result_t result = run_checks(request);
    stage = "writing the result";
    if (result.holds) {
        out << "holds" << std::endl;
        return 0;
    }
    for (const std::string& line : result.lines) out << line << '\n';
    out.flush();
    return 1;
}

}  // namespace

int velkin_check_main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    stage = "reading the command line";
    try {
        return run_command(argc, argv, out, err);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(err, "velkin-check: ", stage);
        return 4;
    }
}
