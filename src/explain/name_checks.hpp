// Mistakes in names that make an answer trivially true or false without a
// word from velkin: a misspelt process, a target that is never defined, a
// proposition that no reachable action carries.
#pragma once

#include <string>
#include <vector>

struct dmts_t;
struct rabin_t;

// One message per finding, without a prefix. source names the specification.
// process is the name given on the command line; model is the parsed
// specification before any restriction.
std::vector<std::string> name_check_messages(const dmts_t& model, const std::string& process,
                                             const rabin_t& automaton, const std::string& source);
