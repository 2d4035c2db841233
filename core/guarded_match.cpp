#include "guarded_match.h"

#include <iterator>
#include <regex>

#include "engine_traits.h"
#include "large_stack.h"
#include "metered_iterator.h"
#include "pattern_error.h"

namespace tarnwick {
namespace {

using EngineRegex = std::basic_regex<wchar_t, EngineTraits>;

// Left free below the depth limit for the frames between two checks and for unwinding.
constexpr std::size_t stackHeadroom = std::size_t{8} << 20;

EngineRegex compile(const WideText& canonical) {
    try {
        EngineRegex regex;
        regex.imbue(EngineTraits::engineLocale());
        regex.assign(canonical, std::regex_constants::ECMAScript | std::regex_constants::multiline);
        return regex;
    } catch (const std::regex_error& e) {
        // The checker has let the pattern through, so this is the engine's own
        // limit (its automaton may hold at most 100,000 states).
        throw RegexError(static_cast<PatternError>(e.code()));
    }
}

// Runs `body` on a large stack with a meter whose floor lies within that stack.
template <class Body>
void runMetered(std::uint64_t stepLimit, Body&& body) {
    runOnLargeStack([&] {
        WorkMeter meter{0, stepLimit, stackPosition() - (largeStackBytes - stackHeadroom)};
        body(meter);
    });
}

}  // namespace

std::optional<std::vector<WideText>> matchWhole(const CheckedPattern& pattern, const WideText& input,
                                                std::uint64_t stepLimit) {
    std::optional<std::vector<WideText>> groups;
    runMetered(stepLimit, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = input.data();
        std::match_results<MeteredIterator> match;
        if (!std::regex_match(MeteredIterator(begin, &meter), MeteredIterator(begin + input.size(), &meter), match,
                              regex)) {
            return;
        }
        std::vector<WideText> texts;
        texts.reserve(pattern.groupIndex.size());
        for (std::size_t index : pattern.groupIndex) {
            const auto& group = match[index];
            texts.emplace_back(group.matched ? WideText(group.first.base(), group.second.base()) : WideText());
        }
        groups = std::move(texts);
    });
    return groups;
}

WideText replaceAll(const CheckedPattern& pattern, const WideText& input, const WideText& replacement,
                    std::uint64_t stepLimit) {
    WideText out;
    runMetered(stepLimit, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = input.data();
        std::regex_replace(std::back_inserter(out), MeteredIterator(begin, &meter),
                           MeteredIterator(begin + input.size(), &meter), regex, replacement);
    });
    return out;
}

}  // namespace tarnwick
