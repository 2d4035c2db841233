#include "text_conversion.h"

#include <cstring>
#include <cwchar>

#include "code_page.h"

namespace tarnwick {
namespace {

// No trail byte of code page 932 is zero, so a zero byte is always the NUL character.
std::size_t lengthToZero(const std::string& s) { return std::strlen(s.c_str()); }
std::size_t lengthToZero(const std::wstring& s) { return std::wcslen(s.c_str()); }

}  // namespace

WideText toWideString(const NarrowText& text) { return codepage::decode932(text.data(), lengthToZero(text)); }

NarrowText toNarrowString(const WideText& text) { return codepage::encode932(text.data(), lengthToZero(text)); }

NarrowText utf8ToCodePage932(const std::string& utf8) {
    WideText wide = codepage::decodeUtf8(utf8.data(), utf8.size());
    return codepage::encode932(wide.data(), wide.size());
}

std::string codePage932ToUtf8(const NarrowText& text) {
    WideText wide = codepage::decode932(text.data(), text.size());
    return codepage::encodeUtf8(wide.data(), wide.size());
}

}  // namespace tarnwick
