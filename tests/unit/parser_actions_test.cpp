#include <gtest/gtest.h>

#include "parser_test_support.hpp"

namespace {

using may_t = transition_set_t;
using must_t = hypertransition_set_t;

const process_t& named(const dmts_t& model, const char* name) {
    static const process_t missing("<missing>");
    const int index = model.process_index.find(name);
    return index < 0 ? missing : *model.processes[index];
}

int index_of(const dmts_t& model, const char* name) { return model.process_index.find(name); }

int action_of(const dmts_t& model, const char* name) { return model.action_index.find(name); }

// Compares the may and must sets of processes of two models by name; both
// models must number actions and processes alike for this to be meaningful.
void expect_same_model(const std::string& left, const std::string& right) {
    parse_outcome_t a = parse_text(left);
    parse_outcome_t b = parse_text(right);
    ASSERT_EQ(a.result, 0) << left;
    ASSERT_EQ(b.result, 0) << right;
    ASSERT_EQ(a.model->processes.size(), b.model->processes.size()) << left << " vs " << right;
    for (std::size_t i = 0; i < a.model->processes.size(); ++i) {
        const process_t& p = *a.model->processes[i];
        const process_t& q = *b.model->processes[i];
        EXPECT_EQ(p.name, q.name) << left << " vs " << right;
        EXPECT_EQ(p.defined, q.defined) << p.name;
        EXPECT_EQ(p.may, q.may) << p.name << ": " << left << " vs " << right;
        EXPECT_EQ(p.must, q.must) << p.name << ": " << left << " vs " << right;
    }
    EXPECT_EQ(a.model->action_names, b.model->action_names);
}

}  // namespace

