// The checker as it was before it became stages (parse, rewrite, print): one
// pass that writes the engine's pattern as it reads. Kept beside the new one
// so that the benchmark times both and the comparison tool can tell them apart.

#include "pattern_check_before.h"

#include <array>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "char_class.h"
#include "engine_traits.h"
#include "pattern_error.h"

namespace tarnwick {
namespace {

constexpr int maxCaptureGroups = 31;
// Each level of nesting costs the engine's compiler stack; deeper patterns are refused.
constexpr int maxNesting = 1000;
constexpr std::uint64_t maxRepeatCount = 2147483647;

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool isHexDigit(wchar_t c) { return isDigit(c) || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }
std::uint32_t hexValue(wchar_t c) {
    if (isDigit(c)) return static_cast<std::uint32_t>(c - L'0');
    return static_cast<std::uint32_t>((c | 0x20) - L'a' + 10);
}
bool isQuantifierStart(wchar_t c) { return c == L'*' || c == L'+' || c == L'?' || c == L'{'; }

// Written so that the engine's scanner can read it in one way only: letters and
// digits as they are, everything else as \uXXXX.
WideText literal(wchar_t c) {
    if (isDigit(c) || isAsciiLetter(c)) return WideText(1, c);
    const std::uint32_t code = static_cast<std::uint32_t>(c);  // a wchar_t may be 16 or 32 bits wide
    if (code > 0xFFFF) return WideText(1, c);                  // no syntax character lies there
    wchar_t buffer[8];
    std::swprintf(buffer, 8, L"\\u%04X", static_cast<unsigned>(c));
    return buffer;
}

// The name the engine knows a pattern's class name by: its own, or for the
// word class one that only the checker writes.
std::optional<WideText> engineClassName(const WideText& name) {
    WideText lower;
    for (wchar_t c : name) lower += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (lower == wordClassNameInPatterns) return WideText(wordClassName);
    if (classNamed(lower)) return lower;  // the engine knows the other names as they are
    return std::nullopt;
}

// One element of a bracket expression: a single character (which may start or
// end a range) or a set of characters (a class, which may not).
struct ClassAtom {
    bool isSet;
    wchar_t ch;
    WideText text;  // as the engine reads it inside brackets
};

// How wide the matches of a piece of the pattern can be.
enum class Width {
    nonEmpty,  // never the empty string
    empty,     // only the empty string (assertions, empty groups)
    either,
};

// What a parse function tells its caller about the piece it has written.
struct Piece {
    Width width;
    // The piece restricted to its non-empty matches, in the same order of
    // preference; no value where that cannot be written.
    std::optional<WideText> nonEmpty;
    // It may be written twice: it holds no back reference, sentinel or marker,
    // whose group numbers a copy would get wrong.
    bool copyable;
};

// Never matches, but keeps the groups of `text` in the numbering.
WideText neverMatching(const WideText& text) { return L"(?!)" + text; }

Piece fixedPiece(Width width, const WideText& text, bool copyable = true) {
    return {width, width == Width::empty ? neverMatching(text) : text, copyable};
}

constexpr std::uint64_t unbounded = UINT64_MAX;

// A repetition as the engine writes it.
WideText quantifierText(std::uint64_t min, std::uint64_t max, bool lazy) {
    WideText q;
    if (min == 0 && max == unbounded) q = L"*";
    else if (min == 1 && max == unbounded) q = L"+";
    else if (min == 0 && max == 1) q = L"?";
    else if (min == 1 && max == 1) return L"";
    else if (max == min) q = L'{' + std::to_wstring(min) + L'}';
    else q = L'{' + std::to_wstring(min) + L',' + (max == unbounded ? L"" : std::to_wstring(max)) + L'}';
    return lazy ? q + L'?' : q;
}

struct Repeat {
    std::uint64_t min;
    std::uint64_t max;
    bool lazy;
};

class Parser {
public:
    Parser(const WideText& pattern, std::vector<bool> wantSentinel)
        : p_(pattern), wantSentinel_(std::move(wantSentinel)), sentinelIndex_(wantSentinel_.size(), 0) {}

