#pragma once
// Stage "compose": from the Expression and Text boxes to the Result text.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "regex_service.h"
#include "text_join.h"
#include "text_types.h"

namespace tarnwick {

struct ComposedResult {
    NarrowText text;       // the Result: one "group[i] [text]\r\n" line per group
    std::vector<GroupSpan> lines;  // each group's line, in characters of `text`, its CR LF excluded
    MatchOutcome outcome;  // why the Result is what it is; spans in characters of the text before the join
    std::shared_ptr<const JoinedText> joined;  // what was matched
};

// No value when both inputs are empty (the Result keeps what it shows).
std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text,
                                            NoMatchHint hint = NoMatchHint::search);

// The same for a text already joined (joinLineBreaks, joinUserLines), which a caller may keep
// while only the expression changes. When `cancel` is set meanwhile, throws MatchCancelled.
std::optional<ComposedResult> composeJoined(const NarrowText& expression, std::shared_ptr<const JoinedText> joined,
                                           NoMatchHint hint = NoMatchHint::search,
                                           const std::atomic<bool>* cancel = nullptr);

// The no-match hint for a Result composed with NoMatchHint::none, as a step of
// its own; its span in characters of the text before the join.
std::optional<PartialMatch> composeHint(const NarrowText& expression, const JoinedText& joined,
                                        const std::atomic<bool>* cancel = nullptr);

// The Result text alone (no hint is searched for).
std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text);

// One "group[i] [text]\r\n" line per group, whole group texts of any length;
// with `lines`, each line's place in characters of the text, CR LF excluded.
NarrowText formatGroups(const GroupList& groups, std::vector<GroupSpan>* lines = nullptr);

}  // namespace tarnwick
