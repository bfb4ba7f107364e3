#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rabin/rabin.hpp"

namespace {

struct read_result_t {
    std::unique_ptr<rabin_t> automaton;
    std::string error;
};

read_result_t read_text(const std::string& text) {
    std::istringstream in(text);
    read_result_t result;
    result.automaton = read_rabin_automaton(in, result.error);
    return result;
}

std::vector<uint32_t> members(const bitset_t& s) {
    std::vector<uint32_t> out;
    for (uint32_t i = 0; i < s.capacity(); ++i)
        if (s.test(i)) out.push_back(i);
    return out;
}

// The two-state automaton over a and b: four successors per block.
const char* const two_states =
    "DRA v2 explicit\n"
    "States: 2\n"
    "Acceptance-Pairs: 1\n"
    "Start: 0\n"
    "AP: 2 \"a\" \"b\"\n"
    "---\n"
    "State: 0\n"
    "Acc-Sig: +0\n"
    "1\n0\n1\n1\n"
    "State: 1\n"
    "Acc-Sig: -0\n"
    "0 1 1 0\n";

}  // namespace

TEST(RabinReader, ReadsHeadBlocksAndKeepsOnlySingleLetters) {
    read_result_t r = read_text(two_states);
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.state_count, 2);
    EXPECT_EQ(a.start, 0);
    EXPECT_EQ(a.pair_count, 1);
    EXPECT_EQ(a.ap, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(a.letter_count(), 3);
    ASSERT_EQ(a.delta.size(), 6u);
    EXPECT_EQ(a.successor(0, -1), 1);
    EXPECT_EQ(a.successor(0, 0), 0);
    EXPECT_EQ(a.successor(0, 1), 1);  // the fourth successor (a and b) is dropped
    EXPECT_EQ(a.successor(1, -1), 0);
    EXPECT_EQ(a.successor(1, 0), 1);
    EXPECT_EQ(a.successor(1, 1), 1);
    ASSERT_EQ(a.good.size(), 1u);
    ASSERT_EQ(a.bad.size(), 1u);
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{0}));
    EXPECT_EQ(members(a.bad[0]), (std::vector<uint32_t>{1}));
    EXPECT_EQ(a.good[0].capacity(), 2u);
}

TEST(RabinReader, HeadKeywordsInAnyOrderWithRepeatsBannersAndUnreadableNumbers) {
    read_result_t r = read_text(
        "AP: 1 \"p\" trailing words\n"
        "# a comment line\n"
        "\n"
        "Start: 2\n"
        "Start: x\n"            // unreadable: keeps 2
        "States: 3\n"
        "States: zero\n"        // unreadable: keeps 3
        "Acceptance-Pairs: 5\n"
        "Acceptance-Pairs: 2\n" // a repeat overwrites
        "Comment: States: 9\n"  // not a keyword line
        "AP: 2 \"q\" r\n"       // appends; an unquoted word loses its outer characters
        "  States: 7\n"         // leading blanks: the first word is still the keyword
        "States: 3\n"
        "--- whatever follows\n"
        "s 0\n\n0 0 0 0 0 0 0 0\n"
        "s 1\n\n1 1 1 1 1 1 1 1\n"
        "s 2\n\n2 2 2 2 2 2 2 2\n");
    ASSERT_TRUE(r.automaton) << r.error;
    EXPECT_EQ(r.automaton->state_count, 3);
    EXPECT_EQ(r.automaton->start, 2);
    EXPECT_EQ(r.automaton->pair_count, 2);
    EXPECT_EQ(r.automaton->ap, (std::vector<std::string>{"p", "q", ""}));
    EXPECT_EQ(r.automaton->successor(2, 2), 2);

    read_result_t names = read_text("States: 1\nAcceptance-Pairs: 0\nStart: 0\nAP: 2 abc x\n-\n0 0\n\n0 0 0 0\n");
    ASSERT_TRUE(names.automaton) << names.error;
    EXPECT_EQ(names.automaton->ap, (std::vector<std::string>{"b", ""}));
}

