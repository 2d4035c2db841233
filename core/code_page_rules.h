#pragma once
// Code page 932's byte classes, which every conversion backend needs to step
// over a byte sequence that does not convert.

#include <cstddef>
#include <string>

namespace tarnwick::codepage {

inline constexpr wchar_t replacementCharacter = 0xFFFD;
inline constexpr char defaultCharacter = '?';

inline bool isLeadByte932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool isTrailByte932(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Single bytes that code page 932's table leaves undefined but Windows'
// converter maps to U+0080, U+F8F0 and U+F8F1-U+F8F3 all the same; they are
// invalid here on every platform, and those characters unrepresentable.
inline bool isUndefinedSingleByte932(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }
inline bool isWindowsOnlyCharacter932(wchar_t c) { return c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3); }

// Such a byte: not a lead byte, so it never pairs with the byte after it, and
// it converts to the replacement character, as a lone lead byte does.
inline constexpr char unpairedInvalidByte = '\x80';

// How many bytes the character at `p` takes, valid or not: a lead byte with a
// trail byte after it is one character, anything else one byte. Every
// conversion makes one wide character of each.
inline std::size_t characterBytes932(const char* p, std::size_t left) {
    auto lead = static_cast<unsigned char>(p[0]);
    if (left >= 2 && isLeadByte932(lead) && isTrailByte932(static_cast<unsigned char>(p[1]))) return 2;
    return 1;
}

// How many characters `text` holds, counted as characterBytes932 steps.
inline std::size_t characterCount932(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) at += characterBytes932(text.data() + at, text.size() - at);
    return count;
}

}  // namespace tarnwick::codepage
