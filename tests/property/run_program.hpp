// Runs a program with arguments and collects its standard output, standard
// error and exit status; the property tests drive the real velkin binary
// through it.
#pragma once

#include <string>
#include <vector>

struct program_run_t {
    int status = -1;  // exit status, or 128 + signal number
    std::string out;
    std::string err;
};

program_run_t run_program(const std::vector<std::string>& argv, const std::string& scratch_dir);