TEST(RabinReader, SignatureItemsSignsAndSpacing) {
    read_result_t r = read_text(
        "States: 4\nAcceptance-Pairs: 3\nStart: 0\nAP: 0\n---\n"
        "State: 0\nAcc-Sig: +0 -1 +2\n0\n"
        "State: 1\nAcc-Sig: + 1 *0\n1\n"       // "+ 1" is one item; any sign but + is bad
        "State: 2\nAcc-Sig:\n2\n"              // no items
        "State: 3\nAcc-Sig: +0-2 x\n3\n");     // items may touch; reading stops at a failure
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{0, 3}));
    EXPECT_EQ(members(a.bad[0]), (std::vector<uint32_t>{1}));
    EXPECT_EQ(members(a.good[1]), (std::vector<uint32_t>{1}));
    EXPECT_EQ(members(a.bad[1]), (std::vector<uint32_t>{0}));
    EXPECT_EQ(members(a.good[2]), (std::vector<uint32_t>{0}));
    EXPECT_EQ(members(a.bad[2]), (std::vector<uint32_t>{3}));
}

TEST(RabinReader, BlocksInAnyOrderRepeatedAndMissing) {
    // Three blocks for three states, but state 1 twice and state 2 never.
    read_result_t r = read_text(
        "States: 3\nAcceptance-Pairs: 2\nStart: 1\nAP: 1 \"a\"\n---\n"
        "State: 1\nAcc-Sig: +0\n0 1\n"
        "State: 0\nAcc-Sig: -1\n2 2\n"
        "State: 1\nAcc-Sig: +1\n1 0\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.successor(1, -1), 1);  // the later block overwrites the transitions
    EXPECT_EQ(a.successor(1, 0), 0);
    EXPECT_EQ(a.successor(0, -1), 2);
    EXPECT_EQ(a.successor(2, -1), -1);  // no block: no transitions
    EXPECT_EQ(a.successor(2, 0), -1);
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{1}));  // and adds to the sets
    EXPECT_EQ(members(a.good[1]), (std::vector<uint32_t>{1}));
    EXPECT_EQ(members(a.bad[1]), (std::vector<uint32_t>{0}));
    EXPECT_TRUE(a.bad[0].is_empty());
}

