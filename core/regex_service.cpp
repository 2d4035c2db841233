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
    MatchOutcome outcome;
    bool matching = false;
    try {
        // The pattern first: an invalid one needs no conversion of the text.
        const CheckedPattern checked = checkPattern(toWideString(pattern));
        const WideText wideInput = toWideString(input);
        matching = true;
        auto spans = matchWhole(checked, wideInput, limitsFor(wideInput.size()));
        if (!spans) return outcome;
        outcome.status = MatchStatus::matched;
        for (const auto& span : *spans) {
            outcome.groups.push_back(span ? toNarrowString(wideInput.substr(span->start, span->end - span->start)) : "");
        }
        outcome.spans = std::move(*spans);
    } catch (const RegexError& e) {
        writeReportLine(e);
        outcome.status = matching && isLimitError(e.code()) ? MatchStatus::stopped : MatchStatus::invalid;
        outcome.error = e.code();
        outcome.errorPosition = e.position();
        outcome.reason = e.reason();
        outcome.groups.clear();
        outcome.spans.clear();
    }
    return outcome;
}

std::string explainOutcome(const MatchOutcome& outcome) {
    const std::string code = "(" + std::to_string(static_cast<int>(outcome.error)) + ")";
    switch (outcome.status) {
        case MatchStatus::matched: {
            // Group 0 is the whole match, not a capture group.
            const auto captures = outcome.groups.size() - 1;
            if (captures == 0) return "Match, no capture groups";
            return "Match: " + std::to_string(captures) + (captures == 1 ? " capture group" : " capture groups");
        }
        case MatchStatus::noMatch: return "No match: the expression must describe the whole text";
        case MatchStatus::invalid: {
            std::string where;
            if (outcome.errorPosition != RegexError::noPosition) {
                where = " at character " + std::to_string(outcome.errorPosition + 1);
            }
            return "Invalid expression " + code + where + ": " +
                   (outcome.reason.empty() ? std::string(describe(outcome.error)) : outcome.reason);
        }
        case MatchStatus::stopped:
            return "Stopped " + code + ": the match exceeded the engine's " +
                   (outcome.error == PatternError::stack ? "stack limit" : "work limit");
    }
    return {};
}

GroupList regexGroups(NarrowText pattern, NarrowText input) {
    return matchGroups(std::move(pattern), std::move(input)).groups;
}

NarrowText regexReplace(NarrowText pattern, NarrowText replacement, NarrowText input) {
    const CheckedPattern checked = checkPattern(toWideString(pattern));
    const WideText wideInput = toWideString(input);
    return toNarrowString(replaceAll(checked, wideInput, toWideString(replacement), limitsFor(wideInput.size())));
}

}  // namespace tarnwick
