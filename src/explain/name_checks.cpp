#include "explain/name_checks.hpp"

#include <deque>
#include <set>

#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"

namespace {

bool is_named(const process_t& p) { return !p.name.empty() && p.name[0] != '$' && p.name != "nil"; }

std::string joined(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::vector<std::string> name_check_messages(const dmts_t& model, const std::string& process,
                                             const rabin_t& automaton, const std::string& source) {
    std::vector<std::string> messages;
    const int start = model.process_index.find(process);
    if (start < 0) {
        messages.push_back("process " + process + " does not occur in " + source +
                           "; it is taken as a process without transitions");
        return messages;
    }
    // Processes reachable from the start over may transitions (every must
    // alternative is a may transition too), and their actions.
    std::vector<char> seen(model.processes.size(), 0);
    std::deque<int> queue{start};
    seen[static_cast<size_t>(start)] = 1;
    std::set<std::string> undefined, actions, must_actions;
    while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        const process_t& proc = *model.processes[static_cast<size_t>(p)];
        if (!proc.defined && is_named(proc)) undefined.insert(proc.name);
        for (const transition_t& t : proc.may) {
            actions.insert(model.action_names[static_cast<size_t>(t.action)]);
            if (!seen[static_cast<size_t>(t.target)]) {
                seen[static_cast<size_t>(t.target)] = 1;
                queue.push_back(t.target);
            }
        }
        for (alternatives_t h : proc.must) {
            for (const transition_t& t : h) must_actions.insert(model.action_names[static_cast<size_t>(t.action)]);
        }
    }
    for (const std::string& name : undefined) {
        messages.push_back("process " + name + (name == process ? "" : ", reachable from " + process + ",") +
                           " is referred to but never defined, so it has no transitions");
    }
    std::set<std::string> idle, named;
    for (const std::string& ap : automaton.ap) {
        named.insert(ap);
        if (!actions.count(ap)) idle.insert(ap);
    }
    for (const std::string& ap : idle) {
        messages.push_back("proposition " + ap + " of the automaton is no action of " + process +
                           " or of a process it reaches, so it never holds");
    }
    // An action without a proposition reads as the letter in which none
    // holds; worth a word only when a proposition went unmatched, since then
    // one of them may be the misspelt other.
    if (!idle.empty()) {
        std::set<std::string> unnamed;
        for (const std::string& a : must_actions) {
            if (!named.count(a)) unnamed.insert(a);
        }
        if (!unnamed.empty()) {
            messages.push_back("action" + std::string(unnamed.size() > 1 ? "s " : " ") + joined(unnamed) +
                               " of must transitions " + (unnamed.size() > 1 ? "are" : "is") +
                               " named by no proposition and read" + (unnamed.size() > 1 ? "" : "s") +
                               " as the letter in which none holds");
        }
    }
    return messages;
}
