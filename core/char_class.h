#pragma once
// Unicode-aware character classes for wide characters, one backend per platform.
// Kana, kanji and fullwidth letters are letters; fullwidth digits are digits;
// the ideographic space is a space.

namespace tarnwick {

enum class CharClass { alnum, alpha, blank, cntrl, digit, graph, lower, print, punct, space, upper, xdigit };

bool isInClass(wchar_t c, CharClass cls);

}  // namespace tarnwick
