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

// The text with a line feed before it. The engine starts a fresh matcher at
// the position of each look-ahead; only with a previous character available
// do ^, \b and \B see the real one there, and a line feed is what the text's
// start looks like to them.
WideText withLineBefore(const WideText& input) {
    WideText buffer;
    buffer.reserve(input.size() + 1);
    buffer += L'\n';
    buffer += input;
    return buffer;
}

WideText groupText(const std::match_results<MeteredIterator>& match, const GroupSlots& slots) {
    if (slots.inNegativeLookahead) return {};
    for (std::size_t marker : slots.markers) {
        if (!match[marker].matched) return {};
    }
    for (auto slot = slots.engine.rbegin(); slot != slots.engine.rend(); ++slot) {
        const auto& group = match[*slot];
        if (group.matched) return WideText(group.first.base(), group.second.base());
    }
    return {};
}

}  // namespace

std::optional<std::vector<WideText>> matchWhole(const CheckedPattern& pattern, const WideText& input,
                                                std::uint64_t stepLimit) {
    const WideText text = withLineBefore(input);
    std::optional<std::vector<WideText>> groups;
    runMetered(stepLimit, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = text.data() + 1;
        std::match_results<MeteredIterator> match;
        if (!std::regex_match(MeteredIterator(begin, &meter), MeteredIterator(begin + input.size(), &meter), match,
                              regex, std::regex_constants::match_prev_avail)) {
            return;
        }
        std::vector<WideText> texts;
        texts.reserve(pattern.groups.size());
        for (const GroupSlots& slots : pattern.groups) texts.push_back(groupText(match, slots));
        groups = std::move(texts);
    });
    return groups;
}

WideText replaceAll(const CheckedPattern& pattern, const WideText& input, const WideText& replacement,
                    std::uint64_t stepLimit) {
    const WideText text = withLineBefore(input);
    WideText out;
    runMetered(stepLimit, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = text.data() + 1;
        std::regex_replace(std::back_inserter(out), MeteredIterator(begin, &meter),
                           MeteredIterator(begin + input.size(), &meter), regex, replacement,
                           std::regex_constants::match_prev_avail);
    });
    return out;
}

}  // namespace tarnwick
