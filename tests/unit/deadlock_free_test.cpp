#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "dmts/dmts.hpp"
#include "model_sets_support.hpp"

namespace {

void add_may(dmts_t& model, int source, int action, int target) {
    model.processes[source]->may.insert({action, target});
}

// Adds the hypertransition and, as the parser does unless told otherwise,
// each alternative to may.
void add_must(dmts_t& model, int source, hypertransition_t hyper, bool also_may = true) {
    std::sort(hyper.begin(), hyper.end());
    hyper.erase(std::unique(hyper.begin(), hyper.end()), hyper.end());
    if (also_may)
        for (const transition_t& t : hyper) add_may(model, source, t.action, t.target);
    model.processes[source]->must.insert(hyper);
}

int define(dmts_t& model, const std::string& name) {
    int index = model.get_process(name.c_str());
    model.processes[index]->defined = true;
    return index;
}

// What the restriction must produce, computed the slow and obvious way: sweep
// until nothing changes, removing every live process that lacks a may
// transition into the live set or has a hypertransition without an
// alternative into it; then prune and add the forced choices.
struct reference_result_t {
    std::vector<bool> marked;
    std::vector<std::set<transition_t>> may;
    std::vector<std::set<hypertransition_t>> must;
};

reference_result_t reference_restriction(const dmts_t& model) {
    const size_t n = model.processes.size();
    std::vector<bool> live(n, true);
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < n; ++i) {
            if (!live[i]) continue;
            const process_t& p = *model.processes[i];
            bool ok = std::any_of(p.may.begin(), p.may.end(), [&](const transition_t& t) { return live[t.target]; });
            for (const alternatives_t h : p.must)
                ok = ok && std::any_of(h.begin(), h.end(), [&](const transition_t& t) { return live[t.target]; });
            if (!ok) {
                live[i] = false;
                changed = true;
            }
        }
    }
    reference_result_t result;
    for (size_t i = 0; i < n; ++i) {
        const process_t& p = *model.processes[i];
        result.marked.push_back(!live[i]);
        std::set<transition_t> may;
        for (const transition_t& t : p.may)
            if (live[t.target]) may.insert(t);
        std::set<hypertransition_t> must;
        for (const alternatives_t h : p.must) {
            hypertransition_t kept;
            for (const transition_t& t : h)
                if (live[t.target]) kept.push_back(t);
            must.insert(kept);
        }
        if (live[i] && must.empty()) must.insert(hypertransition_t(may.begin(), may.end()));
        result.may.push_back(may);
        result.must.push_back(must);
    }
    return result;
}

// Restricts the model and compares every process with the reference.
void restrict_and_compare(dmts_t& model, int round) {
    const reference_result_t expected = reference_restriction(model);
    model.disallow_deadlocks();
    for (size_t i = 0; i < model.processes.size(); ++i) {
        const process_t& p = *model.processes[i];
        ASSERT_EQ(p.deadlocked, expected.marked[i]) << "round " << round << " process " << i;
        ASSERT_EQ(transitions_of(p.may), transitions_of(expected.may[i])) << "round " << round << " process " << i;
        ASSERT_EQ(hypertransitions_of(p.must), hypertransitions_of(expected.must[i]))
            << "round " << round << " process " << i;
    }
}

}  // namespace

TEST(DeadlockFree, CountingFixpointAgreesWithRepeatedSweepsOnRandomModels) {
    std::mt19937 random(20261208);
    size_t models_with_marked = 0, models_with_live = 0;
    for (int round = 0; round < 3000; ++round) {
        dmts_t model;
        const int named = 1 + static_cast<int>(random() % 14);
        const int actions = 1 + static_cast<int>(random() % 3);
        const int density = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < named; ++i) {
            // About one process in six stays undefined (only referred to).
            if (random() % 6 == 0) model.get_process(("U" + std::to_string(i)).c_str());
            else define(model, "P" + std::to_string(i));
        }
        const int n = static_cast<int>(model.processes.size());
        auto random_transition = [&]() {
            return transition_t{static_cast<int>(random() % actions), static_cast<int>(random() % n)};
        };
        for (int i = 1; i < n; ++i) {
            if (!model.processes[i]->defined) continue;
            const int may_count = static_cast<int>(random() % (density + 1));
            for (int k = 0; k < may_count; ++k) {
                transition_t t = random_transition();
                add_may(model, i, t.action, t.target);
            }
            const int must_count = static_cast<int>(random() % (density + 1));
            for (int k = 0; k < must_count; ++k) {
                hypertransition_t h(1 + random() % 3);
                for (transition_t& t : h) t = random_transition();
                // Now and then a must alternative without its may transition,
                // which only the must side can prune.
                add_must(model, i, h, random() % 5 != 0);
            }
        }
        ASSERT_NO_FATAL_FAILURE(restrict_and_compare(model, round));
        bool any_marked_named = false, any_live = false;
        for (int i = 0; i < n; ++i) {
            const process_t& p = *model.processes[i];
            if (i > 0 && p.defined && p.deadlocked) any_marked_named = true;
            if (!p.deadlocked) any_live = true;
        }
        models_with_marked += any_marked_named;
        models_with_live += any_live;
    }
    // The generator must exercise both outcomes often, or the comparison says little.
    EXPECT_GT(models_with_marked, 500u);
    EXPECT_GT(models_with_live, 500u);
}

