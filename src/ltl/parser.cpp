#include "ltl/parser.hpp"

#include <algorithm>
#include <cctype>
#include <vector>

#include "support/message_text.hpp"

namespace {

// word: a word that starts with an upper-case letter but is no run of
// operator letters, refused wherever it stands.
enum class token_kind_t { end, name, op, open, close, bad, word };

struct token_t {
    token_kind_t kind = token_kind_t::end;
    std::string text;
    std::size_t column = 0;  // 1-based
};

// Operators: the longest spelling wins, so "->" is not read as "-". The
// letters among them are scanned as words (see scan_operator_letter).
const char* const operator_spellings[] = {"<->", "->", "&&", "||", "&", "|", "!"};
const char operator_letters[] = "XFGUWRM";

class ltl_parser_t {
public:
    ltl_parser_t(const std::string& text, ltl_pool_t& pool, std::string& error,
                 std::vector<ltl_conjunction_t>* conjunctions)
        : text(text), pool(pool), error(error), conjunctions(conjunctions) {
        advance();
    }

    bool parse(int& result) {
        if (!parse_implication(result)) return false;
        if (current.kind != token_kind_t::end) return expected("an operator or the end of the formula");
        return true;
    }

private:
    void advance() {
        while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position]))) ++position;
        current = token_t{};
        current.column = position + 1;
        if (position >= text.size()) return;
        const char c = text[position];
        if (std::islower(static_cast<unsigned char>(c))) {
            std::size_t end = position + 1;
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
            current.text = text.substr(position, end - position);
            current.kind = current.text == "xor" ? token_kind_t::op : token_kind_t::name;
            position = end;
            return;
        }
        if (std::isupper(static_cast<unsigned char>(c))) {
            scan_operator_letter();
            return;
        }
        if (c == '(' || c == ')') {
            current.kind = c == '(' ? token_kind_t::open : token_kind_t::close;
            current.text = std::string(1, c);
            ++position;
            return;
        }
        for (const char* spelling : operator_spellings) {
            const std::string s(spelling);
            if (text.compare(position, s.size(), s) == 0) {
                current.kind = token_kind_t::op;
                current.text = s == "&&" ? "&" : s == "||" ? "|" : s;
                position += s.size();
                return;
            }
        }
        current.kind = token_kind_t::bad;
        current.text = std::string(1, c);
        ++position;
    }

    // A word that starts with an upper-case letter is a run of operator
    // letters, each read on its own ("GF" is G F). Any other such word is
    // refused whole: "Fail" is not F ail, "Grant1" not G rant1, since a
    // proposition, an action name, never starts with an upper-case letter.
    void scan_operator_letter() {
        if (position < operator_run_end) {  // the rest of a word already checked
            current.kind = token_kind_t::op;
            current.text = std::string(1, text[position++]);
            return;
        }
        std::size_t end = position;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        const std::string word = text.substr(position, end - position);
        if (word.find_first_not_of(operator_letters) != std::string::npos) {
            current.kind = token_kind_t::word;
            current.text = word;
            position = end;
            return;
        }
        operator_run_end = end;
        current.kind = token_kind_t::op;
        current.text = std::string(1, text[position++]);
    }

    bool is_op(const char* spelling) const {
        return current.kind == token_kind_t::op && current.text == spelling;
    }

    bool expected(const std::string& what) {
        if (current.kind == token_kind_t::word) {
            error = "column " + std::to_string(current.column) + ": '" + message_excerpt(current.text) +
                    "' is not a proposition: propositions are action names and start with a lower-case"
                    " letter; an upper-case word may only join operator letters X F G U W R M, as in GF";
            return false;
        }
        std::string found;
        if (current.kind == token_kind_t::end) found = "the end of the formula";
        else if (current.kind == token_kind_t::bad) found = "the character '" + printable_bytes(current.text) + "'";
        else found = "'" + current.text + "'";
        error = "column " + std::to_string(current.column) + ": expected " + what + ", found " + found;
        return false;
    }

    // Every built subformula passes here, so the depth bound covers operator
    // chains as well as parentheses.
    bool bounded(int f, std::size_t column) {
        if (pool.node(f).depth <= ltl_max_depth) return true;
        error = "column " + std::to_string(column) + ": expected at most " + std::to_string(ltl_max_depth) +
                " nested operators";
        return false;
    }

    // Right-associative levels: collect the operands, then fold from the right.
    bool parse_implication(int& result) {
        std::vector<int> operands;
        std::vector<std::string> ops;
        std::vector<std::size_t> firsts;  // each operand's first conjunction
        int f;
        firsts.push_back(conjunction_count());
        if (!parse_xor(f)) return false;
        operands.push_back(f);
        while (is_op("->") || is_op("<->")) {
            ops.push_back(current.text);
            advance();
            firsts.push_back(conjunction_count());
            if (!parse_xor(f)) return false;
            operands.push_back(f);
        }
        firsts.push_back(conjunction_count());
        for (std::size_t i = 0; i < ops.size(); ++i) {
            if (ops[i] == "->") negate_conjunctions(firsts[i], firsts[i + 1]);
            else both_polarities(firsts[i], firsts.back());  // '<->' folds from the right
        }
        const std::size_t column = current.column;
        result = operands.back();
        for (std::size_t i = ops.size(); i-- > 0;) {
            const int left = operands[i];
            if (ops[i] == "->") {
                result = pool.make_or(pool.make_not(left), result);
            } else {
                result = pool.make_or(pool.make_and(left, result),
                                      pool.make_and(pool.make_not(left), pool.make_not(result)));
            }
            if (!bounded(result, column)) return false;
        }
        return true;
    }

    bool parse_xor(int& result) {
        const std::size_t first = conjunction_count();
        if (!parse_or(result)) return false;
        while (is_op("xor")) {
            advance();
            int right;
            if (!parse_or(right)) return false;
            result = pool.make_or(pool.make_and(result, pool.make_not(right)),
                                  pool.make_and(pool.make_not(result), right));
            if (!bounded(result, current.column)) return false;
            both_polarities(first, conjunction_count());
        }
        return true;
    }

    bool parse_or(int& result) {
        if (!parse_and(result)) return false;
        while (is_op("|")) {
            advance();
            int right;
            if (!parse_and(right)) return false;
            result = pool.make_or(result, right);
            if (!bounded(result, current.column)) return false;
        }
        return true;
    }

    bool parse_and(int& result) {
        if (!parse_binary_temporal(result)) return false;
        while (is_op("&")) {
            const std::size_t column = current.column;
            advance();
            int right;
            if (!parse_binary_temporal(right)) return false;
            if (conjunctions) conjunctions->push_back({column, result, right});
            result = pool.make_and(result, right);
            if (!bounded(result, current.column)) return false;
        }
        return true;
    }

    bool parse_binary_temporal(int& result) {
        std::vector<int> operands;
        std::vector<std::string> ops;
        int f;
        if (!parse_unary(f)) return false;
        operands.push_back(f);
        while (is_op("U") || is_op("W") || is_op("R") || is_op("M")) {
            ops.push_back(current.text);
            advance();
            if (!parse_unary(f)) return false;
            operands.push_back(f);
        }
        const std::size_t column = current.column;
        result = operands.back();
        for (std::size_t i = ops.size(); i-- > 0;) {
            const int left = operands[i];
            const char o = ops[i][0];
            result = o == 'U'   ? pool.make_until(left, result)
                     : o == 'W' ? pool.make_weak_until(left, result)
                     : o == 'R' ? pool.make_release(left, result)
                                : pool.make_strong_release(left, result);
            if (!bounded(result, column)) return false;
        }
        return true;
    }

    // A run of prefix operators is collected first and applied innermost
    // first, so "!!!!a" costs no recursion.
    bool parse_unary(int& result) {
        std::vector<char> prefix;
        while (is_op("!") || is_op("X") || is_op("F") || is_op("G")) {
            prefix.push_back(current.text[0]);
            advance();
        }
        const std::size_t first = conjunction_count();
        if (!parse_atom(result)) return false;
        if (std::count(prefix.begin(), prefix.end(), '!') % 2) negate_conjunctions(first, conjunction_count());
        for (std::size_t i = prefix.size(); i-- > 0;) {
            switch (prefix[i]) {
            case '!': result = pool.make_not(result); break;
            case 'X': result = pool.make_next(result); break;
            case 'F': result = pool.make_eventually(result); break;
            default: result = pool.make_always(result); break;
            }
            if (!bounded(result, current.column)) return false;
        }
        return true;
    }

    bool parse_atom(int& result) {
        if (current.kind == token_kind_t::name) {
            if (current.text == "true") result = pool.make_true();
            else if (current.text == "false") result = pool.make_false();
            else result = pool.make_prop(pool.prop_index(current.text), false);
            advance();
            return true;
        }
        if (current.kind == token_kind_t::open) {
            if (++nesting > ltl_max_depth) {
                error = "column " + std::to_string(current.column) + ": expected at most " +
                        std::to_string(ltl_max_depth) + " nested parentheses";
                return false;
            }
            advance();
            if (!parse_implication(result)) return false;
            if (current.kind != token_kind_t::close) return expected("')'");
            --nesting;
            advance();
            return true;
        }
        return expected("a proposition, true, false, '(' or one of ! X F G");
    }

    std::size_t conjunction_count() const { return conjunctions ? conjunctions->size() : 0; }

    // The conjunctions listed in [first, end) now stand under one more negation.
    void negate_conjunctions(std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) {
            ltl_conjunction_t& c = (*conjunctions)[i];
            std::swap(c.positive, c.negative);
        }
    }

    void both_polarities(std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i) {
            ltl_conjunction_t& c = (*conjunctions)[i];
            c.positive = c.negative = true;
        }
    }

    const std::string& text;
    ltl_pool_t& pool;
    std::string& error;
    std::size_t position = 0;
    std::size_t operator_run_end = 0;  // end of the run of operator letters being read
    token_t current;
    int nesting = 0;
    std::vector<ltl_conjunction_t>* conjunctions;
};

}  // namespace

bool parse_ltl(const std::string& text, ltl_pool_t& pool, int& result, std::string& error,
               std::vector<ltl_conjunction_t>* conjunctions) {
    error.clear();
    ltl_parser_t parser(text, pool, error, conjunctions);
    return parser.parse(result);
}
