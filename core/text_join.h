#pragma once
// Stage "join": the text's lines are joined before the match, and the places
// of the removed line breaks are kept so that a position in the joined text
// can be given back in characters of the text as the user wrote it.

#include <cstddef>
#include <vector>

#include "text_types.h"

namespace tarnwick {

struct RemovedBreak {
    std::size_t character;  // where it stood, in characters of the joined text
    std::size_t width;      // how many characters it was in the user's text: 2 for CR LF, 1 for a lone LF
    std::size_t widthSoFar;  // the widths of this break and all before it
};

struct JoinedText {
    NarrowText text;
    std::vector<RemovedBreak> removed;  // in order
    bool wasEmpty = true;               // the text before the join
};

// The text with every CR LF pair removed in one left-to-right pass, as the
// Windows edit control's text is joined.
JoinedText joinLineBreaks(const NarrowText& text);

// A text whose lines end in LF or CR LF, as a GTK text box or a file holds it,
// joined as if each lone LF had been made CR LF first; a lone LF counts as one
// character of the user's text.
JoinedText joinUserLines(const NarrowText& text);

// The joined text alone.
NarrowText joinLines(const NarrowText& text);

// A span of the joined text in characters of the text before the join: a span
// across a removed break spans it, an empty span at a break lies after it.
GroupSpan spanBeforeJoin(const JoinedText& joined, GroupSpan span);

}  // namespace tarnwick
