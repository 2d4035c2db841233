// One evaluation as the window makes it on every keystroke, at four sizes of
// text, against the plain pipeline of the design and PCRE2-16 with JIT; the
// window's own evaluation with its conversions; the guards' stops; and the
// checker alone. After the table it prints ours / plain and ours / PCRE2.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "box_evaluation.h"
#include "evaluator.h"
#include "growth_analysis.h"
#include "guarded_match.h"
#include "line_ends.h"
#include "reference_pipelines.h"
#include "large_stack.h"
#include "pattern_check.h"
#include "result_compose.h"
#include "text_conversion.h"

namespace {

using tarnwick::NarrowText;

// Japanese and ASCII lines with CR LF ends, cut to `bytes` of code page 932.
NarrowText windowText(std::size_t bytes) {
    const NarrowText line = tarnwick::utf8ToCodePage932("東京都千代田区1-2-3 Tarnwick テスト行 12345。\r\n");
    NarrowText text;
    while (text.size() + line.size() <= bytes) text += line;
    text.append(bytes - text.size(), 'x');
    return text;
}

struct Pattern {
    const char* name;
    std::string expression;  // UTF-8
};

const std::vector<Pattern> typicalPatterns = {
    {"dotStar", ".*"},
    {"twoGroups", "(.*)千代田(.*)"},
    {"repeatedWords", "([^ ]+ )*.*"},
    {"repeatedGroup", "(.)*"},
    {"noMatch", "\\d+"},
    {"lastNumber", ".*?(\\d+)-(\\d+)-(\\d+)(.*)"},
};

const std::vector<std::pair<const char*, std::size_t>> sizes = {
    {"1KB", 1024}, {"10KB", 10239}, {"100KB", 100 * 1024}, {"1MiB", 1 << 20}};

void ours(benchmark::State& state, NarrowText expression, NarrowText text) {
    std::cout.setstate(std::ios::failbit);  // the report line of a stopped match
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::composeResult(expression, text));
    std::cout.clear();
}

void plain(benchmark::State& state, NarrowText expression, NarrowText text) {
    tarnwick::runOnLargeStack([&](std::size_t) {
        for (auto _ : state) benchmark::DoNotOptimize(tarnwick::bench::plainPipeline(expression, text));
        return std::size_t{0};
    });
}

// As many spinning threads as cores, as a compiler or a browser keeps a
// user's laptop busy, for as long as one benchmark runs.
class BusyCores {
public:
    BusyCores() {
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
            threads_.emplace_back([this] {
                while (!stop_.load(std::memory_order_relaxed)) {
                }
            });
        }
    }
    ~BusyCores() {
        stop_ = true;
        for (std::thread& t : threads_) t.join();
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

template <void (*Pipeline)(benchmark::State&, NarrowText, NarrowText)>
void onBusyCores(benchmark::State& state, NarrowText expression, NarrowText text) {
    const BusyCores busy;
    Pipeline(state, std::move(expression), std::move(text));
}

void pcre2(benchmark::State& state, std::string expression, NarrowText text) {
    const tarnwick::bench::Pcre2Pipeline pipeline(expression);
    for (auto _ : state) benchmark::DoNotOptimize(pipeline.evaluate(text));
}

// A stop at the stack limit of the match alone: 64 MiB, the depth at which
// unwinding the recursion by an exception once took 240-530 ms.
void stackStopAt64MiB(benchmark::State& state) {
    const tarnwick::CheckedPattern pattern = tarnwick::checkPattern(L"(.)*");
    const tarnwick::WideText text(1 << 20, L'a');
    for (auto _ : state) {
        try {
            tarnwick::matchWhole(pattern, text, {1'000'000'000, std::size_t{64} << 20});
            state.SkipWithError("not stopped");
        } catch (const tarnwick::RegexError&) {
        }
    }
}

// From the widgets' UTF-8 with LF line breaks to the Result shown, as the window does it.
void window(benchmark::State& state, std::string expression, NarrowText text) {
    const std::string utf8 = tarnwick::fromCrLf(tarnwick::codePage932ToUtf8(text));
    std::cout.setstate(std::ios::failbit);
    tarnwick::app::evaluate("", utf8);  // the text was typed before the expression
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::app::evaluate(expression, utf8));
    std::cout.clear();
}

// The check alone, as it runs on every key.
void check(benchmark::State& state, tarnwick::WideText pattern) {
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::checkPattern(pattern));
}

// The growth analysis, as it runs after every key that changes Expression.
void analyse(benchmark::State& state, tarnwick::WideText pattern) {
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::analyseGrowth(pattern));
}

// 1,000 characters of a log line's pieces, each repetition kept apart by a
// literal: a linear expression, whose analysis finds nothing to measure long.
tarnwick::WideText longLinearPattern() {
    const tarnwick::WideText piece = LR"(\[ERROR\] (\d{4})-\d{2}-\d{2} [ぁ-ん]+:x|)";
    tarnwick::WideText pattern;
    while (pattern.size() + piece.size() + 4 <= 1000) pattern += piece;
    pattern.append(1000 - pattern.size(), L'a');
    return pattern;
}