    CheckedPattern run() {
        parseDisjunction();
        if (!atEnd()) fail(PatternError::paren);  // only a lone ')' stops a disjunction early
        CheckedPattern checked{std::move(out_), {}};
        for (const OpenedGroup& opened : groups_) {
            GroupSlots slots{opened.engine, {}, false};
            for (std::size_t id : opened.lookaheads) {
                if (lookaheads_[id].negative) slots.inNegativeLookahead = true;
                else slots.markers.push_back(lookaheads_[id].marker);
            }
            checked.groups.push_back(std::move(slots));
        }
        return checked;
    }

    const std::vector<bool>& referencedGroups() const { return referenced_; }

private:
    struct OpenedGroup {
        std::vector<std::size_t> engine;      // see GroupSlots
        std::vector<std::size_t> lookaheads;  // the look-aheads it stands in
    };
    struct Lookahead {
        bool negative;
        std::size_t marker;  // 0: it holds no group and needs none
    };

    bool atEnd() const { return pos_ >= p_.size(); }
    bool has(std::size_t ahead) const { return pos_ + ahead < p_.size(); }
    wchar_t peek(std::size_t ahead = 0) const { return p_[pos_ + ahead]; }
    [[noreturn]] void fail(PatternError code) const { throw RegexError(code, pos_); }
    [[noreturn]] void fail(PatternError code, std::size_t at, const char* reason) const {
        throw RegexError(code, at, reason);
    }

    // Disjunction :: Alternative ( '|' Alternative )*
    Piece parseDisjunction() {
        Piece all = parseAlternative();
        while (!atEnd() && peek() == L'|') {
            out_ += L'|';
            ++pos_;
            const Piece next = parseAlternative();
            if (all.width != next.width) all.width = Width::either;
            if (all.nonEmpty && next.nonEmpty) {
                *all.nonEmpty += L'|' + *next.nonEmpty;
            } else {
                all.nonEmpty.reset();
            }
            all.copyable = all.copyable && next.copyable;
        }
        return all;
    }

    // Alternative :: Term*
    Piece parseAlternative() {
        const std::size_t start = out_.size();
        bool anyNonEmpty = false;
        bool copyable = true;
        int eitherTerms = 0;
        std::size_t eitherStart = 0;
        std::size_t eitherEnd = 0;
        std::optional<WideText> eitherNonEmpty;
        while (!atEnd() && peek() != L'|' && peek() != L')') {
            const std::size_t termStart = out_.size();
            Piece term = parseTerm();
            copyable = copyable && term.copyable;
            if (term.width == Width::nonEmpty) anyNonEmpty = true;
            if (term.width == Width::either && ++eitherTerms == 1) {
                eitherStart = termStart;
                eitherEnd = out_.size();
                eitherNonEmpty = std::move(term.nonEmpty);
            }
        }
        const WideText text = out_.substr(start);
        if (anyNonEmpty) return {Width::nonEmpty, text, copyable};
        if (eitherTerms == 0) return fixedPiece(Width::empty, text, copyable);
        // The other terms match only the empty string, so the alternative is
        // non-empty exactly when its one term of either width is.
        if (eitherTerms > 1 || !eitherNonEmpty) return {Width::either, std::nullopt, copyable};
        WideText nonEmpty = text;
        nonEmpty.replace(eitherStart - start, eitherEnd - eitherStart, *eitherNonEmpty);
        return {Width::either, std::move(nonEmpty), copyable};
    }

    // Term :: Assertion | Atom Quantifier?
    Piece parseTerm() {
        const std::size_t start = out_.size();
        const std::size_t groupsBefore = engineGroups_;
        const wchar_t c = peek();
        Piece atom{Width::nonEmpty, std::nullopt, true};
        switch (c) {
            case L'^':
            case L'$':
                out_ += c;
                ++pos_;
                rejectQuantifier();
                return fixedPiece(Width::empty, out_.substr(start));
            case L'\\':
                if (has(1) && (peek(1) == L'b' || peek(1) == L'B')) {
                    out_ += L'\\';
                    out_ += peek(1);
                    pos_ += 2;
                    rejectQuantifier();
                    return fixedPiece(Width::empty, out_.substr(start));
                }
                atom = parseAtomEscape();
                break;
            case L'(': {
                bool lookahead = false;
                atom = parseGroup(lookahead);
                if (lookahead) {  // an assertion
                    rejectQuantifier();
                    return atom;
                }
                break;
            }
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
                parseCharacterClass();
                break;
            case L'.':
                // The engine's '.' also refuses U+2028 and U+2029, which code page 932 cannot hold.
                out_ += L'.';
                ++pos_;
                break;
            default:
                out_ += literal(c);
                ++pos_;
        }
        if (atom.width == Width::nonEmpty) atom.nonEmpty = out_.substr(start);
        const std::optional<Repeat> repeat = parseQuantifier();
        if (!repeat) return atom;
        return repeatAtom(start, groupsBefore, atom, *repeat);
    }

