// A recursive-descent reader of the ECMAScript pattern grammar, one function
// per rule, building the pattern's tree; bracket expressions are read in
// pattern_parse_class.cpp. Each error is raised where the grammar fails, so
// the code is the one of the first fault from the left.

#include <utility>

#include "pattern_reader.h"
#include "pattern_stages.h"

namespace tarnwick::pattern {
namespace {

constexpr std::size_t maxCaptureGroups = 31;
// Each level of nesting costs the engine's compiler stack; deeper patterns are refused.
constexpr int maxNesting = 1000;

bool isQuantifierStart(wchar_t c) { return c == L'*' || c == L'+' || c == L'?' || c == L'{'; }
bool isQuantifierEnd(wchar_t c) { return c == L'*' || c == L'+' || c == L'?' || c == L'}'; }

struct Repeat {
    std::uint64_t min;
    std::uint64_t max;
    bool lazy;
};

class Parser : public PatternReader {
public:
    explicit Parser(const WideText& pattern) : PatternReader(pattern) {
        tree_.nodes.reserve(pattern.size() / 4 + 16);  // runs of characters share a node
    }

    ParsedPattern run() {
        tree_.root = parseDisjunction();
        if (!atEnd()) fail(PatternError::paren);  // only a lone ')' stops a disjunction early
        return {std::move(tree_), groupsOpened_};
    }

private:
    NodeId leaf(NodeKind kind, std::size_t position, wchar_t character = 0) {
        const NodeId id = tree_.add(kind);
        tree_[id].position = position;
        tree_[id].character = character;
        return id;
    }
    NodeId literal(std::size_t position, wchar_t c) {
        const NodeId id = leaf(NodeKind::literal, position);
        tree_[id].text.assign(1, c);
        return id;
    }
    bool isLiteral(NodeId id) const { return tree_[id].kind == NodeKind::literal; }

    // Disjunction :: Alternative ( '|' Alternative )*
    NodeId parseDisjunction() {
        const std::size_t start = pos_;
        const NodeId first = parseAlternative();
        if (atEnd() || peek() != L'|') return first;
        const NodeId all = leaf(NodeKind::alternation, start);
        tree_[all].children.push_back(first);
        while (!atEnd() && peek() == L'|') {
            ++pos_;
            const NodeId next = parseAlternative();
            tree_[all].children.push_back(next);
        }
        return all;
    }

    // Alternative :: Term*
    NodeId parseAlternative() {
        const NodeId terms = leaf(NodeKind::concatenation, pos_);
        while (!atEnd() && peek() != L'|' && peek() != L')') {
            const NodeId term = parseTerm();
            std::vector<NodeId>& children = tree_[terms].children;
            // Characters one after the other make one node: a long text pasted as
            // the expression costs a node, not one per character.
            if (!children.empty() && isLiteral(children.back()) && isLiteral(term) && term + 1 == tree_.nodes.size()) {
                tree_[children.back()].text += tree_[term].text;
                tree_.nodes.pop_back();
                continue;
            }
            children.push_back(term);
        }
        return terms;
    }

    // Term :: Assertion | Atom Quantifier?
    NodeId parseTerm() {
        const std::size_t start = pos_;
        const wchar_t c = peek();
        NodeId atom = 0;
        switch (c) {
            case L'^':
            case L'$':
                ++pos_;
                rejectQuantifier();
                return leaf(NodeKind::assertion, start, c);
            case L'\\':
                if (has(1) && (peek(1) == L'b' || peek(1) == L'B')) {
                    const wchar_t kind = peek(1);
                    pos_ += 2;
                    rejectQuantifier();
                    return leaf(NodeKind::assertion, start, kind);
                }
                atom = parseAtomEscape();
                break;
            case L'(':
                atom = parseGroup();
                if (tree_[atom].kind == NodeKind::lookahead) {  // an assertion
                    rejectQuantifier();
                    return atom;
                }
                break;
            case L'*':
            case L'+':
            case L'?':
            case L'{':
                fail(PatternError::badrepeat);
            case L'}':
                fail(PatternError::brace);
            case L']':
                fail(PatternError::brack);
            case L'[':
                atom = parseCharacterClass(tree_);
                break;
            case L'.':
                ++pos_;
                atom = leaf(NodeKind::anyCharacter, start);
                break;
            default:
                ++pos_;
                atom = literal(start, c);
        }
        return parseQuantifier(atom, start);
    }

    void rejectQuantifier() const {
        if (atEnd() || !isQuantifierStart(peek())) return;
        if (peek() == L'+' && pos_ > 0 && isQuantifierEnd(p_[pos_ - 1])) {
            fail(PatternError::badrepeat, pos_, "possessive quantifiers (*+, ++, ?+) are not part of this grammar");
        }
        fail(PatternError::badrepeat);
    }

