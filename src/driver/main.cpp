// Command-line driver: parses the options, reads the automaton when -r is
// met, parses the specification, optionally restricts it to deadlock-free
// implementations, then runs the single chosen mode.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "dmts/dmts.hpp"
#include "dmts/parser.hpp"
#include "product/product.hpp"
#include "rabin/ra_reader.hpp"
#include "rabin/rabin.hpp"
#include "support/command_failures.hpp"

// The run's top-level objects are owned by main; these globals point at them
// while they live (dmts and yyin belong to the parser's interface).
rabin_t* ra = nullptr;             // the automaton of the last -r, null when there is none
ra_reader_t* ra_reader = nullptr;  // the reader of the last -r
ra_product_t* rp = nullptr;        // the product of the chosen process with ra

namespace {

// Exit statuses beyond those of the command line and the input.
constexpr int output_lost_status = 3;
constexpr int out_of_memory_status = 4;

// What the run is building, named when memory runs out. Set between the
// steps, never inside their loops; the product's size is read only around
// its construction.
const char* stage = "reading the command line";
int product_states_so_far = -1;

int report_stage_out_of_memory() {
    char states[48] = "";
    if (product_states_so_far >= 0) std::snprintf(states, sizeof states, " (%d states so far)", product_states_so_far);
    report_out_of_memory(std::cerr, "", stage, states);
    return out_of_memory_status;
}

enum class run_mode_t { none, dot, product, solve_dot, solve, solved_product };

void print_usage(const char* program) {
    std::cerr << "usage: " << program
              << " [output option] [-r rabin_automaton_file] [dmts_file] [other options]\n"
                 "\twhere output option is (only) one of the following:\n"
                 "\t-d <process>\toutput given process in dot format\n"
                 "\t-p <process>\toutput product (process x RA) in dot format\n"
                 "\t-s <process>\tsolve the rabin game, output yes/no and implementation\n"
                 "\t-S <process>\tsame as -s, yes/no to stderr, output in dot format\n"
                 "\t-q          \toutput the rabin automaton in dot format\n"
                 "\t(all options except -d need -r ra_file to be specified)\n"
                 "\tother options are:\n"
                 "\t-f          \tfind a deadlock-free implementation\n"
                 "\tif no dmts_file is specified, Velkin reads process defs from stdin\n"
              << std::flush;
}

[[noreturn]] void fail(const std::string& message) {
    std::cerr << message << std::endl;
    std::exit(1);
}

// -r: reads the automaton at once, the head and then one block per state
// it announces. A file that gives no automaton is reported and leaves none;
// the run goes on.
void read_automaton_file(const char* file_name, std::unique_ptr<rabin_t>& automaton,
                         std::unique_ptr<ra_reader_t>& reader) {
    stage = "reading the Rabin automaton";
    std::ifstream in(file_name);
    if (!in.is_open()) fail(std::string("file '") + file_name + "' could not be open");
    automaton = std::make_unique<rabin_t>();
    reader = std::make_unique<ra_reader_t>(in, automaton.get());
    ra_reader = reader.get();
    if (ra_reader->holds_hoa()) {
        ra_reader->read_hoa();
    } else {
        ra_reader->read_head();
        for (int k = 0; k < automaton->state_count && ra_reader->error().empty(); ++k) ra_reader->read_state();
    }
    if (!ra_reader->complete()) {
        const std::string& error = ra_reader->error();
        std::cerr << "error reading Rabin automaton" << (error.empty() ? "" : ": " + error) << std::endl;
        automaton.reset();
        ra_reader->rabin = nullptr;
    }
    ra = automaton.get();
    ra_reader->in = nullptr;  // the file closes here; the reader is not used again
}

}  // namespace

