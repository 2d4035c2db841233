// Compares our whole-text match with V8's RegExp on seeded random patterns and
// texts, and shrinks each disagreement to a smallest case before printing it.
// Usage: v8_differential NODE ORACLE_SCRIPT [PATTERNS] [SEED]

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <unistd.h>

#include "regex_service.h"
#include "regexp_generator.h"

namespace {

using nlohmann::json;
using tarnwick::differential::RegexpNode;

struct Case {
    RegexpNode pattern;
    std::string text;
};

// Our verdict in the oracle's form.
json ours(const std::string& pattern, const std::string& text) {
    std::cout.setstate(std::ios::badbit);  // an invalid pattern's report line is not wanted here
    const tarnwick::MatchOutcome outcome = tarnwick::matchGroups(pattern, text);
    std::cout.clear();
    switch (outcome.status) {
        case tarnwick::MatchStatus::matched: return {{"match", outcome.groups}};
        case tarnwick::MatchStatus::noMatch: return {{"match", nullptr}};
        case tarnwick::MatchStatus::invalid: return {{"error", "invalid, code " + std::to_string(static_cast<int>(outcome.error))}};
        case tarnwick::MatchStatus::stopped: return {{"stopped", static_cast<int>(outcome.error)}};
    }
    return {};
}

bool agree(const json& a, const json& b) {
    if (a.contains("error") && b.contains("error")) return true;  // both refuse the pattern
    return a == b;
}

class Oracle {
public:
    Oracle(std::string node, std::string script) : node_(std::move(node)), script_(std::move(script)) {
        dir_ = std::filesystem::temp_directory_path() / ("tarnwick-v8-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    ~Oracle() { std::filesystem::remove_all(dir_); }

    std::vector<json> ask(const std::vector<std::pair<std::string, std::string>>& cases) {
        const auto in = dir_ / "cases.jsonl";
        const auto out = dir_ / "verdicts.jsonl";
        {
            std::ofstream file(in);
            for (const auto& [pattern, text] : cases) file << json::array({pattern, text}).dump() << '\n';
        }
        const std::string command = "'" + node_ + "' '" + script_ + "' < '" + in.string() + "' > '" + out.string() + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("the oracle failed: " + command);
        std::vector<json> verdicts;
        std::ifstream file(out);
        for (std::string line; std::getline(file, line);) verdicts.push_back(json::parse(line));
        if (verdicts.size() != cases.size()) throw std::runtime_error("the oracle answered too few cases");
        return verdicts;
    }

private:
    std::string node_;
    std::string script_;
    std::filesystem::path dir_;
};

// One step at a time, the smallest neighbour that still disagrees, until none does.
Case minimise(Case c, Oracle& oracle) {
    for (int round = 0; round < 200; ++round) {
        std::vector<Case> candidates;
        for (RegexpNode& p : tarnwick::differential::shrinkPattern(c.pattern)) candidates.push_back({std::move(p), c.text});
        for (std::string& t : tarnwick::differential::shrinkText(c.text)) candidates.push_back({c.pattern, std::move(t)});
        std::vector<std::pair<std::string, std::string>> asked;
        std::vector<json> mine;
        std::vector<const Case*> kept;
        for (const Case& candidate : candidates) {
            const std::string pattern = render(candidate.pattern);
            json verdict = ours(pattern, candidate.text);
            if (verdict.contains("error")) continue;  // shrinking broke a back reference
            asked.emplace_back(pattern, candidate.text);
            mine.push_back(std::move(verdict));
            kept.push_back(&candidate);
        }
        if (asked.empty()) return c;
        const std::vector<json> theirs = oracle.ask(asked);
        std::size_t found = kept.size();
        for (std::size_t i = 0; i < kept.size() && found == kept.size(); ++i) {
            if (!theirs[i].contains("error") && !agree(mine[i], theirs[i])) found = i;
        }
        if (found == kept.size()) return c;
        c = *kept[found];
    }
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: v8_differential NODE ORACLE_SCRIPT [PATTERNS] [SEED]\n";
        return 2;
    }
    const int patterns = argc > 3 ? std::atoi(argv[3]) : 10000;
    const auto seed = static_cast<std::uint32_t>(argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 20261210);
    const auto started = std::chrono::steady_clock::now();

    tarnwick::differential::RegexpGenerator generator(seed);
    std::vector<Case> cases;
    for (int i = 0; i < patterns; ++i) {
        RegexpNode pattern = generator.pattern();
        const std::string sample = generator.sampleText(pattern);
        cases.push_back({pattern, sample});
        cases.push_back({pattern, generator.mutated(sample)});
        cases.push_back({std::move(pattern), generator.randomText()});
    }

    std::vector<std::pair<std::string, std::string>> asked;
    std::vector<json> mine;
    for (const Case& c : cases) {
        asked.emplace_back(render(c.pattern), c.text);
        mine.push_back(ours(asked.back().first, c.text));
    }
    Oracle oracle(argv[1], argv[2]);
    const std::vector<json> theirs = oracle.ask(asked);

    int matched = 0;
    int stopped = 0;
    int disagreements = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (mine[i].contains("match") && !mine[i]["match"].is_null()) ++matched;
        if (mine[i].contains("stopped")) {
            if (++stopped <= 3) std::cout << "stopped at the work limit: pattern " << json(asked[i].first).dump() << " text " << json(asked[i].second).dump() << '\n';
            continue;
        }
        if (agree(mine[i], theirs[i])) continue;
        if (++disagreements > 10) continue;  // print the first few in full
        std::cout << "DISAGREE pattern " << json(asked[i].first).dump() << " text " << json(asked[i].second).dump()
                  << "\n  ours " << mine[i].dump() << "\n  V8   " << theirs[i].dump() << '\n';
        const Case small = minimise(cases[i], oracle);
        const std::string pattern = render(small.pattern);
        std::cout << "  minimised: pattern " << json(pattern).dump() << " text " << json(small.text).dump()
                  << "\n  ours " << ours(pattern, small.text).dump() << "\n  V8   "
                  << oracle.ask({{pattern, small.text}})[0].dump() << '\n';
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "v8 differential: seed " << seed << ", " << cases.size() << " cases (" << matched
              << " matched, " << stopped << " stopped at the work limit), " << disagreements << " disagreements, " << seconds << " s\n";
    std::cout << cases.size() - static_cast<std::size_t>(disagreements + stopped) << " passed, " << disagreements
              << " failed, " << stopped << " skipped\n";
    return disagreements == 0 ? 0 : 1;
}
