#include "engine_traits.h"

#include <array>
#include <cwctype>
#include <utility>

#include "char_class.h"

namespace tarnwick {
namespace {

// One bit per CharClass (its value), then the classes that only the engine has.
constexpr std::uint32_t classBit(CharClass cls) { return 1u << static_cast<unsigned>(cls); }
enum ExtraClassBit : std::uint32_t {
    asciiWordBit = 1u << charClassCount,
    wordBit = asciiWordBit << 1,
    nonWordBit = asciiWordBit << 2,
    anyBit = asciiWordBit << 3,
};

bool isAsciiWord(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
}

bool isWord(wchar_t c) { return c == L'_' || isInClass(c, CharClass::alnum); }

// ECMAScript counts only CR, LF (and two separators that code page 932 lacks)
// as line terminators; the engine asks this facet's narrow() whether a
// character is '\n' or '\r'. Hiding '\r' leaves the line feed alone.
class LineFeedOnlyCtype : public std::ctype<wchar_t> {
protected:
    char do_narrow(wchar_t c, char dfault) const override {
        return c == L'\r' ? dfault : std::ctype<wchar_t>::do_narrow(c, dfault);
    }
    const wchar_t* do_narrow(const wchar_t* lo, const wchar_t* hi, char dfault, char* dest) const override {
        for (; lo != hi; ++lo, ++dest) *dest = do_narrow(*lo, dfault);
        return hi;
    }
};

}  // namespace

const std::locale& EngineTraits::engineLocale() {
    static const std::locale locale(std::locale::classic(), new LineFeedOnlyCtype);
    return locale;
}

EngineTraits::EngineTraits() : locale_(engineLocale()) {}

EngineTraits::char_class_type EngineTraits::classByName(const string_type& raw) {
    string_type name;
    for (wchar_t c : raw) name += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (const auto cls = classNamed(name)) return classBit(*cls);
    // The engine's own \b asks for "w": the ASCII word class.
    if (name == wordClassNameInPatterns) return asciiWordBit;
    for (const auto& [n, bits] : {std::pair{wordClassName, wordBit}, {nonWordClassName, nonWordBit}, {anyClassName, anyBit}}) {
        if (name == n) return bits;
    }
    return 0;
}

bool EngineTraits::isctype(wchar_t c, char_class_type classes) const {
    if (classes == 0) return false;
    if ((classes & anyBit) != 0) return true;
    if ((classes & asciiWordBit) != 0 && isAsciiWord(c)) return true;
    if ((classes & wordBit) != 0 && isWord(c)) return true;
    if ((classes & nonWordBit) != 0 && !isWord(c)) return true;
    for (std::size_t i = 0; i < charClassCount; ++i) {
        const auto cls = static_cast<CharClass>(i);
        if ((classes & classBit(cls)) != 0 && isInClass(c, cls)) return true;
    }
    return false;
}

int EngineTraits::value(wchar_t c, int radix) const {
    int v = -1;
    if (c >= L'0' && c <= L'9') v = c - L'0';
    else if (c >= L'a' && c <= L'f') v = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') v = c - L'A' + 10;
    return v < radix ? v : -1;
}

}  // namespace tarnwick
