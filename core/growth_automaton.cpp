#include "growth_automaton.h"

#include <algorithm>
#include <bit>
#include <unordered_map>

#include "char_class.h"
#include "code_page.h"

namespace tarnwick::growth {

bool LetterSet::empty() const {
    return std::all_of(words_.begin(), words_.end(), [](std::uint64_t w) { return w == 0; });
}

std::size_t LetterSet::count() const {
    std::size_t n = 0;
    for (std::uint64_t w : words_) n += static_cast<std::size_t>(std::popcount(w));
    return n;
}

std::size_t LetterSet::firstCommon(const LetterSet& a, const LetterSet& b) {
    for (std::size_t i = 0; i < a.words_.size() && i < b.words_.size(); ++i) {
        if (const std::uint64_t both = a.words_[i] & b.words_[i]) return i * 64 + std::countr_zero(both);
    }
    return none;
}

std::size_t LetterSet::firstCommon(const LetterSet& a, const LetterSet& b, const LetterSet& c) {
    for (std::size_t i = 0; i < a.words_.size() && i < b.words_.size() && i < c.words_.size(); ++i) {
        if (const std::uint64_t all = a.words_[i] & b.words_[i] & c.words_[i]) return i * 64 + std::countr_zero(all);
    }
    return none;
}

namespace {

using pattern::ClassItem;
using pattern::Node;
using pattern::NodeId;
using pattern::NodeKind;
using pattern::PatternTree;

// Characters that stand for the classes a pattern may name, besides its own:
// letters, digits and signs of ASCII, kana, kanji and fullwidth forms.
constexpr std::wstring_view representatives =
    L"a0A_z9Z -!.,:;/#~\t?@あアｱ漢０Ａａ　ー。「・αА§①〓ﾞ";

// More letters than this cost the analysis more than they add.
constexpr std::size_t maxLetters = 1024;
// A bounded repetition up to this many passes is written out pass by pass;
// beyond, it is read as unbounded.
constexpr std::uint64_t maxUnrolledPasses = 4;
constexpr std::size_t maxStates = 20'000;
constexpr std::size_t maxEdges = 4'000'000;
constexpr int maxDepth = 400;

bool isWord(wchar_t c) { return c == L'_' || isInClass(c, CharClass::alnum); }

bool escapeHas(wchar_t letter, wchar_t c) {
    switch (letter) {
        case L'd': return isInClass(c, CharClass::digit);
        case L'D': return !isInClass(c, CharClass::digit);
        case L's': return isInClass(c, CharClass::space);
        case L'S': return !isInClass(c, CharClass::space);
        case L'w': return isWord(c);
        case L'W': return !isWord(c);
        default: return false;
    }
}

bool itemHas(const ClassItem& item, wchar_t c) {
    switch (item.kind) {
        case ClassItem::Kind::character:
        case ClassItem::Kind::equivalence: return c == item.first;
        case ClassItem::Kind::range: return item.first <= c && c <= item.last;
        case ClassItem::Kind::escape: return escapeHas(item.first, c);
        case ClassItem::Kind::named:
            if (const auto cls = classNamed(item.name)) return isInClass(c, *cls);
            return item.name == wordClassNameInPatterns && isWord(c);
    }
    return false;
}

bool classHas(const Node& node, wchar_t c) {
    const bool listed = std::any_of(node.items.begin(), node.items.end(), [c](const ClassItem& i) { return itemHas(i, c); });
    return listed != node.negated;
}

// The pattern's characters, then the representatives; only those that code
// page 932 holds and that a joined text can contain.
std::vector<wchar_t> chooseAlphabet(const PatternTree& tree) {
    WideText candidates;
    for (const Node& node : tree.nodes) {
        if (node.kind == NodeKind::literal) candidates += node.text;
        for (const ClassItem& item : node.items) {
            if (item.kind == ClassItem::Kind::character || item.kind == ClassItem::Kind::equivalence ||
                item.kind == ClassItem::Kind::range) {
                candidates += item.first;
            }
            if (item.kind == ClassItem::Kind::range) candidates += item.last;
        }
    }
    candidates += representatives;
    // One conversion for all: a character that does not come back is not in the code page.
    const NarrowText bytes = codepage::encode932(candidates.data(), candidates.size());
    const WideText back = codepage::decode932(bytes.data(), bytes.size());
    std::vector<wchar_t> alphabet;
    std::unordered_map<wchar_t, bool> seen;
    for (std::size_t i = 0; i < candidates.size() && alphabet.size() < maxLetters; ++i) {
        const wchar_t c = candidates[i];
        if (c == L'\0' || c == L'\n' || c == L'\r' || back.size() != candidates.size() || back[i] != c) continue;
        if (seen.emplace(c, true).second) alphabet.push_back(c);
    }
    return alphabet;
}

struct Fragment {
    std::vector<StateId> first;
    std::vector<StateId> last;
    bool nullable = true;
};

class Builder {
public:
    Builder(const PatternTree& tree, Automaton& automaton) : tree_(tree), a_(automaton) {
        for (std::size_t i = 0; i < a_.alphabet.size(); ++i) letterOf_.emplace(a_.alphabet[i], i);
        any_ = LetterSet(a_.alphabet.size());
        for (std::size_t i = 0; i < a_.alphabet.size(); ++i) any_.add(i);
    }