    // Quantifier :: ( '*' | '+' | '?' | '{' n '}' | '{' n ',}' | '{' n ',' m '}' ) '?'?
    NodeId parseQuantifier(NodeId atom, std::size_t start) {
        if (atEnd() || !isQuantifierStart(peek())) return atom;
        Repeat repeat{0, unbounded, false};
        switch (peek()) {
            case L'*': ++pos_; break;
            case L'+': repeat.min = 1; ++pos_; break;
            case L'?': repeat.max = 1; ++pos_; break;
            default: parseBraces(repeat);
        }
        if (!atEnd() && peek() == L'?') {
            repeat.lazy = true;
            ++pos_;
        }
        rejectQuantifier();
        const NodeId node = leaf(NodeKind::repetition, start);
        tree_[node].min = repeat.min;
        tree_[node].max = repeat.max;
        tree_[node].lazy = repeat.lazy;
        tree_[node].end = pos_;
        tree_[node].children.push_back(atom);
        return node;
    }

    void parseBraces(Repeat& repeat) {
        ++pos_;
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        repeat.min = parseRepeatCount();
        if (atEnd()) fail(PatternError::badbrace);
        if (peek() == L'}') {
            ++pos_;
            repeat.max = repeat.min;
            return;
        }
        if (peek() != L',') fail(PatternError::badbrace);
        ++pos_;
        if (!atEnd() && peek() == L'}') {
            ++pos_;
            return;
        }
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        repeat.max = parseRepeatCount();
        if (atEnd() || peek() != L'}' || repeat.max < repeat.min) fail(PatternError::badbrace);
        ++pos_;
    }

    std::uint64_t parseRepeatCount() {
        const std::uint64_t n = parseDecimal();
        if (n > maxRepeatCount) fail(PatternError::badbrace);
        return n;
    }

    // Group :: '(' Disjunction ')' | '(?:' Disjunction ')' | '(?=' Disjunction ')' | '(?!' Disjunction ')'
    NodeId parseGroup() {
        const std::size_t opening = pos_;
        const NodeId group = leaf(NodeKind::group, opening);
        std::size_t number = 0;
        if (has(1) && peek(1) == L'?') {
            if (!has(2)) fail(PatternError::syntax);
            const wchar_t kind = peek(2);
            if (kind != L':' && kind != L'=' && kind != L'!') failOtherEnginesGroup(kind);
            if (kind != L':') tree_[group].kind = NodeKind::lookahead;
            tree_[group].negated = kind == L'!';
            pos_ += 3;
        } else {
            if (++groupsOpened_ > maxCaptureGroups) fail(PatternError::complexity);
            number = groupsOpened_;
            tree_[group].number = number;
            ++pos_;
        }
        // The group that goes one level too deep is the fault, not its body.
        if (++depth_ > maxNesting) throw RegexError(PatternError::stack, opening);
        const NodeId body = parseDisjunction();
        tree_[group].children.push_back(body);
        if (atEnd()) fail(PatternError::paren);
        ++pos_;
        --depth_;
        if (number != 0) {
            if (closed_.size() <= number) closed_.resize(number + 1);
            closed_[number] = true;
        }
        return group;
    }

    // "(?" followed by what other engines read there.
    [[noreturn]] void failOtherEnginesGroup(wchar_t kind) const {
        const std::size_t at = pos_;
        if (kind == L'<' && has(3) && (peek(3) == L'=' || peek(3) == L'!')) {
            fail(PatternError::syntax, at, "look-behind (?<= and (?<! is not part of this grammar");
        }
        if (kind == L'<' || kind == L'P' || kind == L'\'') {
            fail(PatternError::syntax, at, "named groups are not part of this grammar; use a plain group and its number");
        }
        if (kind == L'i' || kind == L'm' || kind == L's' || kind == L'x' || kind == L'-') {
            fail(PatternError::syntax, at, "inline flags such as (?i) are not part of this grammar");
        }
        fail(PatternError::syntax);
    }

    // AtomEscape :: DecimalEscape | CharacterClassEscape | CharacterEscape
    NodeId parseAtomEscape() {
        const std::size_t start = pos_;
        if (!has(1)) fail(PatternError::escape);
        ++pos_;
        const wchar_t c = peek();
        if (isDigit(c)) {
            const std::uint64_t n = parseDecimal();
            if (n == 0) return literal(start, L'\0');
            // A back reference must name a group that is already closed.
            if (n >= closed_.size() || !closed_[n]) throw RegexError(PatternError::backref, start);
            const NodeId reference = leaf(NodeKind::backReference, start);
            tree_[reference].number = static_cast<std::size_t>(n);
            return reference;
        }
        if ((c == L'p' || c == L'P') && has(1) && peek(1) == L'{') {
            // Read as the letter and a repetition count, which it is not.
            fail(PatternError::badbrace, pos_ - 1,
                 "Unicode properties such as \\p{Han} are not part of this grammar; try a class such as "
                 "[一-龥] or [[:alpha:]]");
        }
        ++pos_;
        if (isClassEscape(c)) {
            const NodeId set = leaf(NodeKind::characterClass, start);
            tree_[set].items.push_back({ClassItem::Kind::escape, c});
            return set;
        }
        return literal(start, characterEscape(c));
    }

    PatternTree tree_;
    std::size_t groupsOpened_ = 0;
    int depth_ = 0;
    std::vector<bool> closed_;
};

}  // namespace

ParsedPattern parsePattern(const WideText& pattern) { return Parser(pattern).run(); }

}  // namespace tarnwick::pattern
