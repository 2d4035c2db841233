#include "cpp_literal.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace tarnwick {
namespace {

constexpr bool wideIs16Bits = sizeof(wchar_t) == 2;
constexpr std::uint32_t largestCharacter = 0x10FFFF;
// The largest value one code unit of a wide literal holds.
constexpr std::uint32_t largestCodeUnit = wideIs16Bits ? 0xFFFF : largestCharacter;

bool isSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool isPrintableAscii(std::uint32_t c) { return c >= 0x20 && c <= 0x7E; }
bool isHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || ((c | 0x20) >= L'a' && (c | 0x20) <= L'f'); }
std::uint32_t hexValue(wchar_t c) { return c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10; }

std::string formatted(const char* format, std::uint32_t value) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, static_cast<unsigned>(value));
    return buffer.data();
}

// The character at `i`, a surrogate pair read as one on a 16-bit wchar_t; `i` steps past it.
std::uint32_t characterAt(const WideText& text, std::size_t& i) {
    const auto c = static_cast<std::uint32_t>(text[i++]);
    if (wideIs16Bits && c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
        const auto low = static_cast<std::uint32_t>(text[i]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

void appendCharacter(WideText& out, std::uint32_t c) {
    if (wideIs16Bits && c > 0xFFFF) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

std::string escapedLiteral(const WideText& expression) {
    std::string out = "L\"";
    for (std::size_t i = 0; i < expression.size();) {
        const std::uint32_t c = characterAt(expression, i);
        switch (c) {
            case '\\': out += "\\\\"; continue;
            case '"': out += "\\\""; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            // "??=" and the like are trigraphs to older compilers.
            case '?': out += out.back() == '?' ? "\\?" : "?"; continue;
        }
        if (isPrintableAscii(c)) {
            out += static_cast<char>(c);
        } else if (c < 0x80) {
            out += formatted("\\%03o", c);  // always three digits, so no digit after it joins it
        } else if (isSurrogate(c) || c > largestCharacter) {
            // No universal character name stands for these; a hex escape takes
            // every hex digit after it, so the literal is split after it.
            out += formatted("\\x%X", c);
            if (i < expression.size() && isHexDigit(expression[i])) out += "\" L\"";
        } else {
            out += formatted(c <= 0xFFFF ? "\\u%04X" : "\\U%08X", c);
        }
    }
    return out + '"';
}

// A raw literal, where the expression is printable ASCII.
std::optional<std::string> rawLiteral(const WideText& expression) {
    std::string body;
    for (wchar_t c : expression) {
        if (!isPrintableAscii(static_cast<std::uint32_t>(c))) return std::nullopt;
        body += static_cast<char>(c);
    }
    for (std::string delimiter; delimiter.size() <= 16; delimiter += 'x') {
        if (body.find(")" + delimiter + "\"") == std::string::npos) return "LR\"" + delimiter + "(" + body + ")" + delimiter + "\"";
    }
    return std::nullopt;
}

// Reads literal-sequence: literal (space literal)*.
class LiteralReader {
public:
    explicit LiteralReader(const WideText& source) : s_(source) {}

    CppLiteralRead run() {
        skipSpace();
        if (atEnd()) return refused(pos_, "no string literal");
        while (!atEnd()) {
            if (!literal()) return std::move(read_);
            skipSpace();
        }
        read_.text = std::move(out_);
        return std::move(read_);
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    bool at(std::size_t ahead, wchar_t c) const { return pos_ + ahead < s_.size() && s_[pos_ + ahead] == c; }
    void skipSpace() {
        while (!atEnd() && (s_[pos_] == L' ' || s_[pos_] == L'\t' || s_[pos_] == L'\n' || s_[pos_] == L'\r')) ++pos_;
    }
    CppLiteralRead refused(std::size_t at, const std::string& what) {
        read_.text.reset();
        read_.position = at;
        read_.reason = "not a string literal: " + what + " at character " + std::to_string(at + 1);
        return read_;
    }
    bool fail(std::size_t at, const std::string& what) {
        refused(at, what);
        return false;
    }

    // literal: encoding-prefix? 'R'? '"' ...
    bool literal() {
        const std::size_t start = pos_;
        if (at(0, L'u') && at(1, L'8')) pos_ += 2;
        else if (at(0, L'u') || at(0, L'U') || at(0, L'L')) ++pos_;
        const bool raw = at(0, L'R');
        if (raw) ++pos_;
        if (!at(0, L'"')) return fail(start, "expected \"");
        ++pos_;
        return raw ? rawBody(start) : ordinaryBody(pos_ - 1);
    }

    // d-char-sequence '(' r-char* ')' d-char-sequence '"'
    bool rawBody(std::size_t start) {
        const std::size_t delimiterStart = pos_;
        while (!atEnd() && s_[pos_] != L'(') {
            const wchar_t c = s_[pos_];
            if (c == L')' || c == L'\\' || c == L'"' || c <= L' ' || c > 0x7E || pos_ - delimiterStart == 16) {
                return fail(pos_, "bad raw literal delimiter");
            }
            ++pos_;
        }
        if (atEnd()) return fail(start, "unterminated raw literal");
        const WideText closing = L")" + s_.substr(delimiterStart, pos_ - delimiterStart) + L"\"";
        const std::size_t end = s_.find(closing, pos_ + 1);
        if (end == WideText::npos) return fail(start, "unterminated raw literal");
        out_.append(s_, pos_ + 1, end - pos_ - 1);
        pos_ = end + closing.size();
        return true;
    }

    bool ordinaryBody(std::size_t quote) {
        for (;;) {
            if (atEnd() || s_[pos_] == L'\n' || s_[pos_] == L'\r') return fail(quote, "unterminated \"");
            const wchar_t c = s_[pos_];
            if (c == L'"') {
                ++pos_;
                return true;
            }
            if (c == L'\\') {
                if (!escape()) return false;
            } else {
                out_ += c;
                ++pos_;
            }
        }
    }

    // '\' followed by a simple, octal, hex or universal-character-name escape.
    bool escape() {
        const std::size_t start = pos_++;
        if (atEnd()) return fail(start, "unterminated \"");
        const wchar_t c = s_[pos_++];
        static constexpr std::wstring_view simple = L"'\"?\\abfnrtv";
        static constexpr std::wstring_view meaning = L"'\"?\\\a\b\f\n\r\t\v";
        if (const auto k = simple.find(c); k != std::wstring_view::npos) {
            out_ += meaning[k];
            return true;
        }
        std::uint64_t value = 0;
        if (c >= L'0' && c <= L'7') {
            value = c - L'0';
            for (int n = 1; n < 3 && !atEnd() && s_[pos_] >= L'0' && s_[pos_] <= L'7'; ++n) value = value * 8 + (s_[pos_++] - L'0');
            return codeUnit(start, value);
        }
        if (c == L'x') {
            if (atEnd() || !isHexDigit(s_[pos_])) return fail(start, "\\x needs a hex digit");
            while (!atEnd() && isHexDigit(s_[pos_])) {
                value = value * 16 + hexValue(s_[pos_++]);
                if (value > std::numeric_limits<std::uint32_t>::max()) return fail(start, "\\x value too large");
            }
            return codeUnit(start, value);
        }
        if (c == L'u' || c == L'U') {
            const int digits = c == L'u' ? 4 : 8;
            for (int n = 0; n < digits; ++n) {
                if (atEnd() || !isHexDigit(s_[pos_])) {
                    return fail(start, escapeName(c) + " needs " + std::to_string(digits) + " hex digits");
                }
                value = value * 16 + hexValue(s_[pos_++]);
            }
            if (value > largestCharacter || isSurrogate(static_cast<std::uint32_t>(value))) {
                return fail(start, escapeName(c) + " names no character");
            }
            return character(start, static_cast<std::uint32_t>(value));
        }
        std::string what = "unknown escape ";
        what += escapeName(c);
        return fail(start, what);
    }

    // How an escape is named in a reason: "\\q". Appended, not `"\\" + std::string(…)`:
    // GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
    static std::string escapeName(wchar_t c) {
        std::string name = "\\";
        name += c < 0x80 && c > L' ' ? std::string(1, static_cast<char>(c)) : formatted("u%04X", static_cast<std::uint32_t>(c));
        return name;
    }

    bool codeUnit(std::size_t start, std::uint64_t value) {
        if (value > largestCodeUnit) return fail(start, "escape too large for a wide character");
        return character(start, static_cast<std::uint32_t>(value));
    }

    bool character(std::size_t start, std::uint32_t value) {
        // The boxes and the conversion end a text at a zero character.
        if (value == 0) return fail(start, "a zero character cannot be part of an expression");
        appendCharacter(out_, value);
        return true;
    }

    const WideText& s_;
    std::size_t pos_ = 0;
    WideText out_;
    CppLiteralRead read_;
};

}  // namespace

std::string toCppLiteral(const WideText& expression) {
    std::string escaped = escapedLiteral(expression);
    const auto raw = rawLiteral(expression);
    return raw && raw->size() < escaped.size() ? *raw : escaped;
}

CppLiteralRead fromCppLiteral(const WideText& source) { return LiteralReader(source).run(); }

}  // namespace tarnwick
