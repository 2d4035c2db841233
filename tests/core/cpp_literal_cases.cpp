#include "cpp_literal_cases.h"

#include <random>

#include "cp932_table.h"
#include "differential/regexp_generator.h"

namespace tarnwick::testdata {

std::vector<WideText> cppLiteralCases(std::uint32_t seed, int patterns, int strings) {
    std::vector<WideText> cases;
    differential::RegexpGenerator generator(seed);
    for (int i = 0; i < patterns; ++i) {
        const std::string pattern = differential::render(generator.pattern());
        cases.emplace_back(pattern.begin(), pattern.end());
    }
    std::vector<wchar_t> characters;
    for (const auto& [bytes, unicode] : readPairs("cp932.txt")) {
        if (unicode != 0) characters.push_back(static_cast<wchar_t>(unicode));  // a zero ends an expression
    }
    // Over-weighted, since they are what the escaping is about.
    const std::wstring tricky = L"\"\\?\n\r\t\x01\x1b\x7f'()x";
    std::mt19937 random(seed);
    for (int i = 0; i < strings; ++i) {
        WideText text;
        for (int n = static_cast<int>(random() % 24); n > 0; --n) {
            text += random() % 2 ? tricky[random() % tricky.size()] : characters[random() % characters.size()];
        }
        cases.push_back(text);
    }
    return cases;
}

}  // namespace tarnwick::testdata
