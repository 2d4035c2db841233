#include "regex_service.h"

#include <chrono>
#include <iostream>

#include "code_page_rules.h"
#include "guarded_match.h"
#include "number_text.h"
#include "pattern_check.h"
#include "text_conversion.h"

namespace tarnwick {
namespace {

void writeReportLine(const RegexError& e) {
    std::cout << static_cast<int>(e.code()) << ':' << e.what() << std::endl;
}

bool isLimitError(PatternError code) { return code == PatternError::complexity || code == PatternError::stack; }

// Enough of a long part to recognise it in a status line.
constexpr std::size_t shownCharacters = 40;

// The part as one line: its line breaks and tabs as a user writes them in an
// expression. Cut before it is converted: a part may be the whole long text.
std::string shownPart(const NarrowText& part) {
    auto next = [&](std::size_t at) { return at + codepage::characterBytes932(part.data() + at, part.size() - at); };
    std::size_t kept = 0;  // the bytes of all but one of the characters shown
    for (std::size_t n = 1; n < shownCharacters && kept < part.size(); ++n) kept = next(kept);
    // Cut where more than one character is left: the last place goes to the ellipsis.
    const bool cut = kept < part.size() && next(kept) < part.size();
    std::string shown;
    for (char c : codePage932ToUtf8(cut ? part.substr(0, kept) : part)) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else if (c == '\t') shown += "\\t";
        else shown += c;
    }
    return cut ? shown + "…" : shown;
}

std::string noMatchHint(const std::optional<PartialMatch>& partial) {
    if (!partial) return "the expression must describe the whole text";
    const GroupSpan at = partial->span;
    const std::string where = at.end - at.start == 1
                                  ? "character " + std::to_string(at.start + 1)
                                  : "characters " + std::to_string(at.start + 1) + "–" + std::to_string(at.end);
    return "the expression matches «" + shownPart(partial->text) + "» at " + where + ", but must describe the whole text";
}

}  // namespace

MatchOutcome matchGroups(NarrowText pattern, NarrowText input, NoMatchHint hint, const std::atomic<bool>* cancel) {
    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count(); };
    MatchOutcome outcome;
    bool matching = false;
    try {
        // The pattern first: an invalid one needs no conversion of the text.
        const CheckedPattern checked = checkPattern(toWideString(pattern), cancel);
        const WideText wideInput = toWideString(input);
        matching = true;
        MatchLimits limits = limitsFor(wideInput.size());
        limits.cancel = cancel;
        MatchAttempt attempt = hint == NoMatchHint::search ? matchWholeOrPart(checked, wideInput, limits)
                                                           : matchWhole(checked, wideInput, limits);
        auto textOf = [&](GroupSpan span) { return toNarrowString(wideInput.substr(span.start, span.end - span.start)); };
        outcome.cost.steps = attempt.steps;
        if (!attempt.groups) {
            if (attempt.part) outcome.partial = PartialMatch{textOf(*attempt.part), *attempt.part};
        } else {
            outcome.status = MatchStatus::matched;
            for (const auto& span : *attempt.groups) outcome.groups.push_back(span ? textOf(*span) : "");
            outcome.spans = std::move(*attempt.groups);
        }
    } catch (const RegexError& e) {
        writeReportLine(e);
        outcome.status = matching && isLimitError(e.code()) ? MatchStatus::stopped : MatchStatus::invalid;
        outcome.error = e.code();
        outcome.errorPosition = e.position();
        outcome.reason = e.reason();
        outcome.cost.steps = e.steps();
        outcome.groups.clear();
        outcome.spans.clear();
    }
    outcome.cost.milliseconds = elapsed();
    return outcome;
}

std::optional<PartialMatch> searchPart(const NarrowText& pattern, const NarrowText& input, const std::atomic<bool>* cancel) {
    try {
        const CheckedPattern checked = checkPattern(toWideString(pattern), cancel);
        const WideText wideInput = toWideString(input);
        MatchLimits limits = limitsFor(wideInput.size());
        limits.cancel = cancel;
        const MatchAttempt attempt = matchPart(checked, wideInput, limits);
        if (!attempt.part) return std::nullopt;
        const GroupSpan span = *attempt.part;
        return PartialMatch{toNarrowString(wideInput.substr(span.start, span.end - span.start)), span};
    } catch (const RegexError&) {
        return std::nullopt;  // the Result's own evaluation has reported it
    }
}

std::string explainOutcome(const MatchOutcome& outcome) {
    // Appended, not `"(" + std::to_string(…)`: GCC 12 at -O3 warns falsely (-Wrestrict) inside that operator+.
    std::string code = "(";
    code += std::to_string(static_cast<int>(outcome.error));
    code += ')';
    switch (outcome.status) {
        case MatchStatus::matched: {
            // Group 0 is the whole match, not a capture group.
            const auto captures = outcome.groups.size() - 1;
            if (captures == 0) return "Match, no capture groups";
            return "Match: " + std::to_string(captures) + (captures == 1 ? " capture group" : " capture groups");
        }
        case MatchStatus::noMatch: return "No match: " + noMatchHint(outcome.partial);
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

std::string explainWithCost(const MatchOutcome& outcome) {
    const std::string steps = withThousands(outcome.cost.steps) + (outcome.cost.steps == 1 ? " step" : " steps");
    const std::string time = milliseconds(outcome.cost.milliseconds);
    switch (outcome.status) {
        case MatchStatus::matched:
        case MatchStatus::noMatch: return explainOutcome(outcome) + " · " + time + " · " + steps;
        case MatchStatus::stopped: {
            std::string sentence = outcome.error == PatternError::stack ? "Stopped at the stack limit (" : "Stopped at the work limit (";
            sentence += std::to_string(static_cast<int>(outcome.error));
            return sentence + ") after " + steps + ", " + time;
        }
        case MatchStatus::invalid: break;
    }
    return explainOutcome(outcome);
}

GroupList regexGroups(NarrowText pattern, NarrowText input) {
    return matchGroups(std::move(pattern), std::move(input), NoMatchHint::none).groups;
}

NarrowText regexReplace(NarrowText pattern, NarrowText replacement, NarrowText input) {
    const CheckedPattern checked = checkPattern(toWideString(pattern));
    const WideText wideInput = toWideString(input);
    return toNarrowString(replaceAll(checked, wideInput, toWideString(replacement), limitsFor(wideInput.size())));
}

}  // namespace tarnwick
