#include "engine_traits.h"

#include <array>
#include <cwctype>
#include <utility>

#include "char_class.h"

namespace tarnwick {
namespace {

enum ClassBit : std::uint32_t {
    alnumBit = 1u << 0,
    alphaBit = 1u << 1,
    blankBit = 1u << 2,
    cntrlBit = 1u << 3,
    digitBit = 1u << 4,
    graphBit = 1u << 5,
    lowerBit = 1u << 6,
    printBit = 1u << 7,
    punctBit = 1u << 8,
    spaceBit = 1u << 9,
    upperBit = 1u << 10,
    xdigitBit = 1u << 11,
    asciiWordBit = 1u << 12,
    wordBit = 1u << 13,
    nonWordBit = 1u << 14,
    anyBit = 1u << 15,
};

constexpr std::array<std::pair<ClassBit, CharClass>, 12> plainClasses{{
    {alnumBit, CharClass::alnum}, {alphaBit, CharClass::alpha}, {blankBit, CharClass::blank},
    {cntrlBit, CharClass::cntrl}, {digitBit, CharClass::digit}, {graphBit, CharClass::graph},
    {lowerBit, CharClass::lower}, {printBit, CharClass::print}, {punctBit, CharClass::punct},
    {spaceBit, CharClass::space}, {upperBit, CharClass::upper}, {xdigitBit, CharClass::xdigit},
}};

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
    static const std::array<std::pair<const wchar_t*, char_class_type>, 18> names{{
        {L"alnum", alnumBit}, {L"alpha", alphaBit}, {L"blank", blankBit},   {L"cntrl", cntrlBit},
        {L"d", digitBit},     {L"digit", digitBit}, {L"graph", graphBit},   {L"lower", lowerBit},
        {L"print", printBit}, {L"punct", punctBit}, {L"s", spaceBit},       {L"space", spaceBit},
        {L"upper", upperBit}, {L"xdigit", xdigitBit}, {L"w", asciiWordBit}, {wordClassName, wordBit},
        {nonWordClassName, nonWordBit}, {anyClassName, anyBit},
    }};
    for (const auto& [n, bits] : names) {
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
    for (const auto& [bit, cls] : plainClasses) {
        if ((classes & bit) != 0 && isInClass(c, cls)) return true;
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
