// Runs the one-pass checker and the staged one on the same patterns and counts
// where their results differ in any byte: the canonical pattern, the group
// slots, or the error's code, position and reason. Two sources of patterns:
// the V8 differential test's generator, and random strings of the grammar's
// tokens, which also reach what the generator leaves out (errors, groups in
// repeated groups, back references anywhere).
// Usage: tarnwick-compare-checkers [PATTERNS] [SEED]

#include <array>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "pattern_check.h"
#include "pattern_check_before.h"
#include "pattern_error.h"
#include "regexp_generator.h"

namespace {

using tarnwick::WideText;

constexpr std::array<std::wstring_view, 4> openings{L"(", L"(?:", L"(?=", L"(?!"};
constexpr std::array<std::wstring_view, 10> quantifiers{L"*", L"+", L"?", L"*?", L"+?", L"{2}", L"{1,3}", L"{0,}", L"{0}", L"{1}?"};
constexpr std::array<std::wstring_view, 25> atoms{
    L"a", L"b", L"\\1", L"\\2", L"\\3", L"^", L"$", L"\\b", L"[a-c]", L"[^]", L"[]", L"\\d", L"\\w", L"\\W",
    L".", L"[[:alpha:]]", L"[\\w-a]", L"\\u0041", L"[[=a=]-c]", L"[[.a.]]", L"\\0", L"[^\\s]", L"é", L"\\cJ", L"\\x2a"};
// Tokens that are faults wherever they stand, or in most places.
constexpr std::array<std::wstring_view, 10> faults{L"[z-a]", L"\\x4", L"(?<", L"a{", L"}", L"]", L"\\", L"[[:foo:]]", L"\\9", L"*"};

template <std::size_t N>
std::wstring_view pick(const std::array<std::wstring_view, N>& from, std::mt19937& random) {
    return from[random() % N];
}

// A string of the grammar's tokens with its parentheses mostly balanced and its
// quantifiers mostly after atoms, so that most of them are valid.
WideText tokenString(std::mt19937& random) {
    WideText pattern;
    int open = 0;
    bool afterAtom = false;
    const int length = std::uniform_int_distribution<int>(1, 16)(random);
    for (int t = 0; t < length; ++t) {
        const unsigned roll = random() % 100;
        if (roll < 12) {
            pattern += pick(openings, random);
            ++open;
            afterAtom = false;
        } else if (roll < 24 && open > 0) {
            pattern += L')';
            --open;
            afterAtom = true;
        } else if (roll < 44 && afterAtom) {
            pattern += pick(quantifiers, random);
            afterAtom = false;
        } else if (roll < 50) {
            pattern += L'|';
            afterAtom = false;
        } else if (roll < 53) {
            pattern += pick(faults, random);
        } else {
            pattern += pick(atoms, random);
            afterAtom = true;
        }
    }
    if (random() % 20 != 0) pattern.append(static_cast<std::size_t>(open), L')');
    return pattern;
}

// Everything a caller of the checker can see, as text.
std::wstring verdict(tarnwick::CheckedPattern (*check)(const WideText&), const WideText& pattern) {
    std::wostringstream out;
    try {
        const tarnwick::CheckedPattern checked = check(pattern);
        out << checked.canonical << L'\n';
        for (const tarnwick::GroupSlots& group : checked.groups) {
            for (std::size_t slot : group.engine) out << slot << L' ';
            out << L'/';
            for (std::size_t marker : group.markers) out << marker << L' ';
            out << (group.inNegativeLookahead ? L"negative\n" : L"\n");
        }
    } catch (const tarnwick::RegexError& e) {
        out << L"error " << static_cast<int>(e.code()) << L" at " << e.position() << L": "
            << e.reason().c_str();
    }
    return out.str();
}

WideText widened(const std::string& ascii) { return WideText(ascii.begin(), ascii.end()); }

}  // namespace

int main(int argc, char** argv) {
    const long patterns = argc > 1 ? std::atol(argv[1]) : 100000;
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atol(argv[2]) : 1);
    tarnwick::differential::RegexpGenerator generator(seed);
    std::mt19937 random(seed);
    long generated = 0, fromTokens = 0, invalid = 0;
    for (long i = 0; i < patterns; ++i) {
        for (const bool useTokens : {false, true}) {
            WideText pattern;
            if (useTokens) {
                pattern = tokenString(random);
            } else {
                pattern = widened(tarnwick::differential::render(generator.pattern()));
            }
            const std::wstring before = verdict(tarnwick::bench::checkPatternBefore, pattern);
            const std::wstring after = verdict(tarnwick::checkPattern, pattern);
            if (before.rfind(L"error", 0) == 0) ++invalid;
            if (before != after) {
                std::wcout << L"differs: " << pattern << L"\nbefore: " << before << L"\nafter:  " << after << L'\n';
                return 1;
            }
            ++(useTokens ? fromTokens : generated);
        }
    }
    std::cout << "0 differences: " << generated << " generator patterns and " << fromTokens
              << " token strings (seed " << seed << "; " << invalid << " of them invalid)\n";
}
