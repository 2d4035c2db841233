#pragma once
// Conversion between the window's code page 932 text and the engine's wide text.
// A result ends at the first zero character, as a C string would.

#include <string>

#include "text_types.h"

namespace tarnwick {

WideText toWideString(const NarrowText& text);
NarrowText toNarrowString(const WideText& text);

// The same text between UTF-8 (the terminal's, the GTK widgets') and code page 932.
NarrowText utf8ToCodePage932(const std::string& utf8);
std::string codePage932ToUtf8(const NarrowText& text);

}  // namespace tarnwick
