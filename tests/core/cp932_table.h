#pragma once
// The committed code page 932 tables (tests/data), for the tests that need
// every character of the code page.

#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::testdata {

// Lines "0xBYTES,0xUNICODE" (or the reverse), '#' starting a comment.
inline std::vector<std::pair<unsigned long, unsigned long>> readPairs(const std::string& name) {
    std::ifstream file(std::string(TARNWICK_TESTDATA) + "/" + name);
    if (!file) throw std::runtime_error("cannot open " + name);
    std::vector<std::pair<unsigned long, unsigned long>> pairs;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto comma = line.find(',');
        pairs.emplace_back(std::stoul(line.substr(0, comma), nullptr, 16), std::stoul(line.substr(comma + 1), nullptr, 16));
    }
    return pairs;
}

}  // namespace tarnwick::testdata
