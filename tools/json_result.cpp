#include "json_result.h"

#include <nlohmann/json.hpp>

#include "hex_text.h"
#include "text_conversion.h"

namespace tarnwick::tools {
namespace {

const char* statusName(MatchStatus status) {
    switch (status) {
        case MatchStatus::matched: return "matched";
        case MatchStatus::noMatch: return "noMatch";
        case MatchStatus::invalid: return "invalid";
        case MatchStatus::stopped: return "stopped";
    }
    return "";
}

// A group or the partial match: its text (UTF-8, or hex of its code page 932 bytes) and span.
nlohmann::json part(const NarrowText& text, GroupSpan span, bool cp932) {
    nlohmann::json out;
    if (cp932) out["hex"] = toHex(text);
    else out["text"] = codePage932ToUtf8(text);
    out["start"] = span.start;
    out["end"] = span.end;
    return out;
}

}  // namespace

std::string jsonResult(const ComposedResult* composed, bool cp932) {
    nlohmann::json out;
    if (composed == nullptr) {
        out["status"] = "bothEmpty";
        return out.dump() + "\n";
    }
    const MatchOutcome& outcome = composed->outcome;
    out["status"] = statusName(outcome.status);
    if (outcome.status == MatchStatus::invalid || outcome.status == MatchStatus::stopped) {
        out["code"] = static_cast<int>(outcome.error);
        if (outcome.errorPosition != RegexError::noPosition) out["position"] = outcome.errorPosition;
        out["reason"] = outcome.reason.empty() ? std::string(describe(outcome.error)) : outcome.reason;
    }
    out["explanation"] = explainOutcome(outcome);
    if (outcome.status != MatchStatus::invalid) {
        out["steps"] = outcome.cost.steps;
        out["ms"] = outcome.cost.milliseconds;
    }
    nlohmann::json groups = nlohmann::json::array();
    for (std::size_t i = 0; i < outcome.groups.size(); ++i) {
        const auto& span = outcome.spans[i];
        groups.push_back(span ? part(outcome.groups[i], *span, cp932) : nlohmann::json(nullptr));
    }
    out["groups"] = std::move(groups);
    if (outcome.partial) out["partial"] = part(outcome.partial->text, outcome.partial->span, cp932);
    return out.dump() + "\n";
}

}  // namespace tarnwick::tools
