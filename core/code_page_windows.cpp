// Windows backend of code_page.h. Code page 932 through the C library's locale
// "japanese" (set before every conversion, never restored) and mbstowcs /
// wcstombs; UTF-8 through the system's own converter.
//
// mbstowcs and wcstombs stop at a zero, so the text goes to them in zero-free
// pieces. They never report a byte sequence that is not code page 932, nor a
// character that it lacks: they substitute their own guesses (U+30FB, or "e"
// for "é"). So the system's strict converter checks each piece first, and a
// piece that fails is converted one character at a time, with U+FFFD and "?"
// for what does not convert, as the POSIX backend gives.

#include <windows.h>

#include <clocale>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>

#include "code_page.h"
#include "code_page_rules.h"

namespace tarnwick::codepage {
namespace {

constexpr std::size_t failed = static_cast<std::size_t>(-1);

void useJapaneseCodePage() {
    if (std::setlocale(LC_CTYPE, "japanese") == nullptr) throw std::runtime_error("no locale \"japanese\"");
}

constexpr UINT codePage932 = 932;

bool isValid932(const char* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte932(b)) {
            ++i;  // its trail byte
        } else if (isUndefinedSingleByte932(b)) {
            return false;
        }
    }
    return MultiByteToWideChar(codePage932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), nullptr, 0) > 0;
}

bool isRepresentable932(const wchar_t* chars, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (isWindowsOnlyCharacter932(chars[i])) return false;
    }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage932, WC_NO_BEST_FIT_CHARS, chars, static_cast<int>(length), nullptr, 0,
                                      nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

void decodePiece(const char* bytes, std::size_t length, WideText& out) {
    if (isValid932(bytes, length)) {
        std::wstring scratch(length + 1, L'\0');
        const std::string piece(bytes, length);
        const std::size_t n = std::mbstowcs(scratch.data(), piece.c_str(), length + 1);
        if (n != failed) {
            out.append(scratch.data(), n);
            return;
        }
    }
    for (std::size_t at = 0; at < length;) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t span = isLeadByte932(lead) && at + 1 < length ? 2 : 1;
        wchar_t c = 0;
        if (isValid932(bytes + at, span) && std::mbtowc(&c, bytes + at, span) == static_cast<int>(span)) {
            out += c;
            at += span;
        } else {
            out += replacementCharacter;
            at += characterBytes932(bytes + at, length - at);
        }
    }
}

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void encodePiece(const wchar_t* chars, std::size_t length, NarrowText& out) {
    if (isRepresentable932(chars, length)) {
        const std::size_t room = length * MB_CUR_MAX + 1;
        std::string scratch(room, '\0');
        const std::wstring piece(chars, length);
        const std::size_t n = std::wcstombs(scratch.data(), piece.c_str(), room);
        if (n != failed) {
            out.append(scratch.data(), n);
            return;
        }
    }
    char bytes[MB_LEN_MAX];
    for (std::size_t at = 0; at < length; ++at) {
        // One character outside the code page is one '?', even when it takes two UTF-16 units.
        if (isHighSurrogate(chars[at]) && at + 1 < length && isLowSurrogate(chars[at + 1])) {
            out += defaultCharacter;
            ++at;
            continue;
        }
        const int used = isRepresentable932(chars + at, 1) ? std::wctomb(bytes, chars[at]) : -1;
        if (used > 0) {
            out.append(bytes, static_cast<std::size_t>(used));
        } else {
            out += defaultCharacter;
        }
    }
}

// Runs `convert` on each stretch between zeros and keeps the zeros themselves.
template <class Char, class Out, class Convert>
Out byZeroFreePieces(const Char* text, std::size_t length, Convert convert) {
    Out out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i < length && text[i] != Char{}) continue;
        if (i > start) convert(text + start, i - start, out);
        if (i < length) out += typename Out::value_type{};
        start = i + 1;
    }
    return out;
}

// setlocale changes the whole process and the C library's conversions read it,
// so conversions from different threads take turns (the match does not).
std::mutex& conversionTurn() {
    static std::mutex turn;
    return turn;
}

}  // namespace

WideText decode932(const char* bytes, std::size_t length) {
    const std::lock_guard<std::mutex> lock(conversionTurn());
    useJapaneseCodePage();
    return byZeroFreePieces<char, WideText>(bytes, length, decodePiece);
}

NarrowText encode932(const wchar_t* chars, std::size_t length) {
    const std::lock_guard<std::mutex> lock(conversionTurn());
    useJapaneseCodePage();
    return byZeroFreePieces<wchar_t, NarrowText>(chars, length, encodePiece);
}

// Invalid UTF-8 becomes U+FFFD, and a lone surrogate too: the system's converter does both.
WideText decodeUtf8(const char* bytes, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    WideText out(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, size, out.data(), static_cast<int>(out.size()));
    return out;
}

std::string encodeUtf8(const wchar_t* chars, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, chars, size, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, chars, size, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

}  // namespace tarnwick::codepage