// The try covers the whole run: memory that runs out anywhere ends it with
// one line, after the unwinding has released what the run held.
int main(int argc, char** argv) try {
    std::ios::sync_with_stdio(false);
    report_broken_pipes();

    bool output_option_seen = false;
    std::string process_name;
    run_mode_t mode = run_mode_t::none;
    bool deadlock_free = false;
    bool minimise = false;
    std::unique_ptr<rabin_t> automaton;
    std::unique_ptr<ra_reader_t> reader;

    opterr = 0;
    int option;
    while ((option = getopt(argc, argv, ":r:d:p:qhs:S:D:fm")) != -1) {
        switch (option) {
        case ':':
            fail(std::string("option '-") + static_cast<char>(optopt) + "' requires an argument");
        case '?':
            fail(std::string("unknown option '-") + static_cast<char>(optopt) + "'");
        case 'd': case 'p': case 's': case 'S': case 'D': case 'q':
            if (output_option_seen) fail("use only one output option at a time");
            output_option_seen = true;
            if (option == 'q') break;
            process_name = optarg;
            mode = option == 'd' ? run_mode_t::dot
                 : option == 'p' ? run_mode_t::product
                 : option == 'S' ? run_mode_t::solve_dot
                 : option == 's' ? run_mode_t::solve
                                 : run_mode_t::solved_product;
            break;
        case 'f': deadlock_free = true; break;
        case 'm': minimise = true; break;
        case 'h': print_usage(argv[0]); return 0;
        case 'r': read_automaton_file(optarg, automaton, reader); break;
        }
    }

    if (optind < argc) {
        yyin = std::fopen(argv[optind], "r");
        if (!yyin) fail(std::string("cannot open '") + argv[optind] + "'");
    }

    stage = "parsing the specification";
    auto model = std::make_unique<dmts_t>();
    dmts = model.get();
    yyerr = &std::cerr;
    yyparse();  // after a syntax error the run goes on with what was built
    if (yyin) std::fclose(yyin);
    yyin = nullptr;

    stage = "restricting the specification to deadlock-free implementations";
    if (deadlock_free) model->disallow_deadlocks();
    stage = "writing the output";

    std::unique_ptr<ra_product_t> product;
    if (!output_option_seen) {
        // nothing to print
    } else if (process_name.empty()) {
        if (automaton) automaton->output_dot(std::cout, true);
        else std::cerr << "no rabin automaton specified" << std::endl;
    } else {
        int index = model->get_process(process_name.c_str());
        const process_t& chosen = *model->processes[index];
        // A process the restriction never saw (it was created by this very
        // lookup) is undefined and so has no deadlock-free implementation either.
        if (chosen.deadlocked || (deadlock_free && !chosen.defined)) {
            std::cerr << "process " << process_name << " has no deadlock-free implementations" << std::endl;
        } else if (mode == run_mode_t::dot) {
            model->output_dot(index, std::cout);
        } else if (!automaton) {
            std::cerr << "no rabin automaton specified" << std::endl;
        } else {
            stage = "building the product";
            product_states_so_far = 0;
            product = std::make_unique<ra_product_t>(automaton.get(), model.get(), index);
            product->init_actions();
            try {
                product->make_product(std::cerr);
            } catch (const std::bad_alloc&) {
                product_states_so_far = product->state_count;
                throw;
            }
            product_states_so_far = product->state_count;
            product->set_gb();
            product_states_so_far = -1;
            rp = product.get();
            if (mode == run_mode_t::product) {
                stage = "writing the output";
                product->output_dot(std::cout);
            } else {
                stage = "solving the game";
                product->solve();
                stage = "minimising the implementation";
                if (minimise) product->minimize_impl();
                stage = "writing the output";
                if (mode == run_mode_t::solve) product->output_impl(false, std::cout, std::cerr);
                else if (mode == run_mode_t::solve_dot) product->output_impl(true, std::cout, std::cerr);
                else product->output_dot(std::cout);
            }
        }
    }

    // Release in the documented order: the model, the product, the
    // automaton, the reader.
    dmts = nullptr;
    model.reset();
    rp = nullptr;
    product.reset();
    ra = nullptr;
    automaton.reset();
    ra_reader = nullptr;
    reader.reset();
    if (!output_reached(std::cout, std::cerr)) return output_lost_status;
    return 0;
} catch (const std::bad_alloc&) {
    return report_stage_out_of_memory();
}