    // Writes the atom at out_[start...] repeated. A body that can match empty is always a group. ECMAScript refuses a pass
    // after the minimum that matches the empty string, where the engine takes
    // it (and lets it overwrite the groups); so a body that can match empty is
    // repeated as its non-empty matches, after the minimum.
    Piece repeatAtom(std::size_t start, std::size_t groupsBefore, const Piece& atom, const Repeat& r) {
        const WideText atomText = out_.substr(start);
        const bool nullable = atom.width != Width::nonEmpty;
        const bool optionalPasses = r.max > r.min;
        out_.resize(start);
        if (!nullable || !optionalPasses || !atom.nonEmpty || (r.min > 0 && !atom.copyable)) {
            // Either nothing to mend, or a body we cannot restrict: the engine's own reading.
            out_ += atomText + quantifierText(r.min, r.max, r.lazy);
        } else if (r.min == 0) {
            out_ += *atom.nonEmpty + quantifierText(0, r.max, r.lazy);
        } else {
            // The passes up to the minimum may be empty; the rest are a copy.
            const std::uint64_t optionalMax = r.max == unbounded ? unbounded : r.max - r.min;
            out_ += atomText + quantifierText(r.min, r.min, false) + *atom.nonEmpty + quantifierText(0, optionalMax, r.lazy);
            copyGroups(groupsBefore, engineGroups_ - groupsBefore);
        }
        const WideText text = out_.substr(start);
        if (r.max == 0 || atom.width == Width::empty) return fixedPiece(Width::empty, text, atom.copyable);
        if (atom.width == Width::nonEmpty && r.min > 0) return {Width::nonEmpty, text, atom.copyable};
        // Zero passes or more, each of them non-empty: at least one pass is the non-empty part.
        std::optional<WideText> nonEmpty;
        if (r.min == 0 && atom.nonEmpty) {
            const WideText q = quantifierText(1, r.max, r.lazy);
            nonEmpty = q.empty() ? *atom.nonEmpty : L"(?:" + *atom.nonEmpty + L')' + q;
        }
        return {Width::either, std::move(nonEmpty), atom.copyable && r.min == 0};
    }

    // The groups of the engine numbered after `first`, `count` of them, were just written once more.
    void copyGroups(std::size_t first, std::size_t count) {
        for (OpenedGroup& group : groups_) {
            const std::size_t slots = group.engine.size();
            for (std::size_t i = 0; i < slots; ++i) {
                if (group.engine[i] > first && group.engine[i] <= first + count) group.engine.push_back(group.engine[i] + count);
            }
        }
        engineGroups_ += count;
    }

    void rejectQuantifier() const {
        if (atEnd() || !isQuantifierStart(peek())) return;
        if (peek() == L'+' && pos_ > 0 && isQuantifierEnd(p_[pos_ - 1])) {
            fail(PatternError::badrepeat, pos_, "possessive quantifiers (*+, ++, ?+) are not part of this grammar");
        }
        fail(PatternError::badrepeat);
    }
    static bool isQuantifierEnd(wchar_t c) { return c == L'*' || c == L'+' || c == L'?' || c == L'}'; }

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

    // Quantifier :: ( '*' | '+' | '?' | '{' n '}' | '{' n ',}' | '{' n ',' m '}' ) '?'?
    std::optional<Repeat> parseQuantifier() {
        if (atEnd() || !isQuantifierStart(peek())) return std::nullopt;
        Repeat r{0, unbounded, false};
        switch (peek()) {
            case L'*': ++pos_; break;
            case L'+': r.min = 1; ++pos_; break;
            case L'?': r.max = 1; ++pos_; break;
            default: parseBraces(r);
        }
        if (!atEnd() && peek() == L'?') {
            r.lazy = true;
            ++pos_;
        }
        rejectQuantifier();
        return r;
    }

