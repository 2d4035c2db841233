// POSIX backend of code_page.h: glibc iconv. No setlocale here: glibc's locale
// alias "japanese" names EUC-JP, not code page 932.

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>

#include "code_page.h"
#include "code_page_rules.h"

namespace tarnwick::codepage {
namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

Converter openConverter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    return Converter(cd);
}

std::size_t invalidSpanUtf8(const char*, std::size_t) { return 1; }

WideText decode(const char* encoding, const char* bytes, std::size_t length,
                std::size_t (*invalidSpan)(const char*, std::size_t)) {
    if (length == 0) return {};
    Converter cd = openConverter("WCHAR_T", encoding);
    WideText out(length, L'\0');  // never more characters than bytes
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = length;
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(wchar_t);
    auto emitReplacement = [&] {
        *reinterpret_cast<wchar_t*>(outPtr) = replacementCharacter;
        outPtr += sizeof(wchar_t);
        outLeft -= sizeof(wchar_t);
    };
    while (inLeft > 0) {
        if (iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == EILSEQ) {
            std::size_t span = invalidSpan(in, inLeft);
            emitReplacement();
            in += span;
            inLeft -= span;
        } else if (errno == EINVAL) {  // a character cut off by the end of the input
            emitReplacement();
            break;
        } else {
            throw std::runtime_error("iconv failed while decoding");
        }
    }
    out.resize(static_cast<std::size_t>(reinterpret_cast<wchar_t*>(outPtr) - out.data()));
    return out;
}

std::string encode(const char* encoding, std::size_t maxBytesPerChar, const wchar_t* chars, std::size_t length) {
    if (length == 0) return {};
    Converter cd = openConverter(encoding, "WCHAR_T");
    std::string out(length * maxBytesPerChar, '\0');
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(chars));
    std::size_t inLeft = length * sizeof(wchar_t);
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(static_cast<iconv_t>(cd.get()), &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ) throw std::runtime_error("iconv failed while encoding");
        *outPtr++ = defaultCharacter;
        --outLeft;
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
    }
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

}  // namespace

WideText decode932(const char* bytes, std::size_t length) { return decode("CP932", bytes, length, characterBytes932); }
NarrowText encode932(const wchar_t* chars, std::size_t length) { return encode("CP932", 2, chars, length); }

WideText decodeUtf8(const char* bytes, std::size_t length) { return decode("UTF-8", bytes, length, invalidSpanUtf8); }
std::string encodeUtf8(const wchar_t* chars, std::size_t length) { return encode("UTF-8", 4, chars, length); }

}  // namespace tarnwick::codepage
