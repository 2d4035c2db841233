#include "growth_report.h"

#include <cmath>

#include "number_text.h"
#include "text_conversion.h"

namespace tarnwick {
namespace {

std::string quoted(const WideText& text) { return "«" + codePage932ToUtf8(toNarrowString(text)) + "»"; }

// "94 M steps", "1,250 steps".
std::string aboutSteps(double steps) {
    if (steps >= 1e6) return withThousands(static_cast<std::uint64_t>(std::llround(steps / 1e6))) + " M steps";
    return withThousands(static_cast<std::uint64_t>(std::llround(steps))) + " steps";
}

}  // namespace

std::string describeAttack(const GrowthVerdict& v) {
    std::string out;
    if (!v.attack.prefix.empty()) out += quoted(v.attack.prefix) + " then ";
    out += withThousands(v.attackRepeats) + " × " + quoted(v.attack.pump);
    if (!v.attack.suffix.empty()) out += " then " + quoted(v.attack.suffix);
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
    std::string out = "⚠ " + growthName(*v);
    if (v == &analysis.search) out += " when searched";
    return out + ": " + describeAttack(*v) + " takes about " + aboutSteps(v->attackSteps);
}

}  // namespace tarnwick
