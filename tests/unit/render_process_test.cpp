#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "dmts/dmts.hpp"

namespace {

// A model whose processes are defined by name; actions are looked up by name too.
struct model_builder_t {
    dmts_t model;
    int process(const char* name) { return model.get_process(name); }
    int define(const char* name) {
        int index = process(name);
        model.processes[index]->defined = true;
        return index;
    }
    transition_t trans(const char* action, int target) { return {model.get_action(action), target}; }
    void may(int source, transition_t t) { model.processes[source]->may.insert(t); }
    void must(int source, hypertransition_t hyper) {
        for (const transition_t& t : hyper) may(source, t);
        std::sort(hyper.begin(), hyper.end());
        model.processes[source]->must.insert(hyper);
    }
    std::string dot(int start) {
        std::ostringstream out;
        model.output_dot(start, out);
        return out.str();
    }
};

}  // namespace

TEST(RenderProcess, ChoiceIsDrawnThroughAPointNodeAndMayOnlyEdgesDashed) {
    model_builder_t b;
    int p = b.define("P");
    int q = b.define("Q");
    int r = b.define("R");
    b.must(p, {b.trans("a", q), b.trans("b", r)});
    b.may(p, b.trans("c", p));
    // A single-alternative must transition is solid and not repeated dashed.
    b.must(q, {b.trans("a", r)});
    EXPECT_EQ(b.dot(p),
              "digraph DMTS {\n"
              "\"P\" -> _0[arrowhead=none]\n"
              "_0[shape=point]\n"
              "_0 -> \"Q\" [label=\"a\"]\n"
              "_0 -> \"R\" [label=\"b\"]\n"
              "\"P\" -> \"P\" [style=dashed,label=\"c\"]\n"
              "\"Q\" -> \"R\" [label=\"a\"]\n"
              "}\n");
}

TEST(RenderProcess, PointNodesAreNumberedAcrossTheWholeGraph) {
    model_builder_t b;
    int p = b.define("P");
    int q = b.define("Q");
    b.must(p, {b.trans("a", q), b.trans("b", q)});
    b.must(p, {b.trans("c", q), b.trans("c", 0)});  // same action, two targets: still a point node
    b.must(q, {b.trans("a", 0), b.trans("b", 0)});
    const std::string dot = b.dot(p);
    EXPECT_EQ(dot,
              "digraph DMTS {\n"
              "\"P\" -> _0[arrowhead=none]\n"
              "_0[shape=point]\n"
              "_0 -> \"Q\" [label=\"a\"]\n"
              "_0 -> \"Q\" [label=\"b\"]\n"
              "\"P\" -> _1[arrowhead=none]\n"
              "_1[shape=point]\n"
              "_1 -> \"nil\" [label=\"c\"]\n"
              "_1 -> \"Q\" [label=\"c\"]\n"
              "\"Q\" -> _2[arrowhead=none]\n"
              "_2[shape=point]\n"
              "_2 -> \"nil\" [label=\"a\"]\n"
              "_2 -> \"nil\" [label=\"b\"]\n"
              "\"nil\" [label=\"\"]\n"
              "}\n");
    // A second graph starts counting again from 0.
    EXPECT_EQ(b.dot(q),
              "digraph DMTS {\n"
              "\"Q\" -> _0[arrowhead=none]\n"
              "_0[shape=point]\n"
              "_0 -> \"nil\" [label=\"a\"]\n"
              "_0 -> \"nil\" [label=\"b\"]\n"
              "\"nil\" [label=\"\"]\n"
              "}\n");

    // The per-process call advances the caller's counter; must-only drops the
    // dashed edges and the dashed-only processes.
    int counter = 7;
    b.may(p, b.trans("d", p));
    {
        std::ostringstream out;
        b.model.processes[p]->output_dot(&b.model.processes, &b.model.action_names, counter, true, out);
        EXPECT_EQ(out.str().find("dashed"), std::string::npos);
        EXPECT_NE(out.str().find("_8 -> \"Q\" [label=\"c\"]\n"), std::string::npos);
    }
    EXPECT_EQ(counter, 9);
    int loop_only = b.define("L");
    b.may(loop_only, b.trans("a", loop_only));
    {
        std::ostringstream out;
        b.model.processes[loop_only]->output_dot(&b.model.processes, &b.model.action_names, counter, true, out);
        EXPECT_EQ(out.str(), "");
    }
}