TEST(ParserActions, InlineProcessesAreNumberedWhenTheTokenAfterTheActionIsRead) {
    parse_outcome_t out = parse_text("P = a b Q");
    ASSERT_EQ(out.result, 0);
    const dmts_t& m = *out.model;
    ASSERT_EQ(m.processes.size(), 4u);
    EXPECT_EQ(index_of(m, "P"), 1);
    EXPECT_EQ(m.processes[2]->name, "$2");
    EXPECT_EQ(index_of(m, "Q"), 3);
    EXPECT_EQ(m.action_names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(m.processes[1]->may, (may_t{{0, 2}}));
    EXPECT_EQ(m.processes[1]->must, (must_t{{{0, 2}}}));
    EXPECT_TRUE(m.processes[2]->defined);
    EXPECT_EQ(m.processes[2]->may, (may_t{{1, 3}}));
    EXPECT_EQ(m.processes[2]->must, (must_t{{{1, 3}}}));
    EXPECT_FALSE(m.processes[3]->defined);
    EXPECT_TRUE(m.processes[3]->may.empty());
    EXPECT_TRUE(m.def_stack.empty());
    // Anonymous processes never enter the name index.
    EXPECT_EQ(m.process_index.size(), 2u);
}

TEST(ParserActions, AlternativesBuildMayAndMustSets) {
    {
        parse_outcome_t out = parse_text("P = a Q + a Q");
        const process_t& p = named(*out.model, "P");
        EXPECT_EQ(p.may, (may_t{{0, 2}}));
        EXPECT_EQ(p.must, (must_t{{{0, 2}}}));
    }
    {
        // R is numbered 3 after Q; the brace group is the larger hypertransition.
        parse_outcome_t out = parse_text("P = {a Q | b R} + a Q");
        ASSERT_EQ(out.result, 0);
        const process_t& p = named(*out.model, "P");
        EXPECT_EQ(p.may, (may_t{{0, 2}, {1, 3}}));
        ASSERT_EQ(p.must.size(), 2u);
        EXPECT_EQ(*p.must.begin(), (hypertransition_t{{0, 2}}));
        EXPECT_EQ(*std::next(p.must.begin()), (hypertransition_t{{0, 2}, {1, 3}}));
    }
    {
        // Alternatives are kept sorted and without duplicates whatever their
        // written order: b is action 0, R process 2, a action 1, Q process 3.
        parse_outcome_t out = parse_text("P = {b R | a Q | b R | a 0}");
        ASSERT_EQ(out.result, 0);
        const process_t& p = named(*out.model, "P");
        EXPECT_EQ(p.may, (may_t{{0, 2}, {1, 0}, {1, 3}}));
        EXPECT_EQ(p.must, (must_t{{{0, 2}, {1, 0}, {1, 3}}}));
    }
    {
        parse_outcome_t out = parse_text("P = ?a Q + ?a 0");
        const process_t& p = named(*out.model, "P");
        EXPECT_EQ(p.may, (may_t{{0, 0}, {0, 2}}));
        EXPECT_TRUE(p.must.empty());
    }
}

TEST(ParserActions, EquivalentNotations) {
    expect_same_model("P = ?a Q + a Q", "P = a Q");
    expect_same_model("P = {a Q}", "P = a Q");
    expect_same_model("P = (a Q + ?b R)", "P = a Q + ?b R");
    expect_same_model("P=a.Q", "P = a Q");
    expect_same_model("P = a (b Q)", "P = a b Q");
}

TEST(ParserActions, NestedGroupsUseTheirOwnPendingSets) {
    // P 1, a 0, inline 2, b 1, Q 3, c 2, R 4, d 3, S 5.
    parse_outcome_t out = parse_text("P = {a {b Q | c R} | d S}");
    ASSERT_EQ(out.result, 0);
    const dmts_t& m = *out.model;
    ASSERT_EQ(m.processes.size(), 6u);
    EXPECT_EQ(m.processes[2]->name, "$2");
    EXPECT_EQ(m.processes[2]->must, (must_t{{{1, 3}, {2, 4}}}));
    EXPECT_EQ(m.processes[2]->may, (may_t{{1, 3}, {2, 4}}));
    EXPECT_EQ(m.processes[1]->must, (must_t{{{0, 2}, {3, 5}}}));
    EXPECT_EQ(m.processes[1]->may, (may_t{{0, 2}, {3, 5}}));
    EXPECT_TRUE(m.def_stack.empty());
}

TEST(ParserActions, InlineSumsAndTheirOwner) {
    // In "a P + b Q" the sum belongs to the outer body; in "a (b Q + c R)" to the inline process.
    parse_outcome_t flat = parse_text("P = a b Q + c R");
    ASSERT_EQ(flat.result, 0);
    // P 1, a 0, $2, b 1, Q 3, c 2, R 4
    EXPECT_EQ(flat.model->processes[1]->may, (may_t{{0, 2}, {2, 4}}));
    EXPECT_EQ(flat.model->processes[2]->may, (may_t{{1, 3}}));
    parse_outcome_t grouped = parse_text("P = a (b Q + ?c R)");
    ASSERT_EQ(grouped.result, 0);
    EXPECT_EQ(grouped.model->processes[1]->may, (may_t{{0, 2}}));
    EXPECT_EQ(grouped.model->processes[2]->may, (may_t{{1, 3}, {2, 4}}));
    EXPECT_EQ(grouped.model->processes[2]->must, (must_t{{{1, 3}}}));
}

TEST(ParserActions, RedefinitionWarnsAndReplacesTheBody) {
    parse_outcome_t out = parse_text("P = a Q\nR = c P\nP = b R");
    ASSERT_EQ(out.result, 0);
    EXPECT_EQ(out.errors, "Warning: redefinition of 'P'\n");
    const dmts_t& m = *out.model;
    EXPECT_EQ(index_of(m, "Q"), 2);
    EXPECT_FALSE(named(m, "Q").defined);
    // a 0, c 1, b 2; R is 3.
    EXPECT_EQ(named(m, "P").may, (may_t{{2, 3}}));
    EXPECT_EQ(named(m, "P").must, (must_t{{{2, 3}}}));
    EXPECT_EQ(named(m, "R").may, (may_t{{1, 1}}));
}

TEST(ParserActions, ActionsThatRunBeforeASyntaxError) {
    {
        // The anonymous process after an action name exists before the error.
        parse_outcome_t out = parse_text("P = a )");
        ASSERT_EQ(out.result, 1);
        const dmts_t& m = *out.model;
        ASSERT_EQ(m.processes.size(), 3u);
        EXPECT_TRUE(m.processes[1]->defined);
        EXPECT_TRUE(m.processes[1]->may.empty());
        EXPECT_EQ(m.processes[2]->name, "$2");
        EXPECT_TRUE(m.processes[2]->defined);
        EXPECT_TRUE(m.processes[2]->may.empty());
        EXPECT_EQ(m.def_stack.size(), 2u);
        EXPECT_EQ(action_of(m, "a"), 0);
    }
    {
        // The group read so far is already a hypertransition.
        parse_outcome_t out = parse_text("P = b S + {a Q | c R d");
        ASSERT_EQ(out.result, 1);
        EXPECT_EQ(out.errors, "syntax error, unexpected action name, expecting '}'\n");
        const process_t& p = named(*out.model, "P");
        // b 0, S 2, a 1, Q 3, c 2, R 4; d never reached the model.
        EXPECT_EQ(p.may, (may_t{{0, 2}, {1, 3}, {2, 4}}));
        EXPECT_EQ(p.must, (must_t{{{0, 2}}, {{1, 3}, {2, 4}}}));
        EXPECT_EQ(action_of(*out.model, "d"), -1);
    }
    {
        // A complete definition is closed before the offending token.
        parse_outcome_t out = parse_text("P = a Q + ?b R )");
        ASSERT_EQ(out.result, 1);
        EXPECT_TRUE(out.model->def_stack.empty());
        EXPECT_EQ(named(*out.model, "P").may, (may_t{{0, 2}, {1, 3}}));
    }
    {
        // A redefinition cut short keeps only what was read of the new body.
        parse_outcome_t out = parse_text("P = a Q P = b R + (");
        ASSERT_EQ(out.result, 1);
        EXPECT_EQ(out.errors,
                  "Warning: redefinition of 'P'\n"
                  "syntax error, unexpected '(', expecting action name or '?' or '{'\n");
        EXPECT_EQ(named(*out.model, "P").may, (may_t{{1, 3}}));
        EXPECT_EQ(out.model->def_stack.size(), 1u);
    }
    {
        // The process name after which '=' is missing is still looked up.
        parse_outcome_t out = parse_text("P = a Q S 0");
        ASSERT_EQ(out.result, 1);
        EXPECT_EQ(index_of(*out.model, "S"), 3);
        EXPECT_FALSE(named(*out.model, "S").defined);
    }
}
