#include "regex_service.h"

#include <iostream>

#include "guarded_match.h"
#include "pattern_check.h"
#include "text_conversion.h"

namespace tarnwick {
namespace {

void writeReportLine(const RegexError& e) {
    std::cout << static_cast<int>(e.code()) << ':' << e.what() << std::endl;
}

bool isLimitError(PatternError code) { return code == PatternError::complexity || code == PatternError::stack; }

}  // namespace

MatchOutcome matchGroups(NarrowText pattern, NarrowText input) {
    const WideText wideInput = toWideString(input);
    MatchOutcome outcome;
    bool matching = false;
    try {
        const CheckedPattern checked = checkPattern(toWideString(pattern));
        matching = true;
        const auto groups = matchWhole(checked, wideInput);
        if (!groups) return outcome;
        outcome.status = MatchStatus::matched;
        for (const WideText& group : *groups) outcome.groups.push_back(toNarrowString(group));
    } catch (const RegexError& e) {
        writeReportLine(e);
        outcome.status = matching && isLimitError(e.code()) ? MatchStatus::stopped : MatchStatus::invalid;
        outcome.error = e.code();
        outcome.groups.clear();
    }
    return outcome;
}

GroupList regexGroups(NarrowText pattern, NarrowText input) {
    return matchGroups(std::move(pattern), std::move(input)).groups;
}

NarrowText regexReplace(NarrowText pattern, NarrowText replacement, NarrowText input) {
    const CheckedPattern checked = checkPattern(toWideString(pattern));
    return toNarrowString(replaceAll(checked, toWideString(input), toWideString(replacement)));
}

}  // namespace tarnwick