TEST(RenderProcess, WalkIsBreadthFirstInMayOrderAndDrawsEachProcessOnce) {
    model_builder_t b;
    int p = b.define("P");
    int late = b.define("Late");   // index 2, reached by action b
    int early = b.define("Early"); // index 3, reached by action a
    int deep = b.define("Deep");
    b.may(p, b.trans("a", early));  // action 0
    b.may(p, b.trans("b", late));   // action 1
    b.may(early, b.trans("a", deep));
    b.may(late, b.trans("a", early));
    b.may(deep, b.trans("a", p));
    b.may(deep, b.trans("a", deep));
    b.must(late, {b.trans("b", late)});
    EXPECT_EQ(b.dot(p),
              "digraph DMTS {\n"
              "\"P\" -> \"Early\" [style=dashed,label=\"a\"]\n"
              "\"P\" -> \"Late\" [style=dashed,label=\"b\"]\n"
              "\"Early\" -> \"Deep\" [style=dashed,label=\"a\"]\n"
              "\"Late\" -> \"Late\" [label=\"b\"]\n"
              "\"Late\" -> \"Early\" [style=dashed,label=\"a\"]\n"
              "\"Deep\" -> \"P\" [style=dashed,label=\"a\"]\n"
              "\"Deep\" -> \"Deep\" [style=dashed,label=\"a\"]\n"
              "}\n");

    // The diagnostic listing walks in the same order.
    std::ostringstream listing;
    b.model.draw(p, listing);
    EXPECT_EQ(listing.str(),
              "P: P\n\tmay:\n\t\ta.Early\n\t\tb.Late\n\tmust:\n"
              "P: Early\n\tmay:\n\t\ta.Deep\n\tmust:\n"
              "P: Late\n\tmay:\n\t\ta.Early\n\t\tb.Late\n\tmust:\n\t\t| b.Late | \n"
              "P: Deep\n\tmay:\n\t\ta.P\n\t\ta.Deep\n\tmust:\n");
}

TEST(RenderProcess, SpecialProcessesAndNamesNeedingQuotes) {
    model_builder_t b;
    // Undefined start: one bare node line, quoted only when DOT needs it.
    EXPECT_EQ(b.dot(b.process("Q")), "digraph DMTS {\nQ [label=\"Q\\nundefined\"]\n}\n");
    EXPECT_EQ(b.dot(b.process("Node")), "digraph DMTS {\n\"Node\" [label=\"Node\\nundefined\"]\n}\n");
    EXPECT_EQ(b.dot(b.process("gRaPh")), "digraph DMTS {\n\"gRaPh\" [label=\"gRaPh\\nundefined\"]\n}\n");
    EXPECT_EQ(b.dot(b.process("a\"b")), "digraph DMTS {\n\"a\\\"b\" [label=\"a\\\"b\\nundefined\"]\n}\n");
    EXPECT_EQ(b.dot(b.process("x\\y")), "digraph DMTS {\n\"x\\\\y\" [label=\"x\\\\y\\nundefined\"]\n}\n");
    EXPECT_EQ(b.dot(b.process("9 lives")), "digraph DMTS {\n\"9 lives\" [label=\"9 lives\\nundefined\"]\n}\n");

    // A defined process with no transitions writes nothing; nil and anonymous
    // processes get an unlabelled node line; quoted names are escaped in edges.
    int odd = b.define("Odd\"Name");
    int anon = b.model.add_anonymous_process();
    b.model.processes[anon]->defined = true;
    int quiet = b.define("Quiet");
    b.must(odd, {b.trans("a", anon)});
    b.may(anon, b.trans("b", quiet));
    b.may(anon, b.trans("c", 0));
    b.may(anon, b.trans("d", b.process("x\\y")));
    EXPECT_EQ(b.dot(odd),
              "digraph DMTS {\n"
              "\"Odd\\\"Name\" -> \"$" + std::to_string(anon) + "\" [label=\"a\"]\n"
              "\"$" + std::to_string(anon) + "\" [label=\"\"]\n"
              "\"$" + std::to_string(anon) + "\" -> \"Quiet\" [style=dashed,label=\"b\"]\n"
              "\"$" + std::to_string(anon) + "\" -> \"nil\" [style=dashed,label=\"c\"]\n"
              "\"$" + std::to_string(anon) + "\" -> \"x\\\\y\" [style=dashed,label=\"d\"]\n"
              "\"nil\" [label=\"\"]\n"
              "\"x\\\\y\" [label=\"x\\\\y\\nundefined\"]\n"
              "}\n");

    std::ostringstream listing;
    b.model.draw(b.process("Q"), listing);
    b.model.draw(quiet, listing);
    EXPECT_EQ(listing.str(), "P: Q undefined\nP: Quiet\n\tmay:\n\tmust:\n");
}

TEST(RenderProcess, MayTransitionInSeveralHypertransitionsIsNeverDashed) {
    model_builder_t b;
    int p = b.define("P");
    int q = b.define("Q");
    transition_t shared = b.trans("a", q);
    b.must(p, {shared});
    b.must(p, {shared, b.trans("b", q)});
    b.may(p, b.trans("c", q));
    EXPECT_EQ(b.dot(p),
              "digraph DMTS {\n"
              "\"P\" -> \"Q\" [label=\"a\"]\n"
              "\"P\" -> _0[arrowhead=none]\n"
              "_0[shape=point]\n"
              "_0 -> \"Q\" [label=\"a\"]\n"
              "_0 -> \"Q\" [label=\"b\"]\n"
              "\"P\" -> \"Q\" [style=dashed,label=\"c\"]\n"
              "}\n");
}
