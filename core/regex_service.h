#pragma once
// The regular-expression service on code page 932 text: the check, match and
// replace stages behind the two operations the rest of the program uses.

#include "pattern_error.h"
#include "text_types.h"

#include <cstddef>
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
};

// Why the outcome is what it is, in one line of UTF-8: "Match: 2 capture groups",
// "Invalid expression (5) at character 11: unmatched parenthesis", ...
// Characters are counted from 1 there.
std::string explainOutcome(const MatchOutcome& outcome);

// Whether a match that fails is followed by the search for a part that matches
// (`partial`): one more run of the engine, for callers that show it.
enum class NoMatchHint { search, none };

// Matches `pattern` against the whole of `input`. An invalid pattern or a
// stopped match writes its report line ("<code>:regular expression error")
// to standard output and yields no groups.
MatchOutcome matchGroups(NarrowText pattern, NarrowText input, NoMatchHint hint = NoMatchHint::search);

// The groups of matchGroups alone (no hint is searched for): empty when there is no match for any reason.
GroupList regexGroups(NarrowText pattern, NarrowText input);

// `input` with every match of `pattern`, searched left to right, replaced by
// `replacement` (ECMAScript format syntax). Throws RegexError for a bad pattern.
NarrowText regexReplace(NarrowText pattern, NarrowText replacement, NarrowText input);

}  // namespace tarnwick
