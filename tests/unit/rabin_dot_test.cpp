#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "rabin/rabin.hpp"

namespace {

// States 0..3 over one proposition "a", two pairs; delta entries left at -1
// where the test needs a missing letter.
rabin_t make_automaton() {
    rabin_t a;
    a.state_count = 4;
    a.start = 1;
    a.pair_count = 2;
    a.ap = {"a"};
    a.delta.assign(8, -1);
    a.good.assign(2, bitset_t(4, BS_EMPTY));
    a.bad.assign(2, bitset_t(4, BS_EMPTY));
    return a;
}

void set_edge(rabin_t& a, int state, int letter, int target) {
    a.delta[static_cast<size_t>(state * a.letter_count() + letter + 1)] = target;
}

}  // namespace

TEST(RabinDot, SignatureListsPairsAscendingPlusBeforeMinus) {
    rabin_t a = make_automaton();
    a.bad[0].set(2);
    a.good[1].set(2);
    a.bad[1].set(2);
    a.good[0].set(3);
    std::ostringstream out;
    EXPECT_TRUE(a.out_gb_string(out, 2));
    EXPECT_EQ(out.str(), "\\n -0 +1 -1");
    out.str("");
    EXPECT_TRUE(a.out_gb_string(out, 3));
    EXPECT_EQ(out.str(), "\\n +0");
    out.str("");
    EXPECT_FALSE(a.out_gb_string(out, 0));
    EXPECT_EQ(out.str(), "");
}

TEST(RabinDot, RendersReachableStatesAndEntersMissingLettersAsZero) {
    rabin_t a = make_automaton();
    // 1 -other-> 3, 1 -a-> 1; 3 -a-> (missing, becomes 0); 3 -other-> 3;
    // 0 has no entries at all (both become 0); 2 is never reached.
    set_edge(a, 1, -1, 3);
    set_edge(a, 1, 0, 1);
    set_edge(a, 3, -1, 3);
    set_edge(a, 2, -1, 1);
    set_edge(a, 2, 0, 1);
    a.good[1].set(3);
    a.bad[0].set(1);
    std::ostringstream out;
    a.output_dot(out, true);
    EXPECT_EQ(out.str(),
              "digraph rabin {\n"
              "0 [label=\"0\"]\n"
              "0 -> 0 [label=\" a\"]\n"
              "0 -> 0 [label=\" other\"]\n"
              "1 [label=\"1\\n -0\", shape=box, style=filled]\n"
              "1 -> 1 [label=\" a\"]\n"
              "1 -> 3 [label=\" other\"]\n"
              "3 [label=\"3\\n +1\", shape=box]\n"
              "3 -> 0 [label=\" a\"]\n"
              "3 -> 3 [label=\" other\"]\n"
              "}\n");
    EXPECT_EQ(a.successor(3, 0), 0);  // entered by the lookup
    EXPECT_EQ(a.successor(0, -1), 0);
    EXPECT_EQ(a.successor(2, 0), 1);

    std::ostringstream all;
    a.output_dot(all, false);
    EXPECT_NE(all.str().find("2 [label=\"2\"]\n2 -> 1 [label=\" a\"]\n2 -> 1 [label=\" other\"]\n"),
              std::string::npos);
}

TEST(RabinDot, NamesThatWouldEndTheLabelAreEscaped) {
    rabin_t a;
    a.state_count = 1;
    a.ap = {"x\"y"};
    a.delta.assign(2, 0);
    std::ostringstream out;
    a.output_dot(out, true);
    EXPECT_EQ(out.str(),
              "digraph rabin {\n0 [label=\"0\", style=filled]\n0 -> 0 [label=\" x\\\"y\"]\n"
              "0 -> 0 [label=\" other\"]\n}\n");
}
