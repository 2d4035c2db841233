// One evaluation as the window makes it on every keystroke, against the plain
// pipeline without checker or guards (std::regex_replace, then std::regex_match);
// and the same with the window's UTF-8 conversions and line ends around it.

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "box_evaluation.h"
#include "line_ends.h"
#include "result_compose.h"
#include "text_conversion.h"

namespace {

using tarnwick::NarrowText;

// A 10,239-byte text of Japanese and ASCII lines with CR LF ends, the largest the window was made for.
NarrowText windowText() {
    const NarrowText line = tarnwick::utf8ToCodePage932("東京都千代田区1-2-3 Tarnwick テスト行 12345。\r\n");
    NarrowText text;
    while (text.size() + line.size() <= 10239) text += line;
    text.append(10239 - text.size(), 'x');
    return text;
}

NarrowText plainPipeline(const NarrowText& expression, const NarrowText& text) {
    const std::wregex lineEnd(L"\r\n");
    const std::wstring joined = std::regex_replace(tarnwick::toWideString(text), lineEnd, L"");
    const std::wregex pattern(tarnwick::toWideString(expression));
    std::wsmatch match;
    NarrowText out;
    if (!std::regex_match(joined, match, pattern)) return out;
    for (std::size_t i = 0; i < match.size(); ++i) {
        out += "group[" + std::to_string(i) + "] [" + tarnwick::toNarrowString(match[i].str()) + "]\r\n";
    }
    return out;
}

struct Case {
    const char* name;
    std::string expression;  // UTF-8
    NarrowText text;
    bool plainToo;  // the plain pipeline would run for hours
};

std::vector<Case> cases() {
    const NarrowText text = windowText();
    return {
        {"dotStar", ".*", text, true},
        {"twoGroups", "(.*)千代田(.*)", text, true},
        {"repeatedWords", "([^ ]+ )*.*", text, true},
        {"repeatedGroup", "(.)*", text, true},
        {"noMatch", "\\d+", text, true},
        {"catastrophic22", "(a+)+b", NarrowText(22, 'a'), true},
        {"catastrophic40", "(a+)+b", NarrowText(40, 'a'), false},
    };
}

void composeGuarded(benchmark::State& state, const Case& c) {
    const NarrowText expression = tarnwick::utf8ToCodePage932(c.expression);
    std::cout.setstate(std::ios::failbit);  // the report line of a stopped match
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::composeResult(expression, c.text));
    std::cout.clear();
}

void composePlain(benchmark::State& state, const Case& c) {
    const NarrowText expression = tarnwick::utf8ToCodePage932(c.expression);
    for (auto _ : state) benchmark::DoNotOptimize(plainPipeline(expression, c.text));
}

// From the widgets' UTF-8 with LF line breaks to the Result shown, as the window does it.
void evaluateWindow(benchmark::State& state, const Case& c) {
    const std::string text = tarnwick::fromCrLf(tarnwick::codePage932ToUtf8(c.text));
    std::cout.setstate(std::ios::failbit);
    for (auto _ : state) benchmark::DoNotOptimize(tarnwick::app::evaluate(c.expression, text));
    std::cout.clear();
}

// Prints, after the usual table, how much the guarded evaluation costs over the plain one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::cout << "\nguarded / plain (real time):\n";
        for (const auto& [name, time] : times_) {
            if (name.rfind("guarded/", 0) != 0) continue;
            const auto plain = times_.find("plain/" + name.substr(8));
            if (plain == times_.end()) continue;
            std::cout << "  " << name.substr(8) << ": " << time / plain->second << '\n';
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    static const std::vector<Case> all = cases();
    for (const Case& c : all) {
        benchmark::RegisterBenchmark((std::string("guarded/") + c.name).c_str(), composeGuarded, c)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("window/") + c.name).c_str(), evaluateWindow, c)
            ->Unit(benchmark::kMicrosecond);
        if (c.plainToo) {
            benchmark::RegisterBenchmark((std::string("plain/") + c.name).c_str(), composePlain, c)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
