#include "check/core_weakening.hpp"

#include <algorithm>

#include "dmts/dmts.hpp"

int find_listed_process(const dmts_t& model, const std::string& name) {
    if (name == "0") return 0;
    if (!name.empty() && name[0] == '$') {
        const std::string digits = name.substr(1);
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
        const long index = std::stol(digits);
        if (index < 0 || static_cast<size_t>(index) >= model.processes.size()) return -1;
        return model.processes[static_cast<size_t>(index)]->name == name ? static_cast<int>(index) : -1;
    }
    return model.process_index.find(name);
}

std::string listed_process_name(const dmts_t& model, int process) {
    return process == 0 ? std::string("0") : model.processes[static_cast<size_t>(process)]->name;
}

listed_hyper_t listed_must(const dmts_t& model, int process, int k) {
    listed_hyper_t h;
    h.process = listed_process_name(model, process);
    for (const transition_t& t : model.processes[static_cast<size_t>(process)]->must[static_cast<size_t>(k)]) {
        h.alternatives.push_back({model.action_names[static_cast<size_t>(t.action)], listed_process_name(model, t.target)});
    }
    return h;
}

int find_must(const dmts_t& model, int process, const std::vector<listed_transition_t>& alternatives) {
    const process_t& p = *model.processes[static_cast<size_t>(process)];
    for (size_t k = 0; k < p.must.size(); ++k) {
        const alternatives_t h = p.must[k];
        if (h.size() != alternatives.size()) continue;
        bool same = true;
        for (size_t j = 0; j < h.size() && same; ++j) {
            same = model.action_names[static_cast<size_t>(h[j].action)] == alternatives[j].action &&
                   listed_process_name(model, h[j].target) == alternatives[j].target;
        }
        if (same) return static_cast<int>(k);
    }
    return -1;
}

void weaken_all_but(dmts_t& model, const std::vector<std::pair<int, int>>& kept) {
    std::vector<std::pair<int, int>> sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < model.processes.size(); ++i) {
        process_t& p = *model.processes[i];
        if (p.must.empty()) continue;
        std::vector<hypertransition_t> keep;
        for (size_t k = 0; k < p.must.size(); ++k) {
            if (std::binary_search(sorted.begin(), sorted.end(), std::make_pair(static_cast<int>(i), static_cast<int>(k)))) {
                keep.emplace_back(p.must[k].begin(), p.must[k].end());
            }
        }
        if (keep.size() == p.must.size()) continue;
        p.must.clear();
        for (const hypertransition_t& h : keep) p.must.append(alternatives_t(h));
        p.must.normalize();
    }
}

bool resolve_core(const dmts_t& model, const std::vector<listed_hyper_t>& core,
                  std::vector<std::pair<int, int>>& kept, std::string& error) {
    for (const listed_hyper_t& h : core) {
        const int process = find_listed_process(model, h.process);
        const int k = process < 0 ? -1 : find_must(model, process, h.alternatives);
        if (k < 0) {
            error = h.process + ": " + hyper_text(h.alternatives) + " is not a must hypertransition of the specification";
            return false;
        }
        kept.push_back({process, k});
    }
    return true;
}
