// Strongly connected components of a graph given by successor lists, by
// Tarjan's algorithm with an explicit stack (the graphs come from the input
// formula, so recursion depth must not follow their size).
#pragma once

#include <vector>

struct scc_result_t {
    std::vector<int> component;  // per vertex
    std::vector<char> cyclic;    // per component: more than one vertex, or a self-loop
};

scc_result_t strongly_connected_components(const std::vector<std::vector<int>>& successors);
