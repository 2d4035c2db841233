// The check is three stages, each in its own file: parse (pattern_parse.cpp),
// rewrite (pattern_rewrite.cpp) and print (pattern_print.cpp).

#include "pattern_check.h"

#include "pattern_stages.h"

namespace tarnwick {

CheckedPattern checkPattern(const WideText& pattern) {
    using namespace pattern;
    return printForEngine(rewriteForEngine(parsePattern(pattern)));
}

}  // namespace tarnwick
