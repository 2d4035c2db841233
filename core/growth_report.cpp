#include "growth_report.h"

#include <cmath>

#include "number_text.h"
#include "text_conversion.h"

namespace tarnwick {
namespace {

// Pieces appended one by one: `"literal" + std::string&&` trips a false
// -Wrestrict of GCC 12 at -O3.
std::string quoted(const WideText& text) {
    std::string out = "«";
    out.append(codePage932ToUtf8(toNarrowString(text))).append("»");
    return out;
}

// "94 M steps", "1,250 steps".
std::string aboutSteps(double steps) {
    if (steps >= 1e6) return withThousands(static_cast<std::uint64_t>(std::llround(steps / 1e6))) + " M steps";
    return withThousands(static_cast<std::uint64_t>(std::llround(steps))) + " steps";
}

}  // namespace

std::string describeAttack(const GrowthVerdict& v) {
    std::string out;
    if (!v.attack.prefix.empty()) out += quoted(v.attack.prefix) + " then ";
    out.append(withThousands(v.attackRepeats)).append(" × ").append(quoted(v.attack.pump));
    if (!v.attack.suffix.empty()) out.append(" then ").append(quoted(v.attack.suffix));
    return out;
}

const GrowthVerdict* warnedVerdict(const GrowthAnalysis& analysis) {
    if (analysis.whole.superLinear()) return &analysis.whole;
    if (analysis.search.superLinear()) return &analysis.search;
    return nullptr;
}

std::string growthWarning(const GrowthAnalysis& analysis) {
    const GrowthVerdict* v = warnedVerdict(analysis);
    if (v == nullptr) return {};
    std::string out = "⚠ ";
    out.append(growthName(*v));
    if (v == &analysis.search) out.append(" when searched");
    out.append(": ").append(describeAttack(*v)).append(" takes about ").append(aboutSteps(v->attackSteps));
    return out;
}

}  // namespace tarnwick
