// A recursive-descent reader of the ECMAScript pattern grammar, one function
// per rule. Each error is raised where the grammar fails, so the code is the
// one of the first fault from the left.

#include "pattern_check.h"

#include <array>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

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

// Class names a pattern may use, and the names the engine knows them by.
std::optional<std::wstring_view> engineClassName(const WideText& name) {
    static constexpr std::array<std::pair<std::wstring_view, std::wstring_view>, 15> names{{
        {L"alnum", L"alnum"}, {L"alpha", L"alpha"}, {L"blank", L"blank"}, {L"cntrl", L"cntrl"}, {L"d", L"d"},
        {L"digit", L"digit"}, {L"graph", L"graph"}, {L"lower", L"lower"}, {L"print", L"print"}, {L"punct", L"punct"},
        {L"s", L"s"},         {L"space", L"space"}, {L"upper", L"upper"}, {L"w", L"~word"},   {L"xdigit", L"xdigit"},
    }};
    WideText lower;
    for (wchar_t c : name) lower += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    for (const auto& [user, engine] : names) {
        if (lower == user) return engine;
    }
    return std::nullopt;
}

// One element of a bracket expression: a single character (which may start or
// end a range) or a set of characters (a class, which may not).
struct ClassAtom {
    bool isSet;
    wchar_t ch;
    WideText text;  // as the engine reads it inside brackets
};

class Parser {
public:
    Parser(const WideText& pattern, std::vector<bool> wantSentinel)
        : p_(pattern), wantSentinel_(std::move(wantSentinel)) {}

    CheckedPattern run() {
        parseDisjunction();
        if (!atEnd()) fail(PatternError::paren);  // only a lone ')' stops a disjunction early
        return {std::move(out_), std::move(engineIndex_)};
    }

    const std::vector<bool>& referencedGroups() const { return referenced_; }

private:
    bool atEnd() const { return pos_ >= p_.size(); }
    bool has(std::size_t ahead) const { return pos_ + ahead < p_.size(); }
    wchar_t peek(std::size_t ahead = 0) const { return p_[pos_ + ahead]; }
    [[noreturn]] static void fail(PatternError code) { throw RegexError(code); }

    // Disjunction :: Alternative ( '|' Alternative )*
    void parseDisjunction() {
        parseAlternative();
        while (!atEnd() && peek() == L'|') {
            out_ += L'|';
            ++pos_;
            parseAlternative();
        }
    }

    // Alternative :: Term*
    void parseAlternative() {
        while (!atEnd() && peek() != L'|' && peek() != L')') parseTerm();
    }

