#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <random>

#include <string>
#include <utility>
#include <vector>

#include "dmts/grammar.hpp"
#include "dmts/scanner.hpp"
#include "parser_test_support.hpp"

namespace {

using token_list_t = std::vector<std::pair<int, std::string>>;

struct scan_outcome_t {
    token_list_t tokens;
    int fatal_status = 0;
    std::string errors;
};

// Scans `in` to its end (or to the scanner's fatal stop); name tokens carry
// their text, other tokens an empty string.
scan_outcome_t scan_file(FILE* in) {
    scan_outcome_t outcome;
    front_end_sandbox_t sandbox;
    scanner_reset();
    yyin = in;
    try {
        for (int token; (token = yylex()) != token_end;) {
            bool named = token == token_process_name || token == token_action_name;
            outcome.tokens.emplace_back(token, named ? yylval : "");
        }
        // The end of input repeats.
        EXPECT_EQ(yylex(), token_end);
    } catch (const scanner_fatal_error_t& fatal) {
        outcome.fatal_status = fatal.status;
    }
    outcome.errors = sandbox.errors();
    yyin = nullptr;
    scanner_reset();
    return outcome;
}

scan_outcome_t scan_text(const std::string& text) {
    FILE* in = file_with(text);
    if (!in) return {};
    scan_outcome_t outcome = scan_file(in);
    std::fclose(in);
    return outcome;
}

const std::pair<int, std::string> nil{token_nil, ""};
std::pair<int, std::string> action(const std::string& text) { return {token_action_name, text}; }
std::pair<int, std::string> process(const std::string& text) { return {token_process_name, text}; }
std::pair<int, std::string> punct(int token) { return {token, ""}; }

}  // namespace

TEST(ScannerTokens, LongestMatchAndTokenBoundaries) {
    EXPECT_EQ(scan_text("00").tokens, (token_list_t{nil, nil}));
    EXPECT_EQ(scan_text("0a").tokens, (token_list_t{nil, action("a")}));
    EXPECT_EQ(scan_text("a1_B").tokens, (token_list_t{action("a1_B")}));
    EXPECT_EQ(scan_text("A1_b").tokens, (token_list_t{process("A1_b")}));
    EXPECT_EQ(scan_text("aQ").tokens, (token_list_t{action("aQ")}));
    EXPECT_EQ(scan_text("a0").tokens, (token_list_t{action("a0")}));
    EXPECT_EQ(scan_text("nil").tokens, (token_list_t{action("nil")}));
    EXPECT_EQ(scan_text("P=a.Q").tokens,
              (token_list_t{process("P"), punct(token_equals), action("a"), process("Q")}));
    EXPECT_EQ(scan_text("{a|b}(+?)").tokens,
              (token_list_t{punct(token_open_brace), action("a"), punct(token_bar), action("b"),
                            punct(token_close_brace), punct(token_open_paren), punct(token_plus),
                            punct(token_question), punct(token_close_paren)}));
    EXPECT_EQ(scan_text(" \t\n...\n\n").tokens, token_list_t{});
    EXPECT_EQ(scan_text("").tokens, token_list_t{});
}

TEST(ScannerTokens, NamesOfAnyLengthAcrossBufferRefills) {
    // Longer than several read blocks, with a boundary-sensitive tail.
    std::string name = "x";
    for (int i = 0; name.size() < 1000000; ++i) name += static_cast<char>('a' + i % 26);
    name += "_9Z";
    scan_outcome_t out = scan_text("P = " + name + " 0 " + "Q" + name);
    ASSERT_EQ(out.tokens.size(), 5u);
    EXPECT_EQ(out.tokens[2], action(name));
    EXPECT_EQ(out.tokens[3], nil);
    EXPECT_EQ(out.tokens[4], process("Q" + name));

    // Tokens of every length around a block boundary of 64 KiB.
    for (std::size_t pad = 65530; pad <= 65540; ++pad) {
        std::string text(pad, ' ');
        text += "Ab0.cd";
        EXPECT_EQ(scan_text(text).tokens, (token_list_t{process("Ab0"), action("cd")})) << pad;
    }
}

TEST(ScannerTokens, UndefinedCharactersStopWithStatusOne) {
    const std::pair<std::string, std::string> cases[] = {
        {"P = a Q;", ";"}, {"P = a Q\r\n", "\r"}, {std::string("P\0Q", 3), std::string(1, '\0')},
        {"P = \x80", "\x80"}, {"1a", "1"}, {"_a", "_"}, {"P = a-Q", "-"}, {"\f", "\f"}, {"\v", "\v"},
        {"a,b", ","}, {"P:", ":"}, {"*", "*"}, {"/", "/"}, {"\xff", "\xff"},
    };
    for (const auto& [text, byte] : cases) {
        scan_outcome_t out = scan_text(text);
        EXPECT_EQ(out.fatal_status, 1) << text;
        EXPECT_EQ(out.errors, "undefined character '" + byte + "'\n") << text;
    }
    // Tokens before the undefined character were delivered, none after it.
    scan_outcome_t out = scan_text("P = a Q ; R");
    EXPECT_EQ(out.tokens, (token_list_t{process("P"), punct(token_equals), action("a"), process("Q")}));
}

TEST(ScannerTokens, ReadErrorStopsWithStatusTwo) {
    // A directory opens as a stream, but reading it fails.
    const std::string dir = ::testing::TempDir() + "velkin_scanner_dir";
    ::mkdir(dir.c_str(), 0700);
    FILE* in = std::fopen(dir.c_str(), "r");
    ASSERT_NE(in, nullptr);
    scan_outcome_t out = scan_file(in);
    std::fclose(in);
    ::rmdir(dir.c_str());
    EXPECT_EQ(out.fatal_status, 2);
    EXPECT_EQ(out.errors, "error reading specification: Is a directory\n");
    EXPECT_TRUE(out.tokens.empty());
}

