#include "result_compose.h"

#include <string>

namespace tarnwick {

NarrowText joinLines(const NarrowText& text) {
    // In code page 932 neither CR nor LF is ever the second byte of a
    // character, so a byte loop removes exactly the pairs the engine would,
    // and it cannot fail or run into a work limit on a long text.
    NarrowText out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t pair = text.find("\r\n"); pair != NarrowText::npos; pair = text.find("\r\n", from)) {
        out.append(text, from, pair - from);
        from = pair + 2;
    }
    out.append(text, from);
    return out;
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

std::optional<ComposedResult> composeJoined(const NarrowText& expression, const NarrowText& joinedText, bool textEmpty) {
    if (expression.empty() && textEmpty) return std::nullopt;
    ComposedResult result;
    result.outcome = matchGroups(expression, joinedText);
    result.text = formatGroups(result.outcome.groups);
    return result;
}

std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text) {
    return composeJoined(expression, joinLines(text), text.empty());
}

std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text) {
    auto composed = composeOutcome(expression, text);
    if (!composed) return std::nullopt;
    return std::move(composed->text);
}

}  // namespace tarnwick