// Chains C0 -> C1 -> ... -> U into an undefined process: the marking moves
// one link per step, as far as the chain is long, and a few random extra
// transitions stop it at some link or let it through.
TEST(DeadlockFree, LongMarkingCascadesAgreeWithRepeatedSweeps) {
    std::mt19937 random(7);
    int fully_marked = 0, stopped = 0;
    for (int round = 0; round < 400; ++round) {
        dmts_t model;
        const int length = 4 + static_cast<int>(random() % 40);
        std::vector<int> chain;
        for (int i = 0; i < length; ++i) chain.push_back(define(model, "C" + std::to_string(i)));
        const int undefined = model.get_process("U");
        const int loop = define(model, "L");
        add_may(model, loop, 0, loop);
        for (int i = 0; i < length; ++i) {
            const int next = i + 1 < length ? chain[static_cast<size_t>(i) + 1] : undefined;
            if (random() % 2) add_may(model, chain[static_cast<size_t>(i)], 0, next);
            else add_must(model, chain[static_cast<size_t>(i)], {{0, next}});
        }
        const int n = static_cast<int>(model.processes.size());
        for (int k = static_cast<int>(random() % 3); k > 0; --k) {
            const int source = chain[random() % static_cast<size_t>(length)];
            const int target = static_cast<int>(random() % static_cast<unsigned>(n));
            if (random() % 2) add_may(model, source, 1, target);
            else add_must(model, source, {{1, target}, {2, chain[random() % static_cast<size_t>(length)]}});
        }
        ASSERT_NO_FATAL_FAILURE(restrict_and_compare(model, round));
        (model.processes[chain.front()]->deadlocked ? fully_marked : stopped) += 1;
    }
    EXPECT_GT(fully_marked, 100);
    EXPECT_GT(stopped, 50);
}

TEST(DeadlockFree, LoopsSurviveAndGainTheirForcedChoice) {
    dmts_t model;
    int loop = define(model, "Loop");
    int choose = define(model, "Choose");
    int undefined = model.get_process("Undefined");
    add_may(model, loop, 0, loop);
    add_may(model, choose, 0, loop);
    add_may(model, choose, 1, choose);
    add_may(model, choose, 2, 0);          // into nil: pruned
    add_may(model, choose, 3, undefined);  // into an undefined process: pruned
    model.disallow_deadlocks();
    EXPECT_TRUE(model.processes[0]->deadlocked);
    EXPECT_TRUE(model.processes[undefined]->deadlocked);
    EXPECT_FALSE(model.processes[loop]->deadlocked);
    EXPECT_FALSE(model.processes[choose]->deadlocked);
    EXPECT_EQ(model.processes[loop]->must, (hypertransition_set_t{{{0, loop}}}));
    EXPECT_EQ(model.processes[choose]->may, (transition_set_t{{0, loop}, {1, choose}}));
    EXPECT_EQ(model.processes[choose]->must, (hypertransition_set_t{{{0, loop}, {1, choose}}}));
    // nil keeps no hypertransition: the forced choice is only for live processes.
    EXPECT_TRUE(model.processes[0]->must.empty());
}

