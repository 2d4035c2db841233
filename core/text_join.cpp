#include "text_join.h"

#include <algorithm>
#include <iterator>

#include "code_page_rules.h"

namespace tarnwick {
namespace {

// In code page 932 neither CR nor LF is ever the second byte of a character,
// so a byte loop removes exactly the breaks the engine would, and it cannot
// fail or run into a work limit on a long text. The joined text converts to
// what the text converts to, its removed breaks left out.
JoinedText join(const NarrowText& text, bool loneLineFeeds) {
    JoinedText joined;
    joined.text.reserve(text.size());
    joined.wasEmpty = text.empty();
    std::size_t from = 0;      // the first byte not yet copied
    std::size_t counted = 0;   // bytes of the joined text whose characters are counted
    std::size_t characters = 0;
    for (std::size_t lf = text.find('\n'); lf != NarrowText::npos; lf = text.find('\n', lf + 1)) {
        const bool pair = lf > from && text[lf - 1] == '\r';
        if (!pair && !loneLineFeeds) continue;
        const std::size_t breakStart = pair ? lf - 1 : lf;
        joined.text.append(text, from, breakStart - from);
        char* data = joined.text.data();
        std::size_t lastBytes = 0;
        while (counted < joined.text.size()) {
            lastBytes = codepage::characterBytes932(data + counted, joined.text.size() - counted);
            counted += lastBytes;
            ++characters;
        }
        // A lead byte whose character the break cut short would pair with the
        // next line's first byte; a byte that never pairs converts as it did.
        if (lastBytes == 1 && codepage::isLeadByte932(static_cast<unsigned char>(data[counted - 1]))) {
            data[counted - 1] = codepage::unpairedInvalidByte;
        }
        const std::size_t width = pair ? 2 : 1;
        const std::size_t before = joined.removed.empty() ? 0 : joined.removed.back().widthSoFar;
        joined.removed.push_back({characters, width, before + width});
        from = lf + 1;
    }
    joined.text.append(text, from);
    return joined;
}

}  // namespace

JoinedText joinLineBreaks(const NarrowText& text) { return join(text, false); }

JoinedText joinUserLines(const NarrowText& text) { return join(text, true); }

NarrowText joinLines(const NarrowText& text) { return joinLineBreaks(text).text; }

GroupSpan spanBeforeJoin(const JoinedText& joined, GroupSpan span) {
    // The widths of the breaks before a position (and at it, when `atIncluded`).
    auto shifted = [&](std::size_t position, bool atIncluded) {
        const auto& removed = joined.removed;
        const auto after = std::partition_point(removed.begin(), removed.end(), [&](const RemovedBreak& r) {
            return atIncluded ? r.character <= position : r.character < position;
        });
        return position + (after == removed.begin() ? 0 : std::prev(after)->widthSoFar);
    };
    if (span.start == span.end) {
        const std::size_t at = shifted(span.start, true);
        return {at, at};
    }
    return {shifted(span.start, true), shifted(span.end, false)};
}

}  // namespace tarnwick