    // Term :: Assertion | Atom Quantifier?
    void parseTerm() {
        const wchar_t c = peek();
        switch (c) {
            case L'^':
            case L'$':
                out_ += c;
                ++pos_;
                rejectQuantifier();
                return;
            case L'\\':
                if (has(1) && (peek(1) == L'b' || peek(1) == L'B')) {
                    out_ += L'\\';
                    out_ += peek(1);
                    pos_ += 2;
                    rejectQuantifier();
                    return;
                }
                parseAtomEscape();
                break;
            case L'(':
                if (parseGroup()) {  // a look-ahead is an assertion
                    rejectQuantifier();
                    return;
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
        parseQuantifier();
    }

    void rejectQuantifier() const {
        if (!atEnd() && isQuantifierStart(peek())) fail(PatternError::badrepeat);
    }

    // Quantifier :: ( '*' | '+' | '?' | '{' n '}' | '{' n ',}' | '{' n ',' m '}' ) '?'?
    void parseQuantifier() {
        if (atEnd() || !isQuantifierStart(peek())) return;
        if (peek() == L'{') {
            parseBraces();
        } else {
            out_ += peek();
            ++pos_;
        }
        if (!atEnd() && peek() == L'?') {
            out_ += L'?';
            ++pos_;
        }
        rejectQuantifier();
    }

    void parseBraces() {
        ++pos_;
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        const std::uint64_t low = parseRepeatCount();
        if (atEnd()) fail(PatternError::badbrace);
        if (peek() == L'}') {
            ++pos_;
            out_ += L'{' + std::to_wstring(low) + L'}';
            return;
        }
        if (peek() != L',') fail(PatternError::badbrace);
        ++pos_;
        if (!atEnd() && peek() == L'}') {
            ++pos_;
            out_ += L'{' + std::to_wstring(low) + L",}";
            return;
        }
        if (atEnd() || !isDigit(peek())) fail(PatternError::badbrace);
        const std::uint64_t high = parseRepeatCount();
        if (atEnd() || peek() != L'}' || high < low) fail(PatternError::badbrace);
        ++pos_;
        out_ += L'{' + std::to_wstring(low) + L',' + std::to_wstring(high) + L'}';
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
    // Returns true for a look-ahead.
    bool parseGroup() {
        bool capturing = false;
        bool lookahead = false;
        std::size_t group = 0;
        if (has(1) && peek(1) == L'?') {
            if (!has(2)) fail(PatternError::syntax);
            const wchar_t kind = peek(2);
            if (kind != L':' && kind != L'=' && kind != L'!') fail(PatternError::syntax);
            lookahead = kind != L':';
            out_ += p_.substr(pos_, 3);
            pos_ += 3;
        } else {
            if (++groupsOpened_ > maxCaptureGroups) fail(PatternError::complexity);
            capturing = true;
            group = static_cast<std::size_t>(groupsOpened_);
            engineIndex_.push_back(++engineGroups_);
            out_ += L'(';
            ++pos_;
        }
        if (++depth_ > maxNesting) fail(PatternError::stack);
        parseDisjunction();
        if (atEnd()) fail(PatternError::paren);
        ++pos_;
        --depth_;
        if (capturing) {
            // An empty group at the end records that the group took part in the match.
            if (group < wantSentinel_.size() && wantSentinel_[group]) {
                sentinelIndex_.resize(group + 1);
                sentinelIndex_[group] = ++engineGroups_;
                out_ += L"()";
            }
            closed_.resize(group + 1);
            closed_[group] = true;
        }
        out_ += L')';
        return lookahead;
    }

    // AtomEscape :: DecimalEscape | CharacterClassEscape | CharacterEscape
    void parseAtomEscape() {
        if (!has(1)) fail(PatternError::escape);
        ++pos_;
        const wchar_t c = peek();
        if (isDigit(c)) {
            const std::uint64_t n = parseDecimal();
            if (n == 0) {
                out_ += literal(L'\0');
            } else {
                emitBackReference(n);
            }
            return;
        }
        ++pos_;
        if (auto set = classEscape(c)) {
            out_ += L'[' + *set + L']';
            return;
        }
        out_ += literal(characterEscape(c));
    }

    // A back reference must name a group that is already closed. Where the
    // group took no part, it matches the empty string: "(?:\S\N|(?!\S))" with
    // S the group's participation marker and N the group itself.
    void emitBackReference(std::uint64_t n) {
        if (n >= closed_.size() || !closed_[n]) fail(PatternError::backref);
        const auto group = static_cast<std::size_t>(n);
        referenced_.resize(std::max(referenced_.size(), group + 1));
        referenced_[group] = true;
        const std::wstring index = std::to_wstring(engineIndex_[group]);
        if (group >= sentinelIndex_.size() || sentinelIndex_[group] == 0) {
            out_ += L'\\' + index;  // first pass: the markers are not yet known
            return;
        }
        const std::wstring marker = std::to_wstring(sentinelIndex_[group]);
        out_ += L"(?:\\" + marker + L"\\" + index + L"|(?!\\" + marker + L"))";
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
            if (last.isSet || last.ch < first.ch) fail(PatternError::range);
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
        pos_ = end + 2;
        if (kind == L':') {
            auto engineName = engineClassName(name);
            if (!engineName) fail(PatternError::ctype);
            return {true, 0, L"[:" + WideText(*engineName) + L":]"};
        }
        if (name.size() != 1) fail(PatternError::collate);
        // Characters compare by code unit, so an equivalence class holds its one character.
        return {kind == L'=', name[0], literal(name[0])};
    }

    const WideText& p_;
    std::size_t pos_ = 0;
    WideText out_;
    int groupsOpened_ = 0;
    int depth_ = 0;
    std::size_t engineGroups_ = 0;
    std::vector<std::size_t> engineIndex_{0};
    std::vector<bool> closed_;
    std::vector<bool> referenced_;
    std::vector<bool> wantSentinel_;
    std::vector<std::size_t> sentinelIndex_;
};

}  // namespace

CheckedPattern checkPattern(const WideText& pattern) {
    Parser first(pattern, {});
    CheckedPattern checked = first.run();
    if (first.referencedGroups().empty()) return checked;
    // Back references need participation markers in their groups; now that we
    // know which groups are referenced, read the pattern once more with them.
    return Parser(pattern, first.referencedGroups()).run();
}

}  // namespace tarnwick
