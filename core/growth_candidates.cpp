#include "growth_candidates.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

#include "pattern_error.h"

namespace tarnwick::growth {
namespace {

// Product states visited in all, beyond which the candidates found so far are all there is.
constexpr std::size_t visitBudget = 400'000;
// States of one loop tried as the place where two ways part.
constexpr std::size_t statesTriedPerLoop = 6;

constexpr std::uint32_t noComponent = UINT32_MAX;

struct Components {
    std::vector<std::uint32_t> of;             // each state's strongly connected component
    std::vector<std::vector<StateId>> states;  // in reverse topological order
    std::vector<bool> loops;                   // whether the component has a cycle
};

// Tarjan's algorithm without recursion: a pattern may hold thousands of states.
Components components(const Automaton& a) {
    const std::size_t n = a.next.size();
    Components c;
    c.of.assign(n, noComponent);
    std::vector<std::uint32_t> index(n, UINT32_MAX), low(n, 0);
    std::vector<bool> onStack(n, false);
    std::vector<StateId> stack;
    std::vector<std::pair<StateId, std::size_t>> work;
    std::uint32_t counter = 0;
    for (StateId root = 0; root < n; ++root) {
        if (index[root] != UINT32_MAX) continue;
        work.emplace_back(root, 0);
        while (!work.empty()) {
            auto& [v, edge] = work.back();
            if (edge == 0) {
                index[v] = low[v] = counter++;
                stack.push_back(v);
                onStack[v] = true;
            }
            if (edge < a.next[v].size()) {
                const StateId w = a.next[v][edge++];
                if (index[w] == UINT32_MAX) {
                    work.emplace_back(w, 0);
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], index[w]);
                }
                continue;
            }
            const StateId done = v;
            work.pop_back();
            if (!work.empty()) low[work.back().first] = std::min(low[work.back().first], low[done]);
            if (low[done] != index[done]) continue;
            const auto id = static_cast<std::uint32_t>(c.states.size());
            c.states.emplace_back();
            StateId s = 0;
            do {
                s = stack.back();
                stack.pop_back();
                onStack[s] = false;
                c.of[s] = id;
                c.states.back().push_back(s);
            } while (s != done);
            bool cycle = c.states.back().size() > 1;
            for (StateId t : a.next[done]) cycle = cycle || t == done;
            c.loops.push_back(cycle);
        }
    }
    return c;
}

class Finder {
public:
    Finder(const Automaton& a, const std::atomic<bool>* cancel) : a_(a), c_(components(a)), cancel_(cancel) {
        shortestWords();
    }

    // Letters to spell the words with where a state reads several: all, or
    // those the pattern does not write itself (a text made of the pattern's
    // own letters may let it match early, or not fail where it should).
    void prefer(LetterSet letters) { prefer_ = std::move(letters); }