    void parseBraces(Repeat& r) {
        ++pos_;
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        r.min = parseRepeatCount();
        if (atEnd()) fail(PatternError::badbrace);
        if (peek() == L'}') {
            ++pos_;
            r.max = r.min;
            return;
        }
        if (peek() != L',') fail(PatternError::badbrace);
        ++pos_;
        if (!atEnd() && peek() == L'}') {
            ++pos_;
            return;
        }
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        r.max = parseRepeatCount();
        if (atEnd() || peek() != L'}' || r.max < r.min) fail(PatternError::badbrace);
        ++pos_;
    }

    std::uint64_t parseRepeatCount() {
        const std::uint64_t n = parseDecimal();
        if (n > maxRepeatCount) fail(PatternError::badbrace);
        return n;
    }

    // A run of decimal digits; saturates rather than overflows.
    std::uint64_t parseDecimal() {
        std::uint64_t n = 0;
        for (; !atEnd() && isDigit(peek()); ++pos_) {
            if (n <= maxRepeatCount) n = n * 10 + static_cast<std::uint64_t>(peek() - L'0');
        }
        return n;
    }

    // Group :: '(' Disjunction ')' | '(?:' Disjunction ')' | '(?=' Disjunction ')' | '(?!' Disjunction ')'
    // `lookahead` tells whether it is an assertion.
    Piece parseGroup(bool& lookahead) {
        const std::size_t opening = pos_;
        const std::size_t start = out_.size();
        const std::size_t groupsBefore = engineGroups_;
        std::size_t group = 0;
        lookahead = false;
        if (has(1) && peek(1) == L'?') {
            if (!has(2)) fail(PatternError::syntax);
            const wchar_t kind = peek(2);
            if (kind != L':' && kind != L'=' && kind != L'!') failOtherEnginesGroup(kind);
            lookahead = kind != L':';
            if (lookahead) {
                openLookaheads_.push_back(lookaheads_.size());
                lookaheads_.push_back({kind == L'!', 0});
            }
            out_ += p_.substr(pos_, 3);
            pos_ += 3;
        } else {
            if (++groupsOpened_ > maxCaptureGroups) fail(PatternError::complexity);
            group = static_cast<std::size_t>(groupsOpened_);
            groups_.push_back({{++engineGroups_}, openLookaheads_});
            out_ += L'(';
            ++pos_;
        }
        // A group that is referenced back records, in an empty group after its
        // whole body, that it took part in the match.
        const bool sentinel = group != 0 && group < wantSentinel_.size() && wantSentinel_[group];
        if (sentinel) out_ += L"(?:";
        // The group that goes one level too deep is the fault, not its body.
        if (++depth_ > maxNesting) throw RegexError(PatternError::stack, opening);
        const std::size_t bodyStart = out_.size();
        Piece body = parseDisjunction();
        const std::size_t bodyEnd = out_.size();
        if (atEnd()) fail(PatternError::paren);
        ++pos_;
        --depth_;
        if (sentinel) {
            sentinelIndex_[group] = ++engineGroups_;
            out_ += L")()";
        }
        if (group != 0) {
            closed_.resize(std::max(closed_.size(), group + 1));
            closed_[group] = true;
        }
        out_ += L')';
        if (lookahead) {
            const std::size_t id = openLookaheads_.back();
            openLookaheads_.pop_back();
            const bool holdsGroups = engineGroups_ > groupsBefore;
            if (holdsGroups && !lookaheads_[id].negative) {
                lookaheads_[id].marker = ++engineGroups_;
                out_ += L"()";
            }
            return fixedPiece(Width::empty, out_.substr(start), !holdsGroups);
        }
        if (body.nonEmpty) {
            body.nonEmpty = out_.substr(start, bodyStart - start) + *body.nonEmpty + out_.substr(bodyEnd);
        }
        body.copyable = body.copyable && !sentinel;
        return body;
    }