// 1,000 characters of the kinds of pieces users write, with groups, a back
// reference and a look-ahead among them.
tarnwick::WideText longPattern() {
    const tarnwick::WideText piece = L"(?:[^ ]+ )*?(?:東京|千代田)\\d{1,3}-?(?=\\S).*?|";
    tarnwick::WideText pattern = L"(\\d+)-((?:\\w|[ぁ-ん])*)";
    while (pattern.size() + piece.size() + 4 <= 1000) pattern += piece;
    pattern += L"\\1\\2";
    pattern.append(1000 - pattern.size(), L'a');
    return pattern;
}

void addChecks() {
    std::vector<std::pair<std::string, tarnwick::WideText>> patterns;
    for (const Pattern& p : typicalPatterns) {
        patterns.emplace_back(p.name, tarnwick::toWideString(tarnwick::utf8ToCodePage932(p.expression)));
    }
    patterns.emplace_back("long1000", longPattern());
    patterns.emplace_back("pastedText100KB", tarnwick::toWideString(windowText(100 * 1024)));  // a log pasted as the expression
    for (const auto& [name, pattern] : patterns) {
        benchmark::RegisterBenchmark(("check/" + name).c_str(), check, pattern);
    }
    // Beside the check of the same expressions: long1000 explodes (its
    // ((?:\w|[ぁ-ん])*) reads a hiragana two ways), long1000linear does not.
    patterns.emplace_back("long1000linear", longLinearPattern());
    for (const auto& [name, pattern] : patterns) {
        if (name == "long1000linear") benchmark::RegisterBenchmark(("check/" + name).c_str(), check, pattern);
        benchmark::RegisterBenchmark(("analyse/" + name).c_str(), analyse, pattern)->Unit(benchmark::kMillisecond);
    }
}

// From a change that cancels a runaway match (work limit) to the next state's
// Result: the worker gives the cancelled match up and is free again.
void cancelToNextResult(benchmark::State& state) {
    tarnwick::app::Evaluator evaluator([] {});
    const std::string runaway(30, 'a');
    for (auto _ : state) {
        const auto started = evaluator.evaluationsStarted();
        evaluator.change("(a+)+b", runaway + "c");
        while (evaluator.evaluationsStarted() == started) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // well into the match
        const auto cancelled = std::chrono::steady_clock::now();
        evaluator.setExpression("a+c");
        evaluator.waitAndTake(false);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - cancelled).count());
    }
}

// Prints, after the usual table, how ours compares with each reference.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                std::string name = run.benchmark_name();
                name = name.substr(0, name.find("/real_time"));
                name = name.substr(0, name.find("_median"));
                times_[name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::cout << "\nours / plain, ours / PCRE2 (real time):\n";
        for (const auto& [name, time] : times_) {
            if (name.rfind("ours/", 0) != 0) continue;
            const std::string rest = name.substr(5);
            std::cout << "  " << rest << ':';
            for (const char* other : {"plain/", "pcre2/"}) {
                const auto found = times_.find(other + rest);
                if (found != times_.end()) std::cout << ' ' << time / found->second;
                else std::cout << " -";
            }
            std::cout << '\n';
        }
    }

private:
    std::map<std::string, double> times_;
};

template <class Function, class Expression>
void add(const std::string& name, Function f, Expression expression, const NarrowText& text) {
    benchmark::RegisterBenchmark(name.c_str(), f, expression, text)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
    for (const auto& [sizeName, bytes] : sizes) {
        const NarrowText text = windowText(bytes);
        for (const Pattern& p : typicalPatterns) {
            const std::string suffix = std::string(p.name) + "/" + sizeName;
            const NarrowText expression = tarnwick::utf8ToCodePage932(p.expression);
            add("ours/" + suffix, ours, expression, text);
            add("plain/" + suffix, plain, expression, text);
            add("pcre2/" + suffix, pcre2, p.expression, text);
        }
        add(std::string("window/dotStar/") + sizeName, window, std::string(".*"), text);
        add(std::string("window/invalidExpression/") + sizeName, window, std::string("("), text);
    }
    // Every core busy: the hand-off to the matching thread must not wait for the scheduler.
    for (const auto& [sizeName, bytes] : {std::pair{"1KB", std::size_t{1024}}, {"10KB", std::size_t{10239}}}) {
        const NarrowText text = windowText(bytes);
        for (const Pattern& p : {typicalPatterns[0], typicalPatterns[1]}) {
            const std::string suffix = std::string("busy/") + p.name + "/" + sizeName;
            const NarrowText expression = tarnwick::utf8ToCodePage932(p.expression);
            add("ours/" + suffix, onBusyCores<ours>, expression, text);
            add("plain/" + suffix, onBusyCores<plain>, expression, text);
        }
    }
    add("ours/catastrophic22", ours, NarrowText("(a+)+b"), NarrowText(22, 'a'));
    add("plain/catastrophic22", plain, NarrowText("(a+)+b"), NarrowText(22, 'a'));
    add("ours/catastrophic40", ours, NarrowText("(a+)+b"), NarrowText(40, 'a'));
    // Deeper than the stack limit: how soon the stop (code 12) is reported.
    add("ours/stackStop16MiB", ours, NarrowText("(.)*"), NarrowText(16 << 20, 'a'));
    benchmark::RegisterBenchmark("ours/stackStopAt64MiB", stackStopAt64MiB)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("evaluator/cancelToNextResult", cancelToNextResult)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
    addChecks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
