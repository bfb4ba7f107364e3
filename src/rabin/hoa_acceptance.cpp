#include "rabin/hoa_acceptance.hpp"

#include <algorithm>

#include "support/message_text.hpp"

namespace {

using dnf_t = std::vector<hoa_conjunct_t>;

void merge_into(std::vector<mark_literal_t>& target, const std::vector<mark_literal_t>& source) {
    std::vector<mark_literal_t> merged;
    merged.reserve(target.size() + source.size());
    std::set_union(target.begin(), target.end(), source.begin(), source.end(), std::back_inserter(merged));
    target.swap(merged);
}

bool same_conjunct(const hoa_conjunct_t& a, const hoa_conjunct_t& b) { return a.fin == b.fin && a.inf == b.inf; }

// A disjunct asking for Inf(x) and Fin(x) at once can never hold.
bool contradictory(const hoa_conjunct_t& c) {
    for (const mark_literal_t& literal : c.inf)
        if (std::binary_search(c.fin.begin(), c.fin.end(), literal)) return true;
    return false;
}

void add_disjunct(dnf_t& target, hoa_conjunct_t c) {
    if (contradictory(c)) return;
    for (const hoa_conjunct_t& existing : target)
        if (same_conjunct(existing, c)) return;
    target.push_back(std::move(c));
}

}  // namespace

std::string conjunct_text(const hoa_conjunct_t& conjunct) {
    std::string text;
    auto add = [&](const char* kind, const mark_literal_t& literal) {
        if (!text.empty()) text += " & ";
        text += std::string(kind) + "(" + (literal.negated ? "!" : "") + std::to_string(literal.mark) + ")";
    };
    for (const mark_literal_t& literal : conjunct.fin) add("Fin", literal);
    for (const mark_literal_t& literal : conjunct.inf) add("Inf", literal);
    return text.empty() ? "t" : text;
}

bool parse_acceptance(hoa_lexer_t& in, int set_count, std::size_t max_terms, dnf_t& disjuncts,
                      std::string& error) {
    // Shunting-yard over '&' (binds tighter) and '|' with explicit stacks.
    std::vector<dnf_t> values;
    std::vector<char> operators;  // '&', '|', '('
    auto apply = [&](char op) -> bool {
        dnf_t right = std::move(values.back());
        values.pop_back();
        dnf_t& left = values.back();
        if (op == '|') {
            for (hoa_conjunct_t& c : right) add_disjunct(left, std::move(c));
        } else {
            dnf_t product;
            for (const hoa_conjunct_t& a : left) {
                for (const hoa_conjunct_t& b : right) {
                    hoa_conjunct_t c = a;
                    merge_into(c.fin, b.fin);
                    merge_into(c.inf, b.inf);
                    add_disjunct(product, std::move(c));
                    if (product.size() > max_terms) return false;
                }
            }
            left.swap(product);
        }
        return left.size() <= max_terms;
    };
    // A condition too large to convert is reported where it starts.
    const int first_line = in.peek().line;
    auto too_large = [&](int) {
        error = at_line(first_line, "the acceptance condition has more than " + std::to_string(max_terms) +
                                  " disjuncts in disjunctive form");
        return false;
    };

    bool expect_operand = true;
    while (true) {
        const hoa_token_t& token = in.peek();
        const int line = token.line;
        if (expect_operand) {
            if (is_punct(token, '(')) {
                operators.push_back('(');
                in.take();
                continue;
            }
            if (token.kind == hoa_token_kind_t::identifier && (token.text == "t" || token.text == "f")) {
                values.push_back(token.text == "t" ? dnf_t{hoa_conjunct_t{}} : dnf_t{});
                in.take();
                expect_operand = false;
                continue;
            }
            if (token.kind == hoa_token_kind_t::identifier && (token.text == "Inf" || token.text == "Fin")) {
                const bool inf = token.text == "Inf";
                in.take();
                if (!is_punct(in.peek(), '(')) {
                    error = at_line(in.peek().line, "expected '(' after " + std::string(inf ? "Inf" : "Fin"));
                    return false;
                }
                in.take();
                mark_literal_t literal;
                if (is_punct(in.peek(), '!')) {
                    literal.negated = true;
                    in.take();
                }
                const hoa_token_t number = in.take();
                if (number.kind != hoa_token_kind_t::integer) {
                    error = at_line(number.line, "expected an acceptance set number in " +
                                                     std::string(inf ? "Inf" : "Fin") + "(...)");
                    return false;
                }
                if (number.text.size() > 9 || std::stoll(number.text) >= set_count) {
                    error = at_line(number.line, "acceptance set " + number.text + " but Acceptance: declares " +
                                                     std::to_string(set_count));
                    return false;
                }
                literal.mark = std::stoi(number.text);
                if (!is_punct(in.peek(), ')')) {
                    error = at_line(in.peek().line, "expected ')' after the acceptance set number");
                    return false;
                }
                in.take();
                hoa_conjunct_t atom;
                (inf ? atom.inf : atom.fin).push_back(literal);
                values.push_back(dnf_t{atom});
                expect_operand = false;
                continue;
            }
            if (token.kind == hoa_token_kind_t::error) error = at_line(line, token.text);
            else error = at_line(line, "expected Inf, Fin, t, f or '(' in the acceptance condition, found " + shown(token));
            return false;
        }
        if (is_punct(token, '&') || is_punct(token, '|')) {
            const char op = token.text[0];
            while (!operators.empty() && operators.back() != '(' && (operators.back() == '&' || op == '|')) {
                if (!apply(operators.back())) return too_large(line);
                operators.pop_back();
            }
            operators.push_back(op);
            in.take();
            expect_operand = true;
            continue;
        }
        if (is_punct(token, ')') && std::find(operators.begin(), operators.end(), '(') != operators.end()) {
            while (operators.back() != '(') {
                if (!apply(operators.back())) return too_large(line);
                operators.pop_back();
            }
            operators.pop_back();
            in.take();
            continue;
        }
        break;
    }
    while (!operators.empty()) {
        if (operators.back() == '(') {
            error = at_line(in.peek().line, "unbalanced '(' in the acceptance condition");
            return false;
        }
        if (!apply(operators.back())) return too_large(in.peek().line);
        operators.pop_back();
    }
    disjuncts = std::move(values.back());
    return true;
}
