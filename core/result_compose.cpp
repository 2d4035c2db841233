#include "result_compose.h"

#include <string>

#include "code_page_rules.h"

namespace tarnwick {

NarrowText formatGroups(const GroupList& groups, std::vector<GroupSpan>* lines) {
    NarrowText out;
    std::size_t lineStart = 0;  // in characters of `out`
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::size_t lineBytes = out.size();
        out += "group[";
        out += std::to_string(i);
        out += "] [";
        out += groups[i];
        out += "]";
        if (lines) {
            const std::size_t end = lineStart + codepage::characterCount932(out.substr(lineBytes));
            lines->push_back({lineStart, end});
            lineStart = end + 2;
        }
        out += "\r\n";
    }
    return out;
}

std::optional<ComposedResult> composeJoined(const NarrowText& expression, std::shared_ptr<const JoinedText> joined,
                                           NoMatchHint hint, const std::atomic<bool>* cancel) {
    if (expression.empty() && joined->wasEmpty) return std::nullopt;
    ComposedResult result;
    result.outcome = matchGroups(expression, joined->text, hint, cancel);
    // Positions as the user counts them: the removed line breaks back in.
    for (auto& span : result.outcome.spans) {
        if (span) span = spanBeforeJoin(*joined, *span);
    }
    if (result.outcome.partial) result.outcome.partial->span = spanBeforeJoin(*joined, result.outcome.partial->span);
    result.text = formatGroups(result.outcome.groups, &result.lines);
    result.joined = std::move(joined);
    return result;
}

std::optional<PartialMatch> composeHint(const NarrowText& expression, const JoinedText& joined,
                                        const std::atomic<bool>* cancel) {
    auto partial = searchPart(expression, joined.text, cancel);
    if (partial) partial->span = spanBeforeJoin(joined, partial->span);
    return partial;
}

std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text, NoMatchHint hint) {
    return composeJoined(expression, std::make_shared<const JoinedText>(joinLineBreaks(text)), hint);
}

std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text) {
    auto composed = composeOutcome(expression, text, NoMatchHint::none);
    if (!composed) return std::nullopt;
    return std::move(composed->text);
}

}  // namespace tarnwick
