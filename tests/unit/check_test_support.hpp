// Helpers for the checker's unit tests: models and systems from text, and
// automata written in the automaton file format.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "check/check_input.hpp"
#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"

inline std::unique_ptr<dmts_t> spec_from(const std::string& text) {
    std::string error;
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> model = parse_specification(text, "SPEC", error, warnings);
    EXPECT_TRUE(model) << error;
    return model;
}

inline int process_of(const dmts_t& model, const std::string& name) {
    auto it = model.process_index.find(name);
    EXPECT_TRUE(it != model.process_index.end()) << name;
    return it == model.process_index.end() ? 0 : it->second;
}

inline lts_t impl_from(const std::string& text, const std::string& initial = "I0") {
    lts_t lts;
    std::string error;
    EXPECT_TRUE(read_implementation(text, "IMPL", initial, lts, error)) << error;
    return lts;
}

inline std::unique_ptr<rabin_t> automaton_from(const std::string& text) {
    std::istringstream in(text);
    std::string error;
    std::unique_ptr<rabin_t> automaton = read_automaton(in, error);
    EXPECT_TRUE(automaton) << error;
    return automaton;
}
