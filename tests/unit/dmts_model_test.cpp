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
