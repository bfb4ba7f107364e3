#include "ltl/dra_output.hpp"

#include <map>

namespace {

void write_props(std::ostream& out, const std::vector<std::string>& props) {
    out << "AP: " << props.size();
    for (const std::string& p : props) out << " \"" << p << '"';
    out << '\n';
}

struct label_cube_t {
    std::uint64_t pos = 0, neg = 0;
};

// Splits the letters of one state into cubes with one successor each
// (Shannon expansion, most significant proposition first; at most 16 levels).
void cover(const dra_t& a, int state, int variable, label_cube_t cube, std::uint64_t base,
           std::map<int, std::vector<label_cube_t>>& by_target) {
    const std::uint64_t span = std::uint64_t{1} << (variable + 1);
    const int first = a.successor(state, static_cast<int>(base));
    bool uniform = true;
    for (std::uint64_t l = base; l < base + span && uniform; ++l) uniform = a.successor(state, static_cast<int>(l)) == first;
    if (uniform) {
        by_target[first].push_back(cube);
        return;
    }
    const std::uint64_t bit = std::uint64_t{1} << variable;
    cover(a, state, variable - 1, {cube.pos, cube.neg | bit}, base, by_target);
    cover(a, state, variable - 1, {cube.pos | bit, cube.neg}, base | bit, by_target);
}

std::string cube_text(const label_cube_t& c, int prop_count) {
    std::string s;
    for (int j = 0; j < prop_count; ++j) {
        const std::uint64_t bit = std::uint64_t{1} << j;
        if (!((c.pos | c.neg) & bit)) continue;
        if (!s.empty()) s += " & ";
        if (c.neg & bit) s += '!';
        s += std::to_string(j);
    }
    return s.empty() ? "t" : s;
}

// One label per target on the letters with at most one proposition: the
// target of the letter in which none holds takes every letter whose
// propositions all lead there (!(j | k ...), or t), every other target the
// disjunction of its propositions. On a letter with several propositions two
// labels may both hold; velkin evaluates labels on the single letters only.
std::map<int, std::string> action_labels(const dra_t& a, int state) {
    const int rest = a.successor(state, 0);
    std::map<int, std::string> labels;
    std::string elsewhere;
    int elsewhere_count = 0;
    for (int j = 0; j < a.alphabet.prop_count; ++j) {
        const int target = a.successor(state, j + 1);
        if (target == rest) continue;
        std::string& label = labels[target];
        label += (label.empty() ? "" : " | ") + std::to_string(j);
        elsewhere += (elsewhere.empty() ? "" : " | ") + std::to_string(j);
        ++elsewhere_count;
    }
    labels[rest] = elsewhere_count == 0 ? "t" : elsewhere_count == 1 ? "!" + elsewhere : "!(" + elsewhere + ")";
    return labels;
}

const char one_action_note[] =
    "one action per step: a letter in which several propositions hold goes where the first of them alone goes";

}  // namespace

std::uint64_t explicit_line_count(const dra_t& a) {
    if (a.alphabet.prop_count >= 32) return UINT64_MAX;  // far beyond any bound, and no overflow
    return static_cast<std::uint64_t>(a.state_count) << a.alphabet.prop_count;
}

void write_dra_explicit(std::ostream& out, const dra_t& a, const std::vector<std::string>& props,
                        const std::string& formula) {
    out << "DRA v2 explicit\n";
    out << "Comment: \"" << formula << '"';
    if (a.alphabet.actions) out << " (" << one_action_note << ')';
    out << '\n';
    out << "States: " << a.state_count << '\n';
    out << "Acceptance-Pairs: " << a.pairs.size() << '\n';
    out << "Start: " << a.start << '\n';
    write_props(out, props);
    out << "---\n";
    for (int s = 0; s < a.state_count; ++s) {
        out << "State: " << s << '\n';
        out << "Acc-Sig:";
        for (std::size_t i = 0; i < a.pairs.size(); ++i) {
            if (a.pairs[i].fin[static_cast<std::size_t>(s)]) out << " -" << i;
            if (a.pairs[i].inf[static_cast<std::size_t>(s)]) out << " +" << i;
        }
        out << '\n';
        if (!a.alphabet.actions) {
            for (int l = 0; l < a.letter_count(); ++l) out << a.successor(s, l) << '\n';
            continue;
        }
        // Letter k of the file goes where its lowest proposition alone goes.
        std::vector<std::string> lines;
        for (int l = 0; l < a.letter_count(); ++l) lines.push_back(std::to_string(a.successor(s, l)) + '\n');
        const std::uint64_t letters = std::uint64_t{1} << a.alphabet.prop_count;
        for (std::uint64_t k = 0; k < letters; ++k)
            out << lines[k == 0 ? 0 : static_cast<std::size_t>(__builtin_ctzll(k)) + 1];
    }
}

void write_hoa(std::ostream& out, const dra_t& a, const std::vector<std::string>& props, const std::string& formula) {
    const std::size_t pairs = a.pairs.size();
    out << "HOA: v1\n";
    if (a.alphabet.actions) out << "/* " << one_action_note << " */\n";
    out << "name: \"" << formula << "\"\n";
    out << "States: " << a.state_count << '\n';
    out << "Start: " << a.start << '\n';
    write_props(out, props);
    out << "acc-name: Rabin " << pairs << '\n';
    out << "Acceptance: " << 2 * pairs;
    if (pairs == 0) out << " f";
    for (std::size_t i = 0; i < pairs; ++i)
        out << (i == 0 ? " " : " | ") << "(Fin(" << 2 * i << ") & Inf(" << 2 * i + 1 << "))";
    out << '\n';
    // In action mode two labels may share a letter with several propositions.
    out << "properties: trans-labels explicit-labels state-acc " << (a.alphabet.actions ? "" : "deterministic ")
        << "complete\n";
    out << "--BODY--\n";
    for (int s = 0; s < a.state_count; ++s) {
        out << "State: " << s;
        std::string marks;
        for (std::size_t i = 0; i < pairs; ++i) {
            if (a.pairs[i].fin[static_cast<std::size_t>(s)]) marks += (marks.empty() ? "" : " ") + std::to_string(2 * i);
            if (a.pairs[i].inf[static_cast<std::size_t>(s)])
                marks += (marks.empty() ? "" : " ") + std::to_string(2 * i + 1);
        }
        if (!marks.empty()) out << " {" << marks << '}';
        out << '\n';
        if (a.alphabet.actions) {
            for (const auto& [target, label] : action_labels(a, s)) out << '[' << label << "] " << target << '\n';
            continue;
        }
        std::map<int, std::vector<label_cube_t>> by_target;
        cover(a, s, a.alphabet.prop_count - 1, {}, 0, by_target);
        for (const auto& [target, cubes] : by_target) {
            out << '[';
            for (std::size_t c = 0; c < cubes.size(); ++c)
                out << (c ? " | " : "") << cube_text(cubes[c], a.alphabet.prop_count);
            out << "] " << target << '\n';
        }
    }
    out << "--END--\n";
}
