#pragma once
// Code page 932 and UTF-8 against wide characters, one backend per platform.
// The functions take explicit lengths and keep zero characters: cutting at a
// zero is the caller's rule, not the backend's.
//
// Bytes that are not valid in the source encoding become U+FFFD and the
// conversion goes on after them; a wide character that the target encoding
// cannot represent becomes '?', as Windows' default character.

#include <cstddef>

#include "text_types.h"

namespace tarnwick::codepage {

WideText decode932(const char* bytes, std::size_t length);
NarrowText encode932(const wchar_t* chars, std::size_t length);

WideText decodeUtf8(const char* bytes, std::size_t length);
std::string encodeUtf8(const wchar_t* chars, std::size_t length);

}  // namespace tarnwick::codepage
