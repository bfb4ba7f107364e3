// The outcome of one check: whether the property holds and, when it does
// not, the counterexample as printable lines (the first states the failure,
// the others show the path that leads to it).
#pragma once

#include <string>
#include <vector>

struct check_result_t {
    bool holds = true;
    std::vector<std::string> lines;
};
