#include "growth_measure.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::growth {
namespace {

// One run may take this many steps: enough to see a growth, far below the work limit.
constexpr std::uint64_t runBudget = 1'000'000;
constexpr std::size_t longestExponentialSeries = 40;
constexpr std::size_t longestText = 64 * 1024;
// Past this many pumps a linear growth is plain; a polynomial one has shown itself.
constexpr std::size_t longestPolynomialSeries = 2048;
// A step of the exponential series multiplies the steps by at least this.
constexpr double exponentialRatio = 1.25;

using Points = std::vector<StepsAtSize>;

// Runs prefix + pump × n + suffix for each n that `nextSize` gives after the
// previous points, until it gives none, a run passes the run budget or the
// analysis' budget is spent.
template <class NextSize>
Points series(const CheckedPattern& pattern, MatchMode mode, const AttackText& attack, NextSize nextSize,
              std::uint64_t& budget, const std::atomic<bool>* cancel) {
    Points points;
    std::size_t size = 0;
    runMeteredSeries(
        pattern, mode,
        [&](const MeteredRun* previous, WideText& input, std::uint64_t& limit) {
            if (previous != nullptr) {
                budget -= std::min(budget, previous->steps);
                if (previous->stopped) return false;
                points.push_back({size, previous->steps});
                if (previous->steps > runBudget) return false;
            }
            const std::optional<std::size_t> next = nextSize(points);
            if (!next || budget == 0 || *next * attack.pump.size() > longestText) return false;
            size = *next;
            input = attack.repeated(size);
            limit = std::min(budget, 4 * runBudget);
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

// How much each more pump multiplies that cost, in logarithms.
std::vector<double> growthLogs(const Points& p) {
    std::vector<double> logs;
    for (std::size_t i = 1; i < p.size(); ++i) {
        const double before = beyondLeast(p, i - 1);
        if (before > 0) logs.push_back(std::log(beyondLeast(p, i) / before));
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
    if (now < 1.6 || before < 1.6 || std::abs(now - before) > 0.6) return std::nullopt;
    return std::max(2u, static_cast<unsigned>(std::lround(std::min(now, before))));
}

}  // namespace

std::optional<Measurement> measureCandidate(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                            std::uint64_t& budget, const std::atomic<bool>* cancel) {
    std::optional<Measurement> worst;
    const auto worse = [](const Measurement& a, const Measurement& b) {
        if (a.growth != b.growth) return a.growth > b.growth;
        return a.growth == Growth::exponential ? a.perPump > b.perPump : a.degree > b.degree;
    };
    for (const WideText& suffix : candidate.suffixes) {
        Measurement m;
        m.attack = {candidate.prefix, candidate.pump, suffix};
        const Points exponential = series(
            pattern, mode, m.attack,
            [](const Points& p) -> std::optional<std::size_t> {
                // A growth that has slowed by now is no exponential one.
                if (p.size() >= 8 && ratio(p.back(), p[p.size() - 2]) < exponentialRatio) return std::nullopt;
                if (p.size() > longestExponentialSeries) return std::nullopt;
                return p.size();  // 0, 1, 2, ...
            }, budget, cancel);
        if (const auto factor = exponentialFactor(exponential)) {
            m.growth = Growth::exponential;
            m.perPump = *factor;
            m.steps.assign(exponential.end() - std::min<std::size_t>(exponential.size(), 4), exponential.end());
        } else {
            // Doubling on from where the series by one stopped; the sizes of both that double count.
            std::size_t start = 4;
            while (!exponential.empty() && start <= exponential.back().repeats) start *= 2;
            Points all = exponential;
            const Points polynomial = series(
                pattern, mode, m.attack,
                [start](const Points& p) -> std::optional<std::size_t> {
                    if (p.empty()) return start;
                    if (p.back().repeats >= longestPolynomialSeries) return std::nullopt;
                    return p.back().repeats * 2;
                },
                budget, cancel);
            all.insert(all.end(), polynomial.begin(), polynomial.end());
            const Points doubling = doublingPoints(all);
            const auto degree = polynomialDegree(doubling);
            if (!degree) continue;
            m.growth = Growth::polynomial;
            m.degree = *degree;
            m.steps.assign(doubling.end() - std::min<std::size_t>(doubling.size(), 4), doubling.end());
        }
        if (!worst || worse(m, *worst)) worst = std::move(m);
        if (worst->growth == Growth::exponential) break;
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