// A parse after scanner_reset starts from the new input, not the old buffer.
TEST(ScannerTokens, ResetStartsAFreshInput) {
    parse_outcome_t first = parse_text("P = a Q + b");
    EXPECT_EQ(first.result, 1);
    parse_outcome_t second = parse_text("R = c S");
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(second.errors, "");
    EXPECT_EQ(second.model->processes.size(), 3u);
    EXPECT_EQ(second.model->action_names, (std::vector<std::string>{"c"}));
}

namespace {
int last_fatal_status = 0;
void record_fatal(int status) { last_fatal_status = status; }
}  // namespace

// A fatal handler that returns anyway must not make the cut-off text pass as
// a valid specification.
TEST(ScannerTokens, ReturningFatalHandlerStillEndsTheParse) {
    dmts_t model;
    FILE* in = file_with("P = a Q ; R = b S");
    ASSERT_NE(in, nullptr);
    int result;
    {
        front_end_sandbox_t sandbox;
        scanner_fatal = record_fatal;
        scanner_reset();
        yyin = in;
        dmts = &model;
        result = yyparse();
        EXPECT_EQ(sandbox.errors(), "undefined character ';'\n");
    }
    dmts = nullptr;
    yyin = nullptr;
    scanner_reset();
    std::fclose(in);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(last_fatal_status, 1);
    EXPECT_EQ(model.process_index.count("R"), 0u);
}

namespace {

// What the look-ahead hook was given: each name, with the number of process
// names yylex had returned when the hook saw it, and the definition hints.
std::vector<std::pair<std::string, std::size_t>> names_seen_ahead;
std::vector<std::pair<std::string, bool>> hints_seen_ahead;
std::size_t process_names_returned = 0;

void record_name_ahead(std::string_view name, bool defines) {
    names_seen_ahead.emplace_back(name, process_names_returned);
    hints_seen_ahead.emplace_back(name, defines);
}

scan_outcome_t scan_text_looking_ahead(const std::string& text) {
    names_seen_ahead.clear();
    hints_seen_ahead.clear();
    process_names_returned = 0;
    FILE* in = file_with(text);
    if (!in) return {};
    front_end_sandbox_t sandbox;
    scanner_reset();
    scanner_name_ahead = record_name_ahead;
    yyin = in;
    scan_outcome_t outcome;
    try {
        for (int token; (token = yylex()) != token_end;) {
            bool named = token == token_process_name || token == token_action_name;
            outcome.tokens.emplace_back(token, named ? yylval : "");
            if (token == token_process_name) ++process_names_returned;
        }
    } catch (const scanner_fatal_error_t& fatal) {
        outcome.fatal_status = fatal.status;
    }
    scanner_name_ahead = nullptr;
    outcome.errors = sandbox.errors();
    yyin = nullptr;
    scanner_reset();
    std::fclose(in);
    return outcome;
}

}  // namespace

TEST(ScannerTokens, LookAheadPassesProcessNamesBeforeTheirTurnAndChangesNoToken) {
    // Several read blocks of random tokens, so that names straddle block ends.
    std::mt19937 random(5);
    const char* const pieces[] = {"P", "Queue", "a", "send", "0", "=", "+", "?", "{", "|", "}", "(", ")", " ", "\n", "."};
    std::string text;
    while (text.size() < 300000) {
        std::string piece = pieces[random() % 16];
        if (std::isalpha(static_cast<unsigned char>(piece[0]))) piece += std::to_string(random() % 1000) + " ";
        text += piece;
    }
    text += "\n";
    const scan_outcome_t plain = scan_text(text);
    const scan_outcome_t ahead = scan_text_looking_ahead(text);
    ASSERT_EQ(ahead.tokens, plain.tokens);
    std::vector<std::string> process_names;
    for (const auto& [token, name] : plain.tokens)
        if (token == token_process_name) process_names.push_back(name);
    // In order, each at most once, before yylex returns it and at most eight
    // names early; only names cut by a block end are missed.
    std::size_t next = 0;
    for (const auto& [name, returned] : names_seen_ahead) {
        while (next < process_names.size() && process_names[next] != name) ++next;
        ASSERT_LT(next, process_names.size()) << name;
        EXPECT_GE(next, returned);
        EXPECT_LE(next, returned + 8);
        ++next;
    }
    EXPECT_GE(names_seen_ahead.size() + text.size() / 65536 + 1, process_names.size());

    // The hint marks a name directly followed by "=" or " =", and no other.
    // The look-ahead starts after the first name, which yylex reads itself.
    scan_text_looking_ahead("X = 0\nP = a.Q + b.R\nS=c.T\nU  = d.P\n{e.V|f.W}\n");
    const std::vector<std::pair<std::string, bool>> hints = {
        {"P", true}, {"Q", false}, {"R", false}, {"S", true}, {"T", false},
        {"U", false}, {"P", false}, {"V", false}, {"W", false}};
    EXPECT_EQ(hints_seen_ahead, hints);

    // An undefined character ahead stops the scan at its own turn only.
    const scan_outcome_t stopped = scan_text_looking_ahead("P = a.Q + b.R ; S = c.T\n");
    EXPECT_EQ(stopped.fatal_status, 1);
    EXPECT_EQ(stopped.errors, "undefined character ';'\n");
    EXPECT_EQ(stopped.tokens, scan_text("P = a.Q + b.R ; S").tokens);
}
