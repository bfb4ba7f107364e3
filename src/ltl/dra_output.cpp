#include "ltl/dra_output.hpp"

#include <map>

namespace {

void write_props(std::ostream& out, const std::vector<std::string>& props) {
    out << "AP: " << props.size();
    for (const std::string& p : props) out << " \"" << p << '"';
    out << '\n';
}

struct label_cube_t {
    std::uint32_t pos = 0, neg = 0;
};

// Splits the letters of one state into cubes with one successor each
// (Shannon expansion, most significant proposition first; at most 16 levels).
void cover(const dra_t& a, int state, int variable, label_cube_t cube, std::uint32_t base,
           std::map<int, std::vector<label_cube_t>>& by_target) {
    const std::uint32_t span = std::uint32_t{1} << (variable + 1);
    const int first = a.successor(state, static_cast<int>(base));
    bool uniform = true;
    for (std::uint32_t l = base; l < base + span && uniform; ++l) uniform = a.successor(state, static_cast<int>(l)) == first;
    if (uniform) {
        by_target[first].push_back(cube);
        return;
    }
    const std::uint32_t bit = std::uint32_t{1} << variable;
    cover(a, state, variable - 1, {cube.pos, cube.neg | bit}, base, by_target);
    cover(a, state, variable - 1, {cube.pos | bit, cube.neg}, base | bit, by_target);
}

std::string cube_text(const label_cube_t& c, int prop_count) {
    std::string s;
    for (int j = 0; j < prop_count; ++j) {
        const std::uint32_t bit = std::uint32_t{1} << j;
        if (!((c.pos | c.neg) & bit)) continue;
        if (!s.empty()) s += " & ";
        if (c.neg & bit) s += '!';
        s += std::to_string(j);
    }
    return s.empty() ? "t" : s;
}

}  // namespace

void write_dra_explicit(std::ostream& out, const dra_t& a, const std::vector<std::string>& props,
                        const std::string& formula) {
    out << "DRA v2 explicit\n";
    out << "Comment: \"" << formula << "\"\n";
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
        for (int l = 0; l < a.letter_count(); ++l) out << a.successor(s, l) << '\n';
    }
}

void write_hoa(std::ostream& out, const dra_t& a, const std::vector<std::string>& props, const std::string& formula) {
    const std::size_t pairs = a.pairs.size();
    out << "HOA: v1\n";
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
    out << "properties: trans-labels explicit-labels state-acc deterministic complete\n";
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
        std::map<int, std::vector<label_cube_t>> by_target;
        cover(a, s, a.prop_count - 1, {}, 0, by_target);
        for (const auto& [target, cubes] : by_target) {
            out << '[';
            for (std::size_t c = 0; c < cubes.size(); ++c)
                out << (c ? " | " : "") << cube_text(cubes[c], a.prop_count);
            out << "] " << target << '\n';
        }
    }
    out << "--END--\n";
}