    // AtomEscape :: DecimalEscape | CharacterClassEscape | CharacterEscape
    Piece parseAtomEscape() {
        if (!has(1)) fail(PatternError::escape);
        ++pos_;
        const wchar_t c = peek();
        if (isDigit(c)) {
            const std::size_t escapeStart = pos_ - 1;
            const std::uint64_t n = parseDecimal();
            if (n == 0) {
                out_ += literal(L'\0');
                return {Width::nonEmpty, std::nullopt, true};
            }
            emitBackReference(n, escapeStart);
            return {Width::either, std::nullopt, false};
        }
        if ((c == L'p' || c == L'P') && has(1) && peek(1) == L'{') {
            // Read as the letter and a repetition count, which it is not.
            fail(PatternError::badbrace, pos_ - 1,
                 "Unicode properties such as \\p{Han} are not part of this grammar; try a class such as "
                 "[一-龥] or [[:alpha:]]");
        }
        ++pos_;
        if (auto set = classEscape(c)) {
            out_ += L'[' + *set + L']';
        } else {
            out_ += literal(characterEscape(c));
        }
        return {Width::nonEmpty, std::nullopt, true};
    }

    // A back reference must name a group that is already closed. Where the
    // group took no part, it matches the empty string: "(?:\S\N|(?!\S))" with
    // S the group's participation marker and N the group itself. A group in a
    // look-ahead took part only if the look-ahead held on the path taken, so
    // the look-ahead's marker joins S; one in a negative look-ahead never did.
    void emitBackReference(std::uint64_t n, std::size_t escapeStart) {
        if (n >= closed_.size() || !closed_[n]) throw RegexError(PatternError::backref, escapeStart);
        const auto group = static_cast<std::size_t>(n);
        referenced_.resize(std::max(referenced_.size(), group + 1));
        referenced_[group] = true;
        const std::wstring index = std::to_wstring(groups_[group].engine.front());
        if (group >= sentinelIndex_.size() || sentinelIndex_[group] == 0) {
            out_ += L'\\' + index;  // first pass: the markers are not yet known
            return;
        }
        std::wstring markers;
        for (std::size_t id : groups_[group].lookaheads) {
            if (std::find(openLookaheads_.begin(), openLookaheads_.end(), id) != openLookaheads_.end()) continue;
            if (lookaheads_[id].negative) {
                out_ += L"(?:)";
                return;
            }
            markers += L"\\" + std::to_wstring(lookaheads_[id].marker);
        }
        markers += L"\\" + std::to_wstring(sentinelIndex_[group]);
        out_ += L"(?:" + markers + L"\\" + index + L"|(?!" + markers + L"))";
    }

    // CharacterClassEscape :: d D s S w W, as the engine reads it inside brackets.
    static std::optional<WideText> classEscape(wchar_t c) {
        switch (c) {
            case L'd':
            case L'D':
            case L's':
            case L'S':
                return WideText{L'\\', c};
            case L'w':
                return L"[:" + WideText(wordClassName) + L":]";
            case L'W':
                return L"[:" + WideText(nonWordClassName) + L":]";
            default:
                return std::nullopt;
        }
    }

    // CharacterEscape after the backslash and `c`: controls, \cX, \xHH,
    // \uHHHH; any other character stands for itself.
    wchar_t characterEscape(wchar_t c) {
        switch (c) {
            case L'f': return L'\f';
            case L'n': return L'\n';
            case L'r': return L'\r';
            case L't': return L'\t';
            case L'v': return L'\v';
            case L'c': {
                if (atEnd() || !isAsciiLetter(peek())) fail(PatternError::escape);
                const wchar_t letter = peek();
                ++pos_;
                return static_cast<wchar_t>(letter % 32);
            }
            case L'x': return parseHex(2);
            case L'u': return parseHex(4);
            default: return c;
        }
    }

    wchar_t parseHex(int digits) {
        std::uint32_t value = 0;
        for (int i = 0; i < digits; ++i, ++pos_) {
            if (atEnd() || !isHexDigit(peek())) fail(PatternError::escape);
            value = value * 16 + hexValue(peek());
        }
        return static_cast<wchar_t>(value);
    }

