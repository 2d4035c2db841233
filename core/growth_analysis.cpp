#include "growth_analysis.h"

#include "growth_automaton.h"
#include "growth_candidates.h"
#include "growth_measure.h"
#include "pattern_check.h"
#include "pattern_stages.h"

namespace tarnwick {

WideText AttackText::repeated(std::size_t n) const {
    WideText text;
    text.reserve(prefix.size() + pump.size() * n + suffix.size());
    text += prefix;
    for (std::size_t i = 0; i < n; ++i) text += pump;
    text += suffix;
    return text;
}

namespace {

using namespace growth;

// Candidates measured for each of whole-text matching and searching.
constexpr std::size_t candidatesMeasured = 12;
// What one candidate may spend: much to show a steep growth, less for the
// long texts of a polynomial one.
constexpr std::uint64_t exponentialShare = 48'000'000;
constexpr std::uint64_t polynomialShare = 4'000'000;
// The attack text is at most this long: what the boxes take at once.
constexpr std::size_t longestAttack = 1'000'000;

// The pumps whose estimated steps pass the work limit of a text that long.
void sizeAttack(GrowthVerdict& verdict, const Measurement& m) {
    const auto limitFor = [&](std::size_t n) {
        return static_cast<double>(limitsFor(m.attack.repeated(0).size() + n * m.attack.pump.size()).steps);
    };
    const std::size_t most = (longestAttack - m.attack.prefix.size() - m.attack.suffix.size()) / m.attack.pump.size();
    std::size_t n = m.steps.back().repeats;
    // Doubling, then halving back: the steps grow with n, the limit barely.
    std::size_t step = 1;
    while (n < most && estimatedSteps(m, n) <= limitFor(n)) {
        n = std::min(most, n + step);
        step *= 2;
    }
    for (step /= 2; step > 0; step /= 2) {
        if (n > step && estimatedSteps(m, n - step) > limitFor(n - step)) n -= step;
    }
    verdict.attackRepeats = n;
    verdict.attackSteps = estimatedSteps(m, n);
}

GrowthVerdict analyseMode(const pattern::PatternTree& tree, const WideText& source, const CheckedPattern& checked,
                          MatchMode mode, std::uint64_t& budget, const std::atomic<bool>* cancel) {
    const Automaton automaton = buildAutomaton(tree, mode == MatchMode::search);
    std::vector<Candidate> candidates = findCandidates(automaton, candidatesMeasured, cancel);
    if (automaton.approximate || automaton.tooLarge) {
        // What the automaton does not see is measured: each letter pumped.
        for (Candidate& c : letterCandidates(automaton, candidatesMeasured / 2)) {
            c.at = {0, source.size()};
            candidates.push_back(std::move(c));
        }
    }
    GrowthVerdict verdict;
    std::optional<Measurement> worst;
    const Candidate* worstCandidate = nullptr;
    // No one candidate may spend what the others need.
    const auto spend = [&](std::uint64_t most, auto&& measure) {
        std::uint64_t share = std::min(budget, most);
        const std::uint64_t before = share;
        auto result = measure(share);
        budget -= before - share;
        return result;
    };
    // First the cheap search for an exponential growth over all candidates,
    // then the longer texts a polynomial one needs.
    std::vector<ExponentialProbe> probes;
    for (const Candidate& candidate : candidates) {
        if (budget == 0) break;
        probes.push_back(spend(exponentialShare, [&](std::uint64_t& share) { return probeExponential(checked, mode, candidate, share, cancel); }));
        if (probes.back().exponential) {
            worst = std::move(probes.back().exponential);
            worstCandidate = &candidate;
            break;
        }
    }
    for (std::size_t i = 0; !worst || worst->growth != Growth::exponential; ++i) {
        if (i >= probes.size() || budget == 0) break;
        // Once a growth is known, the others only get to show a steeper one on short texts.
        auto m = spend(worst ? polynomialShare / 4 : polynomialShare, [&](std::uint64_t& share) { return measurePolynomial(checked, mode, candidates[i], probes[i], share, cancel); });
        if (m && (!worst || m->degree > worst->degree)) {
            worst = std::move(m);
            worstCandidate = &candidates[i];
        }
    }
    if (!worst) return verdict;
    verdict.growth = worst->growth;
    verdict.degree = worst->growth == Growth::polynomial ? worst->degree : 1;
    verdict.attack = worst->attack;
    verdict.atStart = worstCandidate->at.start;
    verdict.atEnd = worstCandidate->at.end;
    verdict.steps = worst->steps;
    sizeAttack(verdict, *worst);
    return verdict;
}

}  // namespace

GrowthAnalysis analyseGrowth(const WideText& pattern, const std::atomic<bool>* cancel) {
    const CheckedPattern checked = checkPattern(pattern, cancel);
    const pattern::ParsedPattern parsed = pattern::parsePattern(pattern);
    GrowthAnalysis analysis;
    // Hundreds of short runs: on the matching thread, each without a hand-off.
    onMatchingStack([&] {
        std::uint64_t budget = measuringBudget;
        analysis.whole = analyseMode(parsed.tree, pattern, checked, MatchMode::whole, budget, cancel);
        budget = measuringBudget;
        analysis.search = analyseMode(parsed.tree, pattern, checked, MatchMode::search, budget, cancel);
    });
    return analysis;
}

std::string growthName(const GrowthVerdict& verdict) {
    switch (verdict.growth) {
        case Growth::linear: return "linear";
        case Growth::exponential: return "exponential";
        case Growth::polynomial:
            if (verdict.degree == 2) return "quadratic";
            if (verdict.degree == 3) return "cubic";
            return std::string("polynomial of degree ").append(std::to_string(verdict.degree));
    }
    return "linear";
}

}  // namespace tarnwick
