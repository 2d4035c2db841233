// The check is three stages, each in its own file: parse (pattern_parse.cpp),
// rewrite (pattern_rewrite.cpp) and print (pattern_print.cpp).

#include "pattern_check.h"

#include "pattern_stages.h"

namespace tarnwick {

CheckedPattern checkPattern(const WideText& pattern, const std::atomic<bool>* cancel) {
    using namespace pattern;
    const std::size_t longest = checkedLengthFactor * pattern.size() + checkedLengthAllowance;
    return printForEngine(rewriteForEngine(parsePattern(pattern)), longest, cancel);
}

}  // namespace tarnwick
