#include "result_compose.h"

#include <string>

namespace tarnwick {

NarrowText joinLines(const NarrowText& text) {
    // Most texts are one line; they need no pass of the engine.
    if (text.find("\r\n") == NarrowText::npos) return text;
    return regexReplace("\r\n", "", text);
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

std::optional<ComposedResult> composeOutcome(const NarrowText& expression, const NarrowText& text) {
    if (expression.empty() && text.empty()) return std::nullopt;
    ComposedResult result;
    result.outcome = matchGroups(expression, joinLines(text));
    result.text = formatGroups(result.outcome.groups);
    return result;
}

std::optional<NarrowText> composeResult(NarrowText expression, NarrowText text) {
    auto composed = composeOutcome(expression, text);
    if (!composed) return std::nullopt;
    return std::move(composed->text);
}

}  // namespace tarnwick
