#pragma once
// Unicode-aware character classes for wide characters, one backend per platform.
// Kana, kanji and fullwidth letters are letters; fullwidth digits are digits;
// the ideographic space is a space.

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace tarnwick {

enum class CharClass { alnum, alpha, blank, cntrl, digit, graph, lower, print, punct, space, upper, xdigit };
inline constexpr std::size_t charClassCount = 12;

bool isInClass(wchar_t c, CharClass cls);

// The names a pattern may write as [[:name:]], in lower case, and the class
// each stands for: the POSIX names, and "d" and "s" as the standard library's
// traits know them. The third such name, "w", is the word class, which the
// checker and the engine each read in a way of their own.
inline constexpr std::array<std::pair<std::wstring_view, CharClass>, 14> classNames{{
    {L"alnum", CharClass::alnum}, {L"alpha", CharClass::alpha}, {L"blank", CharClass::blank},
    {L"cntrl", CharClass::cntrl}, {L"digit", CharClass::digit}, {L"graph", CharClass::graph},
    {L"lower", CharClass::lower}, {L"print", CharClass::print}, {L"punct", CharClass::punct},
    {L"space", CharClass::space}, {L"upper", CharClass::upper}, {L"xdigit", CharClass::xdigit},
    {L"d", CharClass::digit},     {L"s", CharClass::space},
}};
inline constexpr std::wstring_view wordClassNameInPatterns = L"w";

// The class a lower-case name stands for, if it is in classNames.
inline std::optional<CharClass> classNamed(std::wstring_view lowerCaseName) {
    for (const auto& [name, cls] : classNames) {
        if (name == lowerCaseName) return cls;
    }
    return std::nullopt;
}

}  // namespace tarnwick