    // CharacterClass :: '[' '^'? ClassRanges ']'
    void parseCharacterClass() {
        ++pos_;
        const bool negate = !atEnd() && peek() == L'^';
        if (negate) ++pos_;
        const WideText any = L"[:" + WideText(anyClassName) + L":]";
        if (!atEnd() && peek() == L']') {  // [] matches nothing, [^] anything
            ++pos_;
            out_ += negate ? L'[' + any + L']' : L"[^" + any + L']';
            return;
        }
        WideText body;
        for (;;) {
            if (atEnd()) fail(PatternError::brack);
            if (peek() == L']') {
                ++pos_;
                break;
            }
            const std::size_t rangeStart = pos_;
            const ClassAtom first = parseClassAtom();
            if (!(has(1) && peek() == L'-' && peek(1) != L']')) {
                body += first.text;
                continue;
            }
            ++pos_;
            const ClassAtom last = parseClassAtom();
            if (first.isSet) {  // not a range: the set, a '-' and the next atom
                body += first.text + literal(L'-') + last.text;
                continue;
            }
            if (last.isSet || last.ch < first.ch) throw RegexError(PatternError::range, rangeStart);
            body += first.text + L'-' + last.text;
        }
        out_ += (negate ? L"[^" : L"[") + body + L']';
    }

    // ClassAtom :: '\' ClassEscape | '[:' name ':]' | '[=' c '=]' | '[.' c '.]' | any other character
    ClassAtom parseClassAtom() {
        const wchar_t c = peek();
        if (c == L'\\') return parseClassEscape();
        if (c == L'[' && has(1) && (peek(1) == L':' || peek(1) == L'=' || peek(1) == L'.')) return parseBracketName();
        ++pos_;
        return {false, c, literal(c)};
    }

    ClassAtom parseClassEscape() {
        if (!has(1)) fail(PatternError::escape);
        ++pos_;
        const wchar_t c = peek();
        if (isDigit(c)) {
            if (parseDecimal() != 0) fail(PatternError::escape);
            return {false, L'\0', literal(L'\0')};
        }
        ++pos_;
        if (auto set = classEscape(c)) return {true, 0, *set};
        const wchar_t ch = c == L'b' ? L'\b' : characterEscape(c);
        return {false, ch, literal(ch)};
    }

    // '[:' name ':]', '[=' c '=]' or '[.' c '.]' inside brackets.
    ClassAtom parseBracketName() {
        const wchar_t kind = peek(1);
        const std::size_t start = pos_ + 2;
        std::size_t end = start;
        while (end + 1 < p_.size() && !(p_[end] == kind && p_[end + 1] == L']')) ++end;
        const bool terminated = end + 1 < p_.size();
        const PatternError bad = kind == L':' ? PatternError::ctype : PatternError::collate;
        if (!terminated) fail(kind == L'=' ? PatternError::syntax : bad);
        const WideText name = p_.substr(start, end - start);
        if (kind == L':') {
            auto engineName = engineClassName(name);
            if (!engineName) fail(PatternError::ctype);  // at the name's "[:"
            pos_ = end + 2;
            return {true, 0, L"[:" + *engineName + L":]"};
        }
        if (name.size() != 1) fail(PatternError::collate);
        pos_ = end + 2;
        // Characters compare by code unit, so an equivalence class holds its one character.
        return {kind == L'=', name[0], literal(name[0])};
    }

    const WideText& p_;
    std::size_t pos_ = 0;
    WideText out_;
    int groupsOpened_ = 0;
    int depth_ = 0;
    std::size_t engineGroups_ = 0;
    std::vector<OpenedGroup> groups_{{{0}, {}}};  // group 0 is the whole match
    std::vector<Lookahead> lookaheads_;
    std::vector<std::size_t> openLookaheads_;  // those around the current position
    std::vector<bool> closed_;
    std::vector<bool> referenced_;
    std::vector<bool> wantSentinel_;
    std::vector<std::size_t> sentinelIndex_;
};

}  // namespace

CheckedPattern bench::checkPatternBefore(const WideText& pattern) {
    Parser first(pattern, {});
    CheckedPattern checked = first.run();
    if (first.referencedGroups().empty()) return checked;
    // Back references need participation markers in their groups; now that we
    // know which groups are referenced, read the pattern once more with them.
    return Parser(pattern, first.referencedGroups()).run();
}

}  // namespace tarnwick
