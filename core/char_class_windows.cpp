// Windows backend of char_class.h: the system's own character types, which
// cover all of Unicode's basic plane whatever the process locale.

#include <windows.h>

#include "char_class.h"

namespace tarnwick {

bool isInClass(wchar_t c, CharClass cls) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE1, &c, 1, &type)) return false;
    const bool alpha = (type & C1_ALPHA) != 0;
    const bool digit = (type & C1_DIGIT) != 0;
    const bool punct = (type & C1_PUNCT) != 0;
    switch (cls) {
        case CharClass::alnum: return alpha || digit;
        case CharClass::alpha: return alpha;
        case CharClass::blank: return (type & C1_BLANK) != 0;
        case CharClass::cntrl: return (type & C1_CNTRL) != 0;
        case CharClass::digit: return digit;
        case CharClass::graph: return alpha || digit || punct;
        case CharClass::lower: return (type & C1_LOWER) != 0;
        case CharClass::print: return alpha || digit || punct || ((type & C1_SPACE) != 0 && (type & C1_CNTRL) == 0);
        case CharClass::punct: return punct;
        case CharClass::space: return (type & C1_SPACE) != 0;
        case CharClass::upper: return (type & C1_UPPER) != 0;
        case CharClass::xdigit: return (type & C1_XDIGIT) != 0;
    }
    return false;
}

}  // namespace tarnwick
