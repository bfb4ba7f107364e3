#include <gtest/gtest.h>

#include "product_test_support.hpp"

using namespace product_test;

namespace {

std::string rendered(const ra_product_t& product) {
    std::ostringstream out;
    product.output_dot(out);
    return out.str();
}

}  // namespace

TEST(ProductDot, UnsolvedGraphShowsSignaturesShapesAndEscapedNames) {
    dmts_t model;
    rabin_t a = automaton(2, 1, {"a"});
    fill_successors(a, 0);
    set_successor(a, 0, 0, 1);
    a.good[0].set(1);
    a.bad[0].set(0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int w = model.get_process("W\"\\");
    add_must(model, p, {{"a", q}, {"b", w}});
    auto product = build(a, model, p);
    EXPECT_EQ(rendered(*product),
              "digraph product {\n"
              "0 [label=\"0, P\\n -0\", shape=box]\n"
              "1 [label=\"0, P, f0\\n -0\", shape=diamond]\n"
              "2 [label=\"1, Q\\n +0\", shape=box]\n"
              "3 [label=\"0, W\\\"\\\\\\n -0\", shape=box]\n"
              "0 -> 1 [label=\"T\"]\n"
              "1 -> 2 [label=\"a\"]\n"
              "1 -> 3 [label=\"b\"]\n"
              "}\n");
}

TEST(ProductDot, StatesAfterAMissingEntryHaveNoSignature) {
    dmts_t model;
    rabin_t a = automaton(1, 1, {"a"});
    set_successor(a, 0, 0, 0);  // letter a only; the other letter is missing
    a.bad[0].set(0);
    int p = defined_process(model, "P");
    add_must(model, p, {{"b", p}});
    std::string errors;
    auto product = build(a, model, p, &errors);
    EXPECT_EQ(errors, "FATAL ERROR\nFATAL ERROR\n");
    EXPECT_EQ(rendered(*product),
              "digraph product {\n"
              "0 [label=\"0, P\\n -0\", shape=box]\n"
              "1 [label=\"-1, P\", shape=box]\n"
              "0 -> 1 [label=\"b\"]\n"
              "1 -> 1 [label=\"b\"]\n"
              "}\n");
}

TEST(ProductDot, SolvedGraphRanksFillsAndDashesNonPreferredAlternatives) {
    dmts_t model;
    rabin_t a = automaton(1, 0, {});
    fill_successors(a, 0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    int s = defined_process(model, "S");
    add_must(model, p, {{"a", q}, {"b", r}, {"c", s}});
    add_must(model, p, {{"a", q}, {"d", s}});
    auto product = build(a, model, p);
    ASSERT_EQ(product->state_count, 6);
    // A hand-made verdict: choice node 1 wins with successors of ranks 1 and
    // 2 and a losing one; choice node 5 loses.
    product->win = std::make_unique<bitset_t>(6, BS_EMPTY);
    for (uint32_t n : {0u, 1u, 2u, 3u}) product->win->set(n);
    product->rank = {5, 4, 1, 2, 0, 0};
    product->best_rank = {0, 1, 0, 0, 0, 0};
    EXPECT_EQ(rendered(*product),
              "digraph product {\n"
              "0 [label=\"TS5 0, P\", shape=box, style=filled]\n"
              "1 [label=\"TS4 0, P, f0\", shape=diamond, style=filled]\n"
              "2 [label=\"TS1 0, Q\", shape=box, style=filled]\n"
              "3 [label=\"TS2 0, R\", shape=box, style=filled]\n"
              "4 [label=\"0, S\", shape=box]\n"
              "5 [label=\"0, P, f1\", shape=diamond]\n"
              "0 -> 1 [label=\"T\"]\n"
              "0 -> 5 [label=\"T\"]\n"
              "1 -> 2 [label=\"a\"]\n"
              "1 -> 3 [label=\"b\", style=dashed]\n"
              "1 -> 4 [label=\"c\", style=dashed]\n"
              "5 -> 2 [label=\"a\"]\n"
              "5 -> 4 [label=\"d\"]\n"
              "}\n");
    // Two successors sharing the least rank are both preferred.
    product->rank[3] = 1;
    std::string both = rendered(*product);
    EXPECT_NE(both.find("1 -> 3 [label=\"b\"]\n"), std::string::npos);
    EXPECT_NE(both.find("1 -> 4 [label=\"c\", style=dashed]\n"), std::string::npos);
}
