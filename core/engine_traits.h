#pragma once
// The character rules that the engine applies, as a regex traits class for
// std::basic_regex:
// - classes are Unicode-aware ([[:alpha:]] and \d see kana, kanji and
//   fullwidth forms), through class names that only the checker emits;
// - the word class that \b and \B consult is ASCII [0-9A-Za-z_];
// - only the line feed ends a line for ^ and $ (the engine's multiline mode
//   would also stop at a carriage return; the locale below prevents that);
// - no collation: characters compare by code unit.

#include <cstdint>
#include <iterator>
#include <locale>
#include <string>

namespace tarnwick {

// Names of the classes that the checker writes into canonical patterns for \w,
// \W and [^] / []; a user cannot name them, since '~' is in no valid class name.
inline constexpr const wchar_t* wordClassName = L"~word";
inline constexpr const wchar_t* nonWordClassName = L"~nonword";
inline constexpr const wchar_t* anyClassName = L"~any";

class EngineTraits {
public:
    using char_type = wchar_t;
    using string_type = std::wstring;
    using locale_type = std::locale;
    using char_class_type = std::uint32_t;

    EngineTraits();

    static std::size_t length(const wchar_t* s) { return std::char_traits<wchar_t>::length(s); }
    wchar_t translate(wchar_t c) const { return c; }
    wchar_t translate_nocase(wchar_t c) const { return c; }

    template <class It>
    string_type transform(It first, It last) const {
        return string_type(first, last);
    }
    template <class It>
    string_type transform_primary(It first, It last) const {
        return string_type(first, last);
    }
    // A collating element is a single character.
    template <class It>
    string_type lookup_collatename(It first, It last) const {
        string_type name(first, last);
        return name.size() == 1 ? name : string_type();
    }
    template <class It>
    char_class_type lookup_classname(It first, It last, bool /*icase*/ = false) const {
        return classByName(string_type(first, last));
    }

    bool isctype(wchar_t c, char_class_type classes) const;
    int value(wchar_t c, int radix) const;

    // The engine's own rules need this locale; whatever is offered is ignored.
    locale_type imbue(const locale_type&) { return locale_; }
    locale_type getloc() const { return locale_; }

    // The locale to compile with, so that the pattern scanner sees the same rules.
    static const std::locale& engineLocale();

private:
    static char_class_type classByName(const string_type& name);
    std::locale locale_;
};

}  // namespace tarnwick
