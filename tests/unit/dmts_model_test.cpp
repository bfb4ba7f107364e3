#include <gtest/gtest.h>

#include "dmts/dmts.hpp"

TEST(DmtsModel, IndicesAreAssignedInOrderOfFirstAppearance) {
    dmts_t model;
    ASSERT_EQ(model.process_count, 1);
    EXPECT_EQ(model.processes[0]->name, "nil");
    EXPECT_TRUE(model.processes[0]->defined);
    // nil is not in the name index: looking it up creates a new process.
    EXPECT_EQ(model.get_process("nil"), 1);
    EXPECT_EQ(model.get_process("P"), 2);
    EXPECT_EQ(model.get_process("P"), 2);
    EXPECT_EQ(model.add_anonymous_process(), 3);
    EXPECT_EQ(model.processes[3]->name, "$3");
    // Anonymous processes are not in the index either.
    EXPECT_EQ(model.get_process("$3"), 4);
    EXPECT_EQ(model.process_count, 5);
    EXPECT_FALSE(model.processes[4]->defined);
    EXPECT_EQ(model.get_action("b"), 0);
    EXPECT_EQ(model.get_action("a"), 1);
    EXPECT_EQ(model.get_action("b"), 0);
    EXPECT_EQ(model.action_names[1], "a");
}

TEST(DmtsModel, HypertransitionsAreOrderedLexicographicallyWithPrefixFirst) {
    process_t p("P");
    p.must.insert({{0, 3}});
    p.must.insert({{0, 2}, {1, 1}});
    p.must.insert({{0, 2}});
    p.must.insert({{0, 2}});
    ASSERT_EQ(p.must.size(), 3u);
    auto it = p.must.begin();
    EXPECT_EQ(*it++, (hypertransition_t{{0, 2}}));
    EXPECT_EQ(*it++, (hypertransition_t{{0, 2}, {1, 1}}));
    EXPECT_EQ(*it++, (hypertransition_t{{0, 3}}));
}

TEST(DmtsModel, RedefinitionEmptiesMayAndMustButKeepsPendingGroup) {
    dmts_t model;
    int p = model.get_process("P");
    model.open_definition(p);
    model.proxy()->may.insert({0, 0});
    model.proxy()->must.insert({{0, 0}});
    model.proxy()->pending_must.insert({0, 0});
    EXPECT_EQ(model.close_definition(), p);
    testing::internal::CaptureStderr();
    model.open_definition(p);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: redefinition of 'P'\n");
    EXPECT_TRUE(model.processes[p]->may.empty());
    EXPECT_TRUE(model.processes[p]->must.empty());
    EXPECT_EQ(model.processes[p]->pending_must.size(), 1u);
    EXPECT_TRUE(model.processes[p]->defined);
}

TEST(DmtsModel, AnyNameCanBeLookedUpAndFirstDefinitionIsSilent) {
    dmts_t model;
    // Names the language could never produce still get their own processes.
    const int lower = model.get_process("lower case");
    const int quote = model.get_process("a\"b");
    const int empty = model.get_process("");
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(quote, 2);
    EXPECT_EQ(empty, 3);
    EXPECT_EQ(model.get_process("a\"b"), quote);
    EXPECT_EQ(model.process_count, 4);
    ASSERT_EQ(model.processes.size(), 4u);
    EXPECT_EQ(model.processes[quote]->name, "a\"b");
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(model.processes[i]->defined);
        EXPECT_FALSE(model.processes[i]->deadlocked);
        EXPECT_TRUE(model.processes[i]->may.empty());
    }
    testing::internal::CaptureStderr();
    model.open_definition(lower);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(model.processes[lower]->defined);
    EXPECT_EQ(model.close_definition(), lower);
    EXPECT_TRUE(model.def_stack.empty());
}
