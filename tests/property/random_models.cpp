#include "random_models.hpp"

#include <vector>

int random_source_t::below(int bound) {
    // xorshift64*: enough mixing for test inputs, and fully specified.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const uint64_t value = state_ * 0x2545f4914f6cdd1dull;
    return static_cast<int>((value >> 33) % static_cast<uint64_t>(bound));
}

namespace {

const char* const actions[] = {"a", "b", "c", "d"};

class spec_writer_t {
public:
    spec_writer_t(random_source_t& random, int processes) : random_(random), processes_(processes) {}

    std::string target(int depth) {
        const int roll = random_.below(100);
        if (roll < 10) return "0";
        if (roll < 15) return "U";  // referred to, never defined
        if (roll < 27 && depth < 2) {
            // An inline process: a single alternative, or a parenthesised sum.
            if (random_.chance(50)) return alternative(depth + 1);
            return "(" + sum(depth + 1) + ")";
        }
        return "P" + std::to_string(random_.below(processes_));
    }

    std::string transition(int depth) {
        return std::string(actions[random_.below(4)]) + " " + target(depth);
    }

    std::string alternative(int depth) {
        const int roll = random_.below(100);
        if (roll < 35) return "?" + transition(depth);
        if (roll < 65) return transition(depth);
        const int size = 1 + random_.below(3);
        std::string group = "{" + transition(depth);
        for (int i = 1; i < size; ++i) group += " | " + transition(depth);
        return group + "}";
    }

    std::string sum(int depth) {
        const int size = 1 + random_.below(3);
        std::string text = alternative(depth);
        for (int i = 1; i < size; ++i) text += " + " + alternative(depth);
        return text;
    }

private:
    random_source_t& random_;
    int processes_;
};

}  // namespace

std::string random_specification(random_source_t& random) {
    const int processes = 1 + random.below(4);
    spec_writer_t writer(random, processes);
    std::string text;
    for (int p = 0; p < processes; ++p) {
        // Sometimes a process is only referred to (when it is not P0).
        if (p > 0 && random.chance(8)) continue;
        text += "P" + std::to_string(p) + " = " + writer.sum(0) + "\n";
    }
    return text;
}

namespace {

std::string automaton_text(random_source_t& random, int states, int pairs) {
    static const char* const names[] = {"a", "b", "c", "x"};
    const int propositions = 1 + random.below(2);
    std::vector<int> chosen;
    while (static_cast<int>(chosen.size()) < propositions) {
        const int name = random.below(4);
        bool fresh = true;
        for (int c : chosen) fresh &= c != name;
        if (fresh) chosen.push_back(name);
    }
    std::string text = "DRA v2 explicit\nStates: " + std::to_string(states) +
                       "\nAcceptance-Pairs: " + std::to_string(pairs) + "\nStart: " +
                       std::to_string(random.below(states)) + "\nAP: " + std::to_string(propositions);
    for (int c : chosen) text += std::string(" \"") + names[c] + "\"";
    text += "\n---\n";
    for (int q = 0; q < states; ++q) {
        text += "State: " + std::to_string(q) + "\nAcc-Sig:";
        for (int i = 0; i < pairs; ++i) {
            const int roll = random.below(3);
            if (roll == 1) text += " +" + std::to_string(i);
            if (roll == 2) text += " -" + std::to_string(i);
        }
        text += "\n";
        for (int letter = 0; letter < (1 << propositions); ++letter) {
            text += (letter ? " " : "") + std::to_string(random.below(states));
        }
        text += "\n";
    }
    return text;
}

}  // namespace

std::string random_automaton(random_source_t& random) {
    const int states = 1 + random.below(4);
    const int pairs = random.below(4);
    return automaton_text(random, states, pairs);
}

std::string random_automaton(random_source_t& random, int min_pairs, int max_pairs) {
    const int states = 1 + random.below(4);
    const int pairs = min_pairs + random.below(max_pairs - min_pairs + 1);
    return automaton_text(random, states, pairs);
}

std::string random_game_specification(random_source_t& random) {
    const int processes = 2 + random.below(4);
    std::string text;
    auto transition = [&]() {
        return std::string(actions[random.below(3)]) + " P" + std::to_string(random.below(processes));
    };
    for (int p = 0; p < processes; ++p) {
        const int musts = 1 + random.below(3);
        std::string body;
        for (int m = 0; m < musts; ++m) {
            std::string term = transition();
            if (random.chance(30)) term = "{" + term + " | " + transition() + "}";
            body += (m ? " + " : "") + term;
        }
        text += "P" + std::to_string(p) + " = " + body + "\n";
    }
    return text;
}

std::string letter_tracking_automaton(random_source_t& random) {
    const int pairs = 2 + random.below(2);
    // State j + 1 is entered by action j (a, b, c), state 0 by any other.
    std::string text = "DRA v2 explicit\nStates: 4\nAcceptance-Pairs: " + std::to_string(pairs) +
                       "\nStart: 0\nAP: 3 \"a\" \"b\" \"c\"\n---\n";
    for (int q = 0; q < 4; ++q) {
        text += "State: " + std::to_string(q) + "\nAcc-Sig:";
        for (int i = 0; i < pairs; ++i) text += q == i + 1 ? " -" + std::to_string(i) : " +" + std::to_string(i);
        text += "\n";
        for (int letter = 0; letter < 8; ++letter) {
            const int next = letter == 1 ? 1 : letter == 2 ? 2 : letter == 4 ? 3 : 0;
            text += (letter ? " " : "") + std::to_string(next);
        }
        text += "\n";
    }
    return text;
}
