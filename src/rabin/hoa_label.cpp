#include "rabin/hoa_label.hpp"

#include <algorithm>
#include <iterator>
#include <vector>

#include "support/message_text.hpp"

letter_set_t complement_of(letter_set_t set) {
    set.complemented = !set.complemented;
    return set;
}

namespace {

enum class combine_t { both, first_only, either };

std::vector<int> combined(const std::vector<int>& a, const std::vector<int>& b, combine_t how) {
    std::vector<int> out;
    switch (how) {
    case combine_t::both: std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out)); break;
    case combine_t::first_only: std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out)); break;
    case combine_t::either: std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out)); break;
    }
    return out;
}

}  // namespace

letter_set_t intersection_of(const letter_set_t& a, const letter_set_t& b) {
    if (!a.complemented && !b.complemented) return {false, combined(a.listed, b.listed, combine_t::both)};
    if (!a.complemented) return {false, combined(a.listed, b.listed, combine_t::first_only)};
    if (!b.complemented) return {false, combined(b.listed, a.listed, combine_t::first_only)};
    return {true, combined(a.listed, b.listed, combine_t::either)};
}

letter_set_t union_of(const letter_set_t& a, const letter_set_t& b) {
    // De Morgan: a | b = !(!a & !b).
    return complement_of(intersection_of(complement_of(a), complement_of(b)));
}

namespace {

// Operator stack entries: '!', '&', '|' and '(' as pushed.
int precedence(char op) { return op == '!' ? 3 : op == '&' ? 2 : op == '|' ? 1 : 0; }

template <typename source_t>
bool parse_label_from(source_t& in, const hoa_label_context_t& context, letter_set_t& label, std::string& error) {
    std::vector<letter_set_t> values;
    std::vector<char> operators;
    auto apply = [&](char op) {
        if (op == '!') {
            values.back().complemented = !values.back().complemented;
            return;
        }
        letter_set_t right = std::move(values.back());
        values.pop_back();
        values.back() = op == '&' ? intersection_of(values.back(), right) : union_of(values.back(), right);
    };

    bool expect_operand = true;
    while (true) {
        const hoa_token_t& token = in.peek();
        if (expect_operand) {
            if (is_punct(token, '!') || is_punct(token, '(')) {
                operators.push_back(token.text[0]);
                in.take();
                continue;
            }
            letter_set_t value;
            if (token.kind == hoa_token_kind_t::integer) {
                // Longer than nine digits is certainly out of range.
                long long index = token.text.size() > 9 ? -1 : std::stoll(token.text);
                if (index < 0 || index >= context.ap_count) {
                    error = at_line(token.line, "proposition " + token.text + " in a label, but AP: declares " +
                                                    std::to_string(context.ap_count));
                    return false;
                }
                value = letter_set_t::single(static_cast<int>(index) + 1);
            } else if (token.kind == hoa_token_kind_t::identifier && (token.text == "t" || token.text == "f")) {
                value = token.text == "t" ? letter_set_t::all() : letter_set_t::none();
            } else if (token.kind == hoa_token_kind_t::alias) {
                bool known = context.aliases && context.aliases->count(token.text) != 0;
                if (!known) {
                    error = at_line(token.line, "undefined alias " + token.text);
                    return false;
                }
                value = context.aliases->at(token.text);
            } else {
                if (token.kind == hoa_token_kind_t::error) error = at_line(token.line, token.text);
                else error = at_line(token.line, "expected a proposition number, alias, t or f in a label, found " +
                                                     shown(token));
                return false;
            }
            in.take();
            values.push_back(std::move(value));
            // Prefix negations bind to the operand just read.
            while (!operators.empty() && operators.back() == '!') {
                apply('!');
                operators.pop_back();
            }
            expect_operand = false;
            continue;
        }
        if (is_punct(token, '&') || is_punct(token, '|')) {
            char op = token.text[0];
            while (!operators.empty() && operators.back() != '(' && precedence(operators.back()) >= precedence(op)) {
                apply(operators.back());
                operators.pop_back();
            }
            operators.push_back(op);
            in.take();
            expect_operand = true;
            continue;
        }
        if (is_punct(token, ')')) {
            bool open_found = false;
            for (std::size_t k = operators.size(); k-- > 0;)
                if (operators[k] == '(') { open_found = true; break; }
            if (open_found) {
                while (operators.back() != '(') {
                    apply(operators.back());
                    operators.pop_back();
                }
                operators.pop_back();
                in.take();
                while (!operators.empty() && operators.back() == '!') {
                    apply('!');
                    operators.pop_back();
                }
                continue;
            }
        }
        break;  // the expression ends before this token
    }
    while (!operators.empty()) {
        if (operators.back() == '(') {
            error = at_line(in.peek().line, "unbalanced '(' in a label");
            return false;
        }
        apply(operators.back());
        operators.pop_back();
    }
    label = std::move(values.back());
    return true;
}

}  // namespace

bool starts_label(const hoa_token_t& token) {
    return token.kind == hoa_token_kind_t::integer || token.kind == hoa_token_kind_t::alias ||
           is_punct(token, '!') || is_punct(token, '(') ||
           (token.kind == hoa_token_kind_t::identifier && (token.text == "t" || token.text == "f"));
}

bool parse_label(hoa_lexer_t& in, const hoa_label_context_t& context, letter_set_t& label, std::string& error) {
    return parse_label_from(in, context, label, error);
}

bool parse_label(hoa_token_list_t& in, const hoa_label_context_t& context, letter_set_t& label,
                 std::string& error) {
    return parse_label_from(in, context, label, error);
}