    void exponential(std::vector<Candidate>& out, std::size_t most) {
        for (std::size_t comp = 0; comp < c_.states.size() && out.size() < most; ++comp) {
            if (!c_.loops[comp]) continue;
            // Each distinct pump of the states tried, the shortest first: each
            // more letter multiplies the steps of one more pump, and which one
            // fails slowly (an assertion the automaton reads as nothing may
            // stop another) only measuring tells.
            std::vector<std::pair<StateId, WideText>> pumps;
            for (StateId q : triedStates(static_cast<std::uint32_t>(comp))) {
                auto pump = twoWaysAround(q);
                if (!pump) continue;
                const bool known = std::any_of(pumps.begin(), pumps.end(), [&](const auto& p) { return p.second == *pump; });
                if (!known) pumps.emplace_back(q, std::move(*pump));
            }
            std::stable_sort(pumps.begin(), pumps.end(), [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
            for (const auto& [q, pump] : pumps) {
                if (out.size() < most) out.push_back(candidate(true, q, pump, a_.loop[q], comp, comp, a_.reads[q]));
            }
        }
    }

    void polynomial(std::vector<Candidate>& out, std::size_t most) {
        // Pairs of loops, the nearest first: components are in reverse topological order.
        std::vector<std::uint32_t> loopComponents;
        for (std::size_t comp = c_.states.size(); comp-- > 0;) {
            if (c_.loops[comp] && !triedStates(static_cast<std::uint32_t>(comp)).empty()) {
                loopComponents.push_back(static_cast<std::uint32_t>(comp));
            }
        }
        for (std::size_t i = 0; i < loopComponents.size() && out.size() < most; ++i) {
            const std::vector<bool> reached = componentsReachedFrom(loopComponents[i]);
            for (std::size_t j = i + 1; j < loopComponents.size() && out.size() < most; ++j) {
                if (visited_ > visitBudget) return;
                const std::uint32_t from = loopComponents[i];
                const std::uint32_t to = loopComponents[j];
                if (!reached[to]) continue;  // another alternative's loop
                for (const Found& found : loopToLoop(from, to)) {
                    const StateId p = found.first;
                    const PatternSpan first = a_.loop[p].value_or(PatternSpan{});
                    const PatternSpan second = a_.loop[found.second].value_or(PatternSpan{});
                    const PatternSpan at = p == searchLoopState && a_.searching
                                               ? second
                                               : PatternSpan{std::min(first.start, second.start), std::max(first.end, second.end)};
                    LetterSet both = a_.reads[p];
                    both.keep(a_.reads[found.second]);
                    out.push_back(candidate(false, p, found.pump, at, from, to, both));
                }
            }
        }
    }

private:
    struct Found {
        StateId first;
        StateId second;
        WideText pump;
    };

    std::size_t pick(const LetterSet& a, const LetterSet& b) const {
        const std::size_t preferred = LetterSet::firstCommon(a, b, prefer_);
        return preferred != LetterSet::none ? preferred : LetterSet::firstCommon(a, b);
    }
    std::size_t pick(const LetterSet& a, const LetterSet& b, const LetterSet& c) const {
        LetterSet ab = a;
        ab.keep(b);
        return pick(ab, c);
    }

    void checkCancel() const {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) throw MatchCancelled();
    }

    bool reachable(StateId s) const { return parent_[s] != UINT32_MAX || s == startState; }

    // The components a path from this one can reach.
    std::vector<bool> componentsReachedFrom(std::uint32_t from) const {
        std::vector<bool> reached(c_.states.size(), false);
        std::vector<std::uint32_t> stack{from};
        reached[from] = true;
        while (!stack.empty()) {
            const std::uint32_t comp = stack.back();
            stack.pop_back();
            for (StateId s : c_.states[comp]) {
                for (StateId t : a_.next[s]) {
                    if (!reached[c_.of[t]]) {
                        reached[c_.of[t]] = true;
                        stack.push_back(c_.of[t]);
                    }
                }
            }
        }
        return reached;
    }

    // The first few states of a component that a text can reach.
    std::vector<StateId> triedStates(std::uint32_t comp) const {
        std::vector<StateId> tried;
        for (StateId s : c_.states[comp]) {
            if (reachable(s) && tried.size() < statesTriedPerLoop) tried.push_back(s);
        }
        return tried;
    }

    bool inComponent(StateId s, std::uint32_t comp) const { return c_.of[s] == comp; }

    // The shortest word from the start to each state.
    void shortestWords() {
        parent_.assign(a_.next.size(), UINT32_MAX);
        std::deque<StateId> queue{startState};
        while (!queue.empty()) {
            const StateId s = queue.front();
            queue.pop_front();
            for (StateId t : a_.next[s]) {
                if (t == startState || parent_[t] != UINT32_MAX || a_.reads[t].empty()) continue;
                parent_[t] = s;
                queue.push_back(t);
            }
        }
    }

    WideText wordTo(StateId s) const {
        WideText word;
        if (a_.searching && s == searchLoopState) return word;  // the search starts anywhere
        for (StateId at = s; at != startState && parent_[at] != UINT32_MAX; at = parent_[at]) {
            word += a_.alphabet[pick(a_.reads[at], a_.reads[at])];
        }
        std::reverse(word.begin(), word.end());
        return word;
    }

    // A word on which `q` has two distinct paths back to itself: the product
    // of the loop with itself, from (q, q) back to (q, q) through a step where
    // the two paths part (another state, or another edge to the same state).
    std::optional<WideText> twoWaysAround(StateId q) {
        const std::uint32_t comp = c_.of[q];
        const auto key = [](StateId x, StateId y, bool parted) {
            return (std::uint64_t{x} << 33) | (std::uint64_t{y} << 1) | (parted ? 1u : 0u);
        };
        struct Step {
            std::uint64_t from;
            std::size_t letter;
        };
        std::unordered_map<std::uint64_t, Step> seen;
        std::deque<std::uint64_t> queue{key(q, q, false)};
        seen.emplace(queue.front(), Step{UINT64_MAX, 0});
        const std::uint64_t goal = key(q, q, true);
        while (!queue.empty()) {
            const std::uint64_t k = queue.front();
            queue.pop_front();
            const auto x = static_cast<StateId>(k >> 33);
            const auto y = static_cast<StateId>((k >> 1) & 0xFFFFFFFFu);
            const bool parted = (k & 1u) != 0;
            if (++visited_ % 4096 == 0) checkCancel();
            if (visited_ > visitBudget) return std::nullopt;
            const auto& nx = a_.next[x];
            const auto& ny = a_.next[y];
            for (std::size_t i = 0; i < nx.size(); ++i) {
                if (!inComponent(nx[i], comp)) continue;
                for (std::size_t j = 0; j < ny.size(); ++j) {
                    if (!inComponent(ny[j], comp)) continue;
                    const std::size_t letter = pick(a_.reads[nx[i]], a_.reads[ny[j]]);
                    if (letter == LetterSet::none) continue;
                    const bool nowParted = parted || nx[i] != ny[j] || (x == y && i != j);
                    const std::uint64_t to = key(nx[i], ny[j], nowParted);
                    if (!seen.emplace(to, Step{k, letter}).second) continue;
                    if (to == goal) return spell(seen, to, [](const Step& s) { return s.from; });
                    queue.push_back(to);
                }
            }
        }
        return std::nullopt;
    }

    template <class Map, class From>
    WideText spell(const Map& seen, std::uint64_t at, From from) const {
        WideText word;
        for (auto it = seen.find(at); it != seen.end() && from(it->second) != UINT64_MAX; it = seen.find(from(it->second))) {
            word += a_.alphabet[it->second.letter];
        }
        std::reverse(word.begin(), word.end());
        return word;
    }

    // A word w and states p (in `from`) and q (in `to`) with p → p, p → q and
    // q → q all on w: the product of three copies, from (p, p, q) to (p, q, q).
    // Each distinct pump found between the loops' first few states: which
    // one makes the engine fail slowly only measuring tells.
    std::vector<Found> loopToLoop(std::uint32_t from, std::uint32_t to) {
        std::vector<Found> found;
        const std::vector<StateId> ps = triedStates(from);
        const std::vector<StateId> qs = triedStates(to);
        for (std::size_t i = 0; i < ps.size(); ++i) {
            for (std::size_t j = 0; j < qs.size(); ++j) {
                if (visited_ > visitBudget) return found;
                auto pump = throughThree(ps[i], qs[j], from, to);
                if (!pump) continue;
                const bool known = std::any_of(found.begin(), found.end(), [&](const Found& f) { return f.pump == *pump; });
                if (!known) found.push_back({ps[i], qs[j], std::move(*pump)});
            }
        }
        return found;
    }

    std::optional<WideText> throughThree(StateId p, StateId q, std::uint32_t from, std::uint32_t to) {
        struct Triple {
            StateId x, y, z;
            bool operator==(const Triple&) const = default;
        };
        struct Hash {
            std::size_t operator()(const Triple& t) const {
                return std::hash<std::uint64_t>()((std::uint64_t{t.x} << 42) ^ (std::uint64_t{t.y} << 21) ^ t.z);
            }
        };
        struct Step {
            Triple from;
            std::size_t letter;
            bool first;
        };
        std::unordered_map<Triple, Step, Hash> seen;
        std::deque<Triple> queue{{p, p, q}};
        seen.emplace(queue.front(), Step{{}, 0, true});
        const Triple goal{p, q, q};
        while (!queue.empty()) {
            const Triple t = queue.front();
            queue.pop_front();
            if (++visited_ % 4096 == 0) checkCancel();
            if (visited_ > visitBudget) return std::nullopt;
            for (StateId x : a_.next[t.x]) {
                if (!inComponent(x, from)) continue;
                for (StateId z : a_.next[t.z]) {
                    if (!inComponent(z, to)) continue;
                    for (StateId y : a_.next[t.y]) {
                        // The middle path leaves the first loop for good only towards the second.
                        if (c_.of[y] < to) continue;
                        const std::size_t letter = pick(a_.reads[x], a_.reads[y], a_.reads[z]);
                        if (letter == LetterSet::none) continue;
                        const Triple next{x, y, z};
                        if (!seen.emplace(next, Step{t, letter, false}).second) continue;
                        if (next == goal) {
                            WideText word;
                            for (auto it = seen.find(next); !it->second.first; it = seen.find(it->second.from)) {
                                word += a_.alphabet[it->second.letter];
                            }
                            std::reverse(word.begin(), word.end());
                            return word;
                        }
                        queue.push_back(next);
                    }
                }
            }
        }
        return std::nullopt;
    }

    // `letters`: what else a pump of one letter may be (the states it runs through read them all).
    Candidate candidate(bool exponential, StateId at, WideText pump, std::optional<PatternSpan> span,
                        std::uint32_t from, std::uint32_t to, const LetterSet& letters) const {
        Candidate c;
        c.exponential = exponential;
        c.prefix = wordTo(at);
        c.pump = std::move(pump);
        c.at = span.value_or(PatternSpan{});
        c.suffixes = failingSuffixes(from, to);
        if (c.pump.size() == 1) {
            for (std::size_t letter = 0; letter < a_.alphabet.size(); ++letter) {
                if (letters.has(letter) && a_.alphabet[letter] != c.pump.front()) c.otherLetters += a_.alphabet[letter];
            }
        }
        return c;
    }

    // The end of the text, a letter no state reads, and a letter the loops do not read.
    std::vector<WideText> failingSuffixes(std::uint32_t from, std::uint32_t to) const {
        std::vector<WideText> suffixes{WideText()};
        const auto unread = [&](auto&& counts) -> std::optional<wchar_t> {
            for (std::size_t letter = 0; letter < a_.alphabet.size(); ++letter) {
                bool read = false;
                for (StateId s = 0; s < a_.reads.size() && !read; ++s) {
                    if (counts(s) && a_.reads[s].has(letter)) read = true;
                }
                if (!read) return a_.alphabet[letter];
            }
            return std::nullopt;
        };
        const StateId firstReal = a_.searching ? searchLoopState + 1 : startState + 1;
        if (auto c = unread([&](StateId s) { return s >= firstReal && reachable(s); })) suffixes.emplace_back(1, *c);
        if (auto c = unread([&](StateId s) { return s >= firstReal && reachable(s) && (c_.of[s] == from || c_.of[s] == to); })) {
            suffixes.emplace_back(1, *c);
        }
        // Where every letter is read somewhere (\w, \D, [^…]), one of each kind
        // may still leave no way to finish.
        for (wchar_t c : std::wstring_view(L"!0a あ")) {
            if (std::find(a_.alphabet.begin(), a_.alphabet.end(), c) != a_.alphabet.end()) suffixes.emplace_back(1, c);
        }
        std::vector<WideText> distinct;
        for (WideText& suffix : suffixes) {
            if (std::find(distinct.begin(), distinct.end(), suffix) == distinct.end()) distinct.push_back(std::move(suffix));
        }
        return distinct;
    }

    const Automaton& a_;
    Components c_;
    const std::atomic<bool>* cancel_;
    std::vector<StateId> parent_;
    LetterSet prefer_;
    std::size_t visited_ = 0;
};

// The letters that no state right after a loop reads: a pump of them cannot
// let the match leave the loop and succeed.
LetterSet notLeavingLoops(const Automaton& a) {
    const Components c = components(a);
    LetterSet exits(a.alphabet.size());
    for (StateId s = 0; s < a.next.size(); ++s) {
        if (!c.loops[c.of[s]] || (a.searching && s == searchLoopState)) continue;
        for (StateId t : a.next[s]) {
            if (c.of[t] != c.of[s]) exits.add(a.reads[t]);
        }
    }
    LetterSet rest(a.alphabet.size());
    for (std::size_t letter = 0; letter < a.alphabet.size(); ++letter) {
        if (!exits.has(letter)) rest.add(letter);
    }
    return rest;
}

// The letters that no state reads as its one letter: not the pattern's own characters.
LetterSet unwritten(const Automaton& a) {
    LetterSet written(a.alphabet.size());
    for (const LetterSet& reads : a.reads) {
        if (reads.count() == 1) written.add(LetterSet::firstCommon(reads, reads));
    }
    LetterSet rest(a.alphabet.size());
    for (std::size_t letter = 0; letter < a.alphabet.size(); ++letter) {
        if (!written.has(letter)) rest.add(letter);
    }
    return rest;
}

}  // namespace

