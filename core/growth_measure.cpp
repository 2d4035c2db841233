#include "growth_measure.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::growth {
namespace {

// A series ends after a run of more steps than this: enough to see a growth,
// far below the work limit. An exponential growth shows itself soonest; a
// polynomial one needs longer texts for its constant and lower parts to fade.
constexpr std::uint64_t exponentialRunBudget = 64'000;
constexpr std::uint64_t polynomialRunBudget = 300'000;
// The first five sizes may take this much, and up to ten times the size
// before (within half the work limit), for a growth so steep that a single
// pump multiplies the steps many times.
constexpr std::uint64_t steepRunLimit = 2'000'000;
constexpr std::size_t steepSizes = 5;
constexpr std::size_t longestExponentialSeries = 40;
constexpr std::size_t longestText = 64 * 1024;
// Past this many pumps a linear growth is plain; a polynomial one has shown itself.
constexpr std::size_t longestPolynomialSeries = 2048;
// A step of the exponential series multiplies the steps by at least this.
constexpr double exponentialRatio = 1.25;

using Points = std::vector<StepsAtSize>;

// Runs prefix + pump × n + suffix for each n that `nextSize` gives after the
// previous points, until it gives none, a run passes the run budget (after
// five sizes at least), a run stops at its limit or the analysis' budget is spent.
template <class NextSize>
Points series(const CheckedPattern& pattern, MatchMode mode, const AttackText& attack, std::uint64_t runBudget,
              NextSize nextSize, std::uint64_t& budget, const std::atomic<bool>* cancel) {
    Points points;
    std::size_t size = 0;
    runMeteredSeries(
        pattern, mode,
        [&](const MeteredRun* previous, WideText& input, std::uint64_t& limit) {
            if (previous != nullptr) {
                budget -= std::min(budget, previous->steps);
                if (previous->stopped) return false;
                points.push_back({size, previous->steps});
                if (previous->steps > runBudget && points.size() >= steepSizes) return false;
            }
            const std::optional<std::size_t> next = nextSize(points);
            if (!next || budget == 0 || *next * attack.pump.size() > longestText) return false;
            size = *next;
            input = attack.repeated(size);
            std::uint64_t most = 4 * runBudget;
            if (points.size() < steepSizes) {
                most = std::max(steepRunLimit, points.empty() ? 0 : std::min(10 * points.back().steps, baseStepLimit / 2));
            }
            limit = std::min(budget, most);
            return true;
        },
        cancel);
    return points;
}

double ratio(const StepsAtSize& later, const StepsAtSize& earlier) {
    return static_cast<double>(later.steps) / static_cast<double>(std::max<std::uint64_t>(earlier.steps, 1));
}

// The steps a run takes beyond the least of the series: what the pumps cost
// (the text without pumps may cost more than with one). A growth so steep
// that the least is large already has no constant part worth taking away.
constexpr std::uint64_t constantPart = 1'000;
double beyondLeast(const Points& p, std::size_t i) {
    const auto least = std::min_element(p.begin(), p.end(), [](const auto& a, const auto& b) { return a.steps < b.steps; });
    return static_cast<double>(p[i].steps) - static_cast<double>(std::min(least->steps, constantPart));
}

// How much each more pump multiplies that cost, in logarithms; from one
// pump on, since the first pump may also open a way the text without it
// lacks, unless so steep a growth left too few sizes for that.
std::vector<double> growthLogs(const Points& p) {
    std::vector<double> logs;
    for (const bool fromNone : {false, true}) {
        logs.clear();
        for (std::size_t i = 1; i < p.size(); ++i) {
            if (p[i - 1].repeats == 0 && !fromNone) continue;
            const double before = beyondLeast(p, i - 1);
            if (before > 0) logs.push_back(std::log(beyondLeast(p, i) / before));
        }
        if (logs.size() >= 2) break;
    }
    return logs;
}

// Below this many steps a growth has not shown itself; a linear one never gets there in the series.
constexpr double shownGrowth = 10'000;

// Exponential where that factor stays above 1 as the text grows: a
// polynomial's falls like 1/n, halving while the text doubles. Two factors
// suffice for a growth so steep that no more sizes fit the run's budget.
std::optional<double> exponentialFactor(const Points& p) {
    const std::vector<double> logs = growthLogs(p);
    if (logs.size() < 2 || beyondLeast(p, p.size() - 1) < shownGrowth) return std::nullopt;
    const std::size_t last = logs.size() - 1;
    const double least = std::log(exponentialRatio);
    for (std::size_t i = last - std::min<std::size_t>(last, 2); i <= last; ++i) {
        if (logs[i] < least) return std::nullopt;
    }
    if (logs.size() < 4) {
        if (logs[last] < 0.85 * logs[0]) return std::nullopt;
        return std::exp(logs[last]);
    }
    const double now = (logs[last] + logs[last - 1]) / 2;
    const std::size_t half = last / 2;
    const double atHalf = (logs[half] + logs[half - 1]) / 2;
    if (now < 0.7 * atHalf) return std::nullopt;
    return std::exp(now);
}

// The degree of a polynomial growth, from the differences of the steps at
// doubling sizes (which drop the constant part): for n^d they grow 2^d-fold.
double degreeEstimate(const StepsAtSize& a, const StepsAtSize& b, const StepsAtSize& c) {
    const double d1 = static_cast<double>(b.steps) - static_cast<double>(a.steps);
    const double d2 = static_cast<double>(c.steps) - static_cast<double>(b.steps);
    if (d1 <= 0 || d2 <= 0) return 0;
    return std::log2(d2 / d1);
}

bool isPowerOfTwo(std::size_t n) { return n != 0 && (n & (n - 1)) == 0; }

// The points at doubling sizes, the last of them ending the series.
Points doublingPoints(const Points& p) {
    Points doubling;
    for (const StepsAtSize& point : p) {
        if (!isPowerOfTwo(point.repeats)) continue;
        if (!doubling.empty() && point.repeats != doubling.back().repeats * 2) doubling.clear();
        doubling.push_back(point);
    }
    return doubling;
}

// Two estimates that agree: a growth that slows (a bounded repetition filled
// up) is not called polynomial, nor one too steep to show four sizes.
std::optional<unsigned> polynomialDegree(const Points& doubling) {
    const std::size_t n = doubling.size();
    if (n < 4) return std::nullopt;
    const double now = degreeEstimate(doubling[n - 3], doubling[n - 2], doubling[n - 1]);
    const double before = degreeEstimate(doubling[n - 4], doubling[n - 3], doubling[n - 2]);
    // Lower parts fade as the text grows, so the estimates climb towards the
    // degree; they fall where a bounded repetition fills up.
    if (now < 1.6 || before < 1.3 || now < before - 0.6) return std::nullopt;
    // No more than the last doubling itself shows: its steps grow 2^d-fold
    // but for their constant and lower parts.
    auto degree = std::max(2u, static_cast<unsigned>(std::lround(now)));
    while (degree >= 2 && ratio(doubling[n - 1], doubling[n - 2]) < 0.6 * std::pow(2.0, degree)) --degree;
    if (degree < 2) return std::nullopt;
    return degree;
}

// The end of the text, and the two suffixes under which six pumps cost the
// most: the ones that make the match fail slowly, if any does.
std::vector<WideText> likeliestSuffixes(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                        std::uint64_t& budget, const std::atomic<bool>* cancel) {
    constexpr std::size_t kept = 2;
    if (candidate.suffixes.size() <= kept + 1) return candidate.suffixes;
    std::vector<std::pair<std::uint64_t, std::size_t>> cost;  // of each suffix but the first (the end of the text)
    std::size_t next = 1;
    runMeteredSeries(
        pattern, mode,
        [&](const MeteredRun* previous, WideText& input, std::uint64_t& limit) {
            if (previous != nullptr) {
                budget -= std::min(budget, previous->steps);
                cost.emplace_back(previous->stopped ? UINT64_MAX : previous->steps, next++);
            }
            if (next == candidate.suffixes.size() || budget == 0) return false;
            input = AttackText{candidate.prefix, candidate.pump, candidate.suffixes[next]}.repeated(6);
            limit = std::min(budget, 4 * exponentialRunBudget);
            return true;
        },
        cancel);
    std::stable_sort(cost.begin(), cost.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<WideText> likeliest{candidate.suffixes.front()};
    for (std::size_t i = 0; i < kept && i < cost.size(); ++i) likeliest.push_back(candidate.suffixes[cost[i].second]);
    return likeliest;
}

}  // namespace

ExponentialProbe probeExponential(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                  std::uint64_t& budget, const std::atomic<bool>* cancel) {
    ExponentialProbe probe;
    for (const WideText& suffix : likeliestSuffixes(pattern, mode, candidate, budget, cancel)) {
        const AttackText attack{candidate.prefix, candidate.pump, suffix};
        Points points = series(
            pattern, mode, attack, exponentialRunBudget,
            [](const Points& p) -> std::optional<std::size_t> {
                // A growth that has slowed by now is no exponential one.
                if (p.size() >= 6 && ratio(p.back(), p[p.size() - 2]) < exponentialRatio) return std::nullopt;
                if (p.size() > longestExponentialSeries) return std::nullopt;
                return p.size();  // 0, 1, 2, ...
            },
            budget, cancel);
        if (const auto factor = exponentialFactor(points)) {
            Measurement m;
            m.growth = Growth::exponential;
            m.perPump = *factor;
            m.attack = attack;
            m.steps.assign(points.end() - std::min<std::size_t>(points.size(), 4), points.end());
            probe.exponential = std::move(m);
            return probe;
        }
        probe.suffixes.push_back(suffix);
        probe.series.push_back(std::move(points));
    }
    return probe;
}

std::optional<Measurement> measurePolynomial(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                             const ExponentialProbe& probe, std::uint64_t& budget,
                                             const std::atomic<bool>* cancel) {
    std::optional<Measurement> worst;
    for (std::size_t i = 0; i < probe.suffixes.size(); ++i) {
        Measurement m;
        m.attack = {candidate.prefix, candidate.pump, probe.suffixes[i]};
        // Doubling on from where the series by one stopped; the sizes of both that double count.
        const Points& byOne = probe.series[i];
        std::size_t start = 4;
        while (!byOne.empty() && start <= byOne.back().repeats) start *= 2;
        Points all = byOne;
        const Points doublingOn = series(
            pattern, mode, m.attack, polynomialRunBudget,
            [start](const Points& p) -> std::optional<std::size_t> {
                if (p.empty()) return start;
                if (p.back().repeats >= longestPolynomialSeries) return std::nullopt;
                return p.back().repeats * 2;
            },
            budget, cancel);
        all.insert(all.end(), doublingOn.begin(), doublingOn.end());
        const Points doubling = doublingPoints(all);
        const auto degree = polynomialDegree(doubling);
        if (!degree || (worst && worst->degree >= *degree)) continue;
        m.growth = Growth::polynomial;
        m.degree = *degree;
        m.steps.assign(doubling.end() - std::min<std::size_t>(doubling.size(), 4), doubling.end());
        worst = std::move(m);
    }
    return worst;
}

double estimatedSteps(const Measurement& m, std::size_t repeats) {
    const StepsAtSize& last = m.steps.back();
    const double base = static_cast<double>(last.steps);
    if (m.growth == Growth::exponential) {
        return base * std::pow(m.perPump, static_cast<double>(repeats) - static_cast<double>(last.repeats));
    }
    return base * std::pow(static_cast<double>(repeats) / static_cast<double>(last.repeats), m.degree);
}

}  // namespace tarnwick::growth
