#pragma once
// The regular-expression service on code page 932 text: the check, match and
// replace stages behind the two operations the rest of the program uses.

#include "pattern_error.h"
#include "text_types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

enum class MatchStatus {
    matched,  // the pattern matches the whole input; groups holds every group
    noMatch,  // a valid pattern that does not match the whole input
    invalid,  // the pattern is not valid; error says why
    stopped,  // the match exceeded its work or stack limit; error says which
};

// A part of the input that the pattern matches, where it does not match the whole.
struct PartialMatch {
    NarrowText text;
    GroupSpan span;
};

// What a match cost: the meter's steps (moves and reads of the text) and the
// time from the check to the last group's conversion.
struct MatchCost {
    std::uint64_t steps = 0;
    double milliseconds = 0;
};

struct MatchOutcome {
    MatchStatus status = MatchStatus::noMatch;
    PatternError error = PatternError::collate;  // meaningful for invalid and stopped only
    GroupList groups;
    // For a match: where each group matched, in characters of the input
    // (composeOutcome gives them in characters of the text before the join);
    // no value where it took no part.
    std::vector<std::optional<GroupSpan>> spans;
    // For no match: the first non-empty part of the input the pattern matches,
    // when a search finds one; its span counted as the spans are.
    std::optional<PartialMatch> partial;
    // For an invalid pattern: the character of the pattern (counted from 0)
    // where it fails, and what it tried where the grammar lacks it.
    std::size_t errorPosition = RegexError::noPosition;
    std::string reason;
    MatchCost cost;  // matched, noMatch and stopped
};

// Why the outcome is what it is, in one line of UTF-8: "Match: 2 capture groups",
// "Invalid expression (5) at character 11: unmatched parenthesis", ...
// Characters are counted from 1 there.
std::string explainOutcome(const MatchOutcome& outcome);

// The same with what the match cost: "Match: 2 capture groups · 0.4 ms · 1,234 steps",
// "Stopped at the work limit (11) after 16,777,216 steps, 148 ms".
std::string explainWithCost(const MatchOutcome& outcome);

// Whether a match that fails is followed by the search for a part that matches
// (`partial`): one more run of the engine, for callers that show it.
enum class NoMatchHint { search, none };

// Matches `pattern` against the whole of `input`. An invalid pattern or a
// stopped match writes its report line ("<code>:regular expression error")
// to standard output and yields no groups. When `cancel` is set meanwhile,
// throws MatchCancelled (guarded_match.h) and writes nothing.
MatchOutcome matchGroups(NarrowText pattern, NarrowText input, NoMatchHint hint = NoMatchHint::search,
                         const std::atomic<bool>* cancel = nullptr);

// The no-match hint as a step of its own, for a caller that shows the Result
// first: the first non-empty part of `input` that `pattern` matches, within
// the hint's work limit. Nothing for an invalid pattern, and no report line.
// Throws MatchCancelled like matchGroups.
std::optional<PartialMatch> searchPart(const NarrowText& pattern, const NarrowText& input,
                                       const std::atomic<bool>* cancel = nullptr);

// The groups of matchGroups alone (no hint is searched for): empty when there is no match for any reason.
GroupList regexGroups(NarrowText pattern, NarrowText input);

// `input` with every match of `pattern`, searched left to right, replaced by
// `replacement` (ECMAScript format syntax). Throws RegexError for a bad pattern.
NarrowText regexReplace(NarrowText pattern, NarrowText replacement, NarrowText input);

}  // namespace tarnwick
