// Matching listed hypertransitions against a model, and weakening a model to
// a core: every must hypertransition outside the kept ones becomes may
// transitions only (its alternatives are may transitions already).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "check/strategy_listing.hpp"

struct dmts_t;

// The index of the process written as name ("0" for nil, "$N" for an inline
// process, otherwise a defined or referred-to name), or -1.
int find_listed_process(const dmts_t& model, const std::string& name);

// How a target is written in listings: "0" for nil, otherwise its name.
std::string listed_process_name(const dmts_t& model, int process);

// The listed form of must hypertransition k of a process.
listed_hyper_t listed_must(const dmts_t& model, int process, int k);

// The position of the listed hypertransition in its process's must set, or -1.
int find_must(const dmts_t& model, int process, const std::vector<listed_transition_t>& alternatives);

// Removes every must hypertransition but the kept (process, position) pairs.
void weaken_all_but(dmts_t& model, const std::vector<std::pair<int, int>>& kept);

// Resolves core members into (process, position) pairs; false with error set
// when one is not a must hypertransition of the model.
bool resolve_core(const dmts_t& model, const std::vector<listed_hyper_t>& core,
                  std::vector<std::pair<int, int>>& kept, std::string& error);
