#pragma once
// Stage "compose": from the Expression and Text boxes to the Result text.

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "regex_service.h"
#include "text_types.h"

namespace tarnwick {

// The text with every CR LF pair removed in one left-to-right pass, and where.
struct JoinedText {
    NarrowText text;
    std::vector<std::size_t> removedAt;  // byte offsets in `text` where a pair was removed
    bool wasEmpty = true;                // the text before the join
};

struct ComposedResult {
    NarrowText text;       // the Result: one "group[i] [text]\r\n" line per group
    MatchOutcome outcome;  // why the Result is what it is
    std::shared_ptr<const JoinedText> joined;  // what was matched
};

// No value when both inputs are empty (the Result keeps what it shows).
std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text);

// The same for a text already joined (joinLineBreaks), which a caller may keep
// while only the expression changes.
std::optional<ComposedResult> composeJoined(const NarrowText& expression, std::shared_ptr<const JoinedText> joined);

// Where each group matched, in characters of the text before the join (a group
// across a removed line break spans it); no value for a group that took no part.
std::vector<std::optional<GroupSpan>> spansBeforeJoin(const ComposedResult& composed);

// The Result text alone.
std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text);

// The text with every CR LF pair removed in one left-to-right pass.
NarrowText joinLines(const NarrowText& text);
JoinedText joinLineBreaks(const NarrowText& text);

// One "group[i] [text]\r\n" line per group, whole group texts of any length.
NarrowText formatGroups(const GroupList& groups);

}  // namespace tarnwick