TEST(RabinReader, SuccessorsSpreadOverWhiteSpaceAndLetterPositions) {
    // Three propositions: eight successors, kept at positions 0, 1, 2 and 4.
    read_result_t r = read_text(
        "States: 8\nAcceptance-Pairs: 0\nStart: 0\nAP: 3 \"a\" \"b\" \"c\"\n---\n"
        "State: 0\nAcc-Sig:\n0 1\n\n 2\t3\n4 5\n6 7 rest of the line is dropped 9 9\n"
        "State: 1\nAcc-Sig:\n7 6 5 4 3 2 1 0\n"
        "State: 2\nAcc-Sig:\n+1 +1 +1 +1 +1 +1 +1 +1\n"
        "State: 3\nAcc-Sig:\n0\n0\n0\n0\n0\n0\n0\n0\n"
        "State: 4\nAcc-Sig:\n0 0 0 0 0 0 0 0\n"
        "State: 5\nAcc-Sig:\n0 0 0 0 0 0 0 0\n"
        "State: 6\nAcc-Sig:\n0 0 0 0 0 0 0 0\n"
        "State: 7\nAcc-Sig:\n0 0 0 0 0 0 0 0\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.successor(0, -1), 0);
    EXPECT_EQ(a.successor(0, 0), 1);
    EXPECT_EQ(a.successor(0, 1), 2);
    EXPECT_EQ(a.successor(0, 2), 4);
    EXPECT_EQ(a.successor(1, -1), 7);
    EXPECT_EQ(a.successor(1, 0), 6);
    EXPECT_EQ(a.successor(1, 1), 5);
    EXPECT_EQ(a.successor(1, 2), 3);
    EXPECT_EQ(a.successor(2, 2), 1);

    // No propositions: one successor per block, under the other letter.
    read_result_t none = read_text("States: 2\nAcceptance-Pairs: 0\nStart: 1\n---\nx 0\ny\n1\nx 1\ny\n0\n");
    ASSERT_TRUE(none.automaton) << none.error;
    EXPECT_EQ(none.automaton->letter_count(), 1);
    EXPECT_EQ(none.automaton->successor(0, -1), 1);
    EXPECT_EQ(none.automaton->successor(1, -1), 0);
}

TEST(RabinReader, CarriageReturnsAreWhiteSpace) {
    std::string crlf;
    for (const char* c = two_states; *c; ++c) {
        if (*c == '\n') crlf += '\r';
        crlf += *c;
    }
    read_result_t r = read_text(crlf);
    ASSERT_TRUE(r.automaton) << r.error;
    read_result_t plain = read_text(two_states);
    EXPECT_EQ(r.automaton->ap, plain.automaton->ap);
    EXPECT_EQ(r.automaton->delta, plain.automaton->delta);
    EXPECT_TRUE(r.automaton->good[0].equals(plain.automaton->good[0]));
    EXPECT_TRUE(r.automaton->bad[0].equals(plain.automaton->bad[0]));
}

TEST(RabinReader, HeadWithoutStatesGivesTheBareError) {
    for (const char* text : {"", "DRA v2\n---\n", "States: 0\nAcceptance-Pairs: 1\nStart: 0\n---\n",
                             "States: x\nStart: 0\n---\n", "States: 3\nStates: 0\n---\n",
                             // a malformed AP: line does not matter when there are no states
                             "AP: 2 \"a\"\nStates: 0\n---\n"}) {
        SCOPED_TRACE(text);
        read_result_t r = read_text(text);
        EXPECT_FALSE(r.automaton);
        EXPECT_EQ(r.error, "");
    }
}

TEST(RabinReader, MalformedFilesAreRejectedWithTheirLine) {
    const std::string head = "States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 1 \"a\"\n---\n";  // lines 1-5
    auto names = [](int count) {
        std::string words;
        for (int k = 0; k < count; ++k) words += " \"p" + std::to_string(k) + "\"";
        return words;
    };
    struct case_t {
        std::string text;
        std::string error;
    };
    const std::vector<case_t> cases = {
        {"States: -2\nAcceptance-Pairs: 1\nStart: 0\n---\n", "line 1: negative number of states -2"},
        {"States: 2\nStart: 0\n---\n", "line 3: no Acceptance-Pairs: line in the head"},
        {"States: 2\nStart: 0\n", "line 3: no Acceptance-Pairs: line in the head"},
        {"States: 2\nAcceptance-Pairs: -1\nStart: 0\n---\n", "line 2: negative number of acceptance pairs -1"},
        {"States: 2\nAcceptance-Pairs: 65\nStart: 0\n---\n",
         "line 2: 65 acceptance pairs, at most 64 are supported"},
        {"States: 2\nAcceptance-Pairs: 1\n---\n", "line 3: no Start: line in the head"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: 2\n---\n", "line 3: start state 2 outside 0..1"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: -1\n---\n", "line 3: start state -1 outside 0..1"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: -1\n---\n", "line 4: negative AP: count -1"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 31\n---\n",
         "line 4: 31 atomic propositions, at most 30 are supported"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 20" + names(20) + "\nAP: 11\n---\n",
         "line 5: 31 atomic propositions, at most 30 are supported"},
        {"States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 3 \"a\" \"b\"\n---\n",
         "line 4: AP: count 3 but only 2 names"},
        {head, "line 6: end of file where the block of state 1 of 2 should start"},
        {head + "State: 0\nAcc-Sig: +0\n0 1\n", "line 9: end of file where the block of state 2 of 2 should start"},
        {head + "State:\nAcc-Sig:\n0 0\n", "line 6: state line without a state number"},
        {head + "State: one\n", "line 6: state line without a state number"},
        {head + "\nState: 0\nAcc-Sig:\n0 0\n", "line 6: state line without a state number"},
        {head + "State: 2\nAcc-Sig:\n0 0\n", "line 6: state 2 outside 0..1"},
        {head + "State: -1\nAcc-Sig:\n0 0\n", "line 6: state -1 outside 0..1"},
        {head + "State: 0\n", "line 7: end of file where the signature line of state 0 should be"},
        {head + "State: 0\nAcc-Sig: +0 -1\n0 0\n", "line 7: acceptance pair 1 outside 0..0"},
        {head + "State: 0\nAcc-Sig: +-1\n0 0\n", "line 7: acceptance pair -1 outside 0..0"},
        {"States: 1\nAcceptance-Pairs: 0\nStart: 0\n---\nState: 0\nAcc-Sig: +0\n0\n",
         "line 6: acceptance pair 0 but no pairs declared"},
        {head + "State: 0\nAcc-Sig: +0\n0\n", "line 9: end of file before successor 1 of state 0"},
        {head + "State: 0\nAcc-Sig: +0\n0", "line 8: end of file before successor 1 of state 0"},
        {head + "State: 0\nAcc-Sig: +0\n0\nState: 1\n", "line 9: successor 1 of state 0 is not a number: 'State:'"},
        {head + "State: 0\nAcc-Sig: +0\n0 x1\n", "line 8: successor 1 of state 0 is not a number: 'x1'"},
        {head + "State: 0\nAcc-Sig: +0\n0\n\n\n2\n", "line 11: successor 1 of state 0 is 2, outside 0..1"},
        {head + "State: 0\nAcc-Sig: +0\n-1 0\n", "line 8: successor 0 of state 0 is -1, outside 0..1"},
        {head + "State: 0\nAcc-Sig: +0\n0 99999999999\n", "line 8: successor 1 of state 0 is out of the int range"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.text);
        read_result_t r = read_text(c.text);
        EXPECT_FALSE(r.automaton);
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(RabinReader, HugeCountsFailOnTheMissingBlocksWithoutAllocating) {
    // Two billion states and 30 propositions claimed by a few bytes: the reader
    // must stop at the first missing successor, not size anything by the head.
    read_result_t r = read_text(
        "States: 2000000000\nAcceptance-Pairs: 64\nStart: 1999999999\nAP: 30 " +
        [] {
            std::string names;
            for (int k = 0; k < 30; ++k) names += "\"p" + std::to_string(k) + "\" ";
            return names;
        }() +
        "\n---\nState: 1999999999\nAcc-Sig: +63 -0\n0 1 2\n");
    EXPECT_FALSE(r.automaton);
    EXPECT_EQ(r.error, "line 9: end of file before successor 3 of state 1999999999");
}

TEST(RabinReader, ManyPropositionsAreReadStreaming) {
    // 2^18 successors in one block; only 19 of them are kept.
    std::string text = "States: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 18";
    for (int k = 0; k < 18; ++k) text += " \"p" + std::to_string(k) + "\"";
    text += "\n---\nState: 0\nAcc-Sig: +0\n";
    for (int k = 0; k < (1 << 18); ++k) text += (k & (k - 1)) == 0 ? "1\n" : "0\n";
    text += "State: 1\nAcc-Sig: -0\n";
    for (int k = 0; k < (1 << 18); ++k) text += k == 0 ? "0 " : "1 ";
    read_result_t r = read_text(text);
    ASSERT_TRUE(r.automaton) << r.error;
    EXPECT_EQ(r.automaton->letter_count(), 19);
    for (int letter = -1; letter < 18; ++letter) {
        EXPECT_EQ(r.automaton->successor(0, letter), 1) << letter;
        EXPECT_EQ(r.automaton->successor(1, letter), letter == -1 ? 0 : 1) << letter;
    }
}

TEST(RabinReader, FailingReadsEndTheInputAndQuotedBytesStayPrintable) {
    // A directory opens as a file stream, but its buffer throws on the first read.
    std::ifstream directory(".");
    std::string error = "unset";
    EXPECT_FALSE(read_rabin_automaton(directory, error));
    EXPECT_EQ(error, "");

    read_result_t r = read_text("States: 1\nAcceptance-Pairs: 0\nStart: 0\n---\nS 0\nA\n\xff\x01\n");
    EXPECT_FALSE(r.automaton);
    EXPECT_EQ(r.error, "line 7: successor 0 of state 0 is not a number: '\\xff\\x01'");
}