std::vector<Candidate> findCandidates(const Automaton& automaton, std::size_t most, const std::atomic<bool>* cancel) {
    std::vector<Candidate> out;
    if (automaton.tooLarge || automaton.next.empty()) return out;
    Finder finder(automaton, cancel);
    LetterSet all(automaton.alphabet.size());
    for (std::size_t i = 0; i < automaton.alphabet.size(); ++i) all.add(i);
    for (LetterSet letters : {notLeavingLoops(automaton), unwritten(automaton), all}) {
        finder.prefer(std::move(letters));
        std::vector<Candidate> found;
        finder.exponential(found, most);
        finder.polynomial(found, most);
        for (Candidate& c : found) {
            const bool known = std::any_of(out.begin(), out.end(), [&](const Candidate& o) {
                return o.prefix == c.prefix && o.pump == c.pump;
            });
            if (!known) out.push_back(std::move(c));
        }
    }
    // A pump of one letter may as well be another the same states read: one
    // of another kind may keep the other alternatives from matching early.
    for (std::size_t i = 0, found = out.size(); i < found; ++i) {
        std::size_t siblings = 0;
        for (wchar_t letter : std::wstring_view(L"aA0!あ 漢")) {
            if (siblings == 2 || out[i].otherLetters.find(letter) == WideText::npos) continue;
            Candidate other = out[i];
            other.pump.assign(1, letter);
            const bool known = std::any_of(out.begin(), out.end(), [&](const Candidate& o) {
                return o.prefix == other.prefix && o.pump == other.pump;
            });
            if (!known) {
                out.push_back(std::move(other));
                ++siblings;
            }
        }
    }
    // A pump of several letters may explode too fast to measure at whole
    // pumps; a letter of it alone often explodes too, more slowly.
    const std::size_t found = out.size();
    for (std::size_t i = 0; i < found; ++i) {
        if (!out[i].exponential || out[i].pump.size() < 2) continue;
        for (wchar_t letter : {out[i].pump.front(), out[i].pump.back()}) {
            Candidate single = out[i];
            single.pump.assign(1, letter);
            const bool known = std::any_of(out.begin(), out.end(), [&](const Candidate& o) {
                return o.prefix == single.prefix && o.pump == single.pump;
            });
            if (!known) out.push_back(std::move(single));
        }
    }
    // The hypotheses of exponential growth first (their measuring is short
    // and ends the search), the shortest pumps first among each (the
    // steepest growths are measured best on them).
    std::stable_sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) {
        if (a.exponential != b.exponential) return a.exponential;
        return a.pump.size() < b.pump.size();
    });
    if (out.size() > most) out.resize(most);
    return out;
}

std::vector<Candidate> letterCandidates(const Automaton& automaton, std::size_t most) {
    std::vector<Candidate> out;
    for (std::size_t letter = 0; letter < automaton.alphabet.size() && out.size() < most; ++letter) {
        Candidate c;
        c.pump.assign(1, automaton.alphabet[letter]);
        c.suffixes = {WideText()};
        // One letter of each kind: one of them may leave no way to finish.
        for (wchar_t end : std::wstring_view(L"!0a あ")) {
            if (end != c.pump.front()) c.suffixes.emplace_back(1, end);
        }
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace tarnwick::growth