    Fragment build(NodeId id, int depth) {
        if (depth > maxDepth) throw TooLarge{};
        const Node& node = tree_[id];
        switch (node.kind) {
            case NodeKind::alternation: {
                Fragment all;
                all.nullable = false;
                for (NodeId child : node.children) {
                    Fragment f = build(child, depth + 1);
                    append(all.first, f.first);
                    append(all.last, f.last);
                    all.nullable = all.nullable || f.nullable;
                }
                return all;
            }
            case NodeKind::concatenation: {
                Fragment all;
                for (NodeId child : node.children) all = sequence(std::move(all), build(child, depth + 1));
                return all;
            }
            case NodeKind::group: return build(node.children.front(), depth + 1);
            case NodeKind::repetition: return repetition(node, depth);
            case NodeKind::lookahead:
            case NodeKind::backReference:
            case NodeKind::marker:
            case NodeKind::markerReference:
                a_.approximate = true;
                return {};
            // The joined text holds no line break, so $ holds only at its end:
            // nothing is read after it. A state that reads no letter says so.
            case NodeKind::assertion: return node.character == L'$' ? single(LetterSet(a_.alphabet.size())) : Fragment{};
            case NodeKind::literal: {
                Fragment all;
                for (wchar_t c : node.text) {
                    LetterSet reads(a_.alphabet.size());
                    if (const auto letter = letterOf_.find(c); letter != letterOf_.end()) reads.add(letter->second);
                    all = sequence(std::move(all), single(std::move(reads)));
                }
                return all;
            }
            case NodeKind::anyCharacter: return single(any_);
            case NodeKind::characterClass: {
                LetterSet reads(a_.alphabet.size());
                for (std::size_t i = 0; i < a_.alphabet.size(); ++i) {
                    if (classHas(node, a_.alphabet[i])) reads.add(i);
                }
                return single(std::move(reads));
            }
        }
        return {};
    }

    void connect(const std::vector<StateId>& from, const std::vector<StateId>& to) {
        for (StateId f : from) {
            edges_ += to.size();
            if (edges_ > maxEdges) throw TooLarge{};
            append(a_.next[f], to);
        }
    }

    LetterSet any_;
    struct TooLarge {};

private:
    static void append(std::vector<StateId>& to, const std::vector<StateId>& more) {
        to.insert(to.end(), more.begin(), more.end());
    }

    Fragment single(LetterSet reads) {
        if (a_.reads.size() >= maxStates) throw TooLarge{};
        const auto state = static_cast<StateId>(a_.reads.size());
        a_.reads.push_back(std::move(reads));
        a_.next.emplace_back();
        a_.loop.push_back(outerLoop_);
        return {{state}, {state}, false};
    }

    Fragment sequence(Fragment a, Fragment b) {
        connect(a.last, b.first);
        Fragment both;
        both.first = std::move(a.first);
        if (a.nullable) append(both.first, b.first);
        both.last = std::move(b.last);
        if (b.nullable) append(both.last, a.last);
        both.nullable = a.nullable && b.nullable;
        return both;
    }

    Fragment repetition(const Node& node, int depth) {
        const NodeId body = node.children.front();
        if (node.max == 0) return {};
        const bool loops = node.max > maxUnrolledPasses || a_.reads.size() * node.max > maxStates / 2;
        if (node.max == 1 || !loops) {
            // Written out: min passes, then each further pass optional after the one before.
            Fragment all;
            Fragment optional;
            for (std::uint64_t pass = node.max; pass > node.min; --pass) {
                Fragment one = build(body, depth + 1);
                optional = sequence(std::move(one), std::move(optional));
                optional.nullable = true;
            }
            for (std::uint64_t pass = 0; pass < node.min; ++pass) all = sequence(std::move(all), build(body, depth + 1));
            return sequence(std::move(all), std::move(optional));
        }
        const bool outermost = !outerLoop_;
        if (outermost) outerLoop_ = PatternSpan{node.position, node.end};
        Fragment f = build(body, depth + 1);
        if (outermost) outerLoop_.reset();
        connect(f.last, f.first);
        if (node.min == 0) f.nullable = true;
        return f;
    }

    const PatternTree& tree_;
    Automaton& a_;
    std::unordered_map<wchar_t, std::size_t> letterOf_;
    std::optional<PatternSpan> outerLoop_;
    std::size_t edges_ = 0;
};

}  // namespace

Automaton buildAutomaton(const PatternTree& tree, bool searching) {
    Automaton a;
    a.searching = searching;
    a.alphabet = chooseAlphabet(tree);
    Builder builder(tree, a);
    a.reads.emplace_back(a.alphabet.size());  // the start
    a.next.emplace_back();
    a.loop.emplace_back();
    if (searching) {
        a.reads.push_back(builder.any_);
        a.next.push_back({searchLoopState});
        a.loop.emplace_back();
        a.next[startState].push_back(searchLoopState);
    }
    try {
        const Fragment whole = builder.build(tree.root, 0);
        builder.connect({startState}, whole.first);
        if (searching) builder.connect({searchLoopState}, whole.first);
    } catch (const Builder::TooLarge&) {
        const bool approximate = a.approximate;
        a = Automaton{};
        a.approximate = approximate;
        a.tooLarge = true;
    }
    return a;
}

}  // namespace tarnwick::growth
