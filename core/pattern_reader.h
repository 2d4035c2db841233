#pragma once
// Where the parse stage stands in the pattern, and the reading of the pieces
// that atoms and bracket expressions share (digits, character escapes). Only
// the parse stage's own files include it.

#include <cstdint>

#include "pattern_error.h"
#include "pattern_tree.h"

namespace tarnwick::pattern {

inline bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
inline bool isAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
inline bool isClassEscape(wchar_t c) {
    return c == L'd' || c == L'D' || c == L's' || c == L'S' || c == L'w' || c == L'W';
}
inline constexpr std::uint64_t maxRepeatCount = 2147483647;

class PatternReader {
public:
    explicit PatternReader(const WideText& pattern) : p_(pattern) {}

    bool atEnd() const { return pos_ >= p_.size(); }
    bool has(std::size_t ahead) const { return pos_ + ahead < p_.size(); }
    wchar_t peek(std::size_t ahead = 0) const { return p_[pos_ + ahead]; }
    [[noreturn]] void fail(PatternError code) const { throw RegexError(code, pos_); }
    [[noreturn]] void fail(PatternError code, std::size_t at, const char* reason) const {
        throw RegexError(code, at, reason);
    }

    // A run of decimal digits; saturates rather than overflows.
    std::uint64_t parseDecimal() {
        std::uint64_t n = 0;
        for (; !atEnd() && isDigit(peek()); ++pos_) {
            if (n <= maxRepeatCount) n = n * 10 + static_cast<std::uint64_t>(peek() - L'0');
        }
        return n;
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

protected:
    wchar_t parseHex(int digits) {
        std::uint32_t value = 0;
        for (int i = 0; i < digits; ++i, ++pos_) {
            if (atEnd() || !isHexDigit(peek())) fail(PatternError::escape);
            value = value * 16 + hexValue(peek());
        }
        return static_cast<wchar_t>(value);
    }

    static bool isHexDigit(wchar_t c) { return isDigit(c) || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }
    static std::uint32_t hexValue(wchar_t c) {
        if (isDigit(c)) return static_cast<std::uint32_t>(c - L'0');
        return static_cast<std::uint32_t>((c | 0x20) - L'a' + 10);
    }

    // CharacterClass, from its '[' to past its ']', added to `tree`
    // (pattern_parse_class.cpp).
    NodeId parseCharacterClass(PatternTree& tree);

    const WideText& p_;
    std::size_t pos_ = 0;

private:
    ClassItem parseClassAtom();
    ClassItem parseClassEscape();
    ClassItem parseBracketName();
};

}  // namespace tarnwick::pattern
