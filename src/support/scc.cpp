#include "support/scc.hpp"

#include <algorithm>
#include <utility>

scc_result_t strongly_connected_components(const std::vector<std::vector<int>>& successors) {
    const std::size_t n = successors.size();
    scc_result_t r;
    r.component.assign(n, -1);
    std::vector<int> order(n, -1), low(n, 0);
    std::vector<char> on_stack(n, 0);
    std::vector<int> stack;
    std::vector<std::pair<int, std::size_t>> calls;  // (vertex, next successor to look at)
    int counter = 0;
    for (std::size_t root = 0; root < n; ++root) {
        if (order[root] >= 0) continue;
        order[root] = low[root] = counter++;
        stack.push_back(static_cast<int>(root));
        on_stack[root] = 1;
        calls.push_back({static_cast<int>(root), 0});
        while (!calls.empty()) {
            const auto v = static_cast<std::size_t>(calls.back().first);
            std::size_t& next = calls.back().second;
            if (next < successors[v].size()) {
                const auto w = static_cast<std::size_t>(successors[v][next++]);
                if (order[w] < 0) {
                    order[w] = low[w] = counter++;
                    stack.push_back(static_cast<int>(w));
                    on_stack[w] = 1;
                    calls.push_back({static_cast<int>(w), 0});
                } else if (on_stack[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            calls.pop_back();
            if (!calls.empty()) {
                const auto parent = static_cast<std::size_t>(calls.back().first);
                low[parent] = std::min(low[parent], low[v]);
            }
            if (low[v] != order[v]) continue;
            const int c = static_cast<int>(r.cyclic.size());
            std::size_t size = 0;
            int w;
            do {
                w = stack.back();
                stack.pop_back();
                on_stack[static_cast<std::size_t>(w)] = 0;
                r.component[static_cast<std::size_t>(w)] = c;
                ++size;
            } while (w != static_cast<int>(v));
            const bool self_loop =
                std::find(successors[v].begin(), successors[v].end(), static_cast<int>(v)) != successors[v].end();
            r.cyclic.push_back(size > 1 || self_loop);
        }
    }
    return r;
}