TEST(DeadlockFree, MarksSpreadThroughMustChainsAndMayOnlyDeadEnds) {
    dmts_t model;
    int a = define(model, "A");
    int b = define(model, "B");
    int c = define(model, "C");
    int d = define(model, "D");
    int e = define(model, "E");
    int f = define(model, "F");
    add_must(model, a, {{0, 0}, {1, 0}});     // every alternative into nil
    add_must(model, b, {{0, a}});             // into a marked process
    add_may(model, b, 1, f);                  // B may also go to a live process
    add_must(model, c, {{0, b}});
    add_may(model, c, 1, c);                  // a live may loop does not save C
    add_may(model, d, 0, c);                  // may only, all into marked processes
    add_may(model, d, 1, b);
    add_must(model, e, {{0, d}, {1, e}});     // one alternative stays live
    add_must(model, f, {{0, f}});
    add_may(model, f, 1, 0);                  // may to nil and to a live process
    model.disallow_deadlocks();
    for (int marked : {a, b, c, d}) EXPECT_TRUE(model.processes[marked]->deadlocked) << marked;
    EXPECT_FALSE(model.processes[e]->deadlocked);
    EXPECT_FALSE(model.processes[f]->deadlocked);
    EXPECT_EQ(model.processes[e]->must, (hypertransition_set_t{{{1, e}}}));
    EXPECT_EQ(model.processes[f]->may, (transition_set_t{{0, f}}));
    // A marked process keeps the hypertransition that emptied as the empty one,
    // and its may transitions into live processes.
    EXPECT_EQ(model.processes[a]->must, (hypertransition_set_t{{}}));
    EXPECT_EQ(model.processes[b]->may, (transition_set_t{{1, f}}));
    EXPECT_EQ(model.processes[b]->must, (hypertransition_set_t{{}}));
    EXPECT_TRUE(model.processes[c]->may.empty());

    // A must transition into nil marks its owner even though it may loop.
    dmts_t second;
    int g = define(second, "G");
    add_must(second, g, {{0, 0}});
    add_may(second, g, 1, g);
    second.disallow_deadlocks();
    EXPECT_TRUE(second.processes[g]->deadlocked);
}

TEST(DeadlockFree, HypertransitionsThatBecomeEqualAreMerged) {
    dmts_t model;
    int p = define(model, "P");
    int q = define(model, "Q");
    int dead = define(model, "Dead");
    add_must(model, p, {{0, q}, {1, dead}});
    add_must(model, p, {{0, q}, {2, dead}});
    add_must(model, p, {{0, q}, {3, q}});
    add_must(model, q, {{0, q}});
    // Two actions into the same marked target: the owner's counter reaches 0
    // after that one target is marked.
    add_must(model, dead, {{0, 0}, {1, 0}});
    model.disallow_deadlocks();
    EXPECT_FALSE(model.processes[p]->deadlocked);
    EXPECT_TRUE(model.processes[dead]->deadlocked);
    EXPECT_EQ(model.processes[p]->must, (hypertransition_set_t{{{0, q}}, {{0, q}, {3, q}}}));
    EXPECT_EQ(model.processes[p]->may, (transition_set_t{{0, q}, {3, q}}));
}

TEST(DeadlockFree, LongChainsAreHandledWithoutDeepRecursion) {
    // 100000 processes each with a must transition to the next, the last into
    // nil: every one is marked, and a live cycle next to it is untouched.
    dmts_t model;
    const int length = 100000;
    std::vector<int> chain;
    for (int i = 0; i < length; ++i) chain.push_back(define(model, "C" + std::to_string(i)));
    for (int i = 0; i + 1 < length; ++i) add_must(model, chain[i], {{0, chain[i + 1]}});
    add_must(model, chain.back(), {{0, 0}});
    int x = define(model, "X");
    int y = define(model, "Y");
    add_must(model, x, {{0, y}});
    add_may(model, x, 1, chain.front());
    add_may(model, y, 0, x);
    model.disallow_deadlocks();
    size_t marked = 0;
    for (int index : chain) marked += model.processes[index]->deadlocked;
    EXPECT_EQ(marked, static_cast<size_t>(length));
    EXPECT_FALSE(model.processes[x]->deadlocked);
    EXPECT_FALSE(model.processes[y]->deadlocked);
    EXPECT_EQ(model.processes[x]->may, (transition_set_t{{0, y}}));
    EXPECT_EQ(model.processes[y]->must, (hypertransition_set_t{{{0, x}}}));
}
