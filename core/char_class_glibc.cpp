// POSIX backend of char_class.h: glibc's C.UTF-8 character data, which covers
// all of Unicode without touching the process locale.

#include <locale.h>
#include <wctype.h>

#include <stdexcept>

#include "char_class.h"

namespace tarnwick {
namespace {

locale_t unicodeLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (l == static_cast<locale_t>(nullptr)) throw std::runtime_error("the C.UTF-8 locale is missing");
        return l;
    }();
    return locale;
}

// glibc files every non-ASCII digit under alpha; code page 932's only other
// digits are the fullwidth ones, which Windows counts as digits.
bool isFullwidthDigit(wchar_t c) { return c >= 0xFF10 && c <= 0xFF19; }

}  // namespace

bool isInClass(wchar_t c, CharClass cls) {
    const locale_t l = unicodeLocale();
    const auto wc = static_cast<wint_t>(c);
    switch (cls) {
        case CharClass::alnum: return iswalnum_l(wc, l) != 0;
        case CharClass::alpha: return iswalpha_l(wc, l) != 0 && !isFullwidthDigit(c);
        case CharClass::blank: return iswblank_l(wc, l) != 0;
        case CharClass::cntrl: return iswcntrl_l(wc, l) != 0;
        case CharClass::digit: return iswdigit_l(wc, l) != 0 || isFullwidthDigit(c);
        case CharClass::graph: return iswgraph_l(wc, l) != 0;
        case CharClass::lower: return iswlower_l(wc, l) != 0;
        case CharClass::print: return iswprint_l(wc, l) != 0;
        case CharClass::punct: return iswpunct_l(wc, l) != 0;
        case CharClass::space: return iswspace_l(wc, l) != 0;
        case CharClass::upper: return iswupper_l(wc, l) != 0;
        case CharClass::xdigit: return iswxdigit_l(wc, l) != 0;
    }
    return false;
}

}  // namespace tarnwick
