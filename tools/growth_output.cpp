#include "growth_output.h"

#include <nlohmann/json.hpp>

#include "growth_report.h"
#include "hex_text.h"
#include "number_text.h"
#include "text_conversion.h"

namespace tarnwick::tools {
namespace {

std::string utf8(const WideText& text) { return codePage932ToUtf8(toNarrowString(text)); }

// Appends each piece: `"literal" + std::string&&` trips a false -Wrestrict of GCC 12 at -O3.
template <class... Pieces>
void add(std::string& out, const Pieces&... pieces) {
    (out.append(pieces), ...);
}

std::string paragraph(const char* title, const GrowthVerdict& v, const WideText& pattern) {
    std::string out;
    add(out, title, ": ", growthName(v), "\n");
    if (!v.superLinear()) return out;
    add(out, "  at characters ", std::to_string(v.atStart + 1), "–", std::to_string(v.atEnd), ": «",
        utf8(pattern.substr(v.atStart, v.atEnd - v.atStart)), "»\n");
    add(out, "  attack: prefix «", utf8(v.attack.prefix), "», pump «", utf8(v.attack.pump), "», suffix «",
        utf8(v.attack.suffix), "»\n");
    out += "  measured:";
    for (const StepsAtSize& s : v.steps) add(out, " ", withThousands(s.repeats), " × pump: ", withThousands(s.steps), " steps;");
    out.back() = '\n';
    add(out, "  ", describeAttack(v), " passes the work limit: about ",
        withThousands(static_cast<std::uint64_t>(v.attackSteps)), " steps\n");
    return out;
}

nlohmann::json text(const WideText& t, bool cp932) { return cp932 ? toHex(toNarrowString(t)) : utf8(t); }

nlohmann::json verdictJson(const GrowthVerdict& v, bool cp932) {
    nlohmann::json out;
    out["growth"] = v.growth == Growth::linear ? "linear" : v.growth == Growth::polynomial ? "polynomial" : "exponential";
    if (v.growth == Growth::polynomial) out["degree"] = v.degree;
    if (!v.superLinear()) return out;
    out["attack"] = {{"prefix", text(v.attack.prefix, cp932)},
                     {"pump", text(v.attack.pump, cp932)},
                     {"suffix", text(v.attack.suffix, cp932)}};
    out["at"] = {v.atStart, v.atEnd};
    nlohmann::json steps = nlohmann::json::array();
    for (const StepsAtSize& s : v.steps) steps.push_back({s.repeats, s.steps});
    out["steps"] = std::move(steps);
    out["repeats"] = v.attackRepeats;
    out["estimatedSteps"] = v.attackSteps;
    return out;
}

}  // namespace

std::string growthText(const GrowthAnalysis& analysis, const WideText& pattern) {
    return paragraph("whole text", analysis.whole, pattern) + paragraph("search", analysis.search, pattern);
}

std::string growthJson(const GrowthAnalysis& analysis, bool cp932) {
    const nlohmann::json out = {{"whole", verdictJson(analysis.whole, cp932)},
                                {"search", verdictJson(analysis.search, cp932)}};
    return out.dump() + "\n";
}

}  // namespace tarnwick::tools
