#pragma once
// Stage "compose": from the Expression and Text boxes to the Result text.

#include <optional>

#include "regex_service.h"
#include "text_types.h"

namespace tarnwick {

struct ComposedResult {
    NarrowText text;       // the Result: one "group[i] [text]\r\n" line per group
    MatchOutcome outcome;  // why the Result is what it is
};

// No value when both inputs are empty (the Result keeps what it shows).
std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text);

// The same for a text whose lines are already joined (joinLines);
// `textEmpty` tells whether the text was empty before joining.
std::optional<ComposedResult> composeJoined(const NarrowText& expression, const NarrowText& joinedText, bool textEmpty);

// The Result text alone.
std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text);

// The text with every CR LF pair removed in one left-to-right pass.
NarrowText joinLines(const NarrowText& text);

// One "group[i] [text]\r\n" line per group, whole group texts of any length.
NarrowText formatGroups(const GroupList& groups);

}  // namespace tarnwick
