#include "result_compose.h"

#include <algorithm>
#include <string>

#include "code_page_rules.h"

namespace tarnwick {

JoinedText joinLineBreaks(const NarrowText& text) {
    // In code page 932 neither CR nor LF is ever the second byte of a
    // character, so a byte loop removes exactly the pairs the engine would,
    // and it cannot fail or run into a work limit on a long text.
    JoinedText joined;
    joined.text.reserve(text.size());
    joined.wasEmpty = text.empty();
    std::size_t from = 0;
    for (std::size_t pair = text.find("\r\n"); pair != NarrowText::npos; pair = text.find("\r\n", from)) {
        joined.text.append(text, from, pair - from);
        joined.removedAt.push_back(joined.text.size());
        from = pair + 2;
    }
    joined.text.append(text, from);
    return joined;
}

NarrowText joinLines(const NarrowText& text) { return joinLineBreaks(text).text; }

std::vector<std::optional<GroupSpan>> spansBeforeJoin(const ComposedResult& composed) {
    // The character at which each pair was removed: the engine counts characters, the join bytes.
    std::vector<std::size_t> breaks;
    const NarrowText& text = composed.joined->text;
    std::size_t byte = 0;
    std::size_t character = 0;
    for (std::size_t at : composed.joined->removedAt) {
        for (; byte < at; ++character) byte += codepage::characterBytes932(text.data() + byte, text.size() - byte);
        breaks.push_back(character);
    }
    auto shifted = [&](std::size_t position, bool includeBreakAt) {
        const auto end = includeBreakAt ? std::upper_bound(breaks.begin(), breaks.end(), position)
                                        : std::lower_bound(breaks.begin(), breaks.end(), position);
        return position + 2 * static_cast<std::size_t>(end - breaks.begin());
    };
    std::vector<std::optional<GroupSpan>> spans;
    for (const auto& span : composed.outcome.spans) {
        if (!span) {
            spans.emplace_back();
        } else if (span->start == span->end) {
            const std::size_t at = shifted(span->start, true);
            spans.push_back(GroupSpan{at, at});
        } else {
            spans.push_back(GroupSpan{shifted(span->start, true), shifted(span->end, false)});
        }
    }
    return spans;
}

NarrowText formatGroups(const GroupList& groups) {
    NarrowText out;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        out += "group[" + std::to_string(i) + "] [";
        out += groups[i];
        out += "]\r\n";
    }
    return out;
}

std::optional<ComposedResult> composeJoined(const NarrowText& expression, std::shared_ptr<const JoinedText> joined) {
    if (expression.empty() && joined->wasEmpty) return std::nullopt;
    ComposedResult result;
    result.outcome = matchGroups(expression, joined->text);
    result.text = formatGroups(result.outcome.groups);
    result.joined = std::move(joined);
    return result;
}

std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text) {
    return composeJoined(expression, std::make_shared<const JoinedText>(joinLineBreaks(text)));
}

std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text) {
    auto composed = composeOutcome(expression, text);
    if (!composed) return std::nullopt;
    return std::move(composed->text);
}

}  // namespace tarnwick
