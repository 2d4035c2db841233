#include "json_result.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <vector>

#include "code_page_rules.h"
#include "hex_text.h"
#include "text_conversion.h"

namespace tarnwick::tools {
namespace {

std::size_t characterBytes(const std::string& text, std::size_t at, bool cp932) {
    if (cp932) return codepage::characterBytes932(text.data() + at, text.size() - at);
    std::size_t n = 1;  // UTF-8: a lead byte and its continuation bytes
    while (at + n < text.size() && (static_cast<unsigned char>(text[at + n]) & 0xC0) == 0x80) ++n;
    return n;
}

// Where the CRs stand that made the input's lone line feeds CR LF, in
// characters of the text that was evaluated.
std::vector<std::size_t> insertedCarriageReturns(const std::string& input, bool cp932) {
    std::vector<std::size_t> at;
    std::size_t character = 0;
    for (std::size_t byte = 0; byte < input.size(); ++character) {
        if (input[byte] == '\n' && (byte == 0 || input[byte - 1] != '\r')) at.push_back(character + at.size());
        byte += characterBytes(input, byte, cp932);
    }
    return at;
}

const char* statusName(MatchStatus status) {
    switch (status) {
        case MatchStatus::matched: return "matched";
        case MatchStatus::noMatch: return "noMatch";
        case MatchStatus::invalid: return "invalid";
        case MatchStatus::stopped: return "stopped";
    }
    return "";
}

}  // namespace

std::string jsonResult(const ComposedResult* composed, const std::string& input, bool cp932, bool lineBreaksKept) {
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
    const std::vector<std::size_t> inserted =
        lineBreaksKept ? std::vector<std::size_t>() : insertedCarriageReturns(input, cp932);
    auto inInput = [&](std::size_t position) {
        return position - static_cast<std::size_t>(std::lower_bound(inserted.begin(), inserted.end(), position) -
                                                   inserted.begin());
    };
    nlohmann::json groups = nlohmann::json::array();
    const auto spans = spansBeforeJoin(*composed);
    for (std::size_t i = 0; i < outcome.groups.size(); ++i) {
        if (!spans[i]) {
            groups.push_back(nullptr);
            continue;
        }
        nlohmann::json group;
        if (cp932) group["hex"] = toHex(outcome.groups[i]);
        else group["text"] = codePage932ToUtf8(outcome.groups[i]);
        group["start"] = inInput(spans[i]->start);
        group["end"] = inInput(spans[i]->end);
        groups.push_back(std::move(group));
    }
    out["groups"] = std::move(groups);
    return out.dump() + "\n";
}

}  // namespace tarnwick::tools
